// IntToStr, StrToInt, FloatToStr and StrToFloat against the vector tables
// of the conversion rules, their error messages, and random round trips checked against an
// independent reference (printf's correctly rounded 15-digit form).
#include "kelva/framework/rtl/Exceptions.h"
#include "kelva/framework/rtl/SysUtils.h"
#include "support/Joined.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

using namespace kelva;

using kelva::testing::Joined;

namespace {

// Restores the process-wide settings a test changes.
struct SettingsGuard {
  TFormatSettings Saved = FormatSettings;
  ~SettingsGuard() { FormatSettings = Saved; }
};

// The message of the EConvertError F raises, or a marker when it raises none.
template <class F>
std::string ConvertErrorOf(F&& Call) {
  try {
    Call();
  } catch (const EConvertError& E) {
    return E.Message();
  }
  return "<no EConvertError>";
}

// ---- IntToStr

TEST(IntToStrTest, VectorTable) {
  EXPECT_EQ(IntToStr(std::int32_t{0}), "0");
  EXPECT_EQ(IntToStr(std::int32_t{-5}), "-5");
  EXPECT_EQ(IntToStr(std::numeric_limits<std::int32_t>::min()), "-2147483648");
  EXPECT_EQ(IntToStr(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808");
}

TEST(IntToStrTest, ExtremesAndNoPadding) {
  EXPECT_EQ(IntToStr(std::numeric_limits<std::int32_t>::max()), "2147483647");
  EXPECT_EQ(IntToStr(std::numeric_limits<std::int64_t>::max()), "9223372036854775807");
  EXPECT_EQ(IntToStr(std::int64_t{0}), "0");
  EXPECT_EQ(IntToStr(std::int32_t{7}), "7");
  EXPECT_EQ(IntToStr(std::int64_t{1000000}), "1000000");
}

TEST(IntToStrTest, BufferFormMatchesStringForm) {
  char Buffer[IntToStrBufSize];
  const std::size_t Length = IntToStrBuf(std::numeric_limits<std::int64_t>::min(), Buffer);
  EXPECT_EQ(std::string(Buffer, Length), "-9223372036854775808");
}

// ---- StrToInt

TEST(StrToIntTest, VectorTableValid) {
  EXPECT_EQ(StrToInt("123"), 123);
  EXPECT_EQ(StrToInt("  -45"), -45);
  EXPECT_EQ(StrToInt("+7"), 7);
  EXPECT_EQ(StrToInt("-2147483648"), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(StrToInt("2147483647"), 2147483647);
  EXPECT_EQ(StrToInt("$FF"), 255);
  EXPECT_EQ(StrToInt("0x1A"), 26);
  EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);
}

TEST(StrToIntTest, VectorTableErrorsCarryTheText) {
  for (const char* Text : {"2147483648", "123 ", "", "1.0", "1e3", "--1", "12a", "\t5"}) {
    SCOPED_TRACE(Text);
    EXPECT_EQ(ConvertErrorOf([&] { StrToInt(Text); }),
              Joined("'", Text, "' is not a valid integer value"));
  }
  EXPECT_EQ(ConvertErrorOf([] { StrToInt("12a"); }), "'12a' is not a valid integer value");
  // The text is an argument of the message, never a format.
  EXPECT_EQ(ConvertErrorOf([] { StrToInt("5%s%d"); }), "'5%s%d' is not a valid integer value");
}

TEST(StrToIntTest, HexadecimalForms) {
  EXPECT_EQ(StrToInt("0X1a"), 26);
  EXPECT_EQ(StrToInt("$abcdef"), 0xABCDEF);
  EXPECT_EQ(StrToInt("$7FFFFFFF"), 2147483647);
  EXPECT_EQ(StrToInt("$80000000"), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(StrToInt("$000000000000FF"), 255); // leading zeros do not count
  EXPECT_EQ(StrToInt("-$FF"), -255);
  EXPECT_EQ(StrToInt(" $10"), 16);
  std::int32_t Value = 0;
  for (const char* Text : {"$100000000", "$", "0x", "$G", "0x-1", "$ 1", "0x1A "})
    EXPECT_FALSE(TryStrToInt(Text, Value)) << Text;
}

TEST(StrToIntTest, DecimalEdges) {
  EXPECT_EQ(StrToInt("-0"), 0);
  EXPECT_EQ(StrToInt("000000000000000000042"), 42);
  EXPECT_EQ(StrToInt("-000002147483648"), std::numeric_limits<std::int32_t>::min());
  std::int32_t Value = 99;
  for (const char* Text :
       {"-2147483649", "99999999999999999999999", " ", "+", "-", "+-1", "- 1", "1_000", "1,000"})
    EXPECT_FALSE(TryStrToInt(Text, Value)) << Text;
  EXPECT_EQ(Value, 99); // a failed conversion leaves the target alone
}

TEST(StrToIntTest, TryFormsAgreeWithStrToInt) {
  std::int32_t Value = 0;
  EXPECT_TRUE(TryStrToInt(std::string("  -45"), Value));
  EXPECT_EQ(Value, -45);
  const char Text[] = "1234xyz";
  EXPECT_TRUE(TryStrToInt(Text, 4, Value)); // only the given length is read
  EXPECT_EQ(Value, 1234);
  EXPECT_FALSE(TryStrToInt(Text, 5, Value));
}

TEST(StrToIntTest, RandomRoundTrip) {
  std::mt19937 Random(20240601);
  for (int I = 0; I < 100000; ++I) {
    const auto V = static_cast<std::int32_t>(Random());
    ASSERT_EQ(StrToInt(IntToStr(V)), V);
  }
}

// ---- FloatToStr

TEST(FloatToStrTest, VectorTable) {
  EXPECT_EQ(FloatToStr(0.0), "0");
  EXPECT_EQ(FloatToStr(-0.0), "0");
  EXPECT_EQ(FloatToStr(1.0), "1");
  EXPECT_EQ(FloatToStr(-0.5), "-0.5");
  EXPECT_EQ(FloatToStr(0.1), "0.1");
  EXPECT_EQ(FloatToStr(0.1 + 0.2), "0.3");
  EXPECT_EQ(FloatToStr(1.0 / 3), "0.333333333333333");
  EXPECT_EQ(FloatToStr(2.0 / 3), "0.666666666666667");
  EXPECT_EQ(FloatToStr(123456789012345.0), "123456789012345");
  EXPECT_EQ(FloatToStr(1e15), "1E15");
  EXPECT_EQ(FloatToStr(999999999999999.9), "1E15");
  EXPECT_EQ(FloatToStr(1234567890123456.0), "1.23456789012346E15");
  EXPECT_EQ(FloatToStr(123456789012345678.0), "1.23456789012346E17");
  EXPECT_EQ(FloatToStr(123456789012345.5), "123456789012346");
  EXPECT_EQ(FloatToStr(123456789012344.5), "123456789012345");
  EXPECT_EQ(FloatToStr(1e20), "1E20");
  EXPECT_EQ(FloatToStr(1.7976931348623157e308), "1.79769313486232E308");
  EXPECT_EQ(FloatToStr(0.0001), "0.0001");
  EXPECT_EQ(FloatToStr(9.999999999999999e-5), "0.0001");
  EXPECT_EQ(FloatToStr(9.99999999999999e-5), "9.99999999999999E-5");
  EXPECT_EQ(FloatToStr(0.00001), "1E-5");
  EXPECT_EQ(FloatToStr(1e-6), "1E-6");
  EXPECT_EQ(FloatToStr(1.5e-10), "1.5E-10");
  EXPECT_EQ(FloatToStr(5e-324), "4.94065645841247E-324");
  EXPECT_EQ(FloatToStr(36526.0), "36526");
  EXPECT_EQ(FloatToStr(-693594.25), "-693594.25");
  EXPECT_EQ(FloatToStr(-693594.0 - 45296789.0 / 86400000), "-693594.524268391");
  EXPECT_EQ(FloatToStr(63082368000000.0), "63082368000000");
  EXPECT_EQ(FloatToStr(std::numeric_limits<double>::quiet_NaN()), "NAN");
  EXPECT_EQ(FloatToStr(std::numeric_limits<double>::infinity()), "INF");
  EXPECT_EQ(FloatToStr(-std::numeric_limits<double>::infinity()), "-INF");
}

TEST(FloatToStrTest, VectorTableWithCommaSeparator) {
  SettingsGuard Guard;
  FormatSettings.DecimalSeparator = ',';
  EXPECT_EQ(FloatToStr(1.5), "1,5");
  EXPECT_EQ(FloatToStr(1.5e-10), "1,5E-10");
  EXPECT_EQ(FloatToStr(-0.001), "-0,001");
  EXPECT_EQ(FloatToStr(1500.0), "1500"); // no separator without a fraction
}

TEST(FloatToStrTest, NotationBoundaries) {
  EXPECT_EQ(FloatToStr(100000000000000.0), "100000000000000"); // e = 14: fixed
  EXPECT_EQ(FloatToStr(-999999999999999.0), "-999999999999999");
  EXPECT_EQ(FloatToStr(1e14 + 0.5), "100000000000001"); // the 16th digit 5 rounds up
  EXPECT_EQ(FloatToStr(12345678901234.5), "12345678901234.5");
  EXPECT_EQ(FloatToStr(-1e15), "-1E15");
  EXPECT_EQ(FloatToStr(0.00012345), "0.00012345");
  EXPECT_EQ(FloatToStr(-0.000099999), "-9.9999E-5");
  EXPECT_EQ(FloatToStr(1e-300), "1E-300");
  EXPECT_EQ(FloatToStr(1.25e100), "1.25E100");
  EXPECT_EQ(FloatToStr(2.2250738585072014e-308), "2.2250738585072E-308");
  EXPECT_EQ(FloatToStr(0.5), "0.5");
  EXPECT_EQ(FloatToStr(9.5), "9.5");
  EXPECT_EQ(FloatToStr(99.99999999999999), "100"); // carry out of the first digit
  EXPECT_EQ(FloatToStr(0.9999999999999999), "1");
  EXPECT_EQ(FloatToStr(1e22), "1E22");
}

TEST(FloatToStrTest, TwoStageRounding) {
  // Exact values just below a 15-digit half whose 18 correctly rounded digits end in
  // "500": the second stage rounds up (a one-stage rounding would round down).
  struct Case {
    double X;
    const char* Digits18;
    const char* Text;
  };
  const Case Cases[] = {{0.1000000000000075, "1.00000000000007500e-01", "0.100000000000008"},
                        {1.000000000000145, "1.00000000000014500e+00", "1.00000000000015"},
                        {-36526.50000000195, "-3.65265000000019500e+04", "-36526.500000002"}};
  for (const Case& C : Cases) {
    char Digits[64], Exact[64];
    std::snprintf(Digits, sizeof Digits, "%.17e", C.X);
    std::snprintf(Exact, sizeof Exact, "%.15g", C.X);
    ASSERT_STREQ(Digits, C.Digits18); // the premise of the vector
    EXPECT_STRNE(Exact, C.Text);      // exact rounding differs
    EXPECT_EQ(FloatToStr(C.X), C.Text);
  }
}

TEST(FloatToStrTest, BufferFormAndLengthBound) {
  char Buffer[FloatToStrBufSize];
  const double Worst[] = {-1.2345678901234567e-300, -0.00012345678901234567, -1.2345678901234567e14,
                          -5e-324, -1.7976931348623157e308};
  for (double X : Worst) {
    const std::size_t Length = FloatToStrBuf(X, Buffer);
    EXPECT_LE(Length, FloatToStrBufSize);
    EXPECT_EQ(std::string(Buffer, Length), FloatToStr(X));
  }
}

// ---- StrToFloat

TEST(StrToFloatTest, VectorTable) {
  EXPECT_EQ(StrToFloat("1.5"), 1.5);
  EXPECT_EQ(StrToFloat(" 1.5 "), 1.5);
  EXPECT_EQ(StrToFloat("+1.5"), 1.5);
  EXPECT_EQ(StrToFloat("-1.5E3"), -1500);
  EXPECT_EQ(StrToFloat("1e-6"), 1e-6);
  EXPECT_EQ(StrToFloat(".5"), 0.5);
  EXPECT_EQ(StrToFloat("5."), 5);
  EXPECT_EQ(StrToFloat("1E+20"), 1e20);
  EXPECT_EQ(StrToFloat("-693594.25"), -693594.25);
  EXPECT_EQ(StrToFloat("0.1000000000000000055511151231257827"), 0.1);
}

TEST(StrToFloatTest, VectorTableErrorsCarryTheText) {
  for (const char* Text :
       {"1E400", "", " ", "E5", "1E", "1.5x", "1,5", "1 000", "0x10", "INF", "1..5", "\t1"}) {
    SCOPED_TRACE(Text);
    EXPECT_EQ(ConvertErrorOf([&] { StrToFloat(Text); }),
              Joined("'", Text, "' is not a valid floating point value"));
    double Value = 42;
    EXPECT_FALSE(TryStrToFloat(Text, Value));
    EXPECT_EQ(Value, 42);
  }
}

TEST(StrToFloatTest, VectorTableWithCommaSeparator) {
  SettingsGuard Guard;
  FormatSettings.DecimalSeparator = ',';
  EXPECT_EQ(StrToFloat("1,5"), 1.5);
  EXPECT_EQ(ConvertErrorOf([] { StrToFloat("1.5"); }), "'1.5' is not a valid floating point value");
  EXPECT_EQ(StrToFloat(" -2,25E-1 "), -0.225);
  EXPECT_EQ(StrToFloat(",5"), 0.5);
  double Value;
  EXPECT_FALSE(TryStrToFloat("1,5,0", Value));
}

TEST(StrToFloatTest, MoreSyntax) {
  EXPECT_EQ(StrToFloat("5.e3"), 5000);
  EXPECT_EQ(StrToFloat("1e+0"), 1);
  EXPECT_EQ(StrToFloat("007"), 7);
  EXPECT_EQ(StrToFloat("1E-0"), 1);
  EXPECT_TRUE(std::signbit(StrToFloat("-0")));
  EXPECT_EQ(StrToFloat("1.7976931348623157e308"), DBL_MAX);
  double Value;
  for (const char* Text : {".", "-.", "+", "-", "1e+", "1e-", "e", ".e1", "1.5e3.0", "1 .5", "- 1",
                           "++1", "1e 5", "NAN", "nan", "inf", "1d5", "1.5\t", "\n1"})
    EXPECT_FALSE(TryStrToFloat(Text, Value)) << Text;
}

TEST(StrToFloatTest, OverflowRaisesUnderflowGivesZero) {
  double Value;
  EXPECT_FALSE(TryStrToFloat("1.8e308", Value));
  EXPECT_FALSE(TryStrToFloat("-1E400", Value));
  EXPECT_FALSE(TryStrToFloat("1E99999999999999999999", Value));
  EXPECT_FALSE(TryStrToFloat("0.000000001E318", Value)); // 1E309
  EXPECT_EQ(StrToFloat("1E-400"), 0.0);
  EXPECT_TRUE(std::signbit(StrToFloat("-1E-400")));
  EXPECT_EQ(StrToFloat("1E-99999999999999999999"), 0.0);
  EXPECT_EQ(StrToFloat("100000000000E-334"), 1e-323); // subnormal: kept
  EXPECT_EQ(StrToFloat("3e-324"), 5e-324);
  EXPECT_EQ(StrToFloat("0E999999999"), 0.0);
  EXPECT_EQ(StrToFloat("0.0000000000000000000001E-400"), 0.0);
}

TEST(StrToFloatTest, LongTextsAreCorrectlyRounded) {
  // 400 digits, so the separator-replacing copy cannot use its stack buffer.
  std::string Long = "0." + std::string(398, '3');
  EXPECT_EQ(StrToFloat(Long), 1.0 / 3);
  SettingsGuard Guard;
  FormatSettings.DecimalSeparator = ',';
  Long[1] = ',';
  EXPECT_EQ(StrToFloat(Long), 1.0 / 3);
  // Just above the halfway point between two doubles, decided by the last of many digits.
  EXPECT_EQ(StrToFloat("9007199254740993,00000000000000000000000000000000000000000000000000000"
                       "0000000000000000000000000000000000000000000000000000000000000000000001"),
            9007199254740994.0);
  EXPECT_EQ(StrToFloat("9007199254740993"), 9007199254740992.0); // a tie: to even
}

TEST(StrToFloatTest, PointerFormReadsOnlyTheGivenLength) {
  double Value = 0;
  const char Text[] = "2.5E3junk";
  EXPECT_TRUE(TryStrToFloat(Text, 5, Value));
  EXPECT_EQ(Value, 2500);
  EXPECT_FALSE(TryStrToFloat(Text, 6, Value));
}

TEST(StrToFloatTest, ProcessLocaleDoesNotMatter) {
  const char* Previous = std::setlocale(LC_NUMERIC, nullptr);
  const std::string Saved = Previous ? Previous : "C";
  if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "fr_FR.UTF-8"))
    GTEST_SKIP() << "no locale with a comma decimal point is installed";
  EXPECT_EQ(FloatToStr(1.5), "1.5");
  EXPECT_EQ(FloatToStr(1.5e-10), "1.5E-10");
  EXPECT_EQ(StrToFloat("1.5"), 1.5);
  std::setlocale(LC_NUMERIC, Saved.c_str());
}

// ---- Round trips over random doubles, with fixed seeds

// Random finite doubles: every bit pattern is equally likely, so all exponents occur.
double RandomFinite(std::mt19937_64& Random) {
  for (;;) {
    const double X = std::bit_cast<double>(Random());
    if (std::isfinite(X)) return X;
  }
}

// One unit in the 15th significant digit of X (X finite and not zero).
double FifteenthDigitUnit(double X) {
  char Text[64];
  std::snprintf(Text, sizeof Text, "%.17e", X);
  const int Exponent = std::atoi(std::strchr(Text, 'e') + 1);
  return std::pow(10.0, Exponent - 14);
}

void CheckRoundTrip(double X) {
  const std::string Text = FloatToStr(X);
  const double Back = StrToFloat(Text);
  if (X != 0 && Back != X) {
    const double Unit = FifteenthDigitUnit(X);
    ASSERT_LE(std::fabs(Back - X), Unit * (1 + 1e-9)) << Text;
  }
  ASSERT_EQ(FloatToStr(Back), Text) << "not idempotent for " << Text;
}

TEST(FloatRoundTripTest, RandomBitPatterns) {
  std::mt19937_64 Random(1);
  for (int I = 0; I < 200000; ++I) CheckRoundTrip(RandomFinite(Random));
}

TEST(FloatRoundTripTest, RandomValuesOfEveryDayMagnitude) {
  std::mt19937_64 Random(2);
  std::uniform_real_distribution<double> Mantissa(-10, 10);
  std::uniform_int_distribution<int> Exponent(-8, 20);
  for (int I = 0; I < 200000; ++I)
    CheckRoundTrip(Mantissa(Random) * std::pow(10.0, Exponent(Random)));
}

TEST(FloatRoundTripTest, RandomValuesWithCommaSeparator) {
  SettingsGuard Guard;
  FormatSettings.DecimalSeparator = ',';
  std::mt19937_64 Random(3);
  for (int I = 0; I < 50000; ++I) CheckRoundTrip(RandomFinite(Random));
}

// The significant digits (no leading or trailing zeros) and the decimal exponent of the
// first one, of a FloatToStr text ("-0.00012", "1.5E-10", "123").
struct Significand {
  std::string Digits;
  int Exponent;
  bool operator==(const Significand&) const = default;
};

Significand OfText(const std::string& Text) {
  std::string Mantissa = Text[0] == '-' ? Text.substr(1) : Text;
  int Exponent = 0;
  if (const auto E = Mantissa.find('E'); E != std::string::npos) {
    Exponent = std::atoi(Mantissa.c_str() + E + 1);
    Mantissa.resize(E);
  }
  const auto Point = Mantissa.find('.');
  const std::string IntPart = Mantissa.substr(0, Point);
  std::string All = IntPart + (Point == std::string::npos ? "" : Mantissa.substr(Point + 1));
  const auto Leading = All.find_first_not_of('0');
  All = All.substr(Leading);
  All.resize(All.find_last_not_of('0') + 1);
  return {All, static_cast<int>(IntPart.size()) - 1 - static_cast<int>(Leading) + Exponent};
}

// The FloatToStr rounding steps done literally on glibc's printf("%.17e") (the C locale is in
// force).
Significand OfRule(double X) {
  char Text[64];
  std::snprintf(Text, sizeof Text, "%.17e", std::fabs(X));
  std::string Digits = std::string(1, Text[0]) + std::string(Text + 2, 14);
  int Exponent = std::atoi(std::strchr(Text, 'e') + 1);
  if (Text[16] >= '5') {
    int I = 14;
    while (I >= 0 && Digits[I] == '9') Digits[I--] = '0';
    if (I < 0) {
      Digits[0] = '1';
      ++Exponent;
    } else {
      ++Digits[I];
    }
  }
  Digits.resize(Digits.find_last_not_of('0') + 1);
  return {Digits, Exponent};
}

void CheckAgainstRule(double X) {
  ASSERT_TRUE(std::isfinite(X) && X != 0);
  const std::string Text = FloatToStr(X);
  ASSERT_EQ(OfText(Text), OfRule(X)) << Text;
  ASSERT_EQ(Text[0] == '-', X < 0) << Text;
}

TEST(FloatRuleTest, AgreesWithTheRuleOnPrintfDigits) {
  ASSERT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
  std::mt19937_64 Random(4);
  for (int I = 0; I < 300000; ++I) CheckAgainstRule(RandomFinite(Random));
  std::uniform_int_distribution<std::int64_t> Cents(-100000000, 100000000);
  for (int I = 0; I < 100000; ++I) CheckAgainstRule(static_cast<double>(Cents(Random)) / 100);
  std::uniform_real_distribution<double> Mantissa(1, 10);
  std::uniform_int_distribution<int> Exponent(-320, 307);
  for (int I = 0; I < 100000; ++I)
    CheckAgainstRule(Mantissa(Random) * std::pow(10.0, Exponent(Random)));
}

TEST(FloatRuleTest, AgreesWithTheRuleNearFifteenDigitHalves) {
  // Doubles within 40 binary units of a point halfway between two 15-digit numbers: the
  // cases where shortest digits cannot decide and the 18-digit rounding matters.
  std::mt19937_64 Random(6);
  std::uniform_int_distribution<std::int64_t> Digits(100000000000000, 999999999999999);
  std::uniform_int_distribution<int> Exponent(-315, 290); // 1E-300 ... 1E306 in all
  for (int I = 0; I < 20000; ++I) {
    char Half[64];
    std::snprintf(Half, sizeof Half, "%lld5e%d", static_cast<long long>(Digits(Random)),
                  Exponent(Random));
    const double Center = std::strtod(Half, nullptr);
    double Down = Center, Up = Center;
    CheckAgainstRule(Center);
    for (int K = 0; K < 40; ++K) {
      Down = std::nextafter(Down, 0.0);
      Up = std::nextafter(Up, HUGE_VAL);
      CheckAgainstRule(Down);
      CheckAgainstRule(-Up);
    }
  }
}

TEST(FloatRuleTest, AgreesWithTheRuleForSubnormalsAndExtremes) {
  for (double X = 5e-324; X < 1e-307; X = std::nextafter(X * 1.37, 1.0)) CheckAgainstRule(X);
  for (double X = DBL_MAX; X > 1e300; X /= 1.37) CheckAgainstRule(X);
  double X = DBL_MIN;
  for (int K = 0; K < 1000; ++K) {
    CheckAgainstRule(X);
    CheckAgainstRule(std::nextafter(DBL_MIN, 0.0) - K * 5e-324);
    X = std::nextafter(X, 1.0);
  }
}

TEST(FloatRoundTripTest, TextFormsMatchTheirValue) {
  // Fixed notation exactly for 1E-4 <= |rounded X| < 1E15, exponent form otherwise.
  std::mt19937_64 Random(5);
  for (int I = 0; I < 100000; ++I) {
    const double X = RandomFinite(Random);
    if (X == 0) continue;
    const std::string Text = FloatToStr(X);
    const double Rounded = std::fabs(StrToFloat(Text));
    const bool Exponent = Text.find('E') != std::string::npos;
    ASSERT_EQ(Exponent, Rounded < 1e-4 || Rounded >= 1e15) << Text;
    if (!Exponent) {
      const bool HasSeparator = Text.find('.') != std::string::npos;
      ASSERT_EQ(HasSeparator, Rounded != std::floor(Rounded)) << Text;
    }
  }
}

} // namespace
