// The text a field value takes in its slot of a record image, and back: the framework's
// native value buffers on one side, fixed-width text on the other. Saved files carry
// these texts, so they follow the framework's number and date conversions exactly.
#pragma once

#include "kelva/framework/db/Fields.h"
#include "kelva/framework/rtl/Currency.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kelva {

// Numbers are written into slots with '.' whatever FormatSettings says, so that what is
// stored never depends on the process's settings. Reading takes ',' as well: files saved
// while the setting was ',' carry it, and no slot text uses either character otherwise.
inline constexpr char SlotDecimalSeparator = '.';

// Converts the Width characters at Slot into the value buffer of a field of type Type.
// Returns false when the slot is blank (null); ValBuf is then untouched. A null ValBuf
// only asks whether a value is present. A slot text that does not convert raises the
// conversion's EConvertError.
bool SlotToValue(const char* Slot, std::uint16_t Width, TFieldType Type, void* ValBuf);

// Writes the value buffer as text into the Width characters at Slot; a null ValBuf
// blanks the slot. Text is left-aligned for CHAR and BCD, right-aligned for numbers and
// dates (an over-long text keeps its rightmost characters).
void ValueToSlot(char* Slot, std::uint16_t Width, TFieldType Type, const void* ValBuf);

// True when the Width characters at Slot are blank (null) or a text that a field of type
// Type reads without error: the conversion accepts it and the value fits the field (a
// SMALLINT holds 16 bits, a BCD text is a currency amount). Allocates nothing, so that
// loading can check every slot of every record.
bool SlotTextReadable(const char* Slot, std::uint16_t Width, TFieldType Type);

// True when the value in ValBuf, written into its slot, reads back: not NAN or INF, not a
// double so close to the largest that its 15-digit text rounds past it, a SMALLINT within
// 16 bits, a BCD text that is a currency amount. Other types always read back.
bool ValueStorable(TFieldType Type, const void* ValBuf);

// A BCD slot's currency text (without surrounding spaces) and back: written with
// SlotDecimalSeparator, read with '.' or ','.
bool SlotTextToCurr(const char* Text, std::size_t Length, Currency& Value);
std::size_t CurrToSlotText(Currency Value, char* Buffer); // CurrToStrBufSize bytes

// The text of a CHAR slot as a field reads it (blanks at both ends removed, at most the
// field's length), pointing into the slot; empty for null.
std::string_view CharSlotText(const char* Slot, std::uint16_t Width);

// Size of the BCD value buffer the framework's BCD field uses.
inline constexpr std::int32_t BCDBufferSize = 34;

} // namespace kelva
