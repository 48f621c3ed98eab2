// TDataSet editing: Edit, Insert, Append, Post, Cancel, Delete, AppendRecord and
// InsertRecord, and the retry protocol every store operation runs through.
#include "kelva/framework/db/DataSet.h"

#include "kelva/framework/db/DBConsts.h"
#include "kelva/framework/db/Fields.h"

namespace kelva {

void TDataSet::CheckBrowseMode() {
  CheckActive();
  CheckNotTemporaryState();
  DataEvent(deCheckBrowseMode, 0);
  switch (FState) {
  case dsEdit:
  case dsInsert:
    UpdateRecord();
    if (Modified())
      Post();
    else
      Cancel();
    break;
  case dsSetKey:
    Post();
    break;
  default:
    break;
  }
}

void TDataSet::UpdateRecord() {
  if (!IsEditMode(FState)) DatabaseError(SNotEditing);
  DataEvent(deUpdateRecord, 0);
}

bool TDataSet::CanModify() {
  return GetCanModify();
}

void TDataSet::CheckCanModify() {
  if (!CanModify()) DatabaseError(SDataSetReadOnly);
}

void TDataSet::CheckOperation(const TDataOperation& Operation,
                              const TDataSetErrorEvent& ErrorEvent) {
  const TOperationMark Mark = MarkOperation();
  for (;;) {
    try {
      UpdateCursorPos();
      Operation();
      return;
    } catch (EDatabaseError& E) {
      TDataAction Action = daFail;
      if (ErrorEvent) ErrorEvent(this, E, Action);
      if (Action == daFail) throw;
      if (Action == daAbort) Abort();
      // daRetry: run the operation again, unless the handler ended it (by cancelling, say)
      CheckOperationMark(Mark);
    }
  }
}

TUpdateStatus TDataSet::UpdateStatus() {
  return usUnmodified;
}

void TDataSet::Edit() {
  if (FState == dsEdit || FState == dsInsert) return;
  if (FRecordCount == 0) {
    Insert();
    return;
  }
  CheckBrowseMode();
  CheckCanModify();
  const TOperationMark Mark = MarkOperation(true);
  DoBeforeEdit();
  CheckOperationMark(Mark);
  CheckOperation([this] { InternalEdit(); }, OnEditError);
  GetCalcFields(ActiveBuffer());
  SetState(dsEdit);
  DataEvent(deRecordChange, 0);
  DoAfterEdit();
}

void TDataSet::BeginInsertAppend(bool Inserting) {
  CheckBrowseMode();
  CheckCanModify();
  // An insert goes before the active record, an append after the last one.
  const TOperationMark Mark = MarkOperation(Inserting);
  DoBeforeInsert();
  CheckOperationMark(Mark);
  DoBeforeScroll();
  CheckOperationMark(Mark);
}

void TDataSet::EndInsertAppend() {
  SetState(dsInsert);
  try {
    DoOnNewRecord();
  } catch (...) {
    UpdateCursorPos();
    FreeFieldBuffers();
    SetState(dsBrowse);
    Resync({});
    throw;
  }
  FModified = false;
  DataEvent(deDataSetChange, 0);
  DoAfterInsert();
  DoAfterScroll();
}

void TDataSet::Insert() {
  BeginInsertAppend(true);
  TBookmarkStr Old = Bookmark();
  Old.resize(static_cast<std::size_t>(FBookmarkSize));
  // The first unused buffer (or the spare) becomes the new record's, at the active slot.
  MoveBuffer(FRecordCount, FActiveRecord);
  InitRecord(ActiveBuffer());
  if (FRecordCount == 0)
    SetBookmarkFlag(ActiveBuffer(), bfBOF);
  else
    SetBookmarkData(ActiveBuffer(), Old.data());
  if (FRecordCount < FBufferCount) ++FRecordCount;
  CursorPosChanged();
  InternalInsert();
  EndInsertAppend();
}

void TDataSet::Append() {
  BeginInsertAppend(false);
  ClearBuffers();
  try {
    InitRecord(FBuffers[0]);
    SetBookmarkFlag(FBuffers[0], bfEOF);
    FRecordCount = 1;
    FBOF = false;
    GetPriorRecords();
  } catch (...) {
    // The ring holds the blank new buffer among records fetched so far: rebuild it from the
    // descendant's records before the error goes on, or leave it empty if that fails too.
    CursorPosChanged();
    try {
      Resync({});
    } catch (...) {
      ClearBuffers();
    }
    throw;
  }
  CursorPosChanged();
  InternalInsert();
  EndInsertAppend();
}

void TDataSet::Post() {
  CheckNotTemporaryState();
  UpdateRecord();
  if (FState != dsEdit && FState != dsInsert) return;
  // A handler that cancelled, posted or closed has ended this edit: storing its buffer
  // now would store a browsed record as a new one, or a record twice.
  const TOperationMark Mark = MarkOperation();
  DataEvent(deCheckBrowseMode, 0);
  DoBeforePost();
  CheckOperationMark(Mark);
  CheckOperation([this] { InternalPost(); }, OnPostError);
  FreeFieldBuffers();
  SetState(dsBrowse);
  Resync({});
  DoAfterPost();
}

void TDataSet::Cancel() {
  CheckNotTemporaryState();
  if (FState != dsEdit && FState != dsInsert) return;
  const TOperationMark Mark = MarkOperation();
  DataEvent(deCheckBrowseMode, 0);
  DoBeforeCancel();
  CheckOperationMark(Mark);
  const bool Scroll = FState == dsInsert;
  if (Scroll) {
    DoBeforeScroll();
    CheckOperationMark(Mark);
  }
  UpdateCursorPos();
  InternalCancel();
  FreeFieldBuffers();
  SetState(dsBrowse);
  Resync({});
  DoAfterCancel();
  if (Scroll) DoAfterScroll();
}

void TDataSet::Delete() {
  CheckActive();
  CheckNotTemporaryState();
  if (FState == dsInsert || FState == dsSetKey) {
    Cancel();
    return;
  }
  CheckCanModify();
  if (FRecordCount == 0) DatabaseError(SDataSetEmpty);
  const TOperationMark Mark = MarkOperation(true);
  DataEvent(deCheckBrowseMode, 0);
  DoBeforeDelete();
  CheckStillDeleting(Mark);
  DoBeforeScroll();
  CheckStillDeleting(Mark);
  CheckOperation([this] { InternalDelete(); }, OnDeleteError);
  FreeFieldBuffers();
  SetState(dsBrowse);
  Resync({});
  DoAfterDelete();
  DoAfterScroll();
}

// Deleting relies on the record, not on its edit: a handler that posted or cancelled the
// pending edit leaves the delete nothing to stop for, since the delete discards it anyway.
// Another record, an insert or a dataset closed (and perhaps opened again) in between do.
void TDataSet::CheckStillDeleting(const TOperationMark& Mark) {
  if (FClosings != Mark.Closings || (FState != dsBrowse && FState != dsEdit) ||
      GetBookmark() != Mark.Record)
    Abort();
}

void TDataSet::SetFields(const std::vector<Variant>& Values) {
  if (static_cast<std::int32_t>(Values.size()) > FieldCount()) DatabaseError(STooManyValues);
  for (std::size_t I = 0; I < Values.size(); ++I) {
    TField* Field = Fields()[static_cast<std::int32_t>(I)];
    if (VarIsNull(Values[I]) || VarIsEmpty(Values[I]))
      Field->Clear();
    else
      Field->SetValue(Values[I]);
  }
}

void TDataSet::AddRecordFromValues(const std::vector<Variant>& Values, bool AppendIt) {
  CheckActive();
  if (static_cast<std::int32_t>(Values.size()) > FieldCount()) DatabaseError(STooManyValues);
  if (AppendIt)
    Append();
  else
    Insert();
  const TOperationMark Mark = MarkOperation();
  SetFields(Values);
  UpdateRecord();
  DataEvent(deCheckBrowseMode, 0);
  DoBeforePost();
  CheckOperationMark(Mark);
  CheckOperation([this, AppendIt] { InternalAddRecord(ActiveBuffer(), AppendIt); }, OnPostError);
  FreeFieldBuffers();
  SetState(dsBrowse);
  Resync({});
  DoAfterPost();
}

void TDataSet::AppendRecord(std::initializer_list<Variant> Values) {
  AddRecordFromValues(std::vector<Variant>(Values), true);
}
void TDataSet::AppendRecord(const std::vector<Variant>& Values) {
  AddRecordFromValues(Values, true);
}
void TDataSet::InsertRecord(std::initializer_list<Variant> Values) {
  AddRecordFromValues(std::vector<Variant>(Values), false);
}
void TDataSet::InsertRecord(const std::vector<Variant>& Values) {
  AddRecordFromValues(Values, false);
}

} // namespace kelva
