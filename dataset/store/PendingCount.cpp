// The pending count: a record's part in it is taken out before its versions change and put
// back after, and the lists' stamps and versions tell when the count no longer describes
// them (a change nobody bracketed), in which case it is counted afresh.
#include "kelva/dataset/store/PendingCount.h"

#include "kelva/dataset/store/RecordList.h"

#include <cassert>

namespace kelva {

#ifndef NDEBUG
namespace {
// Up to this many entries a debug build checks every kept count against a fresh one.
constexpr std::int32_t CheckedListSize = 1024;
} // namespace
#endif

TKlvPendingCount::TListMark TKlvPendingCount::MarkOf(const TKlvRecordList& List) {
  return {List.Stamp(), List.Version()};
}

bool TKlvPendingCount::SameMark(const TListMark& Mark, const TKlvRecordList& List) {
  return Mark.Stamp == List.Stamp() && Mark.Version == List.Version();
}

bool TKlvPendingCount::Current() const {
  return FKnown && BothLists() && SameMark(FCommittedMark, *FCommitted) &&
         SameMark(FWorkingMark, *FWorking);
}

void TKlvPendingCount::Remember(std::int32_t Count) {
  FKnown = true;
  FCount = Count;
  FCommittedMark = MarkOf(*FCommitted);
  FWorkingMark = MarkOf(*FWorking);
  CheckAgainstRecount();
}

void TKlvPendingCount::CheckAgainstRecount() const {
#ifndef NDEBUG
  if (FWorking->Count() <= CheckedListSize && FCommitted->Count() <= CheckedListSize)
    assert(FCount == Recount() && "pending count out of step with the lists");
#endif
}

// An identifier only in the working copy is an insertion; one in both whose images differ
// byte for byte is a modification.
bool TKlvPendingCount::RecordDiffers(std::int32_t RecId) const {
  const std::int32_t Working = FWorking->IndexOfId(RecId);
  if (Working < 0) return false;
  const std::int32_t Committed = FCommitted->IndexOfId(RecId);
  return Committed < 0 || !FWorking->SameImage(Working, *FCommitted, Committed);
}

std::int32_t TKlvPendingCount::Recount() const {
  std::int32_t Count = 0;
  std::int32_t Hint = 0;
  for (std::int32_t I = 0; I < FWorking->Count(); ++I) {
    const std::int32_t Committed = FindRecIdNear(*FCommitted, FWorking->RecId(I), Hint);
    if (Committed < 0 || !FWorking->SameImage(I, *FCommitted, Committed)) ++Count;
    if (Committed >= 0) Hint = Committed + 1;
  }
  return Count;
}

std::int32_t TKlvPendingCount::Differing() {
  if (!BothLists()) return 0;
  if (Current()) {
    CheckAgainstRecount();
    return FCount;
  }
  ++FRecounts;
  Remember(Recount());
  return FCount;
}

void TKlvPendingCount::SetAllEqual() {
  if (BothLists()) Remember(0);
}

TKlvPendingCount::TChange::TChange(TKlvPendingCount& Owner, std::int32_t RecId)
    : FOwner(Owner), FRecId(RecId), FCounted(Owner.Current()) {
  if (FCounted && FOwner.RecordDiffers(FRecId)) --FOwner.FCount;
}

TKlvPendingCount::TChange::~TChange() {
  if (!FCounted) return;
  // A list replaced inside the bracket is a list the count never described.
  if (!FOwner.BothLists() || FOwner.FCommitted->Stamp() != FOwner.FCommittedMark.Stamp ||
      FOwner.FWorking->Stamp() != FOwner.FWorkingMark.Stamp) {
    FOwner.FKnown = false;
    return;
  }
  FOwner.Remember(FOwner.FCount + (FOwner.RecordDiffers(FRecId) ? 1 : 0));
}

} // namespace kelva
