// Form-file literals: UTF-8 sequence check, string quoting with #N escapes and line
// continuation, shortest round-trip float text.
#include "kelva/framework/rtl/FormLiterals.h"

#include <charconv>
#include <cmath>

namespace kelva {

namespace {

// Payload bytes per line before a long string continues on the next one.
constexpr std::size_t MaxPieceBytes = 64;

bool IsContinuation(unsigned char Byte) {
  return (Byte & 0xC0) == 0x80;
}

} // namespace

std::size_t Utf8SequenceLength(std::string_view Text, std::size_t Pos) {
  const auto Byte = [&](std::size_t I) { return static_cast<unsigned char>(Text[Pos + I]); };
  const unsigned char Lead = Byte(0);
  if (Lead < 0x80) return 1;
  std::size_t Length;
  unsigned char Min = 0x80, Max = 0xBF; // allowed range of the second byte
  if (Lead >= 0xC2 && Lead <= 0xDF) {
    Length = 2;
  } else if (Lead >= 0xE0 && Lead <= 0xEF) {
    Length = 3;
    if (Lead == 0xE0) Min = 0xA0; // overlong below U+0800
    if (Lead == 0xED) Max = 0x9F; // UTF-16 surrogates
  } else if (Lead >= 0xF0 && Lead <= 0xF4) {
    Length = 4;
    if (Lead == 0xF0) Min = 0x90; // overlong below U+10000
    if (Lead == 0xF4) Max = 0x8F; // above U+10FFFF
  } else {
    return 0; // a continuation byte, an overlong lead (C0, C1) or F5..FF
  }
  if (Text.size() - Pos < Length) return 0;
  if (Byte(1) < Min || Byte(1) > Max) return 0;
  for (std::size_t I = 2; I < Length; ++I)
    if (!IsContinuation(Byte(I))) return 0;
  return Length;
}

std::string FormatFormString(std::string_view Value, std::string_view ContinuationIndent) {
  if (Value.empty()) return "''";
  std::string Out;
  std::size_t LineStart = 0;
  bool InQuotes = false;
  const auto CloseQuotes = [&] {
    if (InQuotes) Out += '\'';
    InQuotes = false;
  };
  std::size_t Pos = 0;
  while (Pos < Value.size()) {
    if (Out.size() - LineStart >= MaxPieceBytes) {
      CloseQuotes();
      Out += " +\n";
      Out += ContinuationIndent;
      LineStart = Out.size();
    }
    const auto Byte = static_cast<unsigned char>(Value[Pos]);
    const std::size_t Length = Byte < 32 ? 0 : Utf8SequenceLength(Value, Pos);
    if (Length == 0) {
      CloseQuotes();
      Out += '#';
      Out += std::to_string(Byte);
      ++Pos;
      continue;
    }
    if (!InQuotes) Out += '\'';
    InQuotes = true;
    if (Byte == '\'')
      Out += "''";
    else
      Out.append(Value.substr(Pos, Length));
    Pos += Length;
  }
  CloseQuotes();
  return Out;
}

std::string FormatFormFloat(double Value) {
  if (std::isnan(Value)) return "NaN";
  if (std::isinf(Value)) return Value > 0 ? "Inf" : "-Inf";
  char Buffer[64];
  // Without a format, to_chars gives the shortest text that reads back exactly, and it does not
  // look at the locale.
  const auto Result = std::to_chars(Buffer, Buffer + sizeof Buffer, Value);
  std::string Text(Buffer, Result.ptr);
  if (Text.find_first_of(".e") == std::string::npos) Text += ".0";
  return Text;
}

} // namespace kelva
