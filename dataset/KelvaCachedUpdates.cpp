// Cached updates: what counts as a pending change, and applying, committing and reverting
// pending changes as a whole or one record at a time in each browse view.
#include "kelva/dataset/KelvaDataset.h"

namespace kelva {

bool TKelvaDataset::GetUpDatesPending() {
  if (!FCachedBufActive || !FCachedBuf || !FCommittedBuf) return false;
  if (FDeletedBuf && FDeletedBuf->Count() > 0) return true;
  return FPendingCount.Differing() > 0;
}

TUpdateStatus TKelvaDataset::DerivedUpdateStatus(std::int32_t Index) {
  if (!FCachedBufActive || FInternalBuf == FCommittedBuf.get()) return usUnmodified;
  if (FInternalBuf == FDeletedBuf.get()) return usDeleted;
  const std::int32_t Committed = FindRecIdNear(*FCommittedBuf, FInternalBuf->RecId(Index), Index);
  if (Committed < 0) return usInserted;
  return FInternalBuf->SameImage(Index, *FCommittedBuf, Committed) ? usUnmodified : usModified;
}

void TKelvaDataset::ApplyUpdates() {
  checkBrowseBuffer();
  CheckBrowseMode();
  UpdateCursorPos();
  if (FCachedBuf) DoOnUpdate();
}

void TKelvaDataset::CommitUpdates() {
  checkBrowseBuffer();
  CheckBrowseMode();
  UpdateCursorPos();
  if (FCachedBuf) {
    FCommittedBuf = std::move(FCachedBuf);
    FDeletedBuf.reset();
    FCachedBufActive = false;
    SetInternalBuf();
    ClearCurrentBrowseBuffer();
    FBrowseBuffer = brStandard;
  }
  Resync({});
}

void TKelvaDataset::CancelUpdates() {
  checkBrowseBuffer();
  Cancel();
  CheckBrowseMode();
  UpdateCursorPos();
  if (FCachedBuf) {
    FCachedBuf.reset();
    FDeletedBuf.reset();
    FCachedBufActive = false;
    SetInternalBuf();
    ClearCurrentBrowseBuffer();
    FBrowseBuffer = brStandard;
  }
  CursorPosChanged();
  Resync({});
}

void TKelvaDataset::CommitRecord() {
  SettleRecord(true);
}

void TKelvaDataset::RevertRecord() {
  SettleRecord(false);
}

void TKelvaDataset::SettleRecord(bool Commit) {
  if (!Active() || !GetUpDatesPending() || FBrowseBuffer == brold) return;
  Cancel();
  CheckBrowseMode();
  UpdateCursorPos();
  SettleRecordAtCursor(Commit);
  CursorPosChanged();
  Resync({});
}

// ---- One record at a time ---------------------------------------------------------------------

namespace {
bool CursorOnList(std::int32_t CurRec, const TKlvRecordList* List) {
  return List && CurRec >= 0 && CurRec < List->Count();
}
} // namespace

void TKelvaDataset::SettleRecordAtCursor(bool Commit) {
  if (!CursorOnList(FCurRec, FInternalBuf)) return;
  // Every step changes the versions of this one record only.
  const auto Change = FPendingCount.Change(FInternalBuf->RecId(FCurRec));
  switch (FBrowseBuffer) {
  case brStandard:
    Commit ? CommitStandard() : RevertStandard();
    break;
  case brModified:
    Commit ? CommitModified() : RevertModified();
    break;
  case brInserted:
    Commit ? CommitInserted() : RevertInserted();
    break;
  case brDeleted:
    Commit ? CommitDeleted() : RevertDeleted();
    break;
  default:
    break;
  }
}

void TKelvaDataset::DropViewEntry() {
  FInternalBuf->Delete(FCurRec);
  if (FCurRec >= FInternalBuf->Count()) --FCurRec;
}

// A pending insertion enters the committed list right after the committed version of the
// record that precedes it in Source (first when there is none).
void TKelvaDataset::InsertIntoCommittedAfterPredecessor(const TKlvRecordList& Source,
                                                        std::int32_t Index) {
  std::int32_t Before = -1;
  if (Index > 0) Before = FCommittedBuf->IndexOfId(Source.RecId(Index - 1));
  const std::int32_t At = Before + 1;
  FCommittedBuf->InsertFrom(At < FCommittedBuf->Count() ? At : FCommittedBuf->Count(), Source,
                            Index);
}

void TKelvaDataset::CommitStandard() {
  if (!CursorOnList(FCurRec, FInternalBuf)) return;
  const std::int32_t Committed = FCommittedBuf->IndexOfId(FInternalBuf->RecId(FCurRec));
  if (Committed < 0)
    InsertIntoCommittedAfterPredecessor(*FInternalBuf, FCurRec);
  else if (!FInternalBuf->SameImage(FCurRec, *FCommittedBuf, Committed))
    FCommittedBuf->SetImageFrom(Committed, *FInternalBuf, FCurRec);
}

// The working and committed positions of the record at the cursor of the current view;
// false when the cursor is off the view or either version is missing.
bool TKelvaDataset::FindBothVersions(std::int32_t& Working, std::int32_t& Committed) const {
  if (!CursorOnList(FCurRec, FInternalBuf)) return false;
  const std::int32_t RecId = FInternalBuf->RecId(FCurRec);
  Working = FCachedBuf->IndexOfId(RecId);
  Committed = FCommittedBuf->IndexOfId(RecId);
  return Working >= 0 && Committed >= 0;
}

void TKelvaDataset::CommitModified() {
  std::int32_t Working, Committed;
  if (!FindBothVersions(Working, Committed)) return;
  FCommittedBuf->SetImageFrom(Committed, *FCachedBuf, Working);
  DropViewEntry();
}

void TKelvaDataset::CommitInserted() {
  if (!CursorOnList(FCurRec, FInternalBuf)) return;
  const std::int32_t Working = FCachedBuf->IndexOfId(FInternalBuf->RecId(FCurRec));
  if (Working < 0) return;
  InsertIntoCommittedAfterPredecessor(*FCachedBuf, Working);
  DropViewEntry();
}

void TKelvaDataset::CommitDeleted() {
  if (!CursorOnList(FCurRec, FInternalBuf)) return;
  const std::int32_t Committed = FCommittedBuf->IndexOfId(FInternalBuf->RecId(FCurRec));
  if (Committed < 0) return;
  FCommittedBuf->Delete(Committed);
  DropViewEntry();
}

void TKelvaDataset::RevertStandard() {
  if (!CursorOnList(FCurRec, FInternalBuf)) return;
  const std::int32_t Committed = FCommittedBuf->IndexOfId(FInternalBuf->RecId(FCurRec));
  if (Committed < 0)
    DropViewEntry();
  else if (!FInternalBuf->SameImage(FCurRec, *FCommittedBuf, Committed))
    FInternalBuf->SetImageFrom(FCurRec, *FCommittedBuf, Committed);
}

void TKelvaDataset::RevertModified() {
  std::int32_t Working, Committed;
  if (!FindBothVersions(Working, Committed)) return;
  FCachedBuf->SetImageFrom(Working, *FCommittedBuf, Committed);
  DropViewEntry();
}

void TKelvaDataset::RevertInserted() {
  if (!CursorOnList(FCurRec, FInternalBuf)) return;
  const std::int32_t Working = FCachedBuf->IndexOfId(FInternalBuf->RecId(FCurRec));
  if (Working < 0) return;
  FCachedBuf->Delete(Working);
  DropViewEntry();
}

void TKelvaDataset::RevertDeleted() {
  if (!CursorOnList(FCurRec, FInternalBuf)) return;
  const std::int32_t Committed = FCommittedBuf->IndexOfId(FInternalBuf->RecId(FCurRec));
  if (Committed < 0) return;
  // The record returns with its committed image at its committed position, kept inside
  // the working copy's last index (so a record deleted from the end comes back one place
  // before it, as files and callers have always seen it).
  std::int32_t At = Committed;
  if (At > FCachedBuf->Count() - 1) At = FCachedBuf->Count() - 1;
  if (At < 0) At = 0;
  FCachedBuf->InsertFrom(At, *FCommittedBuf, Committed);
  DropViewEntry();
}

// ---- Switching the regime ---------------------------------------------------------------------

void TKelvaDataset::SetCachedUpdates(bool Value) {
  if (!Active() || ComponentState().Contains(csDesigning)) {
    FCachedUpdates = Value;
    return;
  }
  if (Value == FCachedUpdates) return;
  CheckBrowseMode();
  UpdateCursorPos();
  if (FCachedBuf) CancelUpdates();
  FCachedUpdates = Value;
  ReallocateBuffers();
  Resync({});
}

void TKelvaDataset::ReallocateBuffers() {
  FreeFieldBuffers();
  SetBufListSize(0);
  try {
    InitBufferPointers();
    SetBufListSize(BufferCount() + 1);
  } catch (...) {
    SetState(dsInactive);
    CloseCursor();
    throw;
  }
}

} // namespace kelva
