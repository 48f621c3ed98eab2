// The text forms of values in form files that both directions must agree on: quoted strings
// with #N escapes, floats that read back to the very same double, and the UTF-8 check that
// decides which bytes may stand inside quotes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kelva {

// The length of the well-formed UTF-8 sequence starting at Text[Pos] (1 for ASCII), or 0 when
// the bytes there are not one: stray continuation bytes, truncated sequences, overlong forms,
// surrogates and code points above U+10FFFF are all refused.
std::size_t Utf8SequenceLength(std::string_view Text, std::size_t Pos);

// The literal for Value: runs of valid UTF-8 in single quotes (a quote doubled), control bytes
// and bytes that are not valid UTF-8 as #N, so that any byte string reads back unchanged.
// Texts longer than one line are cut on character boundaries into pieces joined by " +", a
// line break and ContinuationIndent.
std::string FormatFormString(std::string_view Value, std::string_view ContinuationIndent);

// The shortest decimal text that reads back to exactly Value, always with a '.' or an exponent
// so that it reads as a float; "Inf", "-Inf" and "NaN" for the values without digits.
std::string FormatFormFloat(double Value);

} // namespace kelva
