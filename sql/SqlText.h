// Reading the parameters out of an SQL text: "?" (positional) and ":name" (named) become the
// driver's numbered form (Prefix 1, Prefix 2, ...: "$1" or "?1") in order, outside quoted
// strings, quoted identifiers and comments.
#pragma once

#include <string>
#include <vector>

namespace kelva {

struct TSqlParsed {
  std::string SQL;                     // with numbered parameters in place of the others
  std::vector<std::string> ParamNames; // one per parameter, upper case; "" for a "?"
};

TSqlParsed ParseSqlParameters(const std::string& SQL, char Prefix);

// Name as an SQL identifier in double quotes ("a""b" for a"b); names with a NUL are refused.
std::string QuoteIdentifier(const std::string& Name);

} // namespace kelva
