// Key values of records encoded as byte strings, so that searching compares bytes: two
// records hold equal values in the key fields exactly when their encodings are equal, and
// a record's last text field begins with a prefix exactly when its encoding begins with
// the prefix's encoding. Text is compared as stored, or upper-cased when case is ignored.
#pragma once

#include "dataset/schema/FieldLayout.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kelva {

struct TKlvKeyColumn {
  TFieldType Type;
  bool HasSlot;       // false for calculated and lookup fields: they have no stored value
  TKlvFieldInfo Slot; // where the value lives in a record image
};

class TKlvKeyEncoder {
public:
  TKlvKeyEncoder(std::vector<TKlvKeyColumn> Columns, bool CaseInsensitive)
      : FColumns(std::move(Columns)), FCaseInsensitive(CaseInsensitive) {}

  // Appends the encoding of the key values in Image. With PartialLength > 0 the last
  // column, when it is text, contributes only its first PartialLength bytes.
  void Encode(const char* Image, std::string& Out, std::int32_t PartialLength = 0) const;
  bool CaseInsensitive() const { return FCaseInsensitive; }

private:
  std::vector<TKlvKeyColumn> FColumns;
  bool FCaseInsensitive;
};

} // namespace kelva
