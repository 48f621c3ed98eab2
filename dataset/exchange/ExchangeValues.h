// Field values as the exchange formats (CSV, JSON) write them and read them back: numbers
// with '.', dates in ISO 8601, booleans as words, and the checks that a value read from
// outside fits the field it is meant for before anything is stored.
#pragma once

#include "kelva/framework/rtl/Variant.h"

#include <string>
#include <string_view>

namespace kelva {

class TField;

// How a field's value is written in a format that tells kinds apart (JSON).
enum TKlvValueShape : std::uint8_t { vsText, vsNumber, vsBoolean };
TKlvValueShape ValueShapeOf(const TField& Field);

// The exchange text of Field's current, non-null value: CHAR text as stored, numbers with
// '.', DATE "yyyy-mm-dd", TIME "hh:nn:ss[.zzz]", DATETIME "yyyy-mm-ddThh:nn:ss[.zzz]"
// (milliseconds only when not zero), BOOLEAN "true"/"false".
std::string ExchangeText(const TField& Field);

// Reads Text as a value for Field (the inverse of ExchangeText; booleans in any letter
// case). On failure returns false with Reason saying why, e.g. "'12,5' is not a number".
bool ParseExchangeText(const TField& Field, std::string_view Text, Variant& Value,
                       std::string& Reason);

// Converts a value read from another field into Field's kind; false with Reason when it
// cannot be converted or would not fit.
bool ConvertForField(const TField& Field, const Variant& Source, Variant& Value,
                     std::string& Reason);

// The final word on a value (null included) about to be stored in Field: text length and
// line breaks, SMALLINT range, finite numbers, a required field left null.
bool ValueFitsField(const TField& Field, const Variant& Value, std::string& Reason);

// Assigns a value accepted by ValueFitsField to Field (which must be in an editing state).
void AssignExchangeValue(TField& Field, const Variant& Value);

// True when Text is well-formed UTF-8.
bool IsValidUtf8(std::string_view Text);

// True when Text is a number as JSON writes one: -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?
bool IsJsonNumber(std::string_view Text);

} // namespace kelva
