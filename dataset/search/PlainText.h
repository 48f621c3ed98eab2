// What a text holds, for deciding whether comparing its bytes gives the collation's order:
// the sort uses it for its keys and the filter for its comparisons, so the two agree.
#pragma once

#include <cstdint>
#include <string_view>

namespace kelva {

enum TPlainKind : std::uint8_t {
  pkDigits = 0, // digits only, or empty
  pkUpper = 1,  // digits and upper-case letters, at least one letter
  pkLower = 2,  // digits and lower-case letters, at least one letter
  pkMixed = 3,  // digits and letters of both cases
  pkOther = 4   // anything else
};

inline TPlainKind PlainKind(std::string_view Text) {
  unsigned Kind = pkDigits;
  for (const char C : Text) {
    if (C >= 'A' && C <= 'Z')
      Kind |= pkUpper;
    else if (C >= 'a' && C <= 'z')
      Kind |= pkLower;
    else if (C < '0' || C > '9')
      return pkOther;
  }
  return static_cast<TPlainKind>(Kind);
}

} // namespace kelva
