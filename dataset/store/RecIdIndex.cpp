// The identifier table of a record list.
#include "kelva/dataset/store/RecIdIndex.h"

#include <algorithm>
#include <cassert>

namespace kelva {

TKlvRecIdIndex::TKlvRecIdIndex(const TKlvRecIdIndex& Other)
    : FMemory(Other.FMemory), FNegative(Other.FNegative) {
  FPages.reserve(Other.FPages.size());
  for (const TPage& Page : Other.FPages) FPages.emplace_back(Page, FMemory);
}

TKlvRecIdIndex& TKlvRecIdIndex::operator=(const TKlvRecIdIndex& Other) {
  if (this != &Other) *this = TKlvRecIdIndex(Other);
  return *this;
}

std::uint32_t TKlvRecIdIndex::Find(std::int32_t RecId) const {
  if (RecId < 0) {
    const auto It = FNegative.find(RecId);
    return It == FNegative.end() ? NotFound : It->second;
  }
  const auto Key = static_cast<std::uint32_t>(RecId);
  const std::uint32_t PageIndex = Key >> PageShift;
  if (PageIndex >= FPages.size() || FPages[PageIndex].empty()) return NotFound;
  return FPages[PageIndex][Key & (PageSize - 1)];
}

void TKlvRecIdIndex::Set(std::int32_t RecId, std::uint32_t Value) {
  assert(Value != NotFound);
  if (RecId < 0) {
    FNegative[RecId] = Value;
    return;
  }
  const auto Key = static_cast<std::uint32_t>(RecId);
  const std::uint32_t PageIndex = Key >> PageShift;
  if (PageIndex >= FPages.size()) {
    FPages.reserve(std::max<std::size_t>(PageIndex + 1, FPages.size() + FPages.size() / 2));
    while (FPages.size() <= PageIndex) FPages.emplace_back(FMemory);
  }
  if (FPages[PageIndex].empty()) FPages[PageIndex].assign(PageSize, NotFound);
  FPages[PageIndex][Key & (PageSize - 1)] = Value;
}

void TKlvRecIdIndex::Erase(std::int32_t RecId) {
  if (RecId < 0) {
    FNegative.erase(RecId);
    return;
  }
  const auto Key = static_cast<std::uint32_t>(RecId);
  const std::uint32_t PageIndex = Key >> PageShift;
  if (PageIndex < FPages.size() && !FPages[PageIndex].empty())
    FPages[PageIndex][Key & (PageSize - 1)] = NotFound;
}

void TKlvRecIdIndex::Clear() {
  FPages.clear();
  FNegative.clear();
}

} // namespace kelva
