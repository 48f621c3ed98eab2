// Slot text conversions, written for the hot paths of loading and scanning: no heap
// allocation unless a conversion fails and its error message is built.
#include "kelva/dataset/SlotText.h"

#include "kelva/dataset/messages.h"
#include "kelva/framework/rtl/Exceptions.h"
#include "kelva/framework/rtl/RtlConsts.h"
#include "kelva/framework/rtl/SysUtils.h"

#include <cstring>
#include <string>

namespace kelva {

namespace {

// The slot text without the spaces and control characters at both ends.
void TrimSlot(const char* Slot, std::uint16_t Width, const char*& Start, std::size_t& Length) {
  std::size_t First = 0, Last = Width;
  while (First < Last && static_cast<unsigned char>(Slot[First]) <= ' ') ++First;
  while (Last > First && static_cast<unsigned char>(Slot[Last - 1]) <= ' ') --Last;
  Start = Slot + First;
  Length = Last - First;
}

[[noreturn]] void ConversionError(const char* Message, const char* Text, std::size_t Length) {
  throw EConvertError(Format(Message, {std::string(Text, Length)}));
}

double ReadFloat(const char* Text, std::size_t Length) {
  double Value;
  if (!TryStrToFloat(Text, Length, Value)) ConversionError(SInvalidFloat, Text, Length);
  return Value;
}

std::int32_t ReadInteger(const char* Text, std::size_t Length) {
  std::int32_t Value;
  if (!TryStrToInt(Text, Length, Value)) ConversionError(SInvalidInteger, Text, Length);
  return Value;
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
  WriteRight(Slot, Width, Text, FloatToStrBuf(Value, Text));
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
    const std::int32_t Value = ReadInteger(Text, Length);
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
    const std::size_t Kept = Length < BCDBufferSize - 1u ? Length : BCDBufferSize - 1u;
    std::memcpy(ValBuf, Text, Kept);
    static_cast<char*>(ValBuf)[Kept] = '\0';
    break;
  }
  default:
    break; // a type nobody knows has no value buffer
  }
  return true;
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
