// An index of one record list on encoded key values: entries sorted by key, then by
// position, so that the records equal to a key (or beginning with a prefix) are found by
// binary search. It describes the list as it was when built; the dataset drops it as soon
// as the list changes (TKlvRecordList::Version).
#pragma once

#include "kelva/dataset/search/KeyEncoding.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelva {

class TKlvRecordList;

class TKlvSearchIndex {
public:
  TKlvSearchIndex(const TKlvRecordList& List, const TKlvKeyEncoder& Encoder);

  // Positions of the records whose encoding equals Key, or begins with it when Prefix is
  // true, in ascending order.
  std::vector<std::int32_t> Matches(std::string_view Key, bool Prefix) const;

private:
  struct Entry {
    std::uint32_t Offset;
    std::uint32_t Length;
    std::int32_t Pos;
  };
  std::string_view KeyOf(const Entry& E) const {
    return std::string_view(FArena).substr(E.Offset, E.Length);
  }

  std::string FArena;
  std::vector<Entry> FEntries;
};

} // namespace kelva
