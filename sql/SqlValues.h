// Values between the database's text and a field: what a column's text becomes in a field of
// each type, and what a field's value is bound as. Dates and times travel in ISO form and
// numbers with '.', whatever the process's format settings are.
#pragma once

#include "kelva/framework/db/Fields.h"
#include "kelva/framework/rtl/Variant.h"

#include <string>

namespace kelva {

// The value for a field of type Type read from a column's text; raises a clear error naming
// Column when the text does not fit the type.
Variant ValueFromSqlText(TFieldType Type, const std::string& Text, const std::string& Column);

// The value of Field (its current value, or Value when given) to bind as a parameter.
Variant SqlParamValue(const TField& Field, const Variant& Value);

} // namespace kelva
