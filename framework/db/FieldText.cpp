// Case-insensitive matching against cached upper-case forms (see FieldText.h). Upper-
// casing an ASCII text maps only 'a'...'z', so the common case needs no conversion call.
#include "kelva/framework/db/FieldText.h"

#include "kelva/framework/rtl/SysUtils.h"

namespace kelva {

namespace {

char AsciiUpper(char C) {
  return (C >= 'a' && C <= 'z') ? static_cast<char>(C - 'a' + 'A') : C;
}

bool AsciiStartsWithUpper(std::string_view Upper, std::string_view AsciiPrefix) {
  if (AsciiPrefix.size() > Upper.size()) return false;
  for (std::size_t I = 0; I < AsciiPrefix.size(); ++I)
    if (Upper[I] != AsciiUpper(AsciiPrefix[I])) return false;
  return true;
}

} // namespace

bool IsAsciiText(std::string_view Text) {
  for (char C : Text)
    if (static_cast<unsigned char>(C) >= 0x80) return false;
  return true;
}

bool AsciiEqualsUpper(std::string_view Upper, std::string_view AsciiText) {
  return Upper.size() == AsciiText.size() && AsciiStartsWithUpper(Upper, AsciiText);
}

bool EqualsUpper(std::string_view Upper, const std::string& Text) {
  if (IsAsciiText(Text)) return AsciiEqualsUpper(Upper, Text);
  return Upper == AnsiUpperCase(Text);
}

bool StartsWithUpper(std::string_view Upper, const std::string& Prefix) {
  if (IsAsciiText(Prefix)) return AsciiStartsWithUpper(Upper, Prefix);
  return Upper.starts_with(AnsiUpperCase(Prefix));
}

} // namespace kelva
