// Encoding record key values for search.
#include "kelva/dataset/search/KeyEncoding.h"

#include "kelva/dataset/SlotText.h"
#include "kelva/framework/rtl/SysUtils.h"

#include <cmath>
#include <cstring>

namespace kelva {

namespace {

enum : char { NullTag = 0, ValueTag = 1 };

void AppendNumber(std::string& Out, std::int64_t Value) {
  Out.push_back(ValueTag);
  Out.append(reinterpret_cast<const char*>(&Value), sizeof Value);
}

} // namespace

bool DecodeKeyNumber(const TKlvKeyColumn& Column, const char* Image, TKlvKeyNumber& Number) {
  alignas(8) char Value[BCDBufferSize + 8];
  if (!Column.HasSlot ||
      !SlotToValue(Image + Column.Slot.Offset - 1, Column.Slot.Width, Column.Type, Value))
    return false;
  Number = {};
  switch (Column.Type) {
  case ftFloat:
  case ftDateTime:
    Number.IsFloat = true;
    std::memcpy(&Number.Float, Value, sizeof(double));
    return true;
  case ftBoolean: {
    std::uint16_t B;
    std::memcpy(&B, Value, sizeof B);
    Number.Integer = B != 0;
    return true;
  }
  case ftBCD: {
    // Equal amounts may be written differently ("12.5", "12.50").
    Currency C;
    if (!SlotTextToCurr(Value, std::strlen(Value), C)) return false;
    Number.Integer = C.Scaled;
    return true;
  }
  case ftSmallint:
  case ftInteger:
  case ftDate:
  case ftTime: {
    std::int32_t N;
    std::memcpy(&N, Value, sizeof N);
    Number.Integer = N;
    return true;
  }
  default:
    return false;
  }
}

void TKlvKeyEncoder::Encode(const char* Image, std::string& Out, std::int32_t PartialLength) const {
  for (std::size_t I = 0; I < FColumns.size(); ++I) {
    const TKlvKeyColumn& Column = FColumns[I];
    const bool Last = I + 1 == FColumns.size();
    const char* Slot = Image + Column.Slot.Offset - 1;
    if (Column.Type == ftString) {
      // A null text reads as the empty text.
      std::string_view Text = Column.HasSlot ? CharSlotText(Slot, Column.Slot.Width) : "";
      std::string Upper;
      if (FCaseInsensitive && !Text.empty()) {
        Upper = AnsiUpperCase(std::string(Text));
        Text = Upper;
      }
      if (Last && PartialLength > 0 && Text.size() > static_cast<std::size_t>(PartialLength))
        Text = Text.substr(0, static_cast<std::size_t>(PartialLength));
      Out.append(Text);
      if (!Last) Out.push_back('\0'); // texts never hold NUL, so this ends the value
      continue;
    }
    TKlvKeyNumber Number;
    if (!DecodeKeyNumber(Column, Image, Number)) {
      Out.push_back(NullTag);
      continue;
    }
    std::int64_t Bits = Number.Integer;
    if (Number.IsFloat) {
      const double D = Number.Float == 0 ? 0 : Number.Float; // -0 equals 0
      std::memcpy(&Bits, &D, sizeof Bits);
    }
    AppendNumber(Out, Bits);
  }
}

} // namespace kelva
