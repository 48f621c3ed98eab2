// Decorate, sort, undecorate.
#include "kelva/dataset/search/RecordSorter.h"

#include "kelva/dataset/SlotText.h"
#include "kelva/dataset/messages.h"
#include "kelva/dataset/search/PlainText.h"
#include "kelva/dataset/store/RecordList.h"
#include "kelva/framework/db/DBConsts.h"
#include "kelva/framework/rtl/SysUtils.h"

#include <algorithm>
#include <cstring>

namespace kelva {

namespace {

// The decoded values of one key field for every record.
struct TDecodedColumn {
  bool IsText = false;
  bool IsFloat = false;
  std::string Arena;                  // text: the sort keys, end to end
  std::vector<std::uint32_t> Offsets; // text: key i is Arena[Offsets[i], Offsets[i + 1])
  std::vector<std::int64_t> Integers; // whole numbers, BCD amounts (scaled), booleans
  std::vector<double> Floats;
  std::vector<std::uint8_t> Present;

  std::string_view Key(std::int32_t I) const {
    return std::string_view(Arena).substr(Offsets[I], Offsets[I + 1] - Offsets[I]);
  }

  // Ends the key just appended to Arena; a 32-bit offset past Limit would wrap.
  void EndKey(std::size_t Limit) {
    static_assert(MaxSortKeyBytes <= std::numeric_limits<std::uint32_t>::max());
    if (Arena.size() > Limit) DatabaseError(SKlvSortKeysTooLarge);
    Offsets.push_back(static_cast<std::uint32_t>(Arena.size()));
  }
};

// When every text of the column is plain and the collation orders plain texts as bytes, the
// texts themselves (upper-cased when case is ignored) are the sort keys: no collation keys
// to compute. Texts of both letter cases qualify only when case is ignored. False when the
// column does not qualify; Result then holds a partial arena for the caller to discard.
bool DecodePlainTexts(const TKlvRecordList& List, const TKlvKeyColumn& Column, bool CaseInsensitive,
                      std::size_t KeyBytesLimit, TDecodedColumn& Result) {
  if (!PlainTextsCollateAsBytes()) return false;
  unsigned Kinds = pkDigits;
  Result.Offsets.push_back(0);
  for (std::int32_t I = 0; I < List.Count(); ++I) {
    const std::string_view Text =
        CharSlotText(List.Image(I) + Column.Slot.Offset - 1, Column.Slot.Width);
    Kinds |= PlainKind(Text);
    if ((Kinds & pkOther) != 0 || (Kinds == pkMixed && !CaseInsensitive)) return false;
    const std::size_t At = Result.Arena.size();
    Result.Arena.append(Text);
    if (CaseInsensitive)
      for (std::size_t B = At; B < Result.Arena.size(); ++B)
        if (Result.Arena[B] >= 'a') Result.Arena[B] = static_cast<char>(Result.Arena[B] - 32);
    Result.EndKey(KeyBytesLimit);
  }
  return true;
}

TDecodedColumn Decode(const TKlvRecordList& List, const TKlvKeyColumn& Column, bool CaseInsensitive,
                      std::size_t KeyBytesLimit) {
  TDecodedColumn Result;
  const std::int32_t Count = List.Count();
  Result.IsText = Column.Type == ftString;
  Result.IsFloat = Column.Type == ftFloat || Column.Type == ftDateTime;
  if (Result.IsText) {
    Result.Offsets.reserve(static_cast<std::size_t>(Count) + 1);
    if (!DecodePlainTexts(List, Column, CaseInsensitive, KeyBytesLimit, Result)) {
      Result.Arena.clear();
      Result.Offsets.clear();
      Result.Offsets.push_back(0);
      for (std::int32_t I = 0; I < Count; ++I) {
        const char* Slot = List.Image(I) + Column.Slot.Offset - 1;
        AppendAnsiSortKey(Result.Arena, CharSlotText(Slot, Column.Slot.Width), CaseInsensitive);
        Result.EndKey(KeyBytesLimit);
      }
    }
    return Result;
  }
  Result.Present.resize(static_cast<std::size_t>(Count));
  if (Result.IsFloat)
    Result.Floats.resize(static_cast<std::size_t>(Count));
  else
    Result.Integers.resize(static_cast<std::size_t>(Count));
  TKlvKeyNumber Number;
  for (std::int32_t I = 0; I < Count; ++I) {
    if (!DecodeKeyNumber(Column, List.Image(I), Number)) continue; // null sorts first
    if (Result.IsFloat)
      Result.Floats[I] = Number.Float;
    else
      Result.Integers[I] = Number.Integer;
    Result.Present[I] = 1;
  }
  return Result;
}

int Compare(const TDecodedColumn& Column, std::int32_t A, std::int32_t B) {
  if (Column.IsText) {
    const int Result = Column.Key(A).compare(Column.Key(B));
    return Result < 0 ? -1 : (Result > 0 ? 1 : 0);
  }
  if (Column.Present[A] != Column.Present[B]) return Column.Present[A] ? 1 : -1;
  if (!Column.Present[A]) return 0;
  if (Column.IsFloat)
    return Column.Floats[A] < Column.Floats[B] ? -1 : (Column.Floats[A] > Column.Floats[B]);
  return Column.Integers[A] < Column.Integers[B] ? -1 : (Column.Integers[A] > Column.Integers[B]);
}

// An order-preserving summary of the first column (Part 0 and 1 are the first and second
// eight bytes of a text's sort key), compared before anything else: most comparisons end
// there without touching the decoded columns.
std::uint64_t Prefix(const TDecodedColumn& Column, std::int32_t I, std::size_t Part = 0) {
  if (Column.IsText) {
    const std::string_view Key = Column.Key(I);
    std::uint64_t Value = 0;
    for (std::size_t B = Part * 8; B < Part * 8 + 8; ++B)
      Value = (Value << 8) | (B < Key.size() ? static_cast<unsigned char>(Key[B]) : 0);
    return Value;
  }
  if (Part != 0) return 0;
  if (!Column.Present[I]) return 0;
  std::uint64_t Bits;
  if (Column.IsFloat) {
    std::memcpy(&Bits, &Column.Floats[I], sizeof Bits);
    Bits = (Bits >> 63) ? ~Bits : (Bits | (std::uint64_t{1} << 63));
  } else {
    Bits = static_cast<std::uint64_t>(Column.Integers[I]) ^ (std::uint64_t{1} << 63);
  }
  return Bits;
}

} // namespace

std::vector<std::int32_t> SortedOrder(const TKlvRecordList& List,
                                      const std::vector<TKlvKeyColumn>& Columns,
                                      bool CaseInsensitive, bool Descending,
                                      std::size_t KeyBytesLimit) {
  std::vector<TDecodedColumn> Decoded;
  Decoded.reserve(Columns.size());
  for (const TKlvKeyColumn& Column : Columns)
    Decoded.push_back(Decode(List, Column, CaseInsensitive, KeyBytesLimit));

  struct Item {
    std::uint64_t Prefix;
    std::uint64_t Prefix2;
    std::int32_t Pos;
  };
  std::vector<Item> Items(static_cast<std::size_t>(List.Count()));
  for (std::int32_t I = 0; I < List.Count(); ++I)
    Items[I] = {Decoded.empty() ? 0 : Prefix(Decoded[0], I),
                Decoded.empty() ? 0 : Prefix(Decoded[0], I, 1), I};

  auto CompareItems = [&](const Item& A, const Item& B) {
    if (A.Prefix != B.Prefix) return A.Prefix < B.Prefix ? -1 : 1;
    if (A.Prefix2 != B.Prefix2) return A.Prefix2 < B.Prefix2 ? -1 : 1;
    for (const TDecodedColumn& Column : Decoded)
      if (const int Result = Compare(Column, A.Pos, B.Pos)) return Result;
    return 0;
  };
  // Equal keys are ordered by position, which makes the (faster) unstable sort stable.
  std::sort(Items.begin(), Items.end(), [&](const Item& A, const Item& B) {
    const int Result = Descending ? CompareItems(B, A) : CompareItems(A, B);
    return Result != 0 ? Result < 0 : A.Pos < B.Pos;
  });

  std::vector<std::int32_t> Order(Items.size());
  for (std::size_t I = 0; I < Items.size(); ++I) Order[I] = Items[I].Pos;
  return Order;
}

} // namespace kelva
