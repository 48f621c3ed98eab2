// How the two description dialogs read a description line: the key before the first "=",
// the value after it cut into comma-separated tokens, and the nine type words they accept.
// The dialogs read more strictly than the dataset does: unknown type words are refused.
#pragma once

#include <string>
#include <vector>

namespace kelva {

// CHAR, FLOAT, BOOLEAN, INTEGER, SMALLINT, DATE, TIME, DATETIME, BCD, in this order.
const std::vector<std::string>& DialogTypeWords();
// Whether Word is one of the nine type words, ignoring case.
bool IsDialogTypeWord(const std::string& Word);

struct TDialogLine {
  std::string Key;   // before the first "=", trimmed and in upper case; empty without "="
  std::string Value; // after the first "=" (the whole line without one), at most 255 bytes,
                     // trimmed
};
TDialogLine SplitDialogLine(const std::string& Line);

// Takes the first comma-separated token of Rest, trimmed, and leaves the text after the comma
// (at most 255 bytes, trimmed) in Rest. Without a comma the token is all of Rest, trimmed,
// and Rest stays as it is, so that a further call returns the same token again.
std::string ExtractToken(std::string& Rest);

} // namespace kelva
