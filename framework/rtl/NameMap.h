// TNameMap: a hash map keyed by names that ignores the case of ASCII letters, as CompareText
// compares; looked up with a std::string_view, so a lookup builds no key. Texts upper-cased
// with AnsiUpperCase on both sides compare as AnsiSameText does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace kelva {

namespace name_map_detail {
inline unsigned char AsciiUpperByte(char C) {
  const auto Byte = static_cast<unsigned char>(C);
  return Byte >= 'a' && Byte <= 'z' ? static_cast<unsigned char>(Byte - ('a' - 'A')) : Byte;
}
} // namespace name_map_detail

struct TNameHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view Name) const noexcept {
    std::uint64_t Hash = 14695981039346656037ull; // FNV-1a
    for (char C : Name) {
      Hash ^= name_map_detail::AsciiUpperByte(C);
      Hash *= 1099511628211ull;
    }
    return static_cast<std::size_t>(Hash);
  }
};

struct TNameEqual {
  using is_transparent = void;
  bool operator()(std::string_view A, std::string_view B) const noexcept {
    if (A.size() != B.size()) return false;
    for (std::size_t I = 0; I < A.size(); ++I)
      if (name_map_detail::AsciiUpperByte(A[I]) != name_map_detail::AsciiUpperByte(B[I]))
        return false;
    return true;
  }
};

template <class T>
using TNameMap = std::unordered_map<std::string, T, TNameHash, TNameEqual>;

} // namespace kelva
