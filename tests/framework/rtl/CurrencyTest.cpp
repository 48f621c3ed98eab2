// Currency and its texts: the vector tables of CurrToStr and
// StrToCurr, exact rounding of doubles and decimal texts, range checks and round trips.
#include "kelva/framework/rtl/Exceptions.h"
#include "kelva/framework/rtl/SysUtils.h"
#include "kelva/framework/rtl/Variant.h"
#include "support/Joined.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <type_traits>

using namespace kelva;

using kelva::testing::Joined;

namespace {

constexpr std::int64_t MaxScaled = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t MinScaled = std::numeric_limits<std::int64_t>::min();
const std::string RangeMessage = "Value out of the currency range";

struct SettingsGuard {
  TFormatSettings Saved = FormatSettings;
  ~SettingsGuard() { FormatSettings = Saved; }
};

template <class F>
std::string ConvertErrorOf(F&& Call) {
  try {
    Call();
  } catch (const EConvertError& E) {
    return E.Message();
  }
  return "<no EConvertError>";
}

// ---- CurrToStr

TEST(CurrToStrTest, VectorTable) {
  EXPECT_EQ(CurrToStr(Currency::FromScaled(0)), "0");
  EXPECT_EQ(CurrToStr(Currency::FromScaled(125000)), "12.5");
  EXPECT_EQ(CurrToStr(Currency::FromScaled(1000000)), "100");
  EXPECT_EQ(CurrToStr(Currency::FromScaled(-1)), "-0.0001");
  EXPECT_EQ(CurrToStr(Currency::FromScaled(11000)), "1.1");
  EXPECT_EQ(CurrToStr(Currency::FromScaled(MaxScaled)), "922337203685477.5807");
  EXPECT_EQ(CurrToStr(Currency::FromScaled(MinScaled)), "-922337203685477.5808");
  SettingsGuard Guard;
  FormatSettings.DecimalSeparator = ',';
  EXPECT_EQ(CurrToStr(Currency::FromScaled(125000)), "12,5");
}

TEST(CurrToStrTest, FractionDigits) {
  EXPECT_EQ(CurrToStr(Currency::FromScaled(10001)), "1.0001");
  EXPECT_EQ(CurrToStr(Currency::FromScaled(10010)), "1.001");
  EXPECT_EQ(CurrToStr(Currency::FromScaled(-5000)), "-0.5");
  EXPECT_EQ(CurrToStr(Currency::FromScaled(-10000)), "-1");
  EXPECT_EQ(CurrToStr(Currency::FromInt64(1000000)), "1000000"); // never an exponent
  char Buffer[CurrToStrBufSize];
  EXPECT_EQ(CurrToStrBuf(Currency::FromScaled(MinScaled), Buffer), 21u); // the longest text
}

// ---- StrToCurr

TEST(StrToCurrTest, VectorTable) {
  EXPECT_EQ(StrToCurr("12.5").Scaled, 125000);
  EXPECT_EQ(StrToCurr(" 1 ").Scaled, 10000);
  EXPECT_EQ(StrToCurr("1E2").Scaled, 1000000);
  EXPECT_EQ(StrToCurr("0.00005").Scaled, 0);
  EXPECT_EQ(StrToCurr("0.00015").Scaled, 2);
  EXPECT_EQ(StrToCurr("0.00025").Scaled, 2);
  EXPECT_EQ(StrToCurr("-0.00015").Scaled, -2);
  EXPECT_EQ(StrToCurr("922337203685477.5807").Scaled, MaxScaled);
}

TEST(StrToCurrTest, VectorTableErrorsCarryTheText) {
  for (const char* Text : {"922337203685477.5808", "abc", ""}) {
    SCOPED_TRACE(Text);
    EXPECT_EQ(ConvertErrorOf([&] { StrToCurr(Text); }),
              Joined("'", Text, "' is not a valid floating point value"));
  }
}

TEST(StrToCurrTest, RangeEnds) {
  EXPECT_EQ(StrToCurr("-922337203685477.5808").Scaled, MinScaled);
  EXPECT_EQ(StrToCurr("-922337203685477.58075").Scaled, MinScaled);    // tie to even
  EXPECT_EQ(StrToCurr("922337203685477.58065").Scaled, MaxScaled - 1); // tie to even
  EXPECT_EQ(StrToCurr("922337203685477.580749999").Scaled, MaxScaled);
  EXPECT_EQ(StrToCurr("0.0922337203685477580749999E16").Scaled, MaxScaled);
  Currency Value;
  EXPECT_EQ(StrToCurr("-922337203685477.58085").Scaled, MinScaled); // tie to even
  for (const char* Text :
       {"922337203685477.58075", "-922337203685477.580850000001", "-922337203685477.5809", "1E15",
        "99999999999999999999", "1E19", "1E999999999999", "0.00000000001E30"})
    EXPECT_FALSE(TryStrToCurr(Text, Value)) << Text;
}

TEST(StrToCurrTest, ExactDecimalRounding) {
  // The text's exact value decides, not its nearest double.
  EXPECT_EQ(StrToCurr("0.000050000000000000000000001").Scaled, 1);
  EXPECT_EQ(StrToCurr("0.00004999999999999999999999").Scaled, 0);
  EXPECT_EQ(StrToCurr("2.00035").Scaled, 20004);
  EXPECT_EQ(StrToCurr("2.00045").Scaled, 20004);
  EXPECT_EQ(StrToCurr("-2.00045000000001").Scaled, -20005);
  EXPECT_EQ(StrToCurr("1234.56789").Scaled, 12345679);
  EXPECT_EQ(StrToCurr("0.00006").Scaled, 1);
  EXPECT_EQ(StrToCurr("5E-5").Scaled, 0);
  EXPECT_EQ(StrToCurr("15E-5").Scaled, 2);
  EXPECT_EQ(StrToCurr("1.5E-4").Scaled, 2);
  EXPECT_EQ(StrToCurr("1E-99999999999").Scaled, 0);
  EXPECT_EQ(StrToCurr("0E99999999999").Scaled, 0);
  EXPECT_EQ(StrToCurr("-0").Scaled, 0);
  EXPECT_EQ(StrToCurr(".5").Scaled, 5000);
  EXPECT_EQ(StrToCurr("7.").Scaled, 70000);
  EXPECT_EQ(StrToCurr("+000000000000000000000000012.5").Scaled, 125000);
  EXPECT_EQ(StrToCurr("0.0000000000000000000000000000001E31").Scaled, 10000);
}

TEST(StrToCurrTest, SyntaxIsThatOfStrToFloat) {
  Currency Value;
  for (const char* Text : {" ", "E5", "1E", "1.5x", "1,5", "1 000", "0x10", "INF", "1..5", "\t1",
                           "$10", "1.5 x", "--1"})
    EXPECT_FALSE(TryStrToCurr(Text, Value)) << Text;
  SettingsGuard Guard;
  FormatSettings.DecimalSeparator = ',';
  EXPECT_EQ(StrToCurr("12,5").Scaled, 125000);
  EXPECT_FALSE(TryStrToCurr("12.5", Value));
  EXPECT_EQ(ConvertErrorOf([] { StrToCurr("12.5"); }),
            "'12.5' is not a valid floating point value");
}

TEST(StrToCurrTest, RandomRoundTrip) {
  std::mt19937_64 Random(11);
  for (int I = 0; I < 100000; ++I) {
    const Currency C = Currency::FromScaled(static_cast<std::int64_t>(Random()));
    ASSERT_EQ(StrToCurr(CurrToStr(C)), C) << CurrToStr(C);
    const Currency Small =
        Currency::FromScaled(static_cast<std::int64_t>(Random() % 2000001) - 1000000);
    ASSERT_EQ(StrToCurr(CurrToStr(Small)), Small) << CurrToStr(Small);
  }
  SettingsGuard Guard;
  FormatSettings.DecimalSeparator = ',';
  for (int I = 0; I < 10000; ++I) {
    const Currency C = Currency::FromScaled(static_cast<std::int64_t>(Random()));
    ASSERT_EQ(StrToCurr(CurrToStr(C)), C) << CurrToStr(C);
  }
}

// ---- Currency arithmetic

TEST(CurrencyTest, FromInt64IsRangeChecked) {
  EXPECT_EQ(Currency::FromInt64(12).Scaled, 120000);
  EXPECT_EQ(Currency::FromInt64(-3).Scaled, -30000);
  EXPECT_EQ(Currency::FromInt64(922337203685477).Scaled, 9223372036854770000);
  EXPECT_EQ(Currency::FromInt64(-922337203685477).Scaled, -9223372036854770000);
  EXPECT_EQ(ConvertErrorOf([] { Currency::FromInt64(922337203685478); }), RangeMessage);
  EXPECT_EQ(ConvertErrorOf([] { Currency::FromInt64(-922337203685478); }), RangeMessage);
  EXPECT_EQ(ConvertErrorOf([] { Currency::FromInt64(MinScaled); }), RangeMessage);
}

TEST(CurrencyTest, FromDoubleRoundsTheExactProduct) {
  EXPECT_EQ(Currency::FromDouble(12.5).Scaled, 125000);
  EXPECT_EQ(Currency::FromDouble(1.15).Scaled, 11500);
  EXPECT_EQ(Currency::FromDouble(-1.15).Scaled, -11500);
  EXPECT_EQ(Currency::FromDouble(0.1).Scaled, 1000);
  EXPECT_EQ(Currency::FromDouble(-0.0).Scaled, 0);
  EXPECT_EQ(Currency::FromDouble(5e-324).Scaled, 0);
  // Exact halves (1/32 * 10000 = 312.5, 3/32 * 10000 = 937.5): to even.
  EXPECT_EQ(Currency::FromDouble(0.03125).Scaled, 312);
  EXPECT_EQ(Currency::FromDouble(0.09375).Scaled, 938);
  EXPECT_EQ(Currency::FromDouble(-0.03125).Scaled, -312);
  EXPECT_EQ(Currency::FromDouble(-0.09375).Scaled, -938);
  EXPECT_EQ(Currency::FromDouble(0.00005).Scaled, 1); // 0.0000500000000000000024 * 10000
  EXPECT_EQ(Currency::FromDouble(0.00015).Scaled, 1); // 0.000149999999999999993 * 10000
  EXPECT_EQ(Currency::FromDouble(922337203685477.5).Scaled, 9223372036854775000);
  EXPECT_EQ(Currency::FromDouble(-922337203685477.5).Scaled, -9223372036854775000);
}

TEST(CurrencyTest, FromDoubleRangeErrors) {
  for (double X :
       {922337203685477.625, -922337203685477.75, 1e15, -1e300,
        std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
        std::numeric_limits<double>::quiet_NaN()}) {
    SCOPED_TRACE(X);
    EXPECT_EQ(ConvertErrorOf([&] { Currency::FromDouble(X); }), RangeMessage);
  }
}

TEST(CurrencyTest, FromDoubleAgreesWithDecimalRounding) {
  // For money amounts with at most four decimals the double's nearest currency is the
  // amount itself, and ToDouble gives the double back.
  std::mt19937_64 Random(12);
  std::uniform_int_distribution<std::int64_t> Scaled(-100000000000000, 100000000000000);
  for (int I = 0; I < 100000; ++I) {
    const Currency C = Currency::FromScaled(Scaled(Random));
    ASSERT_EQ(Currency::FromDouble(C.ToDouble()), C) << CurrToStr(C);
  }
}

TEST(CurrencyTest, ArithmeticAndComparison) {
  const Currency A = StrToCurr("10.25"), B = StrToCurr("0.0001");
  EXPECT_EQ(CurrToStr(A + B), "10.2501");
  EXPECT_EQ(CurrToStr(B - A), "-10.2499");
  EXPECT_LT(B, A);
  EXPECT_GT(A, B);
  EXPECT_EQ(A, Currency::FromScaled(102500));
  EXPECT_NE(A, B);
  EXPECT_DOUBLE_EQ(A.ToDouble(), 10.25);
  EXPECT_EQ((Currency::FromScaled(MaxScaled) - B).Scaled, MaxScaled - 1);
  EXPECT_EQ((Currency::FromScaled(MinScaled) + B).Scaled, MinScaled + 1);
  EXPECT_EQ(ConvertErrorOf([&] { (void)(Currency::FromScaled(MaxScaled) + B); }), RangeMessage);
  EXPECT_EQ(ConvertErrorOf([&] { (void)(Currency::FromScaled(MinScaled) - B); }), RangeMessage);
  EXPECT_EQ(
      ConvertErrorOf([&] { (void)(Currency::FromScaled(0) - Currency::FromScaled(MinScaled)); }),
      RangeMessage);
}

} // namespace

// A plain number never becomes a Currency or a Variant by accident: whether 41000 means
// 41,000 or 4.1, and whether a character is a letter or its code, has to be said.
static_assert(!std::is_constructible_v<Currency, int>);
static_assert(!std::is_constructible_v<Currency, std::int64_t>);
static_assert(!std::is_constructible_v<Currency, double>);
static_assert(!std::is_convertible_v<int, Currency>);
static_assert(std::is_default_constructible_v<Currency>);
static_assert(!std::is_constructible_v<Variant, char>);
static_assert(!std::is_constructible_v<Variant, unsigned long long>);
static_assert(!std::is_constructible_v<Variant, std::nullptr_t>);
static_assert(!std::is_constructible_v<Variant, int*>);
static_assert(!std::is_constructible_v<Variant, const TFormatSettings*>);
static_assert(std::is_constructible_v<Variant, const char*>);
static_assert(std::is_constructible_v<Variant, char*>);

TEST(Currency, NamedConstructorsSayWhatTheNumberMeans) {
  EXPECT_EQ(Currency::FromInt64(41000).Scaled, 41000 * Currency::Scale);
  EXPECT_EQ(Currency::FromScaled(41000).ToDouble(), 4.1);
  EXPECT_EQ(Currency::FromDouble(41000.0), Currency::FromInt64(41000));
  EXPECT_EQ(Currency{}.Scaled, 0);
}
