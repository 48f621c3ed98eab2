// The date and time classes. TDateTimeField hands the dataset milliseconds since
// 1 January 0001 as a double; TDateField the 32-bit day number (1 = 1 January 0001);
// TTimeField the 32-bit milliseconds since midnight.
#include "kelva/framework/db/Fields.h"
#include "kelva/framework/rtl/RtlConsts.h"
#include "kelva/framework/rtl/SysUtils.h"

#include <cmath>
#include <cstdint>

namespace kelva {

namespace {

// Date-time numbers whose time stamp fits the 32-bit day count; anything else (NaN and
// infinities included) would overflow the conversion.
bool Representable(TDateTime Value) {
  return std::isfinite(Value) && std::fabs(Value) < 2.0e9;
}

// The largest millisecond count whose day number still fits 32 bits.
constexpr double MaxMSecs = 1.8e17;

// The time stamp of a value that must lie on or after 1 January 0001.
TTimeStamp DateStampOf(TDateTime Value) {
  if (!Representable(Value)) throw EConvertError(SDateEncodeError);
  const TTimeStamp Stamp = DateTimeToTimeStamp(Value);
  if (Stamp.Date < 1) throw EConvertError(SDateEncodeError);
  return Stamp;
}

} // namespace

// --- TDateTimeField -------------------------------------------------------------------

TDateTimeField::TDateTimeField(TComponent* AOwner) : TField(AOwner) {
  SetDataType(ftDateTime);
}

bool TDateTimeField::ReadDateTime(TDateTime& Value) const {
  double MSecs = 0;
  if (!GetData(&MSecs)) return false;
  if (!(MSecs >= 0 && MSecs <= MaxMSecs)) throw EConvertError(SDateEncodeError);
  Value = TimeStampToDateTime(MSecsToTimeStamp(static_cast<std::int64_t>(std::trunc(MSecs))));
  return true;
}

void TDateTimeField::WriteDateTime(TDateTime Value) {
  const double MSecs = static_cast<double>(TimeStampToMSecs(DateStampOf(Value)));
  SetData(&MSecs);
}

std::string TDateTimeField::FormatValue(TDateTime Value) const {
  return DateTimeToStr(Value);
}
TDateTime TDateTimeField::ParseText(const std::string& Text) const {
  return StrToDateTime(Text);
}

std::string TDateTimeField::AsString() const {
  TDateTime Value;
  return ReadDateTime(Value) ? FormatValue(Value) : std::string();
}

void TDateTimeField::SetAsString(const std::string& Value) {
  if (Value.empty()) return Clear();
  SetAsDateTime(ParseText(Value));
}

double TDateTimeField::AsFloat() const {
  return AsDateTime();
}
void TDateTimeField::SetAsFloat(double Value) {
  SetAsDateTime(Value);
}

TDateTime TDateTimeField::AsDateTime() const {
  TDateTime Value;
  return ReadDateTime(Value) ? Value : 0.0;
}

void TDateTimeField::SetAsDateTime(TDateTime Value) {
  WriteDateTime(Value);
}

Currency TDateTimeField::AsCurrency() const {
  return Currency::FromDouble(AsFloat());
}
void TDateTimeField::SetAsCurrency(Currency Value) {
  SetAsFloat(Value.ToDouble());
}

Variant TDateTimeField::Value() const {
  TDateTime Value;
  if (!ReadDateTime(Value)) return Null();
  return Variant::FromDateTime(Value);
}

void TDateTimeField::SetVarValue(const Variant& Value) {
  SetAsDateTime(Value.AsDateTime());
}

// --- TDateField -----------------------------------------------------------------------

TDateField::TDateField(TComponent* AOwner) : TDateTimeField(AOwner) {
  SetDataType(ftDate);
}

bool TDateField::ReadDateTime(TDateTime& Value) const {
  std::int32_t Day = 0;
  if (!GetData(&Day)) return false;
  Value = TimeStampToDateTime(TTimeStamp{.Time = 0, .Date = Day});
  return true;
}

void TDateField::WriteDateTime(TDateTime Value) {
  const std::int32_t Day = DateStampOf(Value).Date;
  SetData(&Day);
}

std::string TDateField::FormatValue(TDateTime Value) const {
  return DateToStr(Value);
}
TDateTime TDateField::ParseText(const std::string& Text) const {
  return StrToDate(Text);
}

// --- TTimeField -----------------------------------------------------------------------

TTimeField::TTimeField(TComponent* AOwner) : TDateTimeField(AOwner) {
  SetDataType(ftTime);
}

bool TTimeField::ReadDateTime(TDateTime& Value) const {
  std::int32_t MSecs = 0;
  if (!GetData(&MSecs)) return false;
  Value = TimeStampToDateTime(TTimeStamp{.Time = MSecs, .Date = DateDelta});
  return true;
}

void TTimeField::WriteDateTime(TDateTime Value) {
  if (!Representable(Value)) throw EConvertError(STimeEncodeError);
  const std::int32_t MSecs = DateTimeToTimeStamp(Value).Time;
  SetData(&MSecs);
}

std::string TTimeField::FormatValue(TDateTime Value) const {
  return TimeToStr(Value);
}
TDateTime TTimeField::ParseText(const std::string& Text) const {
  return StrToTime(Text);
}

} // namespace kelva
