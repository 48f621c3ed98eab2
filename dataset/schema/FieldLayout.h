// Field descriptions turned into a record layout: one text slot per described field, laid
// end to end, plus one closing byte. The layout fixes where each value lives in a record
// image and how wide its text may be.
#pragma once

#include "kelva/framework/db/Fields.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kelva {

class TStrings;

// Where one field's slot lives: its first byte is at Offset - 1 of the data area.
struct TKlvFieldInfo {
  std::int32_t Offset;
  std::uint16_t Width;
};

struct TKlvFieldDescription {
  std::string Name;
  TFieldType FieldType; // ftUnknown for a type word nobody knows
  std::int32_t DefSize; // size of the field definition: the length for CHAR, 4 for BCD
};

struct TKlvFieldLayout {
  std::vector<TKlvFieldDescription> Fields; // in description order
  std::vector<TKlvFieldInfo> FieldInfo;     // entry n - 1 belongs to field number n
  std::int32_t DataSize = 1;                // 1 + the sum of the slot widths
};

// A record image is at most this long: the framework's record size is 16-bit.
inline constexpr std::int32_t MaxDataSize = 65535;

// Reads the field description lines. Lines whose key does not contain FIELD are ignored.
// Raises SKlvNoSchema (with ComponentName) when the lines are empty or blank, and
// SKlvSchemaError (with the field's name) for a description it cannot read, including a
// negative CHAR length and a layout that would grow past MaxDataSize.
TKlvFieldLayout ParseFieldDescriptions(const TStrings& Lines, const std::string& ComponentName);

} // namespace kelva
