// Where posted, added and deleted records go. Without cached updates every change is
// first reported to the per-record hook and then applied to the committed records; with
// cached updates it goes to the working copy. Raw records are committed at once.
#include "kelva/dataset/KelvaDataset.h"

#include <limits>

namespace kelva {

void TKelvaDataset::CheckCachedBuf() {
  if (!FCachedUpdates) return;
  if (!FCachedBuf) {
    // The copy shares every image with the committed list until one of them changes.
    auto Working = std::make_unique<TKlvRecordList>(*FCommittedBuf);
    auto Deleted = std::make_unique<TKlvRecordList>(FPool);
    FCachedBuf = std::move(Working);
    FDeletedBuf = std::move(Deleted);
    FPendingCount.SetAllEqual();
  }
  FCachedBufActive = true;
  SetInternalBuf();
}

// The hook runs application code after the framework has put the cursor on the record and
// before the store changes. A handler that ended the edit, closed the dataset or moved the
// store's cursor leaves nothing sound to store, and the operation ends there.
void TKelvaDataset::ReportToUpdateHook(TUpdateStatus Action) {
  auto CursorRecId = [this] {
    const bool OnRecord = FInternalBuf && FCurRec >= 0 && FCurRec < FInternalBuf->Count();
    return OnRecord ? FInternalBuf->RecId(FCurRec) : 0;
  };
  const TOperationMark Mark = MarkOperation();
  const TKlvRecordList* List = FInternalBuf;
  const std::int32_t CurRec = FCurRec;
  const std::int32_t RecId = CursorRecId();
  DoOnUpdateRec(Action);
  CheckOperationMark(Mark);
  if (FInternalBuf != List || FCurRec != CurRec || CursorRecId() != RecId) Abort();
}

void TKelvaDataset::InternalPost() {
  if (State() == dsEdit) {
    CheckNotRawLoadind();
    if (!FCachedUpdates) ReportToUpdateHook(usModified);
    CheckCachedBuf();
    SetBufferUpdateStatus(ActiveBuffer(), usModified);
    const auto Change = FPendingCount.Change(FInternalBuf->RecId(FCurRec));
    FInternalBuf->SetImage(FCurRec, ActiveBuffer());
    return;
  }
  // A record that cannot be stored must not be reported to the update hook first.
  NextRecId();
  if (!FRawLoading && !FCachedUpdates) ReportToUpdateHook(usInserted);
  const bool BeforeFirst = FCurRec == -1;
  StoreNewRecord(ActiveBuffer(), FRawLoading, BeforeFirst, BeforeFirst ? 0 : FCurRec);
}

void TKelvaDataset::InternalAddRecord(TRecordBuffer Buffer, bool Append) {
  NextRecId();
  if (!FRawLoading && !FCachedUpdates) ReportToUpdateHook(usInserted);
  if (Append) InternalLast();
  const bool BeforeFirst = FCurRec == -1;
  StoreNewRecord(Buffer, FRawLoading, BeforeFirst, BeforeFirst ? 0 : FCurRec);
}

std::int32_t TKelvaDataset::NextRecId() const {
  // Identifiers are never reused while the dataset is open, so the counter cannot wrap:
  // a record loaded with the highest identifier leaves none for new ones.
  if (FLastRecId == std::numeric_limits<std::int32_t>::max())
    DatabaseErrorFmt(SKlvNoRecIdLeft, {FLastRecId});
  return FLastRecId + 1;
}

void TKelvaDataset::StoreNewRecord(char* Buffer, bool RawPath, bool CursorWasBeforeFirst,
                                   std::int32_t Position) {
  // The identifier is used up only once the record is stored.
  const std::int32_t RecId = NextRecId();
  if (!RawPath) CheckCachedBuf();
  const auto Change = FPendingCount.Change(RecId);
  if (RawPath) {
    // A raw record is committed at once: with a working copy it goes into both lists with
    // the same image, so it never counts as a pending change.
    SetBufferUpdateStatus(Buffer, usUnmodified);
    SetBufferRecId(Buffer, RecId);
    FInternalBuf->Insert(Position, Buffer, RecId);
    if (FCachedBufActive && FInternalBuf != FCommittedBuf.get()) {
      try {
        FCommittedBuf->InsertFrom(CursorWasBeforeFirst ? 0 : FCommittedBuf->Count(), *FInternalBuf,
                                  Position);
      } catch (...) {
        FInternalBuf->Delete(Position);
        throw;
      }
    }
  } else {
    SetBufferUpdateStatus(Buffer, usInserted);
    SetBufferRecId(Buffer, RecId);
    FInternalBuf->Insert(Position, Buffer, RecId);
  }
  FLastRecId = RecId;
}

void TKelvaDataset::InternalDelete() {
  CheckNotRawLoadind();
  if (!FCachedUpdates) ReportToUpdateHook(usDeleted);
  CheckCachedBuf();
  const auto Change = FPendingCount.Change(FInternalBuf->RecId(FCurRec));
  if (FCachedUpdates && FCommittedBuf->ContainsId(FInternalBuf->RecId(FCurRec)))
    FDeletedBuf->AddFrom(*FInternalBuf, FCurRec);
  FInternalBuf->Delete(FCurRec);
  if (FCurRec >= FInternalBuf->Count()) --FCurRec;
}

} // namespace kelva
