// Case-insensitive matching of names and texts against cached upper-case forms, without
// allocating when the probe is plain ASCII. Internal to the database layer.
#pragma once

#include <string>
#include <string_view>

namespace kelva {

bool IsAsciiText(std::string_view Text);

// Upper is an AnsiUpperCase result; AsciiText holds no byte >= 128. True when
// AnsiUpperCase(AsciiText) == Upper, that is when the ASCII upper-case forms are equal.
bool AsciiEqualsUpper(std::string_view Upper, std::string_view AsciiText);

// True when AnsiUpperCase(Text) == Upper.
bool EqualsUpper(std::string_view Upper, const std::string& Text);

// True when AnsiUpperCase(Prefix) is a prefix of Upper.
bool StartsWithUpper(std::string_view Upper, const std::string& Prefix);

} // namespace kelva
