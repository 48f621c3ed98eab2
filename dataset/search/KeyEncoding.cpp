// Encoding record key values for search.
#include "dataset/search/KeyEncoding.h"

#include "dataset/SlotText.h"
#include "framework/rtl/SysUtils.h"

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

void TKlvKeyEncoder::Encode(const char* Image, std::string& Out, std::int32_t PartialLength) const {
  alignas(8) char Value[BCDBufferSize + 8];
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
    {
      const bool Present =
          Column.HasSlot && SlotToValue(Slot, Column.Slot.Width, Column.Type, Value);
      if (!Present) {
        Out.push_back(NullTag);
        continue;
      }
      std::int64_t Number = 0;
      switch (Column.Type) {
      case ftFloat:
      case ftDateTime: {
        double D;
        std::memcpy(&D, Value, sizeof D);
        if (D == 0) D = 0; // -0 equals 0
        std::memcpy(&Number, &D, sizeof Number);
        break;
      }
      case ftSmallint:
      case ftInteger:
      case ftDate:
      case ftTime: {
        std::int32_t N;
        std::memcpy(&N, Value, sizeof N);
        Number = N;
        break;
      }
      case ftBoolean: {
        std::uint16_t B;
        std::memcpy(&B, Value, sizeof B);
        Number = B != 0;
        break;
      }
      case ftBCD: {
        // Equal amounts may be written differently ("12.5", "12.50").
        Currency C;
        if (!TryStrToCurr(Value, std::strlen(Value), C)) {
          Out.push_back(NullTag);
          continue;
        }
        Number = C.Scaled;
        break;
      }
      default:
        Out.push_back(NullTag);
        continue;
      }
      AppendNumber(Out, Number);
    }
  }
}

} // namespace kelva
