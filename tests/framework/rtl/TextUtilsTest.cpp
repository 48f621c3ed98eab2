// Tests of the text utilities: trimming, ASCII and Unicode upper-casing, the ordinal and
// collation-based comparisons with their tie-breaks, AnsiPos and UTF-8 truncation.
#include "kelva/framework/rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace kelva {
namespace {

int Sign(int Value) {
  return (Value > 0) - (Value < 0);
}

// Texts used below, spelled as bytes so that the source encoding cannot change them.
const std::string EAcute = "\xC3\xA9";                 // é, precomposed
const std::string CapitalEAcute = "\xC3\x89";          // É
const std::string EWithCombiningAcute = "e\xCC\x81";   // e + U+0301: canonically equal to é
const std::string SharpS = "\xC3\x9F";                 // ß: no single-character upper case
const std::string Euro = "\xE2\x82\xAC";               // 3 bytes
const std::string DeseretSmall = "\xF0\x90\x90\xA8";   // U+10428, 4 bytes
const std::string DeseretCapital = "\xF0\x90\x90\x80"; // U+10400
const std::string DotlessI = "\xC4\xB1";               // ı: upper case is the 1-byte 'I'

TEST(TextTrim, RemovesControlCharactersAndSpacesOnly) {
  EXPECT_EQ(Trim(" \t a b \r\n"), "a b");
  EXPECT_EQ(Trim("\x01x\x7F"), "x\x7F");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(Trim(""), "");
  EXPECT_EQ(Trim(std::string("\0a\0", 3)), "a");
  EXPECT_EQ(Trim("\xC2\xA0x\xC2\xA0"), "\xC2\xA0x\xC2\xA0"); // UTF-8 bytes are kept
  EXPECT_EQ(TrimLeft(" \ta b "), "a b ");
  EXPECT_EQ(TrimRight(" a b\r\n"), " a b");
  EXPECT_EQ(TrimLeft("\n"), "");
  EXPECT_EQ(TrimRight("\n"), "");
}

TEST(TextCase, AsciiMappingLeavesOtherBytes) {
  EXPECT_EQ(UpperCase("abc-xyz" + EAcute), "ABC-XYZ" + EAcute);
  EXPECT_EQ(LowerCase("ABC-XYZ" + CapitalEAcute), "abc-xyz" + CapitalEAcute);
  EXPECT_EQ(UpperCase("@[`{"), "@[`{");
}

TEST(TextCase, AnsiUpperCaseMapsEveryCharacter) {
  const struct {
    std::string Input;
    std::string Expected;
  } Cases[] = {
      {"abc" + EAcute, "ABC" + CapitalEAcute},
      {"stra" + SharpS + "e", "STRA" + SharpS + "E"},
      {"a1-b", "A1-B"},
      {"", ""},
      {DeseretSmall + "x", DeseretCapital + "X"},
      {DotlessI + "x", "IX"},   // shorter after mapping
      {"\xC5\xBF", "S"},        // long s
      {"\xC3\xBF", "\xC5\xB8"}, // ÿ -> Ÿ
      {"\xCF\x89", "\xCE\xA9"}, // ω -> Ω
      {Euro + "1", Euro + "1"}, // no mapping
      {"a\xFF"
       "b",
       "A\xFF"
       "B"},                              // invalid byte copied
      {"\xC3(", "\xC3("},                 // lead byte without its continuation
      {"\xE2\x82x", "\xE2\x82X"},         // truncated 3-byte sequence
      {"\xED\xA0\x80z", "\xED\xA0\x80Z"}, // encoded surrogate
      {"\xC0\x80q", "\xC0\x80Q"},         // overlong encoding
      {"a\xC3", "A\xC3"},                 // truncated at the end
  };
  for (const auto& Case : Cases) EXPECT_EQ(AnsiUpperCase(Case.Input), Case.Expected) << Case.Input;
}

TEST(TextSearch, AnsiPosIsOneBasedBytePosition) {
  EXPECT_EQ(AnsiPos("b", "abc"), 2);
  EXPECT_EQ(AnsiPos("", "abc"), 0);
  EXPECT_EQ(AnsiPos("", ""), 0);
  EXPECT_EQ(AnsiPos(EAcute, "a" + EAcute), 2);
  EXPECT_EQ(AnsiPos("=", "A=B=C"), 2);
  EXPECT_EQ(AnsiPos("x", "abc"), 0);
  EXPECT_EQ(AnsiPos("abcd", "abc"), 0);
  EXPECT_EQ(AnsiPos("c", "abc"), 3);
}

TEST(TextCompare, CollationTable) {
  const struct {
    std::string A;
    std::string B;
    int ExpectedSign;
  } StrCases[] = {
      {"a", "b", -1},  {"a", "A", -1},    {"A", "b", -1},    {"e", EAcute, -1}, {EAcute, "f", -1},
      {"10", "9", -1}, {"abc", "abc", 0}, {"ab", "ab ", -1}, {"", "", 0},       {"", "a", -1},
  };
  for (const auto& Case : StrCases) {
    EXPECT_EQ(Sign(AnsiCompareStr(Case.A, Case.B)), Case.ExpectedSign) << Case.A << " / " << Case.B;
    EXPECT_EQ(Sign(AnsiCompareStr(Case.B, Case.A)), -Case.ExpectedSign)
        << Case.B << " / " << Case.A;
  }
  EXPECT_EQ(AnsiCompareText("abc", "ABC"), 0);
  EXPECT_LT(AnsiCompareText("a", "B"), 0);
  EXPECT_GT(AnsiCompareText("B", "a"), 0);
  EXPECT_NE(AnsiCompareText(EAcute, "E"), 0);
  EXPECT_EQ(AnsiCompareText(EAcute, CapitalEAcute), 0);
  EXPECT_LT(AnsiCompareText("ab", "AB "), 0);
}

TEST(TextCompare, CollatorTiesAreBrokenByBytes) {
  // Canonically equivalent spellings collate equal; only identical texts may give 0.
  EXPECT_GT(AnsiCompareStr(EAcute, EWithCombiningAcute), 0); // 0xC3 > 'e'
  EXPECT_LT(AnsiCompareStr(EWithCombiningAcute, EAcute), 0);
  // AnsiCompareText breaks the tie with the upper-cased bytes: "É" against "E" U+0301.
  EXPECT_GT(AnsiCompareText(EAcute, EWithCombiningAcute), 0);
  EXPECT_LT(AnsiCompareText(EWithCombiningAcute, EAcute), 0);
  // dž and its title-case form differ in case only, and share the upper case DŽ.
  EXPECT_EQ(AnsiCompareText("\xC7\x86", "\xC7\x85"), 0);
  EXPECT_NE(AnsiCompareStr("\xC7\x86", "\xC7\x85"), 0);
}

// Under the collation these tests run with (no locale tailoring), texts of digits and
// letters of one case compare as their bytes, and case-blind comparison as upper-cased bytes.
TEST(TextCompare, PlainTextsCompareAsTheirBytesUnderTheRootCollation) {
  ASSERT_TRUE(PlainTextsCollateAsBytes());
  std::mt19937 Random(7);
  const std::string Alphabets[] = {"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ",
                                   "0123456789abcdefghijklmnopqrstuvwxyz"};
  auto Draw = [&](const std::string& Alphabet) {
    std::string Text(Random() % 7, ' ');
    for (char& C : Text) C = Alphabet[Random() % Alphabet.size()];
    return Text;
  };
  for (int I = 0; I < 3000; ++I) {
    const std::string& Alphabet = Alphabets[I % 2];
    const std::string A = Draw(Alphabet), B = Draw(Alphabet);
    EXPECT_EQ(Sign(AnsiCompareStr(A, B)), Sign(A.compare(B))) << A << " / " << B;
    std::string MixedA = A;
    if (I % 3 == 0)
      for (char& C : MixedA) C = static_cast<char>(std::tolower(static_cast<unsigned char>(C)));
    EXPECT_EQ(Sign(AnsiCompareText(MixedA, B)), Sign(AnsiUpperCase(A).compare(AnsiUpperCase(B))))
        << MixedA << " / " << B;
  }
}

// A locale that orders letters its own way (Danish puts "AA" after "Z") rules the shortcut
// out. The collators are chosen per thread at first use, so a new thread sees the locale.
TEST(TextCompare, ATailoredCollationDoesNotCompareAsBytes) {
  const char* Saved = std::getenv("LC_ALL");
  const std::string SavedValue = Saved ? Saved : "";
  ::setenv("LC_ALL", "da_DK.UTF-8", 1);
  bool Plain = true;
  int AaAgainstZ = 0;
  std::thread([&] {
    Plain = PlainTextsCollateAsBytes();
    AaAgainstZ = AnsiCompareStr("AA", "Z");
  }).join();
  if (Saved)
    ::setenv("LC_ALL", SavedValue.c_str(), 1);
  else
    ::unsetenv("LC_ALL");
  if (AaAgainstZ < 0) GTEST_SKIP() << "no Danish collation in this ICU";
  EXPECT_FALSE(Plain);
}

TEST(TextCompare, CompareTextIsAsciiOrdinal) {
  EXPECT_EQ(CompareText("abc", "ABC"), 0);
  EXPECT_EQ(CompareText("a", "_"), 'A' - '_');
  EXPECT_EQ(CompareText("_", "a"), '_' - 'A');
  EXPECT_EQ(CompareText(EAcute, CapitalEAcute), 0xA9 - 0x89);
  EXPECT_EQ(CompareText("abc", "ab"), 1);
  EXPECT_EQ(CompareText("a", "abcd"), -3);
  EXPECT_EQ(CompareText("", ""), 0);
  EXPECT_GT(CompareText("\xFF", "a"), 0); // bytes compare unsigned
}

TEST(TextCompare, AnsiSameTextComparesUpperCasedTexts) {
  const struct {
    std::string A;
    std::string B;
    bool Same;
  } Cases[] = {
      {"abc", "ABC", true},
      {"Field_1", "fIELD_1", true},
      {"abc", "abd", false},
      {"a", "a ", false},
      {"", "", true},
      {"", "a", false},
      {EAcute, CapitalEAcute, true},
      {"stra" + SharpS + "e", "STRASSE", false},
      {"a" + DotlessI + "b", "AIB", true}, // different byte lengths, same upper case
      {"x" + DotlessI, "XI", true},
      {"x" + DotlessI, "XIY", false},
      {DeseretSmall, DeseretCapital, true},
      {"\xFF", "\xFF", true},
      {"\xFF", "\xFE", false},
      {EAcute, EWithCombiningAcute, false},
  };
  for (const auto& Case : Cases) {
    EXPECT_EQ(AnsiSameText(Case.A, Case.B), Case.Same) << Case.A << " / " << Case.B;
    EXPECT_EQ(AnsiSameText(Case.B, Case.A), Case.Same) << Case.B << " / " << Case.A;
    EXPECT_EQ(AnsiSameText(Case.A, Case.B), AnsiUpperCase(Case.A) == AnsiUpperCase(Case.B));
  }
}

TEST(TextUtf8, TruncateNeverSplitsACharacter) {
  const struct {
    std::string Text;
    std::size_t MaxBytes;
    std::string Expected;
  } Cases[] = {
      {"abc", 2, "ab"},
      {"abc", 0, ""},
      {"abc", 10, "abc"},
      {"a" + EAcute, 2, "a"},
      {"a" + EAcute, 3, "a" + EAcute},
      {"a" + Euro, 2, "a"},
      {"a" + Euro, 3, "a"},
      {"a" + Euro, 4, "a" + Euro},
      {"a" + DeseretSmall, 2, "a"},
      {"a" + DeseretSmall, 4, "a"},
      {"a" + DeseretSmall, 5, "a" + DeseretSmall},
      {DeseretSmall + Euro + EAcute, 6, DeseretSmall},
      {DeseretSmall + Euro + EAcute, 8, DeseretSmall + Euro},
      {DeseretSmall + Euro + EAcute, 9, DeseretSmall + Euro + EAcute},
      {EAcute, 1, ""},
      {"ab\xC3", 10, "ab"}, // the text itself ends inside a character
      {"ab\xE2\x82", 10, "ab"},
      {"a\x80", 10, "a\x80"}, // a stray continuation byte has no character to complete
      {"a\xFF"
       "b",
       2, "a\xFF"},
  };
  for (const auto& Case : Cases)
    EXPECT_EQ(Utf8Truncate(Case.Text, Case.MaxBytes), Case.Expected)
        << Case.Text << " to " << Case.MaxBytes;
}

TEST(TextUtf8, TruncatedLengthLooksOnlyAtTheGivenLength) {
  const std::string Text = "a" + Euro + "b";
  EXPECT_EQ(Utf8TruncatedLength(Text.data(), 3, 10), 1u); // the euro sign is cut by Length
  EXPECT_EQ(Utf8TruncatedLength(Text.data(), 4, 10), 4u);
  EXPECT_EQ(Utf8TruncatedLength(Text.data(), Text.size(), 4), 4u);
  EXPECT_EQ(Utf8TruncatedLength(Text.data(), 0, 10), 0u);
}

} // namespace
} // namespace kelva
