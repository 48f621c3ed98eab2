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

// The one-letter texts of a BOOLEAN slot.
inline constexpr const char* KLVTRUETEXT = "T";
inline constexpr const char* KLVFALSETEXT = "F";

} // namespace kelva
