// Value texts of form files through the parser: doubles read back bit for bit whatever the
// decimal separator setting, any byte string reads back unchanged (quotes, control bytes,
// invalid UTF-8, long texts cut into pieces), and the UTF-8 check refuses the classic
// malformed sequences.
#include "kelva/framework/rtl/FormLiterals.h"
#include "kelva/framework/rtl/Exceptions.h"
#include "kelva/framework/rtl/FormParser.h"
#include "kelva/framework/rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>

using namespace kelva;

namespace {

// The value of the single property of a one-line form text.
TFormValue ParseValue(const std::string& ValueText) {
  const TFormObject Object = ParseFormText("object A: TA\n  P = " + ValueText + "\nend\n");
  EXPECT_EQ(Object.Properties.size(), 1u);
  return Object.Properties.at(0).Value;
}

double ReadBack(double Value) {
  const TFormValue Parsed = ParseValue(FormatFormFloat(Value));
  if (Parsed.Kind == TFormValueKind::Identifier) // Inf, NaN
    return Parsed.Text == "NaN" ? std::numeric_limits<double>::quiet_NaN()
                                : std::numeric_limits<double>::infinity();
  EXPECT_EQ(Parsed.Kind, TFormValueKind::Float) << FormatFormFloat(Value);
  return Parsed.Float;
}

TEST(FormFloats, ReadBackBitForBit) {
  std::vector<double> Values = {0.1,
                                -0.1,
                                1.0 / 3,
                                0.1 + 0.2,
                                2.5,
                                1e21,
                                123456789012345678.0,
                                1e-5,
                                std::numeric_limits<double>::max(),
                                std::numeric_limits<double>::lowest(),
                                std::numeric_limits<double>::min(),
                                std::numeric_limits<double>::denorm_min(),
                                -std::numeric_limits<double>::infinity()};
  std::mt19937_64 Random(20240611);
  for (int I = 0; I < 5000; ++I) {
    const double D = std::bit_cast<double>(Random());
    if (!std::isnan(D)) Values.push_back(D);
  }
  for (double D : Values)
    EXPECT_EQ(std::bit_cast<std::uint64_t>(ReadBack(D)), std::bit_cast<std::uint64_t>(D))
        << FormatFormFloat(D);
  EXPECT_TRUE(std::isnan(ReadBack(std::numeric_limits<double>::quiet_NaN())));
}

TEST(FormFloats, IgnoreTheDecimalSeparatorSetting) {
  const char Saved = FormatSettings.DecimalSeparator;
  FormatSettings.DecimalSeparator = ',';
  EXPECT_EQ(FormatFormFloat(2.5), "2.5");
  EXPECT_EQ(FormatFormFloat(-3), "-3.0");
  EXPECT_EQ(ParseValue("2.5").Float, 2.5);
  FormatSettings.DecimalSeparator = Saved;
}

std::string ReadBackText(const std::string& Value) {
  const TFormValue Parsed = ParseValue(FormatFormString(Value, "    "));
  EXPECT_EQ(Parsed.Kind, TFormValueKind::String);
  return Parsed.Text;
}

TEST(FormStrings, AnyByteStringReadsBackUnchanged) {
  std::string AllBytes;
  for (int B = 0; B < 256; ++B) AllBytes += static_cast<char>(B);
  EXPECT_EQ(ReadBackText(AllBytes), AllBytes);
  EXPECT_EQ(ReadBackText(""), "");

  std::mt19937 Random(7);
  std::uniform_int_distribution<int> Byte(0, 255), Length(0, 300);
  for (int I = 0; I < 300; ++I) {
    std::string S(static_cast<std::size_t>(Length(Random)), '\0');
    for (char& C : S) C = static_cast<char>(Byte(Random));
    EXPECT_EQ(ReadBackText(S), S);
  }
}

TEST(FormStrings, LongTextIsCutOnCharacterBoundaries) {
  std::string Text;
  for (int I = 0; I < 100; ++I) Text += "ab€"; // 5 bytes, so cuts fall everywhere
  const std::string Literal = FormatFormString(Text, "  ");
  EXPECT_NE(Literal.find(" +\n  '"), std::string::npos) << "a text this long continues";
  // Every piece between quotes must be valid UTF-8 on its own, or the reader refuses it.
  EXPECT_EQ(ReadBackText(Text), Text);
}

TEST(FormStrings, ControlBytesAndQuotesUseTheirEscapes) {
  EXPECT_EQ(FormatFormString("It's", ""), "'It''s'");
  EXPECT_EQ(FormatFormString("a\r\nb", ""), "'a'#13#10'b'");
  EXPECT_EQ(FormatFormString("\t", ""), "#9");
  EXPECT_EQ(FormatFormString("é\xE9", ""), "'é'#233");
  EXPECT_EQ(ParseValue("#65'b'#67 +\n 'd'").Text, "AbCd");
}

TEST(FormStrings, Utf8CheckRefusesMalformedSequences) {
  for (const char* Bad : {"\x80", "\xC0\x80", "\xC1\xBF", "\xE0\x80\x80", "\xED\xA0\x80",
                          "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xE2\x82", "\xE2\x28\xA1"})
    EXPECT_EQ(Utf8SequenceLength(Bad, 0), 0u) << testing::PrintToString(std::string(Bad));
  EXPECT_EQ(Utf8SequenceLength("\xC3\xA9", 0), 2u);
  EXPECT_EQ(Utf8SequenceLength("\xE2\x82\xAC", 0), 3u);
  EXPECT_EQ(Utf8SequenceLength("\xF0\x9D\x84\x9E", 0), 4u);
  EXPECT_EQ(Utf8SequenceLength("\xF4\x8F\xBF\xBF", 0), 4u);
}

TEST(FormParsing, WhitespaceAndCaseDoNotMatter) {
  const TFormObject Object =
      ParseFormText("\xEF\xBB\xBFOBJECT A : TA\r\n\tX=1 Y.Z=[ a ,b ]\rObject B:TB END   end");
  EXPECT_EQ(Object.Name, "A");
  ASSERT_EQ(Object.Properties.size(), 2u);
  EXPECT_EQ(Object.Properties[1].Name, "Y.Z");
  EXPECT_EQ(Object.Properties[1].Value.Elements, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(Object.Properties[1].Line, 2);
  ASSERT_EQ(Object.Children.size(), 1u);
  EXPECT_EQ(Object.Children[0].Line, 3);
}

TEST(FormParsing, SyntaxErrorsNameTheirLine) {
  const auto MessageOf = [](const std::string& Text) {
    try {
      ParseFormText(Text);
    } catch (const EParserError& E) {
      return E.Message();
    }
    return std::string("accepted");
  };
  EXPECT_EQ(MessageOf(""), "Line 1: 'object' expected but end of text found");
  EXPECT_EQ(MessageOf("object A: TA\n  X = \nend"), "Line 3: value expected but 'end' found");
  EXPECT_EQ(MessageOf("object A: TA\n  X = 12ab\nend"), "Line 2: invalid number 12ab");
  EXPECT_EQ(MessageOf("object A: TA\n  X = 99999999999999999999\nend"),
            "Line 2: number 99999999999999999999 is out of range");
  EXPECT_EQ(MessageOf("object A: TA\n  X = #256\nend"),
            "Line 2: character code out of range (#0 ... #255)");
  EXPECT_EQ(MessageOf("object A: TA\nend\nend"),
            "Line 3: end of text expected after the last 'end' but 'end' found");
  EXPECT_EQ(MessageOf("object A: TA\n  X = ('a' 1)\nend"),
            "Line 2: string or ')' expected but number found");
}

} // namespace
