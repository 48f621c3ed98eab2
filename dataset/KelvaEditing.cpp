// Where posted, added and deleted records go. Without cached updates every change is
// first reported to the per-record hook and then applied to the committed records; with
// cached updates it goes to the working copy. Raw records are committed at once.
#include "kelva/dataset/KelvaDataset.h"

namespace kelva {

void TKelvaDataset::CheckCachedBuf() {
  if (!FCachedUpdates) return;
  if (!FCachedBuf) {
    // The copy shares every image with the committed list until one of them changes.
    auto Working = std::make_unique<TKlvRecordList>(*FCommittedBuf);
    auto Deleted = std::make_unique<TKlvRecordList>(FPool);
    FCachedBuf = std::move(Working);
    FDeletedBuf = std::move(Deleted);
  }
  FCachedBufActive = true;
  SetInternalBuf();
}

void TKelvaDataset::InternalPost() {
  if (State() == dsEdit) {
    CheckNotRawLoadind();
    if (!FCachedUpdates) DoOnUpdateRec(usModified);
    CheckCachedBuf();
    SetBufferUpdateStatus(ActiveBuffer(), usModified);
    FInternalBuf->SetImage(FCurRec, ActiveBuffer());
    return;
  }
  if (!FRawLoading && !FCachedUpdates) DoOnUpdateRec(usInserted);
  const bool BeforeFirst = FCurRec == -1;
  StoreNewRecord(ActiveBuffer(), FRawLoading, BeforeFirst, BeforeFirst ? 0 : FCurRec);
}

void TKelvaDataset::InternalAddRecord(TRecordBuffer Buffer, bool Append) {
  if (!FRawLoading && !FCachedUpdates) DoOnUpdateRec(usInserted);
  if (Append) InternalLast();
  const bool BeforeFirst = FCurRec == -1;
  StoreNewRecord(Buffer, FRawLoading, BeforeFirst, BeforeFirst ? 0 : FCurRec);
}

void TKelvaDataset::StoreNewRecord(char* Buffer, bool RawPath, bool CursorWasBeforeFirst,
                                   std::int32_t Position) {
  // The identifier is used up only once the record is stored.
  const std::int32_t RecId = FLastRecId + 1;
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
    CheckCachedBuf();
    SetBufferUpdateStatus(Buffer, usInserted);
    SetBufferRecId(Buffer, RecId);
    FInternalBuf->Insert(Position, Buffer, RecId);
  }
  FLastRecId = RecId;
}

void TKelvaDataset::InternalDelete() {
  CheckNotRawLoadind();
  if (!FCachedUpdates) DoOnUpdateRec(usDeleted);
  CheckCachedBuf();
  if (FCachedUpdates && FCommittedBuf->ContainsId(FInternalBuf->RecId(FCurRec)))
    FDeletedBuf->AddFrom(*FInternalBuf, FCurRec);
  FInternalBuf->Delete(FCurRec);
  if (FCurRec >= FInternalBuf->Count()) --FCurRec;
}

} // namespace kelva
