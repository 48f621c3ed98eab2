// Sorting a record list on key fields: every record's key values are decoded once (text
// into collation sort keys, numbers into integers or doubles), the positions are sorted
// stably on them, and the result is the new order. Null values sort before every value,
// False before True; a null text counts as the empty text.
#pragma once

#include "kelva/dataset/search/KeyEncoding.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace kelva {

class TKlvRecordList;

// The sort keys of one text field lie end to end and are found by 32-bit offsets, so
// together they may take at most this many bytes.
inline constexpr std::size_t MaxSortKeyBytes = std::numeric_limits<std::uint32_t>::max();

// NewOrder for TKlvRecordList::Reorder: NewOrder[i] is the current position of the record
// that goes to position i. Records with equal keys keep their relative order. A text field
// whose sort keys would pass KeyBytesLimit raises EDatabaseError (SKlvSortKeysTooLarge)
// before anything is ordered.
std::vector<std::int32_t> SortedOrder(const TKlvRecordList& List,
                                      const std::vector<TKlvKeyColumn>& Columns,
                                      bool CaseInsensitive, bool Descending,
                                      std::size_t KeyBytesLimit = MaxSortKeyBytes);

} // namespace kelva
