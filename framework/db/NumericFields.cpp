// The number classes: TIntegerField and TSmallintField (32-bit native value, range checked
// in the field before anything reaches the dataset), TFloatField (a double) and TBCDField
// (a currency value in a 34-byte buffer encoded by the dataset).
#include "kelva/framework/db/DBConsts.h"
#include "kelva/framework/db/Fields.h"
#include "kelva/framework/rtl/RtlConsts.h"
#include "kelva/framework/rtl/SysUtils.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace kelva {

namespace {

// Rounds to the nearest integer, exact halves to the even neighbour. NaN stays NaN.
double RoundHalfEven(double Value) {
  const double Floor = std::floor(Value);
  const double Fraction = Value - Floor;
  if (Fraction < 0.5) return Floor;
  if (Fraction > 0.5) return Floor + 1;
  return std::fmod(Floor, 2.0) == 0 ? Floor : Floor + 1;
}

// The currency value rounded to an integer, exact halves to even.
std::int64_t RoundHalfEven(Currency Value) {
  std::int64_t Whole = Value.Scaled / Currency::Scale;
  const std::int64_t Rest = Value.Scaled % Currency::Scale; // has the sign of Scaled
  const std::int64_t Half = Currency::Scale / 2;
  if (Rest > Half || (Rest == Half && Whole % 2 != 0)) ++Whole;
  if (Rest < -Half || (Rest == -Half && Whole % 2 != 0)) --Whole;
  return Whole;
}

bool FitsInt32(double Value) {
  return Value >= std::numeric_limits<std::int32_t>::min() &&
         Value <= std::numeric_limits<std::int32_t>::max();
}

// A number read from a field that must be handed out as a 32-bit integer.
std::int32_t ToInt32OrRangeError(double Rounded) {
  if (!FitsInt32(Rounded)) throw EConvertError(SRangeError);
  return static_cast<std::int32_t>(Rounded);
}

} // namespace

// --- TIntegerField, TSmallintField ----------------------------------------------------

TIntegerField::TIntegerField(TComponent* AOwner)
    : TIntegerField(AOwner, std::numeric_limits<std::int32_t>::min(),
                    std::numeric_limits<std::int32_t>::max()) {}

TIntegerField::TIntegerField(TComponent* AOwner, std::int32_t ClassMin, std::int32_t ClassMax)
    : TNumericField(AOwner), FClassMin(ClassMin), FClassMax(ClassMax) {
  SetDataType(ftInteger);
}

TSmallintField::TSmallintField(TComponent* AOwner) : TIntegerField(AOwner, -32768, 32767) {
  SetDataType(ftSmallint);
}

bool TIntegerField::ReadInteger(std::int32_t& Value) const {
  std::int32_t Raw = 0;
  if (!GetData(&Raw)) return false;
  // A smallint dataset may write only the low two bytes; they carry the value.
  Value = DataType() == ftSmallint ? static_cast<std::int16_t>(Raw & 0xFFFF) : Raw;
  return true;
}

void TIntegerField::EffectiveRange(std::int64_t& Min, std::int64_t& Max) const {
  Min = FClassMin;
  Max = FClassMax;
  if (FMinValue != 0 || FMaxValue != 0) {
    // A user range never widens what the native value can hold: a smallint stays 16-bit.
    Min = std::max<std::int64_t>(FMinValue, FClassMin);
    Max = std::min<std::int64_t>(FMaxValue, FClassMax);
  }
}

void TIntegerField::StoreChecked(std::int64_t Value) {
  std::int64_t Min, Max;
  EffectiveRange(Min, Max);
  if (Value < Min || Value > Max) RangeError(IntToStr(Value), IntToStr(Min), IntToStr(Max));
  const auto Native = static_cast<std::int32_t>(Value);
  SetData(&Native);
}

std::string TIntegerField::AsString() const {
  std::int32_t Value;
  return ReadInteger(Value) ? IntToStr(Value) : std::string();
}

void TIntegerField::SetAsString(const std::string& Value) {
  if (Value.empty()) return Clear();
  std::int32_t Parsed;
  if (!TryStrToInt(Value, Parsed)) DatabaseErrorFmt(SInvalidIntegerValue, {Value, DisplayName()});
  SetAsInteger(Parsed);
}

std::int32_t TIntegerField::AsInteger() const {
  std::int32_t Value;
  return ReadInteger(Value) ? Value : 0;
}

void TIntegerField::SetAsInteger(std::int32_t Value) {
  StoreChecked(Value);
}

double TIntegerField::AsFloat() const {
  return AsInteger();
}

void TIntegerField::SetAsFloat(double Value) {
  const double Rounded = RoundHalfEven(Value);
  std::int64_t Min, Max;
  EffectiveRange(Min, Max);
  // Checked as a double first: a huge value or NaN must not reach an integer conversion.
  if (!(Rounded >= static_cast<double>(Min) && Rounded <= static_cast<double>(Max)))
    RangeError(FloatToStr(Rounded), IntToStr(Min), IntToStr(Max));
  StoreChecked(static_cast<std::int64_t>(Rounded));
}

Currency TIntegerField::AsCurrency() const {
  return Currency::FromInt64(AsInteger());
}

void TIntegerField::SetAsCurrency(Currency Value) {
  StoreChecked(RoundHalfEven(Value));
}

Variant TIntegerField::Value() const {
  std::int32_t Value;
  if (!ReadInteger(Value)) return Null();
  return Variant(static_cast<int>(Value));
}

void TIntegerField::SetVarValue(const Variant& Value) {
  StoreChecked(Value.AsInt64());
}

// --- TFloatField ----------------------------------------------------------------------

TFloatField::TFloatField(TComponent* AOwner) : TNumericField(AOwner) {
  SetDataType(ftFloat);
}

bool TFloatField::ReadFloat(double& Value) const {
  double Raw = 0;
  if (!GetData(&Raw)) return false;
  Value = Raw;
  return true;
}

std::string TFloatField::AsString() const {
  double Value;
  return ReadFloat(Value) ? FloatToStr(Value) : std::string();
}

void TFloatField::SetAsString(const std::string& Value) {
  if (Value.empty()) return Clear();
  double Parsed;
  if (!TryStrToFloat(Value, Parsed)) DatabaseErrorFmt(SInvalidFloatValue, {Value, DisplayName()});
  SetAsFloat(Parsed);
}

std::int32_t TFloatField::AsInteger() const {
  double Value;
  return ReadFloat(Value) ? ToInt32OrRangeError(RoundHalfEven(Value)) : 0;
}

void TFloatField::SetAsInteger(std::int32_t Value) {
  SetAsFloat(Value);
}

double TFloatField::AsFloat() const {
  double Value;
  return ReadFloat(Value) ? Value : 0.0;
}

void TFloatField::SetAsFloat(double Value) {
  if ((FMinValue != 0 || FMaxValue != 0) && !(Value >= FMinValue && Value <= FMaxValue))
    RangeError(FloatToStr(Value), FloatToStr(FMinValue), FloatToStr(FMaxValue));
  SetData(&Value);
}

Currency TFloatField::AsCurrency() const {
  double Value;
  return ReadFloat(Value) ? Currency::FromDouble(Value) : Currency{};
}

void TFloatField::SetAsCurrency(Currency Value) {
  SetAsFloat(Value.ToDouble());
}

Variant TFloatField::Value() const {
  double Value;
  if (!ReadFloat(Value)) return Null();
  return Variant(Value);
}

void TFloatField::SetVarValue(const Variant& Value) {
  SetAsFloat(Value.AsFloat());
}

// --- TBCDField ------------------------------------------------------------------------

TBCDField::TBCDField(TComponent* AOwner) : TNumericField(AOwner) {
  SetDataType(ftBCD);
  ChangeSize(4, 4);
}

void TBCDField::SetSize(std::int32_t Value) {
  ChangeSize(Value, 4);
}

bool TBCDField::ReadCurrency(Currency& Value) const {
  unsigned char Buffer[BCDBufferSize] = {};
  if (!GetData(Buffer)) return false;
  return DataSetBCDToCurr(Buffer, Value);
}

std::string TBCDField::AsString() const {
  Currency Value;
  return ReadCurrency(Value) ? CurrToStr(Value) : std::string();
}

void TBCDField::SetAsString(const std::string& Value) {
  if (Value.empty()) return Clear();
  Currency Parsed;
  if (!TryStrToCurr(Value, Parsed)) DatabaseErrorFmt(SInvalidFloatValue, {Value, DisplayName()});
  SetAsCurrency(Parsed);
}

std::int32_t TBCDField::AsInteger() const {
  Currency Value;
  if (!ReadCurrency(Value)) return 0;
  return ToInt32OrRangeError(static_cast<double>(RoundHalfEven(Value)));
}

void TBCDField::SetAsInteger(std::int32_t Value) {
  SetAsCurrency(Currency::FromInt64(Value));
}

double TBCDField::AsFloat() const {
  Currency Value;
  return ReadCurrency(Value) ? Value.ToDouble() : 0.0;
}

void TBCDField::SetAsFloat(double Value) {
  SetAsCurrency(Currency::FromDouble(Value));
}

Currency TBCDField::AsCurrency() const {
  Currency Value;
  return ReadCurrency(Value) ? Value : Currency{};
}

void TBCDField::SetAsCurrency(Currency Value) {
  if ((FMinValue.Scaled != 0 || FMaxValue.Scaled != 0) && (Value < FMinValue || Value > FMaxValue))
    RangeError(CurrToStr(Value), CurrToStr(FMinValue), CurrToStr(FMaxValue));
  unsigned char Buffer[BCDBufferSize] = {};
  if (!DataSetCurrToBCD(Value, Buffer, FPrecision, Size()))
    DatabaseErrorFmt(SFieldValueError, {DisplayName()});
  SetData(Buffer);
}

Variant TBCDField::Value() const {
  Currency Value;
  if (!ReadCurrency(Value)) return Null();
  return Variant(Value);
}

void TBCDField::SetVarValue(const Variant& Value) {
  SetAsCurrency(Value.AsCurrency());
}

} // namespace kelva
