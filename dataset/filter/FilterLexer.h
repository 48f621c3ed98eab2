// Splits a filter text into tokens: names, quoted texts, numbers and operator signs, each
// with the 1-based position where it starts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kelva {

enum TKlvFilterTokenKind : std::uint8_t {
  tkEnd,
  tkName,       // a bare name; keywords (and, or, not, is, null, in, true, false) are names too
  tkQuotedName, // [a name], never a keyword
  tkText,       // 'a text', with '' standing for one quote
  tkNumber,
  tkCompare, // = <> != < <= > >=
  tkMinus,
  tkOpen,
  tkClose,
  tkComma
};

struct TKlvFilterToken {
  TKlvFilterTokenKind Kind = tkEnd;
  std::string Text; // the name, the text without its quotes, the number or the sign
  std::size_t Position = 0;
};

class TKlvFilterLexer {
public:
  explicit TKlvFilterLexer(const std::string& Text) : FText(Text) {}
  // The next token; tkEnd at the end of the text, and from then on. Raises FilterError for
  // a character the language does not use or an unterminated quote.
  TKlvFilterToken Next();

private:
  const std::string& FText;
  std::size_t FPos = 0;
};

} // namespace kelva
