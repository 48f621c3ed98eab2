// Field values in their exchange texts and back. The texts never depend on the process's
// FormatSettings, so a file written anywhere reads the same everywhere.
#include "kelva/dataset/exchange/ExchangeValues.h"

#include "kelva/dataset/SlotText.h"
#include "kelva/framework/db/Fields.h"
#include "kelva/framework/rtl/Exceptions.h"
#include "kelva/framework/rtl/SysUtils.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>

namespace kelva {

namespace {

bool IsDateType(TFieldType Type) {
  return Type == ftDate || Type == ftTime || Type == ftDateTime;
}

// A value quoted in an error message: long ones are cut so the message stays readable.
std::string Quoted(std::string_view Text) {
  constexpr std::size_t Longest = 40;
  // Appended piece by piece: g++ 12 reports a false overlap (-Wrestrict) in an inlined
  // "literal" + std::string&&.
  std::string Result = "'";
  Result += Text.size() <= Longest ? std::string(Text) : Utf8Truncate(std::string(Text), Longest);
  Result += Text.size() <= Longest ? "'" : "...'";
  return Result;
}

bool AllDigits(std::string_view Text) {
  if (Text.empty()) return false;
  for (char C : Text)
    if (C < '0' || C > '9') return false;
  return true;
}

int DigitsValue(std::string_view Text) {
  int Value = 0;
  for (char C : Text) Value = Value * 10 + (C - '0');
  return Value;
}

std::string TwoDigits(int Value) {
  char Text[8];
  std::snprintf(Text, sizeof Text, "%02d", Value);
  return Text;
}

// "yyyy-mm-dd" of the day of a time stamp.
std::string DateText(const TTimeStamp& Stamp) {
  int Year, Month, Day;
  DecodeDate(TimeStampToDateTime({0, Stamp.Date}), Year, Month, Day);
  char Text[16];
  std::snprintf(Text, sizeof Text, "%04d-%02d-%02d", Year, Month, Day);
  return Text;
}

// "hh:nn:ss", with ".zzz" only when the milliseconds are not zero.
std::string TimeText(const TTimeStamp& Stamp) {
  const int MSecs = Stamp.Time;
  std::string Text = TwoDigits(MSecs / 3600000) + ":" + TwoDigits(MSecs / 60000 % 60) + ":" +
                     TwoDigits(MSecs / 1000 % 60);
  if (MSecs % 1000 != 0) {
    char Fraction[8];
    std::snprintf(Fraction, sizeof Fraction, ".%03d", MSecs % 1000);
    Text += Fraction;
  }
  return Text;
}

// Reads "yyyy-mm-dd" into the day number of a time stamp.
bool ParseDate(std::string_view Text, std::int32_t& DayNumber) {
  if (Text.size() != 10 || Text[4] != '-' || Text[7] != '-') return false;
  const std::string_view Y = Text.substr(0, 4), M = Text.substr(5, 2), D = Text.substr(8, 2);
  if (!AllDigits(Y) || !AllDigits(M) || !AllDigits(D)) return false;
  try {
    DayNumber =
        DateTimeToTimeStamp(EncodeDate(DigitsValue(Y), DigitsValue(M), DigitsValue(D))).Date;
  } catch (const Exception&) {
    return false; // no such day, such as a 30 February
  }
  return true;
}

// Reads "hh:nn:ss" with an optional fraction of one to three digits into milliseconds.
bool ParseTime(std::string_view Text, std::int32_t& MSecs) {
  if (Text.size() < 8 || Text[2] != ':' || Text[5] != ':') return false;
  const std::string_view H = Text.substr(0, 2), N = Text.substr(3, 2), S = Text.substr(6, 2);
  if (!AllDigits(H) || !AllDigits(N) || !AllDigits(S)) return false;
  int Millis = 0;
  if (Text.size() > 8) {
    const std::string_view Fraction = Text.substr(9);
    if (Text[8] != '.' || Fraction.size() > 3 || !AllDigits(Fraction)) return false;
    Millis = DigitsValue(Fraction);
    for (std::size_t Pad = Fraction.size(); Pad < 3; ++Pad) Millis *= 10;
  }
  const int Hour = DigitsValue(H), Min = DigitsValue(N), Sec = DigitsValue(S);
  if (Hour > 23 || Min > 59 || Sec > 59) return false;
  MSecs = ((Hour * 60 + Min) * 60 + Sec) * 1000 + Millis;
  return true;
}

bool ParseDateValue(TFieldType Type, std::string_view Text, Variant& Value) {
  std::int32_t Day = 0, MSecs = 0;
  if (Type == ftDate) {
    if (!ParseDate(Text, Day)) return false;
  } else if (Type == ftTime) {
    if (!ParseTime(Text, MSecs)) return false;
    Value = Variant::FromDateTime(static_cast<double>(MSecs) / MSecsPerDay);
    return true;
  } else {
    // A date alone is midnight of that day; ISO's 'T' or a space may join date and time.
    if (!ParseDate(Text.substr(0, 10), Day)) return false;
    if (Text.size() > 10 &&
        ((Text[10] != 'T' && Text[10] != ' ') || !ParseTime(Text.substr(11), MSecs)))
      return false;
  }
  Value = Variant::FromDateTime(TimeStampToDateTime({MSecs, Day}));
  return true;
}

// True when Text has a non-zero digit past the Kept-th decimal: storing it would round the
// value without a word.
bool HasRoundedDecimals(std::string_view Text, std::size_t Kept) {
  const std::size_t Point = Text.find('.');
  if (Point == std::string_view::npos) return false;
  const std::string_view Beyond = Text.substr(std::min(Text.size(), Point + 1 + Kept));
  return Beyond.find_first_not_of('0') != std::string_view::npos;
}

bool ParseInteger(std::string_view Text, std::int64_t Low, std::int64_t High, Variant& Value) {
  const std::string_view Digits = !Text.empty() && Text[0] == '-' ? Text.substr(1) : Text;
  if (!AllDigits(Digits) || Digits.size() > 12) return false;
  std::int64_t Magnitude = 0;
  for (char C : Digits) Magnitude = Magnitude * 10 + (C - '0');
  const std::int64_t Number = Digits.size() == Text.size() ? Magnitude : -Magnitude;
  if (Number < Low || Number > High) return false;
  Value = Variant(static_cast<int>(Number));
  return true;
}

} // namespace

TKlvValueShape ValueShapeOf(const TField& Field) {
  switch (Field.DataType()) {
  case ftFloat:
  case ftInteger:
  case ftSmallint:
  case ftBCD:
    return vsNumber;
  case ftBoolean:
    return vsBoolean;
  default:
    return vsText;
  }
}

std::string ExchangeText(const TField& Field) {
  switch (Field.DataType()) {
  case ftFloat: {
    char Text[FloatToStrBufSize];
    return std::string(Text, FloatToStrBuf(Field.AsFloat(), Text, '.'));
  }
  case ftBCD: {
    char Text[CurrToStrBufSize];
    return std::string(Text, CurrToStrBuf(Field.AsCurrency(), Text, '.'));
  }
  case ftInteger:
  case ftSmallint:
    return IntToStr(Field.AsInteger());
  case ftBoolean:
    return Field.AsBoolean() ? "true" : "false";
  case ftDate:
  case ftTime:
  case ftDateTime: {
    TTimeStamp Stamp{};
    if (!TryDateTimeToTimeStamp(Field.AsDateTime(), Stamp)) return Field.AsString();
    if (Field.DataType() == ftDate) return DateText(Stamp);
    if (Field.DataType() == ftTime) return TimeText(Stamp);
    return DateText(Stamp) + "T" + TimeText(Stamp);
  }
  default:
    return Field.AsString();
  }
}

bool ParseExchangeText(const TField& Field, std::string_view Text, Variant& Value,
                       std::string& Reason) {
  const TFieldType Type = Field.DataType();
  bool Ok = true;
  switch (Type) {
  case ftString:
    Value = Variant(std::string(Text));
    return true;
  case ftBoolean:
    if (CompareText(std::string(Text), "true") == 0)
      Value = Variant(true);
    else if (CompareText(std::string(Text), "false") == 0)
      Value = Variant(false);
    else
      Ok = false;
    break;
  case ftInteger:
    Ok = ParseInteger(Text, std::numeric_limits<std::int32_t>::min(),
                      std::numeric_limits<std::int32_t>::max(), Value);
    break;
  case ftSmallint:
    Ok = ParseInteger(Text, std::numeric_limits<std::int16_t>::min(),
                      std::numeric_limits<std::int16_t>::max(), Value);
    break;
  case ftFloat: {
    double Number = 0;
    Ok = IsJsonNumber(Text) && TryStrToFloat(Text.data(), Text.size(), Number, '.') &&
         std::isfinite(Number);
    if (Ok) Value = Variant(Number);
    break;
  }
  case ftBCD: {
    Currency Number;
    Ok = IsJsonNumber(Text) && Text.find_first_of("eE") == std::string_view::npos &&
         !HasRoundedDecimals(Text, 4) && TryStrToCurr(Text.data(), Text.size(), Number, '.');
    if (Ok) Value = Variant(Number);
    break;
  }
  default:
    if (!IsDateType(Type)) {
      Reason = "the field's type cannot be read";
      return false;
    }
    Ok = ParseDateValue(Type, Text, Value);
  }
  if (Ok) return true;
  static const char* const Expected[] = {"",
                                         "",
                                         "a SMALLINT (-32768 to 32767)",
                                         "an INTEGER",
                                         "",
                                         "true or false",
                                         "a number",
                                         "",
                                         "a decimal number with at most 4 decimals",
                                         "a date (yyyy-mm-dd)",
                                         "a time (hh:nn:ss[.zzz])",
                                         "a date and time (yyyy-mm-ddThh:nn:ss[.zzz])"};
  Reason = Quoted(Text) + " is not " + Expected[Type];
  return false;
}

bool ConvertForField(const TField& Field, const Variant& Source, Variant& Value,
                     std::string& Reason) {
  if (VarIsNull(Source) || VarIsEmpty(Source)) {
    Value = Null();
    return true;
  }
  try {
    switch (Field.DataType()) {
    case ftString:
      Value = Variant(Source.AsString());
      break;
    case ftFloat:
      Value = Variant(Source.AsFloat());
      break;
    case ftBoolean:
      Value = Variant(Source.AsBoolean());
      break;
    case ftInteger:
    case ftSmallint: {
      const std::int64_t Number = Source.AsInt64();
      if (Number < std::numeric_limits<std::int32_t>::min() ||
          Number > std::numeric_limits<std::int32_t>::max()) {
        Reason = Source.AsString() + " does not fit an INTEGER";
        return false;
      }
      Value = Variant(static_cast<int>(Number));
      break;
    }
    case ftBCD:
      Value = Variant(Source.AsCurrency());
      break;
    case ftDate:
    case ftTime:
    case ftDateTime:
      Value = Variant::FromDateTime(Source.AsDateTime());
      break;
    default:
      Reason = "the field's type cannot take values";
      return false;
    }
  } catch (const Exception& Error) {
    Reason = Error.Message();
    return false;
  }
  return true;
}

bool ValueFitsField(const TField& Field, const Variant& Value, std::string& Reason) {
  if (VarIsNull(Value) || VarIsEmpty(Value)) {
    if (!Field.Required()) return true;
    Reason = "a value is required";
    return false;
  }
  switch (Field.DataType()) {
  case ftString: {
    const std::string Text = Value.AsString();
    if (!IsValidUtf8(Text))
      Reason = "the text is not valid UTF-8";
    else if (Text.find_first_of("\r\n") != std::string::npos)
      Reason = "the text holds a line break, which a record cannot store";
    else if (Text.size() > static_cast<std::size_t>(Field.Size()))
      Reason =
          Quoted(Text) + " is longer than the field's " + std::to_string(Field.Size()) + " bytes";
    break;
  }
  case ftFloat: {
    const double Number = Value.AsFloat();
    if (!ValueStorable(ftFloat, &Number)) Reason = "the number cannot be stored";
    break;
  }
  case ftSmallint: {
    const std::int32_t Number = Value.AsInteger();
    if (Number < std::numeric_limits<std::int16_t>::min() ||
        Number > std::numeric_limits<std::int16_t>::max())
      Reason = std::to_string(Number) + " is outside the SMALLINT range";
    break;
  }
  case ftDate:
  case ftTime:
  case ftDateTime: {
    TTimeStamp Stamp{};
    const TDateTime Moment = Value.AsDateTime();
    if (!std::isfinite(Moment) || !TryDateTimeToTimeStamp(Moment, Stamp) || Stamp.Date < 1)
      Reason = "the date is out of range";
    break;
  }
  default:
    break;
  }
  return Reason.empty();
}

void AssignExchangeValue(TField& Field, const Variant& Value) {
  if (VarIsNull(Value) || VarIsEmpty(Value)) {
    Field.Clear();
    return;
  }
  switch (Field.DataType()) {
  case ftFloat:
    Field.SetAsFloat(Value.AsFloat());
    break;
  case ftBoolean:
    Field.SetAsBoolean(Value.AsBoolean());
    break;
  case ftInteger:
  case ftSmallint:
    Field.SetAsInteger(Value.AsInteger());
    break;
  case ftBCD:
    Field.SetAsCurrency(Value.AsCurrency());
    break;
  case ftDate:
  case ftTime:
  case ftDateTime:
    Field.SetAsDateTime(Value.AsDateTime());
    break;
  default:
    Field.SetAsString(Value.AsString());
  }
}

bool IsValidUtf8(std::string_view Text) {
  std::size_t I = 0;
  while (I < Text.size()) {
    const auto Lead = static_cast<unsigned char>(Text[I]);
    std::size_t Length;
    std::uint32_t Code;
    if (Lead < 0x80) {
      ++I;
      continue;
    } else if ((Lead & 0xE0) == 0xC0) {
      Length = 2, Code = Lead & 0x1F;
    } else if ((Lead & 0xF0) == 0xE0) {
      Length = 3, Code = Lead & 0x0F;
    } else if ((Lead & 0xF8) == 0xF0) {
      Length = 4, Code = Lead & 0x07;
    } else {
      return false;
    }
    if (I + Length > Text.size()) return false;
    for (std::size_t K = 1; K < Length; ++K) {
      const auto Next = static_cast<unsigned char>(Text[I + K]);
      if ((Next & 0xC0) != 0x80) return false;
      Code = (Code << 6) | (Next & 0x3F);
    }
    // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
    static constexpr std::uint32_t Smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (Code < Smallest[Length] || Code > 0x10FFFF || (Code >= 0xD800 && Code <= 0xDFFF))
      return false;
    I += Length;
  }
  return true;
}

bool IsJsonNumber(std::string_view Text) {
  std::size_t I = 0;
  auto Digits = [&] {
    const std::size_t Start = I;
    while (I < Text.size() && Text[I] >= '0' && Text[I] <= '9') ++I;
    return I - Start;
  };
  if (I < Text.size() && Text[I] == '-') ++I;
  const std::size_t IntStart = I;
  const std::size_t IntDigits = Digits();
  if (IntDigits == 0 || (IntDigits > 1 && Text[IntStart] == '0')) return false;
  if (I < Text.size() && Text[I] == '.') {
    ++I;
    if (Digits() == 0) return false;
  }
  if (I < Text.size() && (Text[I] == 'e' || Text[I] == 'E')) {
    ++I;
    if (I < Text.size() && (Text[I] == '+' || Text[I] == '-')) ++I;
    if (Digits() == 0) return false;
  }
  return I == Text.size();
}

} // namespace kelva
