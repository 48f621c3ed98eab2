#include "kelva/sql/SqlValues.h"

#include "kelva/framework/db/DBConsts.h"
#include "kelva/framework/rtl/SysUtils.h"

#include <cctype>
#include <cstdio>

namespace kelva {

namespace {

[[noreturn]] void Unfit(const std::string& Text, const std::string& Column, const char* Type) {
  DatabaseError("Column " + Column + ": '" + Text + "' is not a valid " + Type);
}

// "YYYY-MM-DD", "HH:MM:SS[.fff]" or both, read without the process's settings.
bool ReadIsoDateTime(const std::string& Text, bool WantDate, bool WantTime, TDateTime& Value) {
  int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0, Milli = 0;
  std::size_t Used = 0;
  const char* P = Text.c_str();
  int Read = 0;
  Value = 0;
  if (WantDate) {
    if (std::sscanf(P, "%4d-%2d-%2d%n", &Year, &Month, &Day, &Read) != 3) return false;
    Used += static_cast<std::size_t>(Read);
    try {
      Value = EncodeDate(Year, Month, Day);
    } catch (const Exception&) {
      return false;
    }
    while (Used < Text.size() && (Text[Used] == ' ' || Text[Used] == 'T')) ++Used;
    if (Used >= Text.size()) return true; // a date without a time is its midnight
  }
  if (WantTime) {
    if (std::sscanf(P + Used, "%2d:%2d:%2d%n", &Hour, &Minute, &Second, &Read) != 3) return false;
    Used += static_cast<std::size_t>(Read);
    if (Used < Text.size() && Text[Used] == '.') {
      int Digits = 0;
      for (++Used; Used < Text.size() && std::isdigit(static_cast<unsigned char>(Text[Used]));
           ++Used)
        if (Digits++ < 3) Milli = Milli * 10 + (Text[Used] - '0');
      for (; Digits < 3; ++Digits) Milli *= 10;
    }
    try {
      Value += EncodeTime(Hour, Minute, Second, Milli);
    } catch (const Exception&) {
      return false;
    }
  }
  // A time zone after the time (timestamptz) is the server's; the local reading is kept.
  return true;
}

std::string IsoDate(TDateTime Value) {
  int Year, Month, Day;
  DecodeDate(Value, Year, Month, Day);
  char Text[16];
  std::snprintf(Text, sizeof Text, "%04d-%02d-%02d", Year, Month, Day);
  return Text;
}

std::string IsoTime(TDateTime Value) {
  int Hour, Minute, Second, Milli;
  DecodeTime(Value, Hour, Minute, Second, Milli);
  char Text[16];
  std::snprintf(Text, sizeof Text, "%02d:%02d:%02d.%03d", Hour, Minute, Second, Milli);
  return Text;
}

} // namespace

Variant ValueFromSqlText(TFieldType Type, const std::string& Text, const std::string& Column) {
  switch (Type) {
  case ftSmallint:
  case ftInteger: {
    std::int32_t Value = 0;
    if (!TryStrToInt(Text, Value)) {
      // SQLite may hand back 5.0 for an integer column holding a real.
      double Real = 0;
      if (!TryStrToFloat(Text.c_str(), Text.size(), Real, '.') ||
          Real != static_cast<std::int32_t>(Real))
        Unfit(Text, Column, "integer");
      Value = static_cast<std::int32_t>(Real);
    }
    return Value;
  }
  case ftFloat: {
    double Value = 0;
    if (!TryStrToFloat(Text.c_str(), Text.size(), Value, '.')) Unfit(Text, Column, "number");
    return Value;
  }
  case ftBCD: {
    Currency Value;
    if (!TryStrToCurr(Text.c_str(), Text.size(), Value, '.')) Unfit(Text, Column, "decimal");
    return Value;
  }
  case ftBoolean: {
    const std::string Upper = UpperCase(Trim(Text));
    if (Upper == "1" || Upper == "T" || Upper == "TRUE" || Upper == "Y") return true;
    if (Upper == "0" || Upper == "F" || Upper == "FALSE" || Upper == "N") return false;
    Unfit(Text, Column, "boolean");
  }
  case ftDate:
  case ftTime:
  case ftDateTime: {
    TDateTime Value = 0;
    const bool Date = Type != ftTime;
    const bool Time = Type != ftDate;
    if (!ReadIsoDateTime(Trim(Text), Date, Time, Value))
      Unfit(Text, Column, Type == ftDate ? "date" : Type == ftTime ? "time" : "date and time");
    return Variant::FromDateTime(Value);
  }
  default:
    return Text;
  }
}

Variant SqlParamValue(const TField& Field, const Variant& Value) {
  if (VarIsNull(Value) || VarIsEmpty(Value)) return Null();
  switch (Field.DataType()) {
  case ftSmallint:
  case ftInteger:
    return Value.AsInteger();
  case ftFloat:
    return Value.AsFloat();
  case ftBCD:
    return Value.AsCurrency();
  case ftBoolean:
    return Value.AsBoolean();
  case ftDate:
    return IsoDate(Value.AsDateTime());
  case ftTime:
    return IsoTime(Value.AsDateTime());
  case ftDateTime:
    return IsoDate(Value.AsDateTime()) + " " + IsoTime(Value.AsDateTime());
  default:
    return Value.AsString();
  }
}

} // namespace kelva
