// A map from record identifier to a 32-bit value, without hashing: identifiers are mostly
// small and dense (1, 2, 3, ... in the order records were stored), so non-negative ones
// index lazily allocated pages of a flat table; negative ones, which only hand-written
// files carry, go to a small hash map.
#pragma once

#include <cstdint>
#include <limits>
#include <memory>
#include <memory_resource>
#include <unordered_map>
#include <vector>

namespace kelva {

class TKlvRecIdIndex {
public:
  static constexpr std::uint32_t NotFound = std::numeric_limits<std::uint32_t>::max();

  // Pages (16 KiB each, the size of a record list block) come from Memory: the heap unless
  // a record list passes its pool's block memory.
  explicit TKlvRecIdIndex(std::pmr::memory_resource* Memory = std::pmr::get_default_resource())
      : FMemory(Memory) {}
  // The copy takes its pages from the same memory as Other.
  TKlvRecIdIndex(const TKlvRecIdIndex& Other);
  TKlvRecIdIndex& operator=(const TKlvRecIdIndex& Other);
  TKlvRecIdIndex(TKlvRecIdIndex&&) noexcept = default;
  TKlvRecIdIndex& operator=(TKlvRecIdIndex&&) noexcept = default;

  std::uint32_t Find(std::int32_t RecId) const;
  void Set(std::int32_t RecId, std::uint32_t Value); // Value must not be NotFound
  void Erase(std::int32_t RecId);
  void Clear();

private:
  static constexpr std::uint32_t PageShift = 12;
  static constexpr std::uint32_t PageSize = 1u << PageShift;

  using TPage = std::pmr::vector<std::uint32_t>; // empty for a page not yet needed

  std::pmr::memory_resource* FMemory;
  std::vector<TPage> FPages;
  std::unordered_map<std::int32_t, std::uint32_t> FNegative;
};

} // namespace kelva
