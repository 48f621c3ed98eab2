// Form-file tokenizer: identifiers, numbers, strings (quoted pieces and #N codes), symbols,
// with line counting over LF, CR LF and lone CR line ends.
#include "kelva/framework/rtl/FormLexer.h"

#include "kelva/framework/rtl/Exceptions.h"
#include "kelva/framework/rtl/FormLiterals.h"
#include "kelva/framework/rtl/FormParser.h"

#include <charconv>
#include <cstring>

namespace kelva {

namespace {

bool IsLetter(char C) {
  return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || C == '_';
}
bool IsDigit(char C) {
  return C >= '0' && C <= '9';
}
char AsciiUpper(char C) {
  return C >= 'a' && C <= 'z' ? static_cast<char>(C - 'a' + 'A') : C;
}

// Appended rather than written as "#" + text: g++ 12 at -O3 reports a false overlap
// (-Wrestrict) in the library's operator+ for a literal and a temporary string.
std::string ByteText(char C) {
  std::string Text = "#";
  Text += std::to_string(static_cast<unsigned char>(C));
  return Text;
}

} // namespace

void FormSyntaxError(int Line, const std::string& What) {
  throw EParserError("Line " + std::to_string(Line) + ": " + What);
}

bool TFormToken::IsWord(std::string_view Word) const {
  if (Kind != TFormTokenKind::Identifier || Text.size() != Word.size()) return false;
  for (std::size_t I = 0; I < Word.size(); ++I)
    if (AsciiUpper(Text[I]) != AsciiUpper(Word[I])) return false;
  return true;
}

std::string TFormToken::Describe() const {
  switch (Kind) {
  case TFormTokenKind::EndOfText:
    return "end of text";
  case TFormTokenKind::Identifier:
  case TFormTokenKind::Symbol:
    return "'" + Text + "'";
  case TFormTokenKind::Integer:
  case TFormTokenKind::Float:
    return "number";
  case TFormTokenKind::String:
    return "string";
  }
  return "token";
}

TFormLexer::TFormLexer(std::string_view Text) : FText(Text) {
  // Editors like to put a byte order mark in front of UTF-8 text.
  if (FText.substr(0, 3) == "\xEF\xBB\xBF") FPos = 3;
}

char TFormLexer::Peek(std::size_t Ahead) const {
  return FPos + Ahead < FText.size() ? FText[FPos + Ahead] : '\0';
}

void TFormLexer::SkipBlanks() {
  while (!AtEnd()) {
    const char C = FText[FPos];
    if (C == '\n') {
      ++FLine;
    } else if (C == '\r') {
      if (Peek(1) != '\n') ++FLine; // a CR LF pair counts once, at its LF
    } else if (C != ' ' && C != '\t') {
      return;
    }
    ++FPos;
  }
}

TFormToken TFormLexer::Next() {
  TFormToken Token = Scan();
  FLastTokenLine = FLine;
  return Token;
}

TFormToken TFormLexer::Scan() {
  SkipBlanks();
  if (AtEnd()) return TFormToken{TFormTokenKind::EndOfText, FLastTokenLine, {}, 0, 0};
  const char C = Peek();
  if (IsLetter(C)) return ReadIdentifier();
  if (IsDigit(C) || (C == '-' && IsDigit(Peek(1)))) return ReadNumber();
  if (C == '\'' || C == '#') return ReadString();
  if (std::strchr("=:.,+-[]()<>", C)) {
    ++FPos;
    return TFormToken{TFormTokenKind::Symbol, FLine, std::string(1, C), 0, 0};
  }
  if (static_cast<unsigned char>(C) < 32 || static_cast<unsigned char>(C) >= 127)
    Fail("unexpected character " + ByteText(C));
  Fail("unexpected character '" + std::string(1, C) + "'");
}

TFormToken TFormLexer::ReadIdentifier() {
  const std::size_t Start = FPos;
  while (!AtEnd() && (IsLetter(Peek()) || IsDigit(Peek()))) ++FPos;
  return TFormToken{TFormTokenKind::Identifier, FLine,
                    std::string(FText.substr(Start, FPos - Start)), 0, 0};
}

TFormToken TFormLexer::ReadNumber() {
  const std::size_t Start = FPos;
  if (Peek() == '-') ++FPos;
  while (IsDigit(Peek())) ++FPos;
  bool IsFloat = false;
  if (Peek() == '.' && IsDigit(Peek(1))) {
    IsFloat = true;
    ++FPos;
    while (IsDigit(Peek())) ++FPos;
  }
  if ((Peek() == 'e' || Peek() == 'E') &&
      (IsDigit(Peek(1)) || ((Peek(1) == '+' || Peek(1) == '-') && IsDigit(Peek(2))))) {
    IsFloat = true;
    FPos += IsDigit(Peek(1)) ? 1 : 2;
    while (IsDigit(Peek())) ++FPos;
  }
  // "12abc" is a typo, not the number 12 followed by a name.
  while (IsLetter(Peek()) || IsDigit(Peek()) || Peek() == '.') ++FPos;
  const std::string_view Text = FText.substr(Start, FPos - Start);
  TFormToken Token{IsFloat ? TFormTokenKind::Float : TFormTokenKind::Integer, FLine,
                   std::string(Text), 0, 0};
  const char* First = Text.data();
  const char* Last = First + Text.size();
  const auto Result = IsFloat ? std::from_chars(First, Last, Token.Float)
                              : std::from_chars(First, Last, Token.Integer);
  if (Result.ec == std::errc::result_out_of_range)
    Fail("number " + Token.Text + " is out of range");
  if (Result.ec != std::errc() || Result.ptr != Last) Fail("invalid number " + Token.Text);
  return Token;
}

TFormToken TFormLexer::ReadString() {
  TFormToken Token{TFormTokenKind::String, FLine, {}, 0, 0};
  while (!AtEnd() && (Peek() == '\'' || Peek() == '#')) {
    if (Peek() == '\'')
      ReadQuoted(Token.Text);
    else
      ReadCharCode(Token.Text);
  }
  return Token;
}

void TFormLexer::ReadQuoted(std::string& Out) {
  ++FPos; // the opening quote
  for (;;) {
    // Plain ASCII text in one piece; the rest of the loop takes the other bytes one by one.
    const std::size_t RunStart = FPos;
    while (FPos < FText.size() && FText[FPos] >= ' ' && FText[FPos] != '\'' &&
           static_cast<unsigned char>(FText[FPos]) < 0x80)
      ++FPos;
    Out.append(FText.substr(RunStart, FPos - RunStart));
    CheckLength(Out);

    if (AtEnd() || Peek() == '\n' || Peek() == '\r') Fail("unterminated string");
    const char C = Peek();
    if (C == '\'') {
      ++FPos;
      if (Peek() != '\'') return;
      Out += '\'';
      ++FPos;
    } else if (static_cast<unsigned char>(C) < 32 && C != '\t') {
      Fail("control character " + ByteText(C) + " inside a string (write it as " + ByteText(C) +
           " outside the quotes)");
    } else {
      const std::size_t Length = Utf8SequenceLength(FText, FPos);
      if (Length == 0) Fail("invalid UTF-8 byte " + ByteText(C) + " in a string");
      Out.append(FText.substr(FPos, Length));
      FPos += Length;
    }
    CheckLength(Out);
  }
}

void TFormLexer::ReadCharCode(std::string& Out) {
  ++FPos; // '#'
  if (!IsDigit(Peek())) Fail("character code expected after '#'");
  unsigned Code = 0;
  while (IsDigit(Peek())) {
    Code = Code * 10 + static_cast<unsigned>(Peek() - '0');
    if (Code > 255) Fail("character code out of range (#0 ... #255)");
    ++FPos;
  }
  Out += static_cast<char>(Code);
  CheckLength(Out);
}

void TFormLexer::CheckLength(const std::string& Out) const {
  if (Out.size() > MaxFormStringBytes)
    Fail("string longer than " + std::to_string(MaxFormStringBytes) + " bytes");
}

} // namespace kelva
