// Variant: construction, the conversions between kinds (with their exact errors), arrays,
// and VarCompareValue, the total order that sorting and key search rely on.
#include "kelva/framework/rtl/Variant.h"

#include "kelva/framework/rtl/Exceptions.h"
#include "kelva/framework/rtl/RtlConsts.h"
#include "kelva/framework/rtl/SysUtils.h"

#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

namespace kelva {

namespace {

// 2^63 as a double: every double d with -Two63 <= d < Two63 converts to int64 safely.
constexpr double Two63 = 9223372036854775808.0;

[[noreturn]] void ThrowVariantError(const char* Message) {
  throw EVariantError(Message);
}

// Rounds to the nearest integer, exact halves to the even neighbour, independently of the
// floating-point rounding mode. Returns false for NaN and values outside the int64 range.
bool RoundHalfEven(double Value, std::int64_t& Result) {
  const double Floor = std::floor(Value);
  const double Fraction = Value - Floor; // exact for every finite double
  double Rounded = Floor;
  if (Fraction > 0.5 || (Fraction == 0.5 && std::fmod(Floor, 2.0) != 0.0)) Rounded = Floor + 1.0;
  if (!(Rounded >= -Two63 && Rounded < Two63)) return false;
  Result = static_cast<std::int64_t>(Rounded);
  return true;
}

// Currency::Scaled / 10000 rounded half to even; always representable.
std::int64_t CurrencyRoundedToInt64(Currency Value) {
  const std::int64_t Quotient = Value.Scaled / Currency::Scale;
  const std::int64_t Remainder = Value.Scaled % Currency::Scale; // same sign as Scaled
  const std::int64_t Half = Currency::Scale / 2;
  const std::int64_t AbsRemainder = Remainder < 0 ? -Remainder : Remainder;
  const std::int64_t Away = Remainder < 0 ? -1 : 1;
  if (AbsRemainder > Half || (AbsRemainder == Half && Quotient % 2 != 0)) return Quotient + Away;
  return Quotient;
}

// Integer text in the StrToInt syntax, decimal only, with the 64-bit range: lets AsInt64
// read integer texts beyond 32 bits exactly instead of going through a double.
bool TryDecimalToInt64(const std::string& Text, std::int64_t& Result) {
  std::size_t Pos = 0;
  while (Pos < Text.size() && Text[Pos] == ' ') ++Pos;
  bool Negative = false;
  if (Pos < Text.size() && (Text[Pos] == '+' || Text[Pos] == '-')) Negative = Text[Pos++] == '-';
  if (Pos == Text.size()) return false;
  // Accumulate the magnitude negatively: the negative range is one larger.
  std::int64_t Value = 0;
  constexpr std::int64_t Min = std::numeric_limits<std::int64_t>::min();
  for (; Pos < Text.size(); ++Pos) {
    const char C = Text[Pos];
    if (C < '0' || C > '9') return false;
    const int Digit = C - '0';
    if (Value < (Min + Digit) / 10) return false;
    Value = Value * 10 - Digit;
  }
  if (!Negative) {
    if (Value == Min) return false;
    Value = -Value;
  }
  Result = Value;
  return true;
}

bool EqualsIgnoringAsciiCase(const std::string& Text, const char* Word) {
  const std::size_t Length = std::strlen(Word);
  if (Text.size() != Length) return false;
  for (std::size_t I = 0; I < Length; ++I)
    if (std::toupper(static_cast<unsigned char>(Text[I])) !=
        std::toupper(static_cast<unsigned char>(Word[I])))
      return false;
  return true;
}

// ---- Numeric comparison -------------------------------------------------------------------

// A number as VarCompareValue sees it. Integers, booleans and currency are exact: their value
// is Whole + Fraction / 10000 with 0 <= Fraction < 10000. Doubles and dates stay doubles.
struct Number {
  bool Exact;
  std::int64_t Whole;
  std::int32_t Fraction;
  double Float;

  static Number FromInteger(std::int64_t Value) { return {true, Value, 0, 0.0}; }
  static Number FromCurrency(Currency Value) {
    std::int64_t Whole = Value.Scaled / Currency::Scale;
    std::int64_t Fraction = Value.Scaled % Currency::Scale;
    if (Fraction < 0) { // floor division
      --Whole;
      Fraction += Currency::Scale;
    }
    return {true, Whole, static_cast<std::int32_t>(Fraction), 0.0};
  }
  static Number FromDouble(double Value) { return {false, 0, 0, Value}; }
};

template <class T>
TVariantRelationship Relate(T A, T B) {
  if (A < B) return vrLessThan;
  if (B < A) return vrGreaterThan;
  return vrEqual;
}

TVariantRelationship Reverse(TVariantRelationship R) {
  if (R == vrLessThan) return vrGreaterThan;
  if (R == vrGreaterThan) return vrLessThan;
  return R;
}

// Compares an exact number with a finite or infinite (not NaN) double without rounding
// either, so that mixed comparisons stay consistent with exact ones (a total order).
TVariantRelationship CompareExactWithDouble(const Number& A, double B) {
  if (B >= Two63) return vrLessThan; // A < 2^63 always
  if (B < -Two63) return vrGreaterThan;
  const double Floor = std::floor(B);
  const auto BWhole = static_cast<std::int64_t>(Floor);
  if (A.Whole != BWhole) return Relate(A.Whole, BWhole);
  // Same integer part: compare A.Fraction / 10000 with BFraction in [0, 1).
  const double BFraction = B - Floor;
  const double Scaled = BFraction * static_cast<double>(Currency::Scale);
  const auto AFraction = static_cast<double>(A.Fraction);
  if (Scaled != AFraction) return Relate(AFraction, Scaled); // rounding is monotonic
  // The product may have been rounded onto A.Fraction: the fused residual is exact.
  const double Residual = std::fma(BFraction, static_cast<double>(Currency::Scale), -Scaled);
  return Relate(0.0, Residual);
}

TVariantRelationship CompareNumbers(const Number& A, const Number& B) {
  if (A.Exact && B.Exact) {
    if (A.Whole != B.Whole) return Relate(A.Whole, B.Whole);
    return Relate(A.Fraction, B.Fraction);
  }
  // NaN equals NaN and is less than every other number.
  const bool ANaN = !A.Exact && std::isnan(A.Float);
  const bool BNaN = !B.Exact && std::isnan(B.Float);
  if (ANaN || BNaN) {
    if (ANaN && BNaN) return vrEqual;
    return ANaN ? vrLessThan : vrGreaterThan;
  }
  if (!A.Exact && !B.Exact) return Relate(A.Float, B.Float);
  if (A.Exact) return CompareExactWithDouble(A, B.Float);
  return Reverse(CompareExactWithDouble(B, A.Float));
}

} // namespace

// ---- Construction ---------------------------------------------------------------------------

Variant::Variant() = default;
Variant::Variant(bool Value) : FData(std::in_place_type<bool>, Value) {}
Variant::Variant(int Value) : FData(std::in_place_type<std::int32_t>, Value) {}
Variant::Variant(std::int64_t Value) : FData(std::in_place_type<std::int64_t>, Value) {}
Variant::Variant(double Value) : FData(std::in_place_type<double>, Value) {}
Variant::Variant(Currency Value) : FData(std::in_place_type<Currency>, Value) {}
Variant::Variant(const std::string& Value) : FData(std::in_place_type<std::string>, Value) {}
Variant::Variant(std::string&& Value) : FData(std::in_place_type<std::string>, std::move(Value)) {}
// A null pointer is taken as the empty text rather than crashing in std::string.
Variant::Variant(const char* Value)
    : FData(std::in_place_type<std::string>, Value != nullptr ? Value : "") {}

Variant Variant::FromDateTime(TDateTime Value) {
  Variant Result;
  Result.FData.emplace<DateValue>(DateValue{Value});
  return Result;
}

Variant Variant::MakeNull() {
  Variant Result;
  Result.FData.emplace<NullValue>();
  return Result;
}

Variant Variant::MakeArray(std::vector<Variant> Items) {
  Variant Result;
  Result.FData.emplace<Array>(std::move(Items));
  return Result;
}

Variant::Variant(const Variant& Other) = default;
Variant::Variant(Variant&& Other) noexcept = default;
Variant& Variant::operator=(const Variant& Other) = default;
Variant& Variant::operator=(Variant&& Other) noexcept = default;
Variant::~Variant() = default;

static_assert(std::is_nothrow_move_constructible_v<Variant>);
static_assert(sizeof(Variant) <= 40, "fields hand out Variants by value on hot paths");

std::uint16_t Variant::VarType() const {
  switch (TheKind()) {
  case Kind::Empty:
    return varEmpty;
  case Kind::Null:
    return varNull;
  case Kind::Integer:
    return varInteger;
  case Kind::Int64:
    return varInt64;
  case Kind::Double:
    return varDouble;
  case Kind::Currency:
    return varCurrency;
  case Kind::Date:
    return varDate;
  case Kind::String:
    return varString;
  case Kind::Boolean:
    return varBoolean;
  case Kind::Array:
    return varArray | varVariant;
  }
  return varEmpty;
}

const char* Variant::KindName(Kind K) {
  // The kind is the index of the active alternative: keep Kind and Storage in step.
  static_assert(
      std::is_same_v<std::variant_alternative_t<std::size_t(Kind::Empty), Storage>, EmptyValue>);
  static_assert(
      std::is_same_v<std::variant_alternative_t<std::size_t(Kind::Date), Storage>, DateValue>);
  static_assert(
      std::is_same_v<std::variant_alternative_t<std::size_t(Kind::String), Storage>, std::string>);
  static_assert(
      std::is_same_v<std::variant_alternative_t<std::size_t(Kind::Array), Storage>, Array>);
  static_assert(std::variant_size_v<Storage> == std::size_t(Kind::Array) + 1);
  switch (K) {
  case Kind::Empty:
    return "Empty";
  case Kind::Null:
    return "Null";
  case Kind::Integer:
    return "Integer";
  case Kind::Int64:
    return "Int64";
  case Kind::Double:
    return "Double";
  case Kind::Currency:
    return "Currency";
  case Kind::Date:
    return "Date";
  case Kind::String:
    return "String";
  case Kind::Boolean:
    return "Boolean";
  case Kind::Array:
    return "Array";
  }
  return "Unknown";
}

void Variant::CastError(Kind Target) const {
  throw EVariantError(Format(SInvalidVarCast, {KindName(TheKind()), KindName(Target)}));
}

void Variant::OverflowError(Kind Target) const {
  throw EVariantError(Format(SVarOverflow, {KindName(TheKind()), KindName(Target)}));
}

// ---- Conversions ----------------------------------------------------------------------------

std::string Variant::AsString() const {
  switch (TheKind()) {
  case Kind::Empty:
    return {};
  case Kind::Integer:
    return IntToStr(std::get<std::int32_t>(FData));
  case Kind::Int64:
    return IntToStr(std::get<std::int64_t>(FData));
  case Kind::Double:
    return FloatToStr(std::get<double>(FData));
  case Kind::Currency:
    return CurrToStr(std::get<Currency>(FData));
  case Kind::Date:
    return DateTimeToStr(std::get<DateValue>(FData).Value);
  case Kind::String:
    return std::get<std::string>(FData);
  case Kind::Boolean:
    return std::get<bool>(FData) ? "True" : "False";
  case Kind::Null:
  case Kind::Array:
    break;
  }
  CastError(Kind::String);
}

// The value as an integer for AsInteger and AsInt64; Target names the kind in errors.
std::int64_t Variant::RoundedToInt64(Kind Target) const {
  std::int64_t Result = 0;
  switch (TheKind()) {
  case Kind::Empty:
    return 0;
  case Kind::Integer:
    return std::get<std::int32_t>(FData);
  case Kind::Int64:
    return std::get<std::int64_t>(FData);
  case Kind::Double:
    if (!RoundHalfEven(std::get<double>(FData), Result)) OverflowError(Target);
    return Result;
  case Kind::Date:
    if (!RoundHalfEven(std::get<DateValue>(FData).Value, Result)) OverflowError(Target);
    return Result;
  case Kind::Currency:
    return CurrencyRoundedToInt64(std::get<Currency>(FData));
  case Kind::Boolean:
    return std::get<bool>(FData) ? -1 : 0;
  case Kind::String: {
    const std::string& Text = std::get<std::string>(FData);
    std::int32_t Int32 = 0;
    if (TryStrToInt(Text, Int32)) return Int32;
    if (TryDecimalToInt64(Text, Result)) return Result;
    double Float = 0.0;
    if (!TryStrToFloat(Text, Float)) CastError(Target);
    if (!RoundHalfEven(Float, Result)) OverflowError(Target);
    return Result;
  }
  case Kind::Null:
  case Kind::Array:
    break;
  }
  CastError(Target);
}

std::int32_t Variant::AsInteger() const {
  const std::int64_t Value = RoundedToInt64(Kind::Integer);
  if (Value < std::numeric_limits<std::int32_t>::min() ||
      Value > std::numeric_limits<std::int32_t>::max())
    OverflowError(Kind::Integer);
  return static_cast<std::int32_t>(Value);
}

std::int64_t Variant::AsInt64() const {
  return RoundedToInt64(Kind::Int64);
}

double Variant::AsFloat() const {
  switch (TheKind()) {
  case Kind::Empty:
    return 0.0;
  case Kind::Integer:
    return std::get<std::int32_t>(FData);
  case Kind::Int64:
    return static_cast<double>(std::get<std::int64_t>(FData));
  case Kind::Double:
    return std::get<double>(FData);
  case Kind::Currency:
    return std::get<Currency>(FData).ToDouble();
  case Kind::Date:
    return std::get<DateValue>(FData).Value;
  case Kind::Boolean:
    return std::get<bool>(FData) ? -1.0 : 0.0;
  case Kind::String: {
    double Result = 0.0;
    if (TryStrToFloat(std::get<std::string>(FData), Result)) return Result;
    break;
  }
  case Kind::Null:
  case Kind::Array:
    break;
  }
  CastError(Kind::Double);
}

bool Variant::AsBoolean() const {
  switch (TheKind()) {
  case Kind::Empty:
    return false;
  case Kind::Integer:
    return std::get<std::int32_t>(FData) != 0;
  case Kind::Int64:
    return std::get<std::int64_t>(FData) != 0;
  case Kind::Double:
    return std::get<double>(FData) != 0.0;
  case Kind::Currency:
    return std::get<Currency>(FData).Scaled != 0;
  case Kind::Date:
    return std::get<DateValue>(FData).Value != 0.0;
  case Kind::Boolean:
    return std::get<bool>(FData);
  case Kind::String: {
    const std::string& Text = std::get<std::string>(FData);
    if (EqualsIgnoringAsciiCase(Text, "true")) return true;
    if (EqualsIgnoringAsciiCase(Text, "false")) return false;
    std::int32_t Int32 = 0;
    if (TryStrToInt(Text, Int32)) return Int32 != 0;
    double Float = 0.0;
    if (TryStrToFloat(Text, Float)) return Float != 0.0;
    break;
  }
  case Kind::Null:
  case Kind::Array:
    break;
  }
  CastError(Kind::Boolean);
}

Currency Variant::AsCurrency() const {
  switch (TheKind()) {
  case Kind::Empty:
    return Currency{};
  case Kind::Integer:
    return Currency::FromInt64(std::get<std::int32_t>(FData));
  case Kind::Int64:
    return Currency::FromInt64(std::get<std::int64_t>(FData));
  case Kind::Double:
    return Currency::FromDouble(std::get<double>(FData));
  case Kind::Currency:
    return std::get<Currency>(FData);
  case Kind::Date:
    return Currency::FromDouble(std::get<DateValue>(FData).Value);
  case Kind::Boolean:
    return Currency::FromInt64(std::get<bool>(FData) ? -1 : 0);
  case Kind::String: {
    Currency Result;
    if (TryStrToCurr(std::get<std::string>(FData), Result)) return Result;
    break;
  }
  case Kind::Null:
  case Kind::Array:
    break;
  }
  CastError(Kind::Currency);
}

TDateTime Variant::AsDateTime() const {
  switch (TheKind()) {
  case Kind::Empty:
    return 0.0;
  case Kind::Integer:
    return std::get<std::int32_t>(FData);
  case Kind::Int64:
    return static_cast<double>(std::get<std::int64_t>(FData));
  case Kind::Double:
    return std::get<double>(FData);
  case Kind::Currency:
    return std::get<Currency>(FData).ToDouble();
  case Kind::Date:
    return std::get<DateValue>(FData).Value;
  case Kind::Boolean:
    return std::get<bool>(FData) ? -1.0 : 0.0;
  case Kind::String: {
    const std::string& Text = std::get<std::string>(FData);
    TDateTime Result = 0.0;
    if (TryStrToDateTime(Text, Result)) return Result;
    if (TryStrToFloat(Text, Result)) return Result;
    break;
  }
  case Kind::Null:
  case Kind::Array:
    break;
  }
  CastError(Kind::Date);
}

// ---- Arrays ---------------------------------------------------------------------------------

const Variant::Array& Variant::CheckedArray() const {
  if (TheKind() != Kind::Array) ThrowVariantError(SVarNotArray);
  return std::get<Array>(FData);
}

std::int32_t Variant::ArrayHigh() const {
  return static_cast<std::int32_t>(CheckedArray().size()) - 1;
}

const Variant& Variant::operator[](std::int32_t Index) const {
  const Array& Items = CheckedArray();
  if (Index < 0 || static_cast<std::size_t>(Index) >= Items.size())
    ThrowVariantError(SVarArrayBounds);
  return Items[static_cast<std::size_t>(Index)];
}

Variant& Variant::operator[](std::int32_t Index) {
  return const_cast<Variant&>(std::as_const(*this)[Index]);
}

// ---- Free functions -------------------------------------------------------------------------

Variant Null() {
  return Variant::MakeNull();
}
Variant Unassigned() {
  return Variant();
}
Variant VarArrayOf(std::initializer_list<Variant> Items) {
  return Variant::MakeArray(std::vector<Variant>(Items));
}
Variant VarArrayOf(const std::vector<Variant>& Items) {
  return Variant::MakeArray(Items);
}

bool VarIsNull(const Variant& V) {
  return V.TheKind() == Variant::Kind::Null;
}
bool VarIsEmpty(const Variant& V) {
  return V.TheKind() == Variant::Kind::Empty;
}
bool VarIsArray(const Variant& V) {
  return V.TheKind() == Variant::Kind::Array;
}

std::string VarToStr(const Variant& V) {
  if (VarIsNull(V) || VarIsEmpty(V)) return {};
  return V.AsString();
}

TVariantRelationship VarCompareValue(const Variant& A, const Variant& B) {
  using Kind = Variant::Kind;
  const Kind KA = A.TheKind();
  const Kind KB = B.TheKind();
  const auto IsNullish = [](Kind K) { return K == Kind::Empty || K == Kind::Null; };
  if (IsNullish(KA) || IsNullish(KB)) {
    if (IsNullish(KA) && IsNullish(KB)) return vrEqual;
    return IsNullish(KA) ? vrLessThan : vrGreaterThan;
  }
  if (KA == Kind::Array || KB == Kind::Array) ThrowVariantError(SInvalidVarOp);

  if (KA == Kind::String && KB == Kind::String) {
    const int Sign = AnsiCompareStr(std::get<std::string>(A.FData), std::get<std::string>(B.FData));
    return Sign < 0 ? vrLessThan : (Sign > 0 ? vrGreaterThan : vrEqual);
  }
  // Booleans order false before true among themselves, and against a text too (the text
  // read as a boolean): only against numbers do they count as -1 and 0.
  if (KA == Kind::Boolean && (KB == Kind::Boolean || KB == Kind::String))
    return Relate(A.AsBoolean(), B.AsBoolean());
  if (KB == Kind::Boolean && KA == Kind::String) return Relate(A.AsBoolean(), B.AsBoolean());

  const auto ToNumber = [](const Variant& V) {
    switch (V.TheKind()) {
    case Kind::Integer:
      return Number::FromInteger(std::get<std::int32_t>(V.FData));
    case Kind::Int64:
      return Number::FromInteger(std::get<std::int64_t>(V.FData));
    case Kind::Boolean:
      return Number::FromInteger(std::get<bool>(V.FData) ? -1 : 0);
    case Kind::Currency:
      return Number::FromCurrency(std::get<Currency>(V.FData));
    case Kind::Double:
      return Number::FromDouble(std::get<double>(V.FData));
    case Kind::Date:
      return Number::FromDouble(std::get<Variant::DateValue>(V.FData).Value);
    default:
      return Number::FromDouble(V.AsFloat()); // a text; AsFloat raises when not a number
    }
  };
  return CompareNumbers(ToNumber(A), ToNumber(B));
}

} // namespace kelva
