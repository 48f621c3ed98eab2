// TDataSet: opening and closing, the buffer ring and its synchronisation with the
// descendant's cursor, Resync, navigation, bookmarks and record numbers.
#include "kelva/framework/db/DataSet.h"

#include "kelva/framework/db/DBConsts.h"
#include "kelva/framework/db/DataSource.h"
#include "kelva/framework/db/FieldDefs.h"
#include "kelva/framework/db/Fields.h"
#include "kelva/framework/rtl/TryFinally.h"

#include <algorithm>
#include <cassert>

namespace kelva {

namespace {
constexpr std::int32_t MaxBufferCount = 1024;
}

TDataSet::TDataSet(TComponent* AOwner)
    : TComponent(AOwner), FFields(std::make_unique<TFields>(this)),
      FFieldDefs(std::make_unique<TFieldDefs>(this)) {}

TDataSet::~TDataSet() {
  // A concrete descendant closes in its own destructor, while its overrides still exist.
  assert(FState == dsInactive && FBuffers.empty());
  Destroying();
  while (!FDataSources.empty()) FDataSources.back()->SetDataSet(nullptr);
  // Fields delete themselves from Fields(); persistent ones also leave their owner.
  while (FFields->Count() > 0) delete (*FFields)[FFields->Count() - 1];
}

// ---- Opening and closing ------------------------------------------------------------

bool TDataSet::Active() const {
  return FState != dsInactive && FState != dsOpening;
}

void TDataSet::Open() {
  SetActive(true);
}
void TDataSet::Close() {
  SetActive(false);
}

void TDataSet::SetActive(bool Value) {
  CheckNotTemporaryState();
  if (Value && FState == dsInactive)
    SetActiveOpen();
  else if (!Value && Active())
    SetActiveClose();
}

void TDataSet::SetActiveOpen() {
  if (ComponentState().Contains(csLoading)) {
    FStreamedActive = true;
    return;
  }
  DoBeforeOpen();
  // A handler that opened the dataset itself has done the work; from any other state
  // (still inactive, even after a detour) the open starts afresh and is sound.
  if (FState != dsInactive) return;
  FDefaultFields = FieldCount() == 0;
  TryFinally([this] { OpenCursor(false); }, [this] { OpenCursorComplete(); });
  FModified = false;
}

void TDataSet::OpenCursorComplete() {
  if (FInternalOpenComplete) {
    SetState(dsBrowse);
    DoAfterOpen();
    if (!IsEmpty()) DoAfterScroll();
  } else {
    SetState(dsInactive);
    CloseCursor();
  }
}

void TDataSet::SetActiveClose() {
  if (ComponentState().Contains(csLoading)) {
    FStreamedActive = false;
    return;
  }
  const bool Destroying = ComponentState().Contains(csDestroying);
  if (!Destroying) DoBeforeClose();
  // A handler that closed the dataset itself has done the work; closing from whatever
  // state it left is sound (a pending edit is discarded, as always).
  if (!Active()) return;
  SetState(dsInactive);
  CloseCursor();
  if (!Destroying) DoAfterClose();
  FModified = false;
}

void TDataSet::CheckActive() const {
  if (!Active()) DatabaseError(SDataSetClosed);
}

void TDataSet::CheckInactive() const {
  if (Active()) DatabaseError(SDataSetOpen);
}

void TDataSet::OpenCursor(bool InfoQuery) {
  if (InfoQuery) {
    InternalInitFieldDefs();
    return;
  }
  InternalOpen();
  FInternalOpenComplete = true;
  try {
    UpdateBufferCount();
  } catch (...) {
    // Without a ring the dataset cannot be browsed: the open failed and it closes again.
    if (FBuffers.empty()) FInternalOpenComplete = false;
    throw;
  }
  FBOF = true;
  FEOF = FRecordCount == 0;
}

void TDataSet::CloseCursor() {
  FreeFieldBuffers();
  ClearBuffers();
  SetBufListSize(0);
  FBufferCount = 0;
  InternalClose();
  FInternalOpenComplete = false;
}

void TDataSet::InitFieldDefs() {
  if (IsCursorOpen())
    InternalInitFieldDefs();
  else
    TryFinally([this] { OpenCursor(true); }, [this] { CloseCursor(); });
}

void TDataSet::Loaded() {
  TComponent::Loaded();
  if (!FStreamedActive) return;
  try {
    SetActive(true);
  } catch (...) {
    if (!ComponentState().Contains(csDesigning)) throw;
    InternalHandleException();
  }
}

void TDataSet::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) const {
  TComponent::GetChildren(Proc, Root);
  // Fields made from the definitions at opening go away at closing: they are not stored.
  if (FDefaultFields && FState != dsInactive) return;
  for (TField* Field : *FFields)
    if (Field->Owner() == Root) Proc(Field);
}

void TDataSet::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
}

// ---- The buffer ring ----------------------------------------------------------------

TRecordBuffer TDataSet::ActiveBuffer() const {
  return FBuffers.empty() ? nullptr : FBuffers[FActiveRecord];
}

TRecordBuffer TDataSet::TempBuffer() const {
  return FBuffers.empty() ? nullptr : FBuffers[FRecordCount];
}

TRecordBuffer TDataSet::Buffers(std::int32_t Index) const {
  return FBuffers.at(Index);
}

void TDataSet::SetBufListSize(std::int32_t Value) {
  const auto OldSize = static_cast<std::int32_t>(FBuffers.size());
  if (Value < OldSize) {
    for (std::int32_t I = Value; I < OldSize; ++I) FreeRecordBuffer(FBuffers[I]);
    FBuffers.resize(Value);
    return;
  }
  FBuffers.reserve(Value);
  try {
    while (static_cast<std::int32_t>(FBuffers.size()) < Value)
      FBuffers.push_back(AllocRecordBuffer());
  } catch (...) {
    for (auto I = static_cast<std::int32_t>(FBuffers.size()) - 1; I >= OldSize; --I)
      FreeRecordBuffer(FBuffers[I]);
    FBuffers.resize(OldSize);
    throw;
  }
}

void TDataSet::ClearBuffers() {
  FRecordCount = 0;
  FActiveRecord = 0;
  FCurrentRecord = -1;
  FBOF = true;
  FEOF = true;
}

void TDataSet::ActivateBuffers() {
  FRecordCount = 1;
  FActiveRecord = 0;
  FBOF = false;
  FEOF = false;
}

void TDataSet::MoveBuffer(std::int32_t From, std::int32_t To) {
  if (From == To) return;
  auto First = FBuffers.begin();
  if (From > To)
    std::rotate(First + To, First + From, First + From + 1);
  else
    std::rotate(First + From, First + From + 1, First + To + 1);
}

void TDataSet::SetCurrentRecord(std::int32_t Index) {
  if (FCurrentRecord == Index) return;
  TRecordBuffer Buffer = FBuffers[Index];
  switch (GetBookmarkFlag(Buffer)) {
  case bfCurrent:
  case bfInserted:
    InternalSetToRecord(Buffer);
    break;
  case bfBOF:
    InternalFirst();
    break;
  case bfEOF:
    InternalLast();
    break;
  }
  FCurrentRecord = Index;
}

void TDataSet::UpdateCursorPos() {
  CheckNotTemporaryState();
  if (FRecordCount > 0) SetCurrentRecord(FActiveRecord);
}

bool TDataSet::GetNextRecord() {
  if (FRecordCount > 0) SetCurrentRecord(FRecordCount - 1);
  TGetResult Result;
  try {
    Result = GetRecord(FBuffers[FRecordCount], gmNext, true);
  } catch (...) {
    CursorPosChanged();
    throw;
  }
  if (Result != grOK) {
    CursorPosChanged();
    return false;
  }
  if (FRecordCount == 0)
    ActivateBuffers();
  else if (FRecordCount < FBufferCount)
    ++FRecordCount;
  else
    MoveBuffer(0, FBufferCount); // the oldest record leaves the ring
  FCurrentRecord = FRecordCount - 1;
  return true;
}

bool TDataSet::GetPriorRecord() {
  if (FRecordCount > 0) SetCurrentRecord(0);
  TGetResult Result;
  try {
    Result = GetRecord(FBuffers[FRecordCount], gmPrior, true);
  } catch (...) {
    CursorPosChanged();
    throw;
  }
  if (Result != grOK) {
    CursorPosChanged();
    return false;
  }
  if (FRecordCount == 0) {
    ActivateBuffers();
  } else {
    MoveBuffer(FRecordCount, 0);
    if (FRecordCount < FBufferCount) {
      ++FRecordCount;
      ++FActiveRecord;
    }
  }
  FCurrentRecord = 0;
  return true;
}

std::int32_t TDataSet::GetNextRecords() {
  std::int32_t Count = 0;
  while (FRecordCount < FBufferCount && GetNextRecord()) ++Count;
  return Count;
}

std::int32_t TDataSet::GetPriorRecords() {
  std::int32_t Count = 0;
  while (FRecordCount < FBufferCount && GetPriorRecord()) ++Count;
  return Count;
}

std::int32_t TDataSet::ComputeBufferCount() const {
  std::int32_t Count = 1;
  for (const TDataSource* Source : FDataSources)
    for (const TDataLink* Link : Source->FDataLinks) Count = std::max(Count, Link->BufferCount());
  return std::min(Count, MaxBufferCount);
}

void TDataSet::NotifyLinksFirstRecordShift(std::int32_t Shift) {
  for (TDataSource* Source : FDataSources)
    for (TDataLink* Link : Source->FDataLinks)
      if (Link->Active()) Link->FFirstRecord = std::max(0, Link->FFirstRecord + Shift);
}

void TDataSet::UpdateBufferCount() {
  if (IsCursorOpen()) SetBufferCount(ComputeBufferCount());
}

void TDataSet::SetBufferCount(std::int32_t Value) {
  if (Value == FBufferCount) return;
  if (Value < FBufferCount) {
    if (FActiveRecord >= Value) {
      const std::int32_t Dropped = FActiveRecord - Value + 1;
      std::rotate(FBuffers.begin(), FBuffers.begin() + Dropped, FBuffers.end());
      FRecordCount -= Dropped;
      FActiveRecord -= Dropped;
      CursorPosChanged();
      NotifyLinksFirstRecordShift(-Dropped);
    }
    FRecordCount = std::min(FRecordCount, Value);
    if (FCurrentRecord >= FRecordCount) CursorPosChanged();
    SetBufListSize(Value + 1);
    FBufferCount = Value;
  } else {
    SetBufListSize(Value + 1);
    FBufferCount = Value;
    if (FState != dsInsert) {
      GetNextRecords();
      if (FRecordCount < FBufferCount) NotifyLinksFirstRecordShift(GetPriorRecords());
    }
  }
  for (TDataSource* Source : FDataSources)
    for (TDataLink* Link : Source->FDataLinks)
      if (Link->Active()) Link->RecomputeWindow(0);
}

void TDataSet::Resync(TResyncMode Mode) {
  CheckNotTemporaryState();
  if (FBuffers.empty()) DatabaseError(SDataSetClosed); // no ring to rebuild
  TRecordBuffer Fetch = FBuffers[FRecordCount];
  if (Mode.Contains(rmExact)) {
    CursorPosChanged();
    if (GetRecord(Fetch, gmCurrent, true) != grOK) DatabaseError(SRecordNotFound);
  } else if (GetRecord(Fetch, gmCurrent, false) != grOK &&
             GetRecord(Fetch, gmNext, false) != grOK && GetRecord(Fetch, gmPrior, false) != grOK) {
    ClearBuffers();
    DataEvent(deDataSetChange, 0);
    return;
  }
  std::int32_t Count = Mode.Contains(rmCenter) ? (FBufferCount - 1) / 2 : FActiveRecord;
  MoveBuffer(FRecordCount, 0);
  ActivateBuffers();
  FCurrentRecord = 0;
  TryFinally(
      [&] {
        while (Count > 0 && GetPriorRecord()) --Count;
        GetNextRecords();
        GetPriorRecords();
      },
      [this] { DataEvent(deDataSetChange, 0); });
}

void TDataSet::AssertRingInvariants() const {
#ifndef NDEBUG
  if (!Active()) return;
  assert(FBufferCount >= 1);
  assert(static_cast<std::int32_t>(FBuffers.size()) == FBufferCount + 1);
  assert(FRecordCount >= 0 && FRecordCount <= FBufferCount);
  if (FRecordCount == 0)
    assert(FActiveRecord == 0);
  else
    assert(FActiveRecord >= 0 && FActiveRecord < FRecordCount);
  assert(FCurrentRecord >= -1 && FCurrentRecord < std::max(FRecordCount, 1));
#endif
}

// ---- Navigation ---------------------------------------------------------------------

void TDataSet::First() {
  CheckBrowseMode();
  const TOperationMark Mark = MarkOperation();
  DoBeforeScroll();
  CheckOperationMark(Mark);
  ClearBuffers();
  TryFinally(
      [this] {
        InternalFirst();
        GetNextRecord();
        GetNextRecords();
      },
      [this] {
        FBOF = true;
        DataEvent(deDataSetChange, 0);
        DoAfterScroll();
      });
}

void TDataSet::Last() {
  CheckBrowseMode();
  const TOperationMark Mark = MarkOperation();
  DoBeforeScroll();
  CheckOperationMark(Mark);
  ClearBuffers();
  TryFinally(
      [this] {
        InternalLast();
        GetPriorRecord();
        GetPriorRecords();
      },
      [this] {
        FEOF = true;
        DataEvent(deDataSetChange, 0);
        DoAfterScroll();
      });
}

std::int32_t TDataSet::MoveBy(std::int32_t Distance) {
  CheckBrowseMode();
  std::int32_t Result = 0;
  const TOperationMark Mark = MarkOperation();
  DoBeforeScroll();
  CheckOperationMark(Mark);
  if (Distance == 0 || (Distance > 0 && FEOF) || (Distance < 0 && FBOF)) return 0;
  FBOF = false;
  FEOF = false;
  std::int32_t Shift = 0;
  TryFinally(
      [&] {
        while (Distance > 0) {
          if (FActiveRecord < FRecordCount - 1) {
            ++FActiveRecord;
          } else {
            const bool Full = FRecordCount == FBufferCount;
            if (!GetNextRecord()) {
              FEOF = true;
              break;
            }
            if (Full) --Shift;
            FActiveRecord = FRecordCount - 1;
          }
          --Distance;
          ++Result;
        }
        while (Distance < 0) {
          if (FActiveRecord > 0) {
            --FActiveRecord;
          } else {
            if (!GetPriorRecord()) {
              FBOF = true;
              break;
            }
            ++Shift;
            FActiveRecord = 0;
          }
          ++Distance;
          --Result;
        }
      },
      [&] {
        DataEvent(deDataSetScroll, Shift);
        DoAfterScroll();
      });
  return Result;
}

void TDataSet::Next() {
  MoveBy(1);
}
void TDataSet::Prior() {
  MoveBy(-1);
}

bool TDataSet::IsEmpty() const {
  return FBOF && FEOF && FState != dsInsert;
}

std::int32_t TDataSet::RecordCount() {
  CheckActive();
  return GetRecordCount();
}

std::int32_t TDataSet::RecNo() {
  return GetRecNo();
}

void TDataSet::SetBlockReadSize(std::int32_t Value) {
  if (Value > 0) {
    CheckActive();
    CheckNotTemporaryState();
    FBlockReadSize = Value;
    SetState(dsBlockRead);
  } else {
    FBlockReadSize = 0;
    if (FState == dsBlockRead) SetState(dsBrowse);
  }
}

// ---- Bookmarks, searching, refresh --------------------------------------------------

bool TDataSet::BookmarkAvailable() {
  return (FState == dsBrowse || FState == dsEdit || FState == dsInsert) && !IsEmpty() &&
         GetBookmarkFlag(ActiveBuffer()) == bfCurrent;
}

TBookmark TDataSet::GetBookmark() {
  if (!BookmarkAvailable()) return {};
  TBookmark Result(FBookmarkSize);
  GetBookmarkData(ActiveBuffer(), Result.data());
  return Result;
}

TBookmarkStr TDataSet::Bookmark() {
  const TBookmark Data = GetBookmark();
  return TBookmarkStr(Data.begin(), Data.end());
}

void TDataSet::GotoBookmark(const TBookmark& Bookmark) {
  if (Bookmark.empty()) return;
  CheckBrowseMode();
  // The descendant reads BookmarkSize() bytes: a bookmark of another size names no record.
  if (static_cast<std::int32_t>(Bookmark.size()) != FBookmarkSize) DatabaseError(SRecordNotFound);
  const TOperationMark Mark = MarkOperation();
  DoBeforeScroll();
  CheckOperationMark(Mark);
  InternalGotoBookmark(Bookmark.data());
  Resync({rmExact, rmCenter});
  DoAfterScroll();
}

void TDataSet::SetBookmark(const TBookmarkStr& Value) {
  if (Value.empty()) return;
  GotoBookmark(TBookmark(Value.begin(), Value.end()));
}

void TDataSet::FreeBookmark(TBookmark& Bookmark) {
  Bookmark.clear();
}

bool TDataSet::FindFirst() {
  return FindRecord(true, true);
}
bool TDataSet::FindLast() {
  return FindRecord(true, false);
}
bool TDataSet::FindNext() {
  return FindRecord(false, true);
}
bool TDataSet::FindPrior() {
  return FindRecord(false, false);
}

void TDataSet::Refresh() {
  CheckBrowseMode();
  UpdateCursorPos();
  InternalRefresh();
  Resync({});
}

} // namespace kelva
