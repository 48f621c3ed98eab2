// Converting between column texts and field values without the process's format settings.
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

// Reads Count digits at Text[At] into Value.
bool Digits(const std::string& Text, std::size_t At, int Count, int& Value) {
  if (At + static_cast<std::size_t>(Count) > Text.size()) return false;
  Value = 0;
  for (int I = 0; I < Count; ++I) {
    const char C = Text[At + static_cast<std::size_t>(I)];
    if (C < '0' || C > '9') return false;
    Value = Value * 10 + (C - '0');
  }
  return true;
}

// "YYYY-MM-DD", "HH:MM:SS[.fff...]" or both (a space or 'T' between), read without the
// process's settings. A date and time may end in a time zone, which is left unread.
bool ReadIsoDateTime(const std::string& Text, bool WantDate, bool WantTime, TDateTime& Value) {
  int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0, Milli = 0;
  std::size_t At = 0;
  Value = 0;
  if (WantDate) {
    if (Text.size() < 10 || !Digits(Text, 0, 4, Year) || Text[4] != '-' ||
        !Digits(Text, 5, 2, Month) || Text[7] != '-' || !Digits(Text, 8, 2, Day))
      return false;
    try {
      Value = EncodeDate(Year, Month, Day);
    } catch (const Exception&) {
      return false;
    }
    At = 10;
    while (At < Text.size() && (Text[At] == ' ' || Text[At] == 'T')) ++At;
    if (At >= Text.size()) return true; // a date without a time is its midnight
    if (!WantTime) return false;
  }
  if (Text.size() < At + 8 || !Digits(Text, At, 2, Hour) || Text[At + 2] != ':' ||
      !Digits(Text, At + 3, 2, Minute) || Text[At + 5] != ':' || !Digits(Text, At + 6, 2, Second))
    return false;
  At += 8;
  if (At < Text.size() && Text[At] == '.') {
    int Count = 0;
    for (++At; At < Text.size() && std::isdigit(static_cast<unsigned char>(Text[At])); ++At)
      if (Count++ < 3) Milli = Milli * 10 + (Text[At] - '0');
    for (; Count < 3; ++Count) Milli *= 10;
  }
  try {
    Value += EncodeTime(Hour, Minute, Second, Milli);
  } catch (const Exception&) {
    return false;
  }
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
  // Milliseconds only when there are some: SQLite keeps times as text, and an UPDATE that
  // compares original values must write them as the table holds them ("06:07:08").
  char Text[16];
  if (Milli == 0)
    std::snprintf(Text, sizeof Text, "%02d:%02d:%02d", Hour, Minute, Second);
  else
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
