// Tokens of the filter language.
#include "kelva/dataset/filter/FilterLexer.h"

#include "kelva/dataset/filter/FilterSyntax.h"

namespace kelva {

namespace {
bool IsNameStart(char C) {
  // Bytes of multi-byte UTF-8 characters may appear in names as they may in field names.
  return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || C == '_' ||
         static_cast<unsigned char>(C) >= 0x80;
}
bool IsDigit(char C) {
  return C >= '0' && C <= '9';
}
bool IsNamePart(char C) {
  return IsNameStart(C) || IsDigit(C);
}
} // namespace

TKlvFilterToken TKlvFilterLexer::Next() {
  while (FPos < FText.size() &&
         (FText[FPos] == ' ' || FText[FPos] == '\t' || FText[FPos] == '\r' || FText[FPos] == '\n'))
    ++FPos;
  TKlvFilterToken Token;
  Token.Position = FPos + 1;
  if (FPos >= FText.size()) return Token;
  const std::size_t Start = FPos;
  const char C = FText[FPos];
  if (IsNameStart(C)) {
    while (FPos < FText.size() && IsNamePart(FText[FPos])) ++FPos;
    Token.Kind = tkName;
    Token.Text = FText.substr(Start, FPos - Start);
    return Token;
  }
  if (IsDigit(C) || (C == '.' && FPos + 1 < FText.size() && IsDigit(FText[FPos + 1]))) {
    while (FPos < FText.size() && IsDigit(FText[FPos])) ++FPos;
    if (FPos < FText.size() && FText[FPos] == '.') {
      ++FPos;
      while (FPos < FText.size() && IsDigit(FText[FPos])) ++FPos;
    }
    if (FPos < FText.size() && (FText[FPos] == 'e' || FText[FPos] == 'E')) {
      std::size_t Exponent = FPos + 1;
      if (Exponent < FText.size() && (FText[Exponent] == '+' || FText[Exponent] == '-')) ++Exponent;
      if (Exponent < FText.size() && IsDigit(FText[Exponent])) {
        FPos = Exponent;
        while (FPos < FText.size() && IsDigit(FText[FPos])) ++FPos;
      }
    }
    // "12abc" is a mistake, not the number 12 followed by a name.
    if (FPos < FText.size() && IsNameStart(FText[FPos])) FilterError(FPos + 1, "invalid number");
    Token.Kind = tkNumber;
    Token.Text = FText.substr(Start, FPos - Start);
    return Token;
  }
  if (C == '\'') {
    ++FPos;
    for (;;) {
      if (FPos >= FText.size()) FilterError(Start + 1, "unterminated text");
      if (FText[FPos] == '\'') {
        if (FPos + 1 < FText.size() && FText[FPos + 1] == '\'') {
          Token.Text.push_back('\'');
          FPos += 2;
          continue;
        }
        ++FPos;
        break;
      }
      Token.Text.push_back(FText[FPos++]);
    }
    Token.Kind = tkText;
    return Token;
  }
  if (C == '[') {
    const std::size_t Close = FText.find(']', FPos + 1);
    if (Close == std::string::npos) FilterError(Start + 1, "unterminated field name");
    Token.Kind = tkQuotedName;
    Token.Text = FText.substr(FPos + 1, Close - FPos - 1);
    FPos = Close + 1;
    return Token;
  }
  auto Sign = [&](TKlvFilterTokenKind Kind, std::size_t Length) {
    Token.Kind = Kind;
    Token.Text = FText.substr(Start, Length);
    FPos += Length;
    return Token;
  };
  const char Following = FPos + 1 < FText.size() ? FText[FPos + 1] : '\0';
  switch (C) {
  case '=':
    return Sign(tkCompare, 1);
  case '<':
    return Sign(tkCompare, Following == '>' || Following == '=' ? 2 : 1);
  case '>':
    return Sign(tkCompare, Following == '=' ? 2 : 1);
  case '!':
    if (Following == '=') return Sign(tkCompare, 2);
    break;
  case '-':
    return Sign(tkMinus, 1);
  case '(':
    return Sign(tkOpen, 1);
  case ')':
    return Sign(tkClose, 1);
  case ',':
    return Sign(tkComma, 1);
  default:
    break;
  }
  FilterError(Start + 1, "unexpected character '" + std::string(1, C) + "'");
}

} // namespace kelva
