// The package's message texts and the texts a BOOLEAN slot holds. Messages are formatted
// with Format and raised through DatabaseError / DatabaseErrorFmt.
#pragma once

namespace kelva {

inline constexpr const char* SKlvInvalidNumRec = "Unknown record number";
inline constexpr const char* SKlvInvalidBookMark = "Unknown bookmark";
inline constexpr const char* SKlvNoSchema = "No field descrition in '%s' ";
inline constexpr const char* SKlvSchemaError = "Error in field description '%s' ";
inline constexpr const char* SKlvParamError = "Error in paramter description '%s' ";
inline constexpr const char* SklvRefreshError = "Updates pending : unable to refresh";
inline constexpr const char* SklvFicError = "invalid file format";
inline constexpr const char* SklvNotNull = "length can not be zero";
inline constexpr const char* SklvlgNull = "Length must be zero";
inline constexpr const char* SklvNameNotNull = "Field name is compulsory";
inline constexpr const char* SklvTypeNotNull = "Field Type is compulsory";

// A record is one line of the file format, so its text fields cannot hold line breaks.
inline constexpr const char* SKlvLineBreakInValue =
    "Field '%s' cannot hold a line break: records are stored one per line";

// Identifiers are 32-bit: once the highest one is taken, no record can be added.
inline constexpr const char* SKlvNoRecIdLeft =
    "Cannot add a record: the highest record identifier (%d) is already in use";

// A load that would need more memory than it may use, or that ran out of memory.
inline constexpr const char* SKlvLoadTooLarge =
    "The data needs about %s MiB of memory to load, more than the %s MiB a load may use";
inline constexpr const char* SKlvLoadOutOfMemory = "Not enough memory to load the data";

// Sorting keeps the sort keys of a text field together, addressed with 32-bit offsets.
inline constexpr const char* SKlvSortKeysTooLarge =
    "Cannot sort: the sort keys of one text field would take more than 4 GiB";
inline constexpr const char* SKlvFilterError = "Filter expression error at position %d: %s";

// The one-letter texts of a BOOLEAN slot.
inline constexpr const char* KLVTRUETEXT = "T";
inline constexpr const char* KLVFALSETEXT = "F";

} // namespace kelva
