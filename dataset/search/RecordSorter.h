// Sorting a record list on key fields: every record's key values are decoded once (text
// into collation sort keys, numbers into integers or doubles), the positions are sorted
// stably on them, and the result is the new order. Null values sort before every value,
// False before True; a null text counts as the empty text.
#pragma once

#include "kelva/dataset/search/KeyEncoding.h"

#include <cstdint>
#include <vector>

namespace kelva {

class TKlvRecordList;

// NewOrder for TKlvRecordList::Reorder: NewOrder[i] is the current position of the record
// that goes to position i. Records with equal keys keep their relative order.
std::vector<std::int32_t> SortedOrder(const TKlvRecordList& List,
                                      const std::vector<TKlvKeyColumn>& Columns,
                                      bool CaseInsensitive, bool Descending);

} // namespace kelva
