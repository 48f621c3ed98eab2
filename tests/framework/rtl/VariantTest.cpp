// Tests of Variant: the conversion table with its exact results and errors, arrays and value
// semantics, and VarCompareValue as a total order over mixed kinds.
#include "kelva/framework/rtl/Variant.h"
#include "kelva/framework/rtl/Exceptions.h"
#include "kelva/framework/rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace kelva {
namespace {

// The message of the E thrown by Call, or a marker text when nothing (or something else) is.
template <class E, class F>
std::string MessageOf(F&& Call) {
  try {
    Call();
  } catch (const E& Error) {
    return Error.Message();
  } catch (const std::exception& Other) {
    return std::string("<other exception: ") + Other.what() + ">";
  }
  return "<no exception>";
}

std::string CastMessage(const std::string& From, const std::string& To) {
  return "Could not convert variant of type (" + From + ") into type (" + To + ")";
}

std::string OverflowMessage(const std::string& From, const std::string& To) {
  return "Overflow while converting variant of type (" + From + ") into type (" + To + ")";
}

Variant Int64Of(std::int64_t Value) {
  return Variant(Value);
}
Variant CurrencyOf(std::int64_t Scaled) {
  return Variant(Currency::FromScaled(Scaled));
}

// Runs every As... conversion of V and returns, per target kind, the error message.
struct TargetCall {
  const char* Target;
  std::function<void(const Variant&)> Convert;
};
const std::vector<TargetCall>& AllTargets() {
  static const std::vector<TargetCall> Targets = {
      {"String", [](const Variant& V) { (void)V.AsString(); }},
      {"Integer", [](const Variant& V) { (void)V.AsInteger(); }},
      {"Int64", [](const Variant& V) { (void)V.AsInt64(); }},
      {"Double", [](const Variant& V) { (void)V.AsFloat(); }},
      {"Boolean", [](const Variant& V) { (void)V.AsBoolean(); }},
      {"Currency", [](const Variant& V) { (void)V.AsCurrency(); }},
      {"Date", [](const Variant& V) { (void)V.AsDateTime(); }},
  };
  return Targets;
}

TEST(VariantKinds, VarTypeOfEveryKind) {
  EXPECT_EQ(Variant().VarType(), varEmpty);
  EXPECT_EQ(Unassigned().VarType(), varEmpty);
  EXPECT_EQ(Null().VarType(), varNull);
  EXPECT_EQ(Variant(1).VarType(), varInteger);
  EXPECT_EQ(Int64Of(1).VarType(), varInt64);
  EXPECT_EQ(Variant(1.0).VarType(), varDouble);
  EXPECT_EQ(CurrencyOf(1).VarType(), varCurrency);
  EXPECT_EQ(Variant::FromDateTime(1.0).VarType(), varDate);
  EXPECT_EQ(Variant(true).VarType(), varBoolean);
  EXPECT_EQ(Variant("x").VarType(), varString);
  EXPECT_EQ(Variant(std::string("x")).VarType(), varString);
  EXPECT_EQ(VarArrayOf({1, 2}).VarType(), varArray | varVariant);
}

TEST(VariantKinds, Predicates) {
  EXPECT_TRUE(VarIsNull(Null()));
  EXPECT_FALSE(VarIsNull(Unassigned()));
  EXPECT_TRUE(VarIsEmpty(Unassigned()));
  EXPECT_FALSE(VarIsEmpty(Null()));
  EXPECT_FALSE(VarIsEmpty(Variant("")));
  EXPECT_TRUE(VarIsArray(VarArrayOf({})));
  EXPECT_FALSE(VarIsArray(Variant(1)));
}

TEST(VariantKinds, NullCharPointerIsEmptyText) {
  const char* Nothing = nullptr;
  EXPECT_EQ(Variant(Nothing).AsString(), "");
}

TEST(VariantConversion, EmptyGivesZeroValues) {
  const Variant V;
  EXPECT_EQ(V.AsString(), "");
  EXPECT_EQ(V.AsInteger(), 0);
  EXPECT_EQ(V.AsInt64(), 0);
  EXPECT_EQ(V.AsFloat(), 0.0);
  EXPECT_FALSE(V.AsBoolean());
  EXPECT_EQ(V.AsCurrency().Scaled, 0);
  EXPECT_EQ(V.AsDateTime(), 0.0);
}

TEST(VariantConversion, NullAndArrayRefuseEveryConversion) {
  const std::pair<Variant, const char*> Sources[] = {{Null(), "Null"}, {VarArrayOf({1}), "Array"}};
  for (const auto& Source : Sources)
    for (const TargetCall& Target : AllTargets())
      EXPECT_EQ(MessageOf<EVariantError>([&] { Target.Convert(Source.first); }),
                CastMessage(Source.second, Target.Target))
          << Source.second << " -> " << Target.Target;
}

TEST(VariantConversion, FromIntegers) {
  const Variant I(-42);
  EXPECT_EQ(I.AsString(), "-42");
  EXPECT_EQ(I.AsInteger(), -42);
  EXPECT_EQ(I.AsInt64(), -42);
  EXPECT_EQ(I.AsFloat(), -42.0);
  EXPECT_TRUE(I.AsBoolean());
  EXPECT_FALSE(Variant(0).AsBoolean());
  EXPECT_EQ(I.AsCurrency().Scaled, -420000);
  EXPECT_EQ(I.AsDateTime(), -42.0);

  const Variant Big = Int64Of(std::numeric_limits<std::int64_t>::min());
  EXPECT_EQ(Big.AsString(), "-9223372036854775808");
  EXPECT_EQ(Big.AsInt64(), std::numeric_limits<std::int64_t>::min());
  EXPECT_EQ(Int64Of(2147483647).AsInteger(), 2147483647);
  EXPECT_EQ(Int64Of(-2147483648LL).AsInteger(), -2147483647 - 1);
  EXPECT_EQ(MessageOf<EVariantError>([] { (void)Int64Of(2147483648LL).AsInteger(); }),
            OverflowMessage("Int64", "Integer"));
  EXPECT_EQ(MessageOf<EVariantError>([] { (void)Int64Of(-2147483649LL).AsInteger(); }),
            OverflowMessage("Int64", "Integer"));
  // Currency holds at most 922337203685477.5807.
  EXPECT_THROW((void)Int64Of(1000000000000000LL).AsCurrency(), EConvertError);
}

TEST(VariantConversion, FromDouble) {
  EXPECT_EQ(Variant(0.1).AsString(), "0.1");
  EXPECT_EQ(Variant(1.5).AsFloat(), 1.5);
  EXPECT_TRUE(Variant(0.25).AsBoolean());
  EXPECT_FALSE(Variant(0.0).AsBoolean());
  EXPECT_TRUE(Variant(std::nan("")).AsBoolean());
  EXPECT_EQ(Variant(1.25).AsCurrency().Scaled, 12500);
  EXPECT_EQ(Variant(1.25).AsDateTime(), 1.25);
  EXPECT_THROW((void)Variant(1e300).AsCurrency(), EConvertError);
}

TEST(VariantConversion, DoubleToIntegerRoundsHalfToEven) {
  const struct {
    double Value;
    std::int64_t Expected;
  } Cases[] = {{0.5, 0},
               {1.5, 2},
               {2.5, 2},
               {3.5, 4},
               {-0.5, 0},
               {-1.5, -2},
               {-2.5, -2},
               {2.4999, 2},
               {2.5000001, 3},
               {-2.5000001, -3},
               {1e15, 1000000000000000},
               {4503599627370495.5, 4503599627370496}};
  for (const auto& Case : Cases) {
    EXPECT_EQ(Variant(Case.Value).AsInt64(), Case.Expected) << Case.Value;
    EXPECT_EQ(Variant::FromDateTime(Case.Value).AsInt64(), Case.Expected) << Case.Value;
  }
  EXPECT_EQ(Variant(2147483647.4).AsInteger(), 2147483647);
  EXPECT_EQ(Variant(-2147483648.5).AsInteger(), -2147483647 - 1);
}

TEST(VariantConversion, DoubleOutOfIntegerRangeOverflows) {
  const double Inf = std::numeric_limits<double>::infinity();
  for (double Value : {2147483647.5, -2147483649.0, 1e10, std::nan(""), Inf})
    EXPECT_EQ(MessageOf<EVariantError>([&] { (void)Variant(Value).AsInteger(); }),
              OverflowMessage("Double", "Integer"))
        << Value;
  for (double Value : {9223372036854775808.0, -1e19, std::nan(""), -Inf})
    EXPECT_EQ(MessageOf<EVariantError>([&] { (void)Variant(Value).AsInt64(); }),
              OverflowMessage("Double", "Int64"))
        << Value;
  EXPECT_EQ(Variant(-9223372036854775808.0).AsInt64(), std::numeric_limits<std::int64_t>::min());
  EXPECT_EQ(MessageOf<EVariantError>([] { (void)Variant::FromDateTime(1e12).AsInteger(); }),
            OverflowMessage("Date", "Integer"));
}

TEST(VariantConversion, FromCurrency) {
  EXPECT_EQ(CurrencyOf(125000).AsString(), "12.5");
  EXPECT_EQ(CurrencyOf(125000).AsFloat(), 12.5);
  EXPECT_EQ(CurrencyOf(125000).AsDateTime(), 12.5);
  EXPECT_TRUE(CurrencyOf(1).AsBoolean());
  EXPECT_FALSE(CurrencyOf(0).AsBoolean());
  EXPECT_EQ(CurrencyOf(-7).AsCurrency().Scaled, -7);
  const struct {
    std::int64_t Scaled;
    std::int64_t Expected;
  } Cases[] = {
      {25000, 2},   {35000, 4}, {-25000, -2},
      {-35000, -4}, {25001, 3}, {24999, 2},
      {-25001, -3}, {5000, 0},  {15000, 2},
      {-5000, 0},   {9999, 1},  {std::numeric_limits<std::int64_t>::max(), 922337203685478}};
  for (const auto& Case : Cases)
    EXPECT_EQ(CurrencyOf(Case.Scaled).AsInt64(), Case.Expected) << Case.Scaled;
  EXPECT_EQ(MessageOf<EVariantError>([] { (void)CurrencyOf(30000000000000).AsInteger(); }),
            OverflowMessage("Currency", "Integer"));
}

TEST(VariantConversion, FromDate) {
  const Variant D = Variant::FromDateTime(36526.25);
  EXPECT_EQ(D.AsString(), "2000-01-01 06:00:00");
  EXPECT_EQ(D.AsFloat(), 36526.25);
  EXPECT_EQ(D.AsDateTime(), 36526.25);
  EXPECT_EQ(D.AsInteger(), 36526);
  EXPECT_EQ(Variant::FromDateTime(36526.5).AsInteger(), 36526);
  EXPECT_TRUE(D.AsBoolean());
  EXPECT_FALSE(Variant::FromDateTime(0.0).AsBoolean());
  EXPECT_EQ(D.AsCurrency().Scaled, 365262500);
}

TEST(VariantConversion, FromBoolean) {
  const Variant T(true);
  const Variant F(false);
  EXPECT_EQ(T.AsString(), "True");
  EXPECT_EQ(F.AsString(), "False");
  EXPECT_EQ(T.AsInteger(), -1);
  EXPECT_EQ(F.AsInteger(), 0);
  EXPECT_EQ(T.AsInt64(), -1);
  EXPECT_EQ(T.AsFloat(), -1.0);
  EXPECT_EQ(F.AsFloat(), 0.0);
  EXPECT_TRUE(T.AsBoolean());
  EXPECT_FALSE(F.AsBoolean());
  EXPECT_EQ(T.AsCurrency().Scaled, -10000);
  EXPECT_EQ(F.AsCurrency().Scaled, 0);
  EXPECT_EQ(T.AsDateTime(), -1.0);
}

TEST(VariantConversion, StringToIntegers) {
  EXPECT_EQ(Variant("123").AsInteger(), 123);
  EXPECT_EQ(Variant("  -45").AsInteger(), -45);
  EXPECT_EQ(Variant("$FF").AsInteger(), 255);
  EXPECT_EQ(Variant("$FFFFFFFF").AsInteger(), -1);
  EXPECT_EQ(Variant("2.5").AsInteger(), 2);
  EXPECT_EQ(Variant("3.5").AsInteger(), 4);
  EXPECT_EQ(Variant("-1.5E1").AsInteger(), -15);
  EXPECT_EQ(Variant(" 7 ").AsInteger(), 7); // not an integer text, but a float text
  // Integer texts beyond 32 bits stay exact for AsInt64 (no trip through a double).
  EXPECT_EQ(Variant("9007199254740993").AsInt64(), 9007199254740993LL);
  EXPECT_EQ(Variant("-9223372036854775808").AsInt64(), std::numeric_limits<std::int64_t>::min());
  EXPECT_EQ(MessageOf<EVariantError>([] { (void)Variant("2147483648").AsInteger(); }),
            OverflowMessage("String", "Integer"));
  EXPECT_EQ(MessageOf<EVariantError>([] { (void)Variant("1e20").AsInt64(); }),
            OverflowMessage("String", "Int64"));
  for (const char* Text : {"", "abc", "12a", "1..5", "$FFFFFFFFF", "\t5"}) {
    EXPECT_EQ(MessageOf<EVariantError>([&] { (void)Variant(Text).AsInteger(); }),
              CastMessage("String", "Integer"))
        << Text;
    EXPECT_EQ(MessageOf<EVariantError>([&] { (void)Variant(Text).AsInt64(); }),
              CastMessage("String", "Int64"))
        << Text;
  }
}

TEST(VariantConversion, StringToFloat) {
  EXPECT_EQ(Variant(" 1.5 ").AsFloat(), 1.5);
  EXPECT_EQ(Variant("-1.5E3").AsFloat(), -1500.0);
  for (const char* Text : {"", "1,5", "INF", "0x10", "$10"})
    EXPECT_EQ(MessageOf<EVariantError>([&] { (void)Variant(Text).AsFloat(); }),
              CastMessage("String", "Double"))
        << Text;
}

TEST(VariantConversion, StringToBoolean) {
  for (const char* Text : {"true", "TRUE", "tRuE", "1", "-1", "0.5", "$10"})
    EXPECT_TRUE(Variant(Text).AsBoolean()) << Text;
  for (const char* Text : {"false", "FALSE", "False", "0", "0.0", " 0"})
    EXPECT_FALSE(Variant(Text).AsBoolean()) << Text;
  for (const char* Text : {"", "yes", "truex", " true", "T"})
    EXPECT_EQ(MessageOf<EVariantError>([&] { (void)Variant(Text).AsBoolean(); }),
              CastMessage("String", "Boolean"))
        << Text;
}

TEST(VariantConversion, StringToCurrency) {
  EXPECT_EQ(Variant("12.5").AsCurrency().Scaled, 125000);
  EXPECT_EQ(Variant("0.00015").AsCurrency().Scaled, 2);
  for (const char* Text : {"", "abc", "922337203685477.5808"})
    EXPECT_EQ(MessageOf<EVariantError>([&] { (void)Variant(Text).AsCurrency(); }),
              CastMessage("String", "Currency"))
        << Text;
}

TEST(VariantConversion, StringToDateTime) {
  EXPECT_EQ(Variant("2000-01-01").AsDateTime(), 36526.0);
  EXPECT_EQ(Variant("2000-01-01 06:00:00").AsDateTime(), 36526.25);
  EXPECT_EQ(Variant("36526.5").AsDateTime(), 36526.5);
  for (const char* Text : {"", "soon", "2000-13-01"})
    EXPECT_EQ(MessageOf<EVariantError>([&] { (void)Variant(Text).AsDateTime(); }),
              CastMessage("String", "Date"))
        << Text;
}

TEST(VariantConversion, VarToStr) {
  EXPECT_EQ(VarToStr(Null()), "");
  EXPECT_EQ(VarToStr(Unassigned()), "");
  EXPECT_EQ(VarToStr(Variant(5)), "5");
  EXPECT_EQ(VarToStr(Variant(false)), "False");
  EXPECT_THROW(VarToStr(VarArrayOf({1})), EVariantError);
}

TEST(VariantArray, BoundsAndIndexing) {
  Variant A = VarArrayOf({1, "two", Null()});
  EXPECT_EQ(A.ArrayHigh(), 2);
  EXPECT_EQ(A[0].AsInteger(), 1);
  EXPECT_EQ(A[1].AsString(), "two");
  EXPECT_TRUE(VarIsNull(A[2]));
  A[1] = 2.5;
  EXPECT_EQ(A[1].AsFloat(), 2.5);
  EXPECT_EQ(VarArrayOf({}).ArrayHigh(), -1);
  EXPECT_EQ(VarArrayOf(std::vector<Variant>{1, 2}).ArrayHigh(), 1);

  for (std::int32_t Index : {-1, 3, std::numeric_limits<std::int32_t>::min()})
    EXPECT_EQ(MessageOf<EVariantError>([&] { (void)A[Index]; }),
              "Variant or safe array index out of bounds")
        << Index;
  const Variant& ConstA = A;
  EXPECT_EQ(MessageOf<EVariantError>([&] { (void)ConstA[3]; }),
            "Variant or safe array index out of bounds");
  EXPECT_EQ(MessageOf<EVariantError>([] { (void)VarArrayOf({})[0]; }),
            "Variant or safe array index out of bounds");
}

TEST(VariantArray, NonArrayRefusesIndexing) {
  for (const Variant& V : {Variant(1), Null(), Unassigned(), Variant("abc")}) {
    EXPECT_EQ(MessageOf<EVariantError>([&] { (void)V[0]; }), "Variant is not an array");
    EXPECT_EQ(MessageOf<EVariantError>([&] { (void)V.ArrayHigh(); }), "Variant is not an array");
  }
}

TEST(VariantArray, CopiesAreDeep) {
  Variant Original = VarArrayOf({1, VarArrayOf({"inner"})});
  Variant Copy = Original;
  Copy[0] = 99;
  Copy[1][0] = "changed";
  EXPECT_EQ(Original[0].AsInteger(), 1);
  EXPECT_EQ(Original[1][0].AsString(), "inner");

  Variant Assigned;
  Assigned = Original;
  Assigned[1][0] = "again";
  EXPECT_EQ(Original[1][0].AsString(), "inner");

  Variant Moved = std::move(Assigned);
  EXPECT_EQ(Moved[1][0].AsString(), "again");
  Moved = Variant(7); // an array replaced by a scalar
  EXPECT_EQ(Moved.AsInteger(), 7);
}

// ---- VarCompareValue ----

TEST(VariantCompare, NullishValuesSortFirst) {
  EXPECT_EQ(VarCompareValue(Null(), Null()), vrEqual);
  EXPECT_EQ(VarCompareValue(Null(), Unassigned()), vrEqual);
  EXPECT_EQ(VarCompareValue(Unassigned(), Unassigned()), vrEqual);
  for (const Variant& V :
       {Variant(-1e308), Variant(""), Variant(false), Variant(std::nan("")), VarArrayOf({1})}) {
    EXPECT_EQ(VarCompareValue(Null(), V), vrLessThan);
    EXPECT_EQ(VarCompareValue(V, Unassigned()), vrGreaterThan);
  }
}

TEST(VariantCompare, ArraysCannotBeCompared) {
  for (const Variant& V : {Variant(1), VarArrayOf({1}), Variant("a")}) {
    EXPECT_EQ(MessageOf<EVariantError>([&] { VarCompareValue(VarArrayOf({1}), V); }),
              "Invalid variant operation");
    EXPECT_EQ(MessageOf<EVariantError>([&] { VarCompareValue(V, VarArrayOf({1})); }),
              "Invalid variant operation");
  }
}

TEST(VariantCompare, BooleansAndStrings) {
  EXPECT_EQ(VarCompareValue(false, true), vrLessThan);
  EXPECT_EQ(VarCompareValue(true, false), vrGreaterThan);
  EXPECT_EQ(VarCompareValue(true, true), vrEqual);
  EXPECT_EQ(VarCompareValue("a", "B"), vrLessThan); // by collation, not by bytes
  EXPECT_EQ(VarCompareValue("a", "A"), vrLessThan);
  EXPECT_EQ(VarCompareValue("10", "9"), vrLessThan);
  EXPECT_EQ(VarCompareValue("abc", "abc"), vrEqual);
  // A text against a boolean is read as a boolean.
  EXPECT_EQ(VarCompareValue(true, "TRUE"), vrEqual);
  EXPECT_EQ(VarCompareValue("false", true), vrLessThan);
  EXPECT_THROW(VarCompareValue(true, "maybe"), EVariantError);
}

TEST(VariantCompare, NumbersAcrossKinds) {
  const struct {
    Variant A;
    Variant B;
    TVariantRelationship Expected;
  } Cases[] = {
      {1, Int64Of(1), vrEqual},
      {1, 1.0, vrEqual},
      {2, CurrencyOf(20000), vrEqual},
      {CurrencyOf(15000), 1.5, vrEqual},
      {CurrencyOf(-5000), -1, vrGreaterThan},
      {CurrencyOf(-5000), 0, vrLessThan},
      {CurrencyOf(-5000), -0.5, vrEqual},
      {CurrencyOf(-5001), -0.5, vrLessThan},
      {Variant::FromDateTime(36526.0), 36526, vrEqual},
      {Variant::FromDateTime(1.5), 1.25, vrGreaterThan},
      {true, 0, vrLessThan}, // against numbers, true is -1
      {true, -1, vrEqual},
      {false, 0.0, vrEqual},
      {true, CurrencyOf(-10000), vrEqual},
      {-0.0, 0.0, vrEqual},
      {Int64Of(std::numeric_limits<std::int64_t>::max()), 9223372036854775808.0, vrLessThan},
      {Int64Of(std::numeric_limits<std::int64_t>::min()), -9223372036854775808.0, vrEqual},
      {Int64Of(0), -std::numeric_limits<double>::infinity(), vrGreaterThan},
  };
  for (const auto& Case : Cases) {
    EXPECT_EQ(VarCompareValue(Case.A, Case.B), Case.Expected)
        << VarToStr(Case.A) << " vs " << VarToStr(Case.B);
    const TVariantRelationship Mirrored = Case.Expected == vrLessThan      ? vrGreaterThan
                                          : Case.Expected == vrGreaterThan ? vrLessThan
                                                                           : vrEqual;
    EXPECT_EQ(VarCompareValue(Case.B, Case.A), Mirrored)
        << VarToStr(Case.B) << " vs " << VarToStr(Case.A);
  }
}

TEST(VariantCompare, IntegersAndCurrencyAreExactAgainstDoubles) {
  // 2^53 + 1 has no double; comparing through doubles would call it equal to 2^53.
  const Variant Exact = Int64Of(9007199254740993LL);
  EXPECT_EQ(VarCompareValue(Exact, 9007199254740992.0), vrGreaterThan);
  EXPECT_EQ(VarCompareValue(Exact, 9007199254740994.0), vrLessThan);
  EXPECT_EQ(VarCompareValue(Exact, Int64Of(9007199254740992LL)), vrGreaterThan);
  // The double 0.0001 lies just above one ten-thousandth.
  EXPECT_EQ(VarCompareValue(CurrencyOf(1), 0.0001), vrLessThan);
  EXPECT_EQ(VarCompareValue(CurrencyOf(1), 0.00009999999999999999), vrGreaterThan);
  EXPECT_EQ(
      VarCompareValue(CurrencyOf(std::numeric_limits<std::int64_t>::max()), 922337203685477.5807),
      vrLessThan); // the double rounds up to ...477.625
  EXPECT_EQ(VarCompareValue(CurrencyOf(3), Int64Of(0)), vrGreaterThan);
}

TEST(VariantCompare, NaNEqualsNaNAndPrecedesEveryNumber) {
  const Variant NaN(std::nan(""));
  EXPECT_EQ(VarCompareValue(NaN, NaN), vrEqual);
  EXPECT_EQ(VarCompareValue(NaN, Variant::FromDateTime(std::nan(""))), vrEqual);
  for (const Variant& V : {Variant(-std::numeric_limits<double>::infinity()),
                           Int64Of(std::numeric_limits<std::int64_t>::min()), CurrencyOf(0),
                           Variant(true), Variant("-1e300")}) {
    EXPECT_EQ(VarCompareValue(NaN, V), vrLessThan);
    EXPECT_EQ(VarCompareValue(V, NaN), vrGreaterThan);
  }
}

TEST(VariantCompare, TextAgainstNumberComparesNumerically) {
  EXPECT_EQ(VarCompareValue("10", 9), vrGreaterThan);
  EXPECT_EQ(VarCompareValue(9, " 10 "), vrLessThan);
  EXPECT_EQ(VarCompareValue("1.5", CurrencyOf(15000)), vrEqual);
  EXPECT_EQ(VarCompareValue("0.1", 0.1), vrEqual);
  EXPECT_EQ(MessageOf<EVariantError>([] { VarCompareValue("abc", 1); }),
            CastMessage("String", "Double"));
}

// Sorting relies on a strict weak order: check antisymmetry and transitivity over a mix of
// numeric kinds whose values sit close together around rounding boundaries. Texts order by
// collation among themselves but numerically against numbers, and booleans order false
// before true among themselves (and against texts) but count as -1 and 0 against numbers,
// so only one text and no boolean can join a set of numbers with a consistent order.
TEST(VariantCompare, MixedNumbersFormATotalOrder) {
  const std::vector<Variant> Values = {Int64Of(9007199254740992LL),
                                       Int64Of(9007199254740993LL),
                                       9007199254740992.0,
                                       9007199254740994.0,
                                       CurrencyOf(1),
                                       0.0001,
                                       0.00009999999999999999,
                                       Variant(0),
                                       -1.0,
                                       CurrencyOf(-10000),
                                       std::nan(""),
                                       Variant::FromDateTime(0.5),
                                       CurrencyOf(5000),
                                       Int64Of(-1),
                                       "0.5"};
  const auto Less = [](const Variant& A, const Variant& B) {
    return VarCompareValue(A, B) == vrLessThan;
  };
  for (const Variant& A : Values)
    for (const Variant& B : Values) {
      const TVariantRelationship AB = VarCompareValue(A, B);
      const TVariantRelationship BA = VarCompareValue(B, A);
      EXPECT_EQ(AB == vrEqual, BA == vrEqual);
      EXPECT_EQ(AB == vrLessThan, BA == vrGreaterThan);
      EXPECT_NE(AB, vrNotEqual);
      for (const Variant& C : Values) {
        if (Less(A, B) && Less(B, C)) {
          EXPECT_TRUE(Less(A, C));
        }
        if (AB == vrEqual && VarCompareValue(B, C) == vrEqual) {
          EXPECT_EQ(VarCompareValue(A, C), vrEqual);
        }
      }
    }
}

} // namespace
} // namespace kelva
