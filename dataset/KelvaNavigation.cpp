// Navigation: the cursor primitives over the current record list, GetRecord, bookmarks
// (a record's identifier), record numbers (positions in the current list) and the filter
// test that every step applies.
#include "kelva/dataset/KelvaDataset.h"

#include "kelva/framework/rtl/TryFinally.h"

#include <cstring>

namespace kelva {

namespace {
std::int32_t ReadBookmark(const void* Bookmark) {
  std::int32_t RecId;
  std::memcpy(&RecId, Bookmark, sizeof RecId);
  return RecId;
}
} // namespace

bool TKelvaDataset::RecordFilter(const char* Image) {
  if (!Filtered() || FBrowseBuffer != brStandard) return true;
  // The expression is cheap and the handler may not be: a record must pass both.
  if (FFilterProgram && !FFilterProgram->Matches(Image)) return false;
  if (!OnFilterRecord) return true;
  // A handler that has a record tested (a bookmark's validity, say) would run inside itself
  // without end: refused like everything else that the handler may not do.
  if (State() == dsFilter) CheckNotTemporaryState();
  const char* SavedFilterBuffer = FFilterBuffer;
  const bool SavedWritable = FFilterBufferWritable;
  FFilterBuffer = Image;
  FFilterBufferWritable = false;
  const TDataSetState Old = SetTempState(dsFilter);
  bool Accept = true;
  // The state comes back even when the exception reporter itself raises.
  TryFinally(
      [&] {
        try {
          OnFilterRecord(this, Accept);
        } catch (...) {
          // A failing handler must not break navigation: it is reported and the record
          // shown unless the handler had already refused it.
          Application->HandleException(this);
        }
      },
      [&] {
        RestoreState(Old);
        FFilterBuffer = SavedFilterBuffer;
        FFilterBufferWritable = SavedWritable;
      });
  return Accept;
}

void TKelvaDataset::SetFiltered(bool Value) {
  if (!Active()) {
    TDataSet::SetFiltered(Value);
    return;
  }
  CheckBrowseMode();
  if (Value != Filtered()) {
    FCurRec = -1;
    TDataSet::SetFiltered(Value);
  }
  First();
}

bool TKelvaDataset::KlvGetNextRecord() {
  const std::int32_t Count = FInternalBuf->Count();
  if (Count == 0 || FCurRec >= Count - 1) return false;
  if (Filtered() && FBrowseBuffer == brStandard) {
    for (std::int32_t I = FCurRec + 1; I < Count; ++I)
      if (RecordFilter(FInternalBuf->Image(I))) {
        FCurRec = I;
        return true;
      }
    return false;
  }
  ++FCurRec;
  return true;
}

bool TKelvaDataset::KlvGetPriorRecord() {
  const std::int32_t Count = FInternalBuf->Count();
  if (Count == 0 || FCurRec <= 0) return false;
  if (FCurRec > Count) FCurRec = Count;
  if (Filtered() && FBrowseBuffer == brStandard) {
    for (std::int32_t I = FCurRec - 1; I >= 0; --I)
      if (RecordFilter(FInternalBuf->Image(I))) {
        FCurRec = I;
        return true;
      }
    return false;
  }
  --FCurRec;
  return true;
}

bool TKelvaDataset::KlvGetcurrentRecord() {
  const std::int32_t Count = FInternalBuf->Count();
  if (Count == 0 || FCurRec < 0 || FCurRec >= Count) return false;
  if (Filtered() && FBrowseBuffer == brStandard) return RecordFilter(FInternalBuf->Image(FCurRec));
  return true;
}

TGetResult TKelvaDataset::GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool DoCheck) {
  if (!FInternalBuf || FInternalBuf->Count() == 0) return grEOF;
  TGetResult Result = grOK;
  switch (GetMode) {
  case gmNext:
    if (!KlvGetNextRecord()) Result = grEOF;
    break;
  case gmPrior:
    if (!KlvGetPriorRecord()) Result = grBOF;
    break;
  case gmCurrent:
    if (!KlvGetcurrentRecord()) Result = grError;
    break;
  }
  if (Result == grOK) {
    // A few records ahead in the walk's direction: fetching them from memory overlaps the
    // work on this one.
    constexpr std::int32_t PrefetchDistance = 8;
    if (GetMode == gmNext) FInternalBuf->PrefetchImage(FCurRec + PrefetchDistance);
    if (GetMode == gmPrior) FInternalBuf->PrefetchImage(FCurRec - PrefetchDistance);
    CopyImageToBuffer(FCurRec, Buffer);
    // The status of a fetched record follows from the pending-change rules, so that a
    // grid can show each record's state.
    WriteRecInfo(Buffer, {FInternalBuf->RecId(FCurRec),
                          static_cast<std::uint8_t>(DerivedUpdateStatus(FCurRec)), bfCurrent});
    GetCalcFields(Buffer);
  } else if (Result == grError && DoCheck) {
    DatabaseError(SRecordNotFound);
  }
  return Result;
}

void TKelvaDataset::InternalFirst() {
  FCurRec = -1;
}

void TKelvaDataset::InternalLast() {
  FCurRec = FInternalBuf ? FInternalBuf->Count() : 0;
}

void TKelvaDataset::InternalGotoBookmark(const void* Bookmark) {
  const std::int32_t Index = FInternalBuf->IndexOfId(ReadBookmark(Bookmark));
  if (Index < 0 || !RecordFilter(FInternalBuf->Image(Index))) DatabaseError(SKlvInvalidBookMark);
  FCurRec = Index;
}

void TKelvaDataset::InternalSetToRecord(TRecordBuffer Buffer) {
  const std::int32_t RecId = BufferRecId(Buffer);
  InternalGotoBookmark(&RecId);
}

std::int32_t TKelvaDataset::CompareBookmarks(const TBookmark& Bookmark1,
                                             const TBookmark& Bookmark2) {
  // A bookmark too short to hold an identifier counts as no bookmark.
  const bool Nil1 = Bookmark1.size() < sizeof(std::int32_t);
  const bool Nil2 = Bookmark2.size() < sizeof(std::int32_t);
  if (Nil1 && Nil2) return 0;
  if (Nil1) return 1;
  if (Nil2) return -1;
  const std::int32_t Id1 = ReadBookmark(Bookmark1.data());
  const std::int32_t Id2 = ReadBookmark(Bookmark2.data());
  return Id1 > Id2 ? 1 : (Id1 < Id2 ? -1 : 0);
}

bool TKelvaDataset::BookmarkValid(const TBookmark& Bookmark) {
  if (!FInternalBuf || Bookmark.size() < sizeof(std::int32_t)) return false;
  CursorPosChanged();
  const std::int32_t Index = FInternalBuf->IndexOfId(ReadBookmark(Bookmark.data()));
  return Index >= 0 && RecordFilter(FInternalBuf->Image(Index));
}

std::int32_t TKelvaDataset::GetRecordCount() {
  return FInternalBuf ? FInternalBuf->Count() : 0;
}

std::int32_t TKelvaDataset::GetRecNo() {
  CheckActive();
  if (!FInternalBuf) return 0;
  const char* Buffer = nullptr;
  if (State() == dsCalcFields)
    Buffer = CalcBuffer(); // calculated fields may ask while a record is being fetched
  else if (!IsEmpty())
    Buffer = ActiveBuffer();
  // A record being inserted has no number until it is stored: its buffer is not flagged
  // current, and during an insert it carries the bookmark of the record it goes before.
  if (!Buffer || GetBookmarkFlag(const_cast<char*>(Buffer)) != bfCurrent) return 0;
  return FInternalBuf->IndexOfId(BufferRecId(Buffer)) + 1;
}

void TKelvaDataset::SetRecNo(std::int32_t Value) {
  CheckBrowseMode();
  if (Value < 1 || Value > FInternalBuf->Count() || !RecordFilter(FInternalBuf->Image(Value - 1)))
    DatabaseError(SKlvInvalidNumRec);
  const TOperationMark Mark = MarkOperation();
  DoBeforeScroll();
  CheckOperationMark(Mark);
  FCurRec = Value - 1;
  Resync({rmCenter});
  DoAfterScroll();
}

void TKelvaDataset::GotoCurrent(TKelvaDataset* DataSet) {
  CheckBrowseMode();
  DataSet->CheckActive();
  SetBookmark(DataSet->Bookmark());
}

bool TKelvaDataset::GetCurrentRecord(TRecordBuffer Buffer) {
  if (IsEmpty() || GetBookmarkFlag(ActiveBuffer()) != bfCurrent) return false;
  UpdateCursorPos();
  CopyImageToBuffer(FCurRec, Buffer);
  return true;
}

TUpdateStatus TKelvaDataset::UpdateStatus() {
  CheckActive();
  const char* Buffer = State() == dsCalcFields ? CalcBuffer() : ActiveBuffer();
  return static_cast<TUpdateStatus>(ReadRecInfo(Buffer).UpdateStatus);
}

void TKelvaDataset::KlvCheckOperation(const TDataOperation& Operation,
                                      const TDataSetErrorEvent& ErrorEvent) {
  // The dataset's own post runs the framework's retry protocol unchanged.
  CheckOperation(Operation, ErrorEvent);
}

} // namespace kelva
