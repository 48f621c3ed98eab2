// The text a field value takes in its slot of a record image, and back: the framework's
// native value buffers on one side, fixed-width text on the other. Saved files carry
// these texts, so they follow the framework's number and date conversions exactly.
#pragma once

#include "kelva/framework/db/Fields.h"

#include <cstdint>
#include <string_view>

namespace kelva {

// Converts the Width characters at Slot into the value buffer of a field of type Type.
// Returns false when the slot is blank (null); ValBuf is then untouched. A null ValBuf
// only asks whether a value is present. A slot text that does not convert raises the
// conversion's EConvertError.
bool SlotToValue(const char* Slot, std::uint16_t Width, TFieldType Type, void* ValBuf);

// Writes the value buffer as text into the Width characters at Slot; a null ValBuf
// blanks the slot. Text is left-aligned for CHAR and BCD, right-aligned for numbers and
// dates (an over-long text keeps its rightmost characters).
void ValueToSlot(char* Slot, std::uint16_t Width, TFieldType Type, const void* ValBuf);

// The text of a CHAR slot as a field reads it (blanks at both ends removed, at most the
// field's length), pointing into the slot; empty for null.
std::string_view CharSlotText(const char* Slot, std::uint16_t Width);

// Size of the BCD value buffer the framework's BCD field uses.
inline constexpr std::int32_t BCDBufferSize = 34;

} // namespace kelva
