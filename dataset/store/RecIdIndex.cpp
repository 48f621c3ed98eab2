// The identifier table of a record list.
#include "dataset/store/RecIdIndex.h"

#include <algorithm>
#include <cassert>

namespace kelva {

TKlvRecIdIndex::TKlvRecIdIndex(const TKlvRecIdIndex& Other) : FNegative(Other.FNegative) {
  FPages.resize(Other.FPages.size());
  for (std::size_t I = 0; I < FPages.size(); ++I) {
    if (!Other.FPages[I]) continue;
    FPages[I] = std::make_unique<std::uint32_t[]>(PageSize);
    std::copy_n(Other.FPages[I].get(), PageSize, FPages[I].get());
  }
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
  if (PageIndex >= FPages.size() || !FPages[PageIndex]) return NotFound;
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
  if (PageIndex >= FPages.size()) FPages.resize(PageIndex + 1);
  if (!FPages[PageIndex]) {
    FPages[PageIndex] = std::make_unique<std::uint32_t[]>(PageSize);
    std::fill_n(FPages[PageIndex].get(), PageSize, NotFound);
  }
  FPages[PageIndex][Key & (PageSize - 1)] = Value;
}

void TKlvRecIdIndex::Erase(std::int32_t RecId) {
  if (RecId < 0) {
    FNegative.erase(RecId);
    return;
  }
  const auto Key = static_cast<std::uint32_t>(RecId);
  const std::uint32_t PageIndex = Key >> PageShift;
  if (PageIndex < FPages.size() && FPages[PageIndex])
    FPages[PageIndex][Key & (PageSize - 1)] = NotFound;
}

void TKlvRecIdIndex::Clear() {
  FPages.clear();
  FNegative.clear();
}

} // namespace kelva
