// Slot text conversions, written for the hot paths of loading and scanning: no heap
// allocation unless a conversion fails and its error message is built.
#include "kelva/dataset/SlotText.h"

#include "kelva/dataset/messages.h"
#include "kelva/framework/rtl/Exceptions.h"
#include "kelva/framework/rtl/RtlConsts.h"
#include "kelva/framework/rtl/SysUtils.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace kelva {

namespace {

bool EightSpaces(const char* At) {
  std::uint64_t Word;
  std::memcpy(&Word, At, sizeof Word);
  return Word == 0x2020202020202020u;
}

// The slot text without the spaces and control characters at both ends.
void TrimSlot(const char* Slot, std::uint16_t Width, const char*& Start, std::size_t& Length) {
  std::size_t First = 0, Last = Width;
  // Numbers stand right-aligned and texts left-aligned: most blanks come in long runs,
  // skipped eight at a time.
  while (Last - First >= 8 && EightSpaces(Slot + First)) First += 8;
  while (Last - First >= 8 && EightSpaces(Slot + Last - 8)) Last -= 8;
  while (First < Last && static_cast<unsigned char>(Slot[First]) <= ' ') ++First;
  while (Last > First && static_cast<unsigned char>(Slot[Last - 1]) <= ' ') --Last;
  Start = Slot + First;
  Length = Last - First;
}

[[noreturn]] void ConversionError(const char* Message, const char* Text, std::size_t Length) {
  throw EConvertError(Format(Message, {std::string(Text, Length)}));
}

// The separator a stored number uses: ',' in files saved under that setting, else '.'.
char SeparatorOf(const char* Text, std::size_t Length) {
  return std::memchr(Text, ',', Length) ? ',' : SlotDecimalSeparator;
}

bool TryReadFloat(const char* Text, std::size_t Length, double& Value) {
  return TryStrToFloat(Text, Length, Value, SeparatorOf(Text, Length));
}

double ReadFloat(const char* Text, std::size_t Length) {
  double Value;
  if (!TryReadFloat(Text, Length, Value)) ConversionError(SInvalidFloat, Text, Length);
  return Value;
}

// True when the Count bytes at Text are all spaces.
bool AllSpaces(const char* Text, std::size_t Count) {
  if (Count < 8) {
    for (std::size_t I = 0; I < Count; ++I)
      if (Text[I] != ' ') return false;
    return true;
  }
  for (std::size_t I = 0; I + 8 <= Count; I += 8)
    if (!EightSpaces(Text + I)) return false;
  return EightSpaces(Text + Count - 8); // the last word, overlapping, covers the rest
}

// Recognises the plain shape numbers are written in, without converting: blanks, an
// optional '-', digits, optionally a decimal separator and more digits, blanks. Returns
// the number of integer digits, 0 for a blank slot, -1 for any other text. Numbers stand
// right-aligned, so the slot is read from its end and the blanks before the number are
// checked a word at a time.
int PlainNumberDigits(const char* Slot, std::uint16_t Width, bool& HasFraction) {
  const auto IsDigit = [](char C) { return static_cast<unsigned char>(C - '0') < 10; };
  const char* End = Slot + Width;
  while (End != Slot && End[-1] == ' ') --End;
  if (End == Slot) return 0;
  const char* P = End;
  while (P != Slot && IsDigit(P[-1])) --P;
  const char* IntEnd = End;
  HasFraction = P != Slot && (P[-1] == '.' || P[-1] == ',');
  if (HasFraction) {
    if (P == End) return -1; // no digit after the separator
    IntEnd = --P;
    while (P != Slot && IsDigit(P[-1])) --P;
  }
  const auto Digits = static_cast<int>(IntEnd - P);
  if (Digits == 0) return -1;
  if (P != Slot && P[-1] == '-') --P;
  return AllSpaces(Slot, static_cast<std::size_t>(P - Slot)) ? Digits : -1;
}

// A SMALLINT slot holds a 16-bit value: a wider one is refused, never wrapped.
bool TryReadInteger(const char* Text, std::size_t Length, TFieldType Type, std::int32_t& Value) {
  if (!TryStrToInt(Text, Length, Value)) return false;
  return Type != ftSmallint || (Value >= std::numeric_limits<std::int16_t>::min() &&
                                Value <= std::numeric_limits<std::int16_t>::max());
}

std::int32_t ReadInteger(const char* Text, std::size_t Length, TFieldType Type) {
  std::int32_t Value;
  if (!TryReadInteger(Text, Length, Type, Value)) ConversionError(SInvalidInteger, Text, Length);
  return Value;
}

// The part of a BCD slot text that reaches the field's value buffer.
std::size_t BcdKept(std::size_t Length) {
  return Length < BCDBufferSize - 1u ? Length : BCDBufferSize - 1u;
}

// Right-aligns Length characters of Text in the Width characters at Slot (already blank).
void WriteRight(char* Slot, std::uint16_t Width, const char* Text, std::size_t Length) {
  if (Length > Width) {
    Text += Length - Width;
    Length = Width;
  }
  std::memcpy(Slot + (Width - Length), Text, Length);
}

void WriteFloat(char* Slot, std::uint16_t Width, double Value) {
  char Text[64];
  WriteRight(Slot, Width, Text, FloatToStrBuf(Value, Text, SlotDecimalSeparator));
}

void WriteInteger(char* Slot, std::uint16_t Width, std::int64_t Value) {
  char Text[32];
  WriteRight(Slot, Width, Text, IntToStrBuf(Value, Text));
}

} // namespace

std::string_view CharSlotText(const char* Slot, std::uint16_t Width) {
  const char* Text;
  std::size_t Length;
  TrimSlot(Slot, Width, Text, Length);
  return {Text, Utf8TruncatedLength(Text, Length, Width - 1u)};
}

bool SlotToValue(const char* Slot, std::uint16_t Width, TFieldType Type, void* ValBuf) {
  const char* Text;
  std::size_t Length;
  TrimSlot(Slot, Width, Text, Length);
  if (Length == 0) return false;
  if (!ValBuf) return true;
  switch (Type) {
  case ftString: {
    // A CHAR slot is one byte wider than the field; the text never passes the field.
    const std::size_t Kept = Utf8TruncatedLength(Text, Length, Width - 1u);
    std::memcpy(ValBuf, Text, Kept);
    static_cast<char*>(ValBuf)[Kept] = '\0';
    break;
  }
  case ftFloat:
  case ftDateTime: {
    const double Value = ReadFloat(Text, Length);
    std::memcpy(ValBuf, &Value, sizeof Value);
    break;
  }
  case ftBoolean: {
    const std::uint16_t Value = (Length == 1 && Text[0] == KLVTRUETEXT[0]) ? 1 : 0;
    std::memcpy(ValBuf, &Value, sizeof Value);
    break;
  }
  case ftInteger:
  case ftSmallint: {
    const std::int32_t Value = ReadInteger(Text, Length, Type);
    std::memcpy(ValBuf, &Value, sizeof Value);
    break;
  }
  case ftDate:
  case ftTime: {
    const TTimeStamp Stamp = DateTimeToTimeStamp(ReadFloat(Text, Length));
    const std::int32_t Value = Type == ftDate ? Stamp.Date : Stamp.Time;
    std::memcpy(ValBuf, &Value, sizeof Value);
    break;
  }
  case ftBCD: {
    const std::size_t Kept = BcdKept(Length);
    std::memcpy(ValBuf, Text, Kept);
    static_cast<char*>(ValBuf)[Kept] = '\0';
    break;
  }
  default:
    break; // a type nobody knows has no value buffer
  }
  return true;
}

bool SlotTextReadable(const char* Slot, std::uint16_t Width, TFieldType Type) {
  // A plain number is settled by its digit count: fewer than ten digits fit 32 bits and
  // give a date-time number with a time stamp, and a double overflows only past 308
  // digits. Other texts are converted.
  bool HasFraction = false;
  const int Digits = PlainNumberDigits(Slot, Width, HasFraction);
  if (Digits == 0) return true; // blank: null
  if (Digits > 0) {
    switch (Type) {
    case ftFloat:
    case ftDateTime:
      if (Digits <= 308) return true;
      break;
    case ftInteger:
      if (!HasFraction && Digits <= 9) return true;
      break;
    case ftSmallint:
      if (!HasFraction && Digits <= 4) return true;
      break;
    case ftDate:
    case ftTime:
      if (Digits <= 9) return true;
      break;
    default:
      break;
    }
  }
  const char* Text;
  std::size_t Length;
  TrimSlot(Slot, Width, Text, Length);
  if (Length == 0) return true;
  switch (Type) {
  case ftFloat:
  case ftDateTime: {
    double Value;
    return TryReadFloat(Text, Length, Value);
  }
  case ftInteger:
  case ftSmallint: {
    std::int32_t Value;
    return TryReadInteger(Text, Length, Type, Value);
  }
  case ftDate:
  case ftTime: {
    double Value;
    TTimeStamp Stamp;
    return TryReadFloat(Text, Length, Value) && TryDateTimeToTimeStamp(Value, Stamp);
  }
  case ftBCD: {
    Currency Value;
    return SlotTextToCurr(Text, BcdKept(Length), Value);
  }
  default:
    return true; // texts and booleans read whatever they hold
  }
}

bool ValueStorable(TFieldType Type, const void* ValBuf) {
  switch (Type) {
  case ftFloat:
  case ftDateTime: {
    double Value;
    std::memcpy(&Value, ValBuf, sizeof Value);
    if (!std::isfinite(Value)) return false;
    // Only next to the largest double can the 15-digit text round past it; there the
    // text is written and read back to be sure.
    if (std::fabs(Value) < 1e308) return true;
    char Text[FloatToStrBufSize];
    const std::size_t Length = FloatToStrBuf(Value, Text, SlotDecimalSeparator);
    return TryStrToFloat(Text, Length, Value, SlotDecimalSeparator);
  }
  case ftSmallint: {
    std::int32_t Value;
    std::memcpy(&Value, ValBuf, sizeof Value);
    return Value >= std::numeric_limits<std::int16_t>::min() &&
           Value <= std::numeric_limits<std::int16_t>::max();
  }
  case ftBCD: {
    char Slot[BCDBufferSize];
    ValueToSlot(Slot, BCDBufferSize, ftBCD, ValBuf);
    return SlotTextReadable(Slot, BCDBufferSize, ftBCD);
  }
  default:
    return true;
  }
}

bool SlotTextToCurr(const char* Text, std::size_t Length, Currency& Value) {
  return TryStrToCurr(Text, Length, Value, SeparatorOf(Text, Length));
}

std::size_t CurrToSlotText(Currency Value, char* Buffer) {
  return CurrToStrBuf(Value, Buffer, SlotDecimalSeparator);
}

void ValueToSlot(char* Slot, std::uint16_t Width, TFieldType Type, const void* ValBuf) {
  std::memset(Slot, ' ', Width);
  if (!ValBuf) return;
  switch (Type) {
  case ftString:
  case ftBCD: {
    const auto* Text = static_cast<const char*>(ValBuf);
    const std::size_t Limit = Type == ftBCD ? BCDBufferSize : Width;
    const std::size_t Length = strnlen(Text, Limit < Width ? Limit : Width);
    std::memcpy(Slot, Text, Length);
    break;
  }
  case ftFloat:
  case ftDateTime: {
    double Value;
    std::memcpy(&Value, ValBuf, sizeof Value);
    WriteFloat(Slot, Width, Value);
    break;
  }
  case ftBoolean: {
    std::uint16_t Value;
    std::memcpy(&Value, ValBuf, sizeof Value);
    Slot[0] = Value ? KLVTRUETEXT[0] : KLVFALSETEXT[0];
    break;
  }
  case ftInteger:
  case ftSmallint: {
    std::int32_t Value;
    std::memcpy(&Value, ValBuf, sizeof Value);
    WriteInteger(Slot, Width, Value);
    break;
  }
  case ftDate: {
    std::int32_t Day;
    std::memcpy(&Day, ValBuf, sizeof Day);
    WriteFloat(Slot, Width, TimeStampToDateTime({0, Day}));
    break;
  }
  case ftTime: {
    std::int32_t MSecs;
    std::memcpy(&MSecs, ValBuf, sizeof MSecs);
    WriteFloat(Slot, Width, TimeStampToDateTime({MSecs, 0}));
    break;
  }
  default:
    break; // a type nobody knows keeps a blank slot
  }
}

} // namespace kelva
