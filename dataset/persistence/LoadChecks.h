// What a file must satisfy beyond its syntax before its records are taken in, so that
// nothing loaded fails later: every slot holds a text its field can read, and the three
// record lists agree about which records are pending deletions.
#pragma once

#include "kelva/dataset/schema/FieldLayout.h"

#include <vector>

namespace kelva {

class TKlvRecordList;

// The slots of a record layout whose texts may be unreadable (numbers, dates, BCD amounts),
// checked in one pass over an image with no allocation: loading checks every record.
class TKlvImageCheck {
public:
  // Slots[n - 1] and Types[n - 1] describe field number n.
  TKlvImageCheck(const std::vector<TKlvFieldInfo>& Slots, const std::vector<TFieldType>& Types);

  // True when every checked slot of Image (a whole record image) is blank or readable.
  bool Readable(const char* Image) const;

private:
  struct TCheckedSlot {
    TKlvFieldInfo Slot;
    TFieldType Type;
  };
  std::vector<TCheckedSlot> FSlots;
};

// True when the working copy and the deleted list agree with the committed records as
// editing always leaves them: every pending deletion names a committed record that the
// working copy no longer holds, and every committed record is still in the working copy
// unless its deletion is pending (committing would otherwise drop it unannounced).
bool WorkingCopyAgrees(const TKlvRecordList& Committed, const TKlvRecordList& Cached,
                       const TKlvRecordList& Deleted);

} // namespace kelva
