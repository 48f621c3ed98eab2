// Clone: another, closed dataset becomes a read-only copy of this one, with the same
// descriptions, records and pending changes, and lists of its own.
#include "kelva/dataset/KelvaDataset.h"

namespace kelva {

namespace {
std::unique_ptr<TKlvRecordList> CopyInto(const std::shared_ptr<TKlvImagePool>& Pool,
                                         const TKlvRecordList& Source) {
  auto Copy = std::make_unique<TKlvRecordList>(Pool);
  for (std::int32_t I = 0; I < Source.Count(); ++I) Copy->AddFrom(Source, I);
  return Copy;
}
} // namespace

void TKelvaDataset::Clone(TKelvaDataset* Target) {
  if (!Target || Target->Active() || !Active()) return;
  Target->FMetaFields.Assign(FMetaFields);
  Target->Open();
  Target->SetFiltered(false);
  Target->SetFilterText("");
  Target->OnFilterRecord = nullptr;
  Target->SetMasterSource(FMasterSource);
  Target->FReadOnly = true;
  Target->FCachedUpdates = FCachedUpdates;

  // Build every copy before the target's store changes.
  auto Committed = CopyInto(Target->FPool, *FCommittedBuf);
  std::unique_ptr<TKlvRecordList> Cached, Deleted;
  if (FCachedBufActive) {
    Cached = CopyInto(Target->FPool, *FCachedBuf);
    Deleted = CopyInto(Target->FPool, *FDeletedBuf);
  }
  Target->FCommittedBuf = std::move(Committed);
  Target->FCachedBuf = std::move(Cached);
  Target->FDeletedBuf = std::move(Deleted);
  Target->FCachedBufActive = FCachedBufActive;
  // The target's new identifiers stay clear of every copied one.
  for (const TKlvRecordList* List :
       {Target->FCommittedBuf.get(), Target->FCachedBuf.get(), Target->FDeletedBuf.get()})
    for (std::int32_t I = 0; List && I < List->Count(); ++I)
      Target->NoteArrivedRecId(List->RecId(I));
  Target->SetInternalBuf();
  Target->FCurRec = -1;
  Target->First();
}

} // namespace kelva
