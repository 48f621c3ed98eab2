// The type words of field and parameter descriptions (CHAR, FLOAT, BOOLEAN, INTEGER,
// SMALLINT, DATE, TIME, DATETIME, BCD), with the framework field type each one gives and
// the width of its text slot in a record image.
#pragma once

#include "kelva/framework/db/Fields.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kelva {

struct TKlvTypeWord {
  std::string_view Word;
  TFieldType FieldType;
  std::uint16_t SlotWidth; // for CHAR: 0, the width is the declared length + 1
};

inline constexpr std::array<TKlvTypeWord, 9> TypeWords{{
    {"CHAR", ftString, 0},
    {"FLOAT", ftFloat, 23},
    {"BOOLEAN", ftBoolean, 1},
    {"INTEGER", ftInteger, 12},
    {"SMALLINT", ftSmallint, 6},
    {"DATE", ftDate, 22},
    {"TIME", ftTime, 22},
    {"DATETIME", ftDateTime, 22},
    {"BCD", ftBCD, 34},
}};

// The entry for an (already upper-cased) word, compared exactly; null when none matches.
const TKlvTypeWord* FindTypeWord(std::string_view Word);

} // namespace kelva
