// Checks of loaded records: readable slots and consistent record lists.
#include "kelva/dataset/persistence/LoadChecks.h"

#include "kelva/dataset/SlotText.h"
#include "kelva/dataset/store/RecordList.h"

namespace kelva {

TKlvImageCheck::TKlvImageCheck(const std::vector<TKlvFieldInfo>& Slots,
                               const std::vector<TFieldType>& Types) {
  for (std::size_t I = 0; I < Slots.size() && I < Types.size(); ++I) {
    // Texts and booleans read whatever their slot holds; unknown types have no value.
    if (Types[I] == ftString || Types[I] == ftBoolean || Types[I] == ftUnknown) continue;
    FSlots.push_back({Slots[I], Types[I]});
  }
}

bool TKlvImageCheck::Readable(const char* Image) const {
  for (const TCheckedSlot& Checked : FSlots)
    if (!SlotTextReadable(Image + Checked.Slot.Offset - 1, Checked.Slot.Width, Checked.Type))
      return false;
  return true;
}

bool WorkingCopyAgrees(const TKlvRecordList& Committed, const TKlvRecordList& Cached,
                       const TKlvRecordList& Deleted) {
  bool Agree = true;
  Deleted.ForEach([&](std::int32_t RecId, const char*) {
    if (!Committed.ContainsId(RecId) || Cached.ContainsId(RecId)) Agree = false;
  });
  if (!Agree) return false;
  // The deleted records are committed ones outside the working copy, so the committed
  // records are all accounted for exactly when those the working copy keeps make up the
  // rest (no list holds an identifier twice).
  std::int32_t Kept = 0;
  Cached.ForEach([&](std::int32_t RecId, const char*) { Kept += Committed.ContainsId(RecId); });
  return Kept + Deleted.Count() == Committed.Count();
}

} // namespace kelva
