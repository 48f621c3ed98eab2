// Message texts of the run-time library. Callers format them with Format().
#pragma once

namespace kelva {

inline constexpr const char* SOperationAborted = "Operation aborted";
inline constexpr const char* SAbstractError = "Abstract Error";
inline constexpr const char* SInvalidInteger = "'%s' is not a valid integer value";
inline constexpr const char* SInvalidFloat = "'%s' is not a valid floating point value";
inline constexpr const char* SInvalidDate = "'%s' is not a valid date";
inline constexpr const char* SInvalidTime = "'%s' is not a valid time";
inline constexpr const char* SInvalidDateTime = "'%s' is not a valid date and time";
inline constexpr const char* SDateEncodeError = "Invalid argument to date encode";
inline constexpr const char* STimeEncodeError = "Invalid argument to time encode";
inline constexpr const char* SRangeError = "Value out of range";
inline constexpr const char* SCurrencyRange = "Value out of the currency range";
inline constexpr const char* SInvalidFormat = "Format '%s' invalid or incompatible with argument";
inline constexpr const char* SArgumentMissing = "No argument for format '%s'";
inline constexpr const char* SListIndexError = "List index out of bounds (%d)";
inline constexpr const char* SSortedListError = "Operation not allowed on sorted list";
inline constexpr const char* SDuplicateString = "String list does not allow duplicates";
inline constexpr const char* SFCreateError = "Cannot create file \"%s\"";
inline constexpr const char* SFOpenError = "Cannot open file \"%s\"";
inline constexpr const char* SReadError = "Stream read error";
inline constexpr const char* SWriteError = "Stream write error";
inline constexpr const char* SInvalidVarCast =
    "Could not convert variant of type (%s) into type (%s)";
inline constexpr const char* SVarOverflow =
    "Overflow while converting variant of type (%s) into type (%s)";
inline constexpr const char* SVarNotArray = "Variant is not an array";
inline constexpr const char* SVarArrayBounds = "Variant or safe array index out of bounds";
inline constexpr const char* SInvalidVarOp = "Invalid variant operation";
inline constexpr const char* SInvalidName = "'%s' is not a valid component name";
inline constexpr const char* SDuplicateName = "A component named %s already exists";
inline constexpr const char* SNoParentAllowed =
    "Component %s cannot be placed inside another component";

} // namespace kelva
