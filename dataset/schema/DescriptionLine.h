// Reading one description line ("FIELD=NAME,CHAR,25", "PARAM=ID,INTEGER"): the key
// before the first '=', the value after it, and the comma-separated tokens of the value.
// Field and parameter descriptions, and the editor dialogs, share these rules.
#pragma once

#include <string>

namespace kelva {

struct TKlvDescriptionLine {
  std::string Key;   // trimmed, upper-cased; empty when the line has no '='
  std::string Value; // at most 255 characters after the first '=', trimmed, upper-cased
};

TKlvDescriptionLine SplitDescriptionLine(const std::string& Line);

// Takes the next token from Rest: the text up to the first comma, trimmed, and Rest
// becomes the (trimmed, at most 255 characters) text after it. Without a comma the token
// is Rest trimmed and Rest stays as it is, so asking again repeats the last token.
std::string NextToken(std::string& Rest);

} // namespace kelva
