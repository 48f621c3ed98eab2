// TDataSet editing: Edit, Insert, Append, Post, Cancel, Delete, AppendRecord and
// InsertRecord, and the retry protocol every store operation runs through.
#include "kelva/framework/db/DataSet.h"

#include "kelva/framework/db/DBConsts.h"
#include "kelva/framework/db/Fields.h"

namespace kelva {

void TDataSet::CheckBrowseMode() {
  CheckActive();
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
      // daRetry: run the operation again
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
  DoBeforeEdit();
  CheckOperation([this] { InternalEdit(); }, OnEditError);
  GetCalcFields(ActiveBuffer());
  SetState(dsEdit);
  DataEvent(deRecordChange, 0);
  DoAfterEdit();
}

void TDataSet::BeginInsertAppend() {
  CheckBrowseMode();
  CheckCanModify();
  DoBeforeInsert();
  DoBeforeScroll();
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
  BeginInsertAppend();
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
  BeginInsertAppend();
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
  UpdateRecord();
  if (FState != dsEdit && FState != dsInsert) return;
  DataEvent(deCheckBrowseMode, 0);
  DoBeforePost();
  CheckOperation([this] { InternalPost(); }, OnPostError);
  FreeFieldBuffers();
  SetState(dsBrowse);
  Resync({});
  DoAfterPost();
}

void TDataSet::Cancel() {
  if (FState != dsEdit && FState != dsInsert) return;
  DataEvent(deCheckBrowseMode, 0);
  DoBeforeCancel();
  const bool Scroll = FState == dsInsert;
  if (Scroll) DoBeforeScroll();
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
  if (FState == dsInsert || FState == dsSetKey) {
    Cancel();
    return;
  }
  CheckCanModify();
  if (FRecordCount == 0) DatabaseError(SDataSetEmpty);
  DataEvent(deCheckBrowseMode, 0);
  DoBeforeDelete();
  DoBeforeScroll();
  CheckOperation([this] { InternalDelete(); }, OnDeleteError);
  FreeFieldBuffers();
  SetState(dsBrowse);
  Resync({});
  DoAfterDelete();
  DoAfterScroll();
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
  SetFields(Values);
  UpdateRecord();
  DataEvent(deCheckBrowseMode, 0);
  DoBeforePost();
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
