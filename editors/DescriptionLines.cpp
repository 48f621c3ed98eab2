// Reading description lines the way the dialogs do.
#include "kelva/editors/DescriptionLines.h"

#include "kelva/framework/rtl/SysUtils.h"

namespace kelva {

namespace {
// The value of a description line is a short string: longer text is cut.
constexpr std::size_t MaxValueBytes = 255;
} // namespace

const std::vector<std::string>& DialogTypeWords() {
  static const std::vector<std::string> Words{"CHAR", "FLOAT", "BOOLEAN",  "INTEGER", "SMALLINT",
                                              "DATE", "TIME",  "DATETIME", "BCD"};
  return Words;
}

bool IsDialogTypeWord(const std::string& Word) {
  for (const std::string& Known : DialogTypeWords())
    if (AnsiSameText(Known, Word)) return true;
  return false;
}

TDialogLine SplitDialogLine(const std::string& Line) {
  TDialogLine Result;
  const std::size_t Equals = Line.find('=');
  if (Equals == std::string::npos) {
    Result.Value = Trim(Utf8Truncate(Line, MaxValueBytes));
    return Result;
  }
  Result.Key = UpperCase(Trim(Line.substr(0, Equals)));
  Result.Value = Trim(Utf8Truncate(Line.substr(Equals + 1), MaxValueBytes));
  return Result;
}

std::string ExtractToken(std::string& Rest) {
  const std::size_t Comma = Rest.find(',');
  if (Comma == std::string::npos) return Trim(Rest);
  std::string Token = Trim(Rest.substr(0, Comma));
  Rest = Trim(Utf8Truncate(Rest.substr(Comma + 1), MaxValueBytes));
  return Token;
}

} // namespace kelva
