// Browse views: the current records, the committed ones, and views of only the modified,
// inserted or deleted records, each shown through the same cursor and controls.
#include "kelva/dataset/KelvaDataset.h"

#include "kelva/framework/rtl/TryFinally.h"

namespace kelva {

void TKelvaDataset::checkBrowseBuffer() {
  if (FBrowseBuffer != brStandard) Abort();
}

void TKelvaDataset::ClearCurrentBrowseBuffer() {
  if (FBrowseBuffer == brModified) FModifBuffer.reset();
  if (FBrowseBuffer == brInserted) FInsertBuffer.reset();
}

void TKelvaDataset::CreateModifBuffer() {
  auto View = std::make_unique<TKlvRecordList>(FPool);
  std::int32_t Hint = 0;
  for (std::int32_t I = 0; I < FCachedBuf->Count(); ++I) {
    const std::int32_t Committed = FindRecIdNear(*FCommittedBuf, FCachedBuf->RecId(I), Hint);
    if (Committed < 0) continue;
    if (!FCachedBuf->SameImage(I, *FCommittedBuf, Committed)) View->AddFrom(*FCachedBuf, I);
    Hint = Committed + 1;
  }
  FModifBuffer = std::move(View);
}

void TKelvaDataset::CreateInsertBuffer() {
  auto View = std::make_unique<TKlvRecordList>(FPool);
  for (std::int32_t I = 0; I < FCachedBuf->Count(); ++I)
    if (!FCommittedBuf->ContainsId(FCachedBuf->RecId(I))) View->AddFrom(*FCachedBuf, I);
  FInsertBuffer = std::move(View);
}

void TKelvaDataset::SetBrowseBuffer(TklvBrowseBuffer Value) {
  if (Value == FBrowseBuffer || !FCachedBufActive) return;
  CheckBrowseMode();
  UpdateCursorPos();
  DisableControls();
  TryFinally(
      [&] {
        ClearCurrentBrowseBuffer();
        try {
          switch (Value) {
          case brStandard:
            SetInternalBuf();
            break;
          case brold:
            FInternalBuf = FCommittedBuf.get();
            break;
          case brModified:
            CreateModifBuffer();
            FInternalBuf = FModifBuffer.get();
            break;
          case brInserted:
            CreateInsertBuffer();
            FInternalBuf = FInsertBuffer.get();
            break;
          case brDeleted:
            FInternalBuf = FDeletedBuf.get();
            break;
          }
        } catch (...) {
          // The view being left is gone and the new one is not complete: fall back to the
          // standard view, which always exists, so no freed list is ever used.
          FBrowseBuffer = brStandard;
          SetInternalBuf();
          FCurRec = -1;
          CursorPosChanged();
          Resync({});
          throw;
        }
        FBrowseBuffer = Value;
        FCurRec = -1;
      },
      [this] { EnableControls(); });
  CursorPosChanged();
  Resync({});
}

void TKelvaDataset::FetchMoreData(bool All) {
  checkBrowseBuffer();
  CheckBrowseMode();
  DoOnLoad(All ? LaAll : LaNext);
}

} // namespace kelva
