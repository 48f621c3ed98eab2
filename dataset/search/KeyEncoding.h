// Key values of records encoded as byte strings, so that searching compares bytes: two
// records hold equal values in the key fields exactly when their encodings are equal, and
// a record's last text field begins with a prefix exactly when its encoding begins with
// the prefix's encoding. Text is compared as stored, or upper-cased when case is ignored.
#pragma once

#include "kelva/dataset/schema/FieldLayout.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kelva {

struct TKlvKeyColumn {
  TFieldType Type;
  bool HasSlot;       // false for calculated and lookup fields: they have no stored value
  TKlvFieldInfo Slot; // where the value lives in a record image
};

// A non-text key value as one comparable number: whole numbers, days, milliseconds,
// booleans (0/1) and BCD amounts (scaled by 10000) as Integer; FLOAT and DATETIME as
// Float (IsFloat tells which). False for null, and for a BCD text that is not a number.
struct TKlvKeyNumber {
  bool IsFloat = false;
  std::int64_t Integer = 0;
  double Float = 0;
};
bool DecodeKeyNumber(const TKlvKeyColumn& Column, const char* Image, TKlvKeyNumber& Number);

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
