// Internal helpers shared by the number, currency and date conversions of the run-time
// library (NumberConversions.cpp, Currency.cpp, DateTime.cpp). Not part of the public API.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kelva::detail {

// Throws EConvertError with Format(Msg, {Text}); Msg holds one '%s'.
[[noreturn]] void ThrowConvertError(const char* Msg, std::string_view Text);
// Throws EConvertError with the fixed text Msg.
[[noreturn]] void ThrowConvertError(const char* Msg);

// The pieces of a decimal number text in the syntax of StrToFloat:
// [spaces] [sign] digits [sep [digits]] | sep digits, [(E|e) [sign] digits] [spaces].
// The invariant after a successful scan: IntEnd - IntBegin + FracEnd - FracBegin >= 1, and
// Exponent is the written exponent clamped to +-ExponentLimit (so later arithmetic on it
// plus the text length cannot overflow).
struct DecimalText {
  const char* IntBegin; // integer digits [IntBegin, IntEnd)
  const char* IntEnd;
  const char* FracBegin; // fraction digits [FracBegin, FracEnd); FracBegin == IntEnd when
                         // there is no separator, IntEnd + 1 when there is one
  const char* FracEnd;
  const char* NumberEnd; // end of the number (after the exponent digits, if any)
  std::int64_t Exponent;
  bool Negative;
};
inline constexpr std::int64_t ExponentLimit = 1000000000;

// Scans Text against the StrToFloat syntax with decimal separator Separator.
bool ScanDecimalText(const char* Text, std::size_t Length, char Separator, DecimalText& Out);

} // namespace kelva::detail
