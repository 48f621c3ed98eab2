// The tokenizer of form files. Strings are decoded here ('' and #N pieces joined, UTF-8
// checked) and numbers converted, so the parser only sees values. Every token knows the line
// it starts on; errors raise EParserError "Line N: <what is wrong>".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kelva {

enum class TFormTokenKind : std::uint8_t { EndOfText, Identifier, Integer, Float, String, Symbol };

struct TFormToken {
  TFormTokenKind Kind = TFormTokenKind::EndOfText;
  int Line = 1;
  std::string Text; // identifier, string bytes, or the symbol's character
  std::int64_t Integer = 0;
  double Float = 0;

  bool IsSymbol(char C) const { return Kind == TFormTokenKind::Symbol && Text[0] == C; }
  // Identifier equal to Word, ignoring ASCII case.
  bool IsWord(std::string_view Word) const;
  // How an error message shows the token: 'end', '=', string, number, end of text.
  std::string Describe() const;
};

[[noreturn]] void FormSyntaxError(int Line, const std::string& What);

class TFormLexer {
public:
  explicit TFormLexer(std::string_view Text);
  TFormToken Next();

private:
  [[noreturn]] void Fail(const std::string& What) const { FormSyntaxError(FLine, What); }
  bool AtEnd() const { return FPos >= FText.size(); }
  char Peek(std::size_t Ahead = 0) const;
  void SkipBlanks();
  TFormToken Scan();
  TFormToken ReadIdentifier();
  TFormToken ReadNumber();
  TFormToken ReadString();
  void ReadQuoted(std::string& Out);
  void ReadCharCode(std::string& Out);
  void CheckLength(const std::string& Out) const;

  std::string_view FText;
  std::size_t FPos = 0;
  int FLine = 1;
  // Where the last token ended: a missing "end" is reported there, not on the blank lines
  // after it.
  int FLastTokenLine = 1;
};

} // namespace kelva
