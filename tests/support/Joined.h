#pragma once
// Builds a text by appending its parts in order. Tests use it instead of
// `"literal" + std::string(...)`: g++ 12 at -O3 reports a false overlap (-Wrestrict) inside
// libstdc++'s operator+(const char*, std::string&&) once that call is inlined, which a release
// build with -Werror turns into an error.
#include <string>
#include <string_view>

namespace kelva::testing {

template <typename... Parts>
std::string Joined(const Parts&... Part) {
  std::string Text;
  (Text.append(std::string_view(Part)), ...);
  return Text;
}

} // namespace kelva::testing
