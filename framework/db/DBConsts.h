// Message texts of the database layer, and DatabaseError / DatabaseErrorFmt, which raise
// EDatabaseError with exactly the formatted text (no component-name prefix).
#pragma once

#include "kelva/framework/rtl/Exceptions.h"
#include "kelva/framework/rtl/Variant.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace kelva {

inline constexpr const char* SDataSetClosed = "Cannot perform this operation on a closed dataset";
inline constexpr const char* SDataSetOpen = "Cannot perform this operation on an open dataset";
inline constexpr const char* SDataSetReadOnly = "Cannot modify a read-only dataset";
inline constexpr const char* SDataSetEmpty = "Cannot perform this operation on an empty dataset";
inline constexpr const char* SNotEditing = "Dataset not in edit or insert mode";
inline constexpr const char* SRecordNotFound = "Record not found";
inline constexpr const char* SCircularDataLink = "Circular datalinks are not allowed";
inline constexpr const char* SFieldIndexError = "Field index out of range";
inline constexpr const char* SFieldNotFound = "Field '%s' not found";
inline constexpr const char* SParameterNotFound = "Parameter '%s' not found";
inline constexpr const char* SFieldRangeError =
    "%s is not a valid value for field '%s'. The allowed range is %s to %s";
inline constexpr const char* SInvalidIntegerValue =
    "'%s' is not a valid integer value for field '%s'";
inline constexpr const char* SInvalidFloatValue =
    "'%s' is not a valid floating point value for field '%s'";
inline constexpr const char* SInvalidBoolValue = "'%s' is not a valid boolean value for field '%s'";
inline constexpr const char* SFieldAccessError = "Cannot access field '%s' as type %s";
inline constexpr const char* SFieldReadOnly = "Field '%s' cannot be modified";
inline constexpr const char* SFieldRequired = "Field '%s' must have a value";
inline constexpr const char* SFieldValueError = "Invalid value for field '%s'";
inline constexpr const char* SDataSetMissing = "Field '%s' has no dataset";
inline constexpr const char* SDuplicateFieldName = "Duplicate field name '%s'";
inline constexpr const char* SFieldNameMissing = "Field name missing";
inline constexpr const char* SFieldTypeMismatch =
    "Type mismatch for field '%s', expecting: %s actual: %s";
inline constexpr const char* SFieldSizeMismatch =
    "Size mismatch for field '%s', expecting: %d actual: %d";
inline constexpr const char* SInvalidFieldSize = "Invalid field size";
inline constexpr const char* SUnknownFieldType = "Field '%s' is of an unknown type";
inline constexpr const char* SLookupInfoError = "Lookup information for field '%s' is incomplete";
inline constexpr const char* SInvalidDisplayValues = "'%s' is not a valid boolean display value";
inline constexpr const char* STooManyValues = "More values than fields";
// %s says what the dataset is doing: "filtering records", "calculating fields", ...
inline constexpr const char* SInTemporaryState =
    "Cannot perform this operation while the dataset is %s";

[[noreturn]] void DatabaseError(const std::string& Message);
[[noreturn]] void DatabaseErrorFmt(const std::string& Fmt, std::initializer_list<Variant> Args);
[[noreturn]] void DatabaseErrorFmt(const std::string& Fmt, const std::vector<Variant>& Args);

} // namespace kelva
