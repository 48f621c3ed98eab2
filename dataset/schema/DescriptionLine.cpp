// Splitting description lines into key, value and tokens.
#include "kelva/dataset/schema/DescriptionLine.h"

#include "kelva/dataset/schema/TypeWords.h"
#include "kelva/framework/rtl/SysUtils.h"

namespace kelva {

namespace {
constexpr std::size_t MaxValueLength = 255;

// At most MaxValueLength bytes, never ending inside a UTF-8 sequence.
std::string CutValue(const std::string& Text) {
  return Utf8Truncate(Text, MaxValueLength);
}
} // namespace

TKlvDescriptionLine SplitDescriptionLine(const std::string& Line) {
  const std::size_t Equals = Line.find('=');
  if (Equals == std::string::npos) return {};
  return {AnsiUpperCase(Trim(Line.substr(0, Equals))),
          AnsiUpperCase(Trim(CutValue(Line.substr(Equals + 1))))};
}

std::string NextToken(std::string& Rest) {
  const std::size_t Comma = Rest.find(',');
  if (Comma == std::string::npos) return Trim(Rest);
  std::string Token = Trim(Rest.substr(0, Comma));
  Rest = Trim(CutValue(Rest.substr(Comma + 1)));
  return Token;
}

const TKlvTypeWord* FindTypeWord(std::string_view Word) {
  for (const TKlvTypeWord& Entry : TypeWords)
    if (Entry.Word == Word) return &Entry;
  return nullptr;
}

} // namespace kelva
