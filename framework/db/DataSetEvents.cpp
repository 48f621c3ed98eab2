// TDataSet notifications: states and temporary states, data events to controls,
// disabling controls, the Do... event steps, and the base behaviour of the overridable
// record-buffer protocol.
#include "kelva/framework/db/DataSet.h"

#include "kelva/framework/db/DBConsts.h"
#include "kelva/framework/db/DataSource.h"
#include "kelva/framework/db/Fields.h"
#include "kelva/framework/rtl/Application.h"
#include "kelva/framework/rtl/Currency.h"

#include <algorithm>
#include <unordered_set>

namespace kelva {

// ---- States ---------------------------------------------------------------------------

void TDataSet::SetState(TDataSetState Value) {
  if (Value == FState) return;
  FState = Value;
  ++FStateChanges;
  if (Value == dsInactive) ++FClosings;
  FModified = false;
  DataEvent(deUpdateState, 0);
}

TDataSetState TDataSet::SetTempState(TDataSetState Value) {
  const TDataSetState Old = FState;
  FState = Value;
  ++FDisableCount;
  return Old;
}

void TDataSet::RestoreState(TDataSetState Value) {
  FState = Value;
  --FDisableCount;
}

void TDataSet::CheckNotTemporaryState() const {
  const char* Activity = nullptr;
  switch (FState) {
  case dsFilter:
    Activity = "filtering records";
    break;
  case dsCalcFields:
  case dsInternalCalc:
    Activity = "calculating fields";
    break;
  case dsNewValue:
  case dsOldValue:
  case dsCurValue:
    Activity = "reading a field value";
    break;
  default:
    return;
  }
  DatabaseErrorFmt(SInTemporaryState, {std::string(Activity)});
}

// ---- Handlers that act on the dataset under an operation --------------------------------

TDataSet::TOperationMark TDataSet::MarkOperation(bool OnRecord) {
  TOperationMark Mark;
  Mark.StateChanges = FStateChanges;
  Mark.Closings = FClosings;
  Mark.OnRecord = OnRecord;
  if (OnRecord) Mark.Record = GetBookmark();
  return Mark;
}

void TDataSet::CheckOperationMark(const TOperationMark& Mark) {
  if (FStateChanges != Mark.StateChanges) Abort();
  if (Mark.OnRecord && GetBookmark() != Mark.Record) Abort();
}

// ---- Data events and controls -----------------------------------------------------------

void TDataSet::DataEvent(TDataEvent Event, std::intptr_t Info) {
  if (Event == deFieldChange) {
    auto* Field = reinterpret_cast<TField*>(Info);
    if (Field->FieldKind() == fkData || Field->FieldKind() == fkInternalCalc) SetModified(true);
    if (FState != dsSetKey) {
      if (Field->FieldKind() == fkData && FAutoCalcFields && FCalcFieldsSize != 0)
        CalculateFields(ActiveBuffer());
      Field->Change();
    }
  } else if (Event == deLayoutChange) {
    if (ControlsDisabled()) FEnableEvent = deLayoutChange;
  }
  if (ControlsDisabled() || FState == dsBlockRead) return;
  // A handler may detach a data source while the event runs: walk a copy.
  const std::vector<TDataSource*> Sources = FDataSources;
  for (TDataSource* Source : Sources)
    if (std::find(FDataSources.begin(), FDataSources.end(), Source) != FDataSources.end())
      Source->DataEvent(Event, Info);
}

void TDataSet::DisableControls() {
  if (FDisableCount == 0) {
    FDisableState = FState;
    FEnableEvent = deDataSetChange;
  }
  ++FDisableCount;
}

void TDataSet::EnableControls() {
  if (FDisableCount <= 0) return;
  if (--FDisableCount > 0) return;
  if (FState != FDisableState) DataEvent(deUpdateState, 0);
  if (FState != dsInactive && FDisableState != dsInactive) DataEvent(FEnableEvent, 0);
}

bool TDataSet::IsLinkedTo(TDataSource* ADataSource) {
  std::unordered_set<const TDataSet*> Seen;
  for (TDataSource* Source = ADataSource; Source && Source->DataSet();) {
    TDataSet* Set = Source->DataSet();
    if (Set == this) return true;
    if (!Seen.insert(Set).second) return false;
    Source = Set->GetDataSource();
  }
  return false;
}

void TDataSet::AddDataSource(TDataSource* ADataSource) {
  FDataSources.push_back(ADataSource);
  UpdateBufferCount();
}

void TDataSet::RemoveDataSource(TDataSource* ADataSource) {
  std::erase(FDataSources, ADataSource);
  UpdateBufferCount();
}

// ---- Filtering and found ----------------------------------------------------------------

void TDataSet::SetFiltered(bool Value) {
  FFiltered = Value;
}
void TDataSet::SetFilterText(const std::string& Value) {
  FFilterText = Value;
}
void TDataSet::SetFilterOptions(TFilterOptions Value) {
  FFilterOptions = Value;
}
void TDataSet::SetFound(bool Value) {
  FFound = Value;
}

// ---- Event steps ------------------------------------------------------------------------

namespace {
void Fire(const TDataSetNotifyEvent& Event, TDataSet* DataSet) {
  if (Event) Event(DataSet);
}
} // namespace

void TDataSet::DoBeforeOpen() {
  Fire(BeforeOpen, this);
}
void TDataSet::DoAfterOpen() {
  Fire(AfterOpen, this);
}
void TDataSet::DoBeforeClose() {
  if (!ComponentState().Contains(csDestroying)) Fire(BeforeClose, this);
}
void TDataSet::DoAfterClose() {
  if (!ComponentState().Contains(csDestroying)) Fire(AfterClose, this);
}
void TDataSet::DoBeforeInsert() {
  Fire(BeforeInsert, this);
}
void TDataSet::DoAfterInsert() {
  Fire(AfterInsert, this);
}
void TDataSet::DoBeforeEdit() {
  Fire(BeforeEdit, this);
}
void TDataSet::DoAfterEdit() {
  Fire(AfterEdit, this);
}
void TDataSet::DoBeforePost() {
  Fire(BeforePost, this);
}
void TDataSet::DoAfterPost() {
  Fire(AfterPost, this);
}
void TDataSet::DoBeforeCancel() {
  Fire(BeforeCancel, this);
}
void TDataSet::DoAfterCancel() {
  Fire(AfterCancel, this);
}
void TDataSet::DoBeforeDelete() {
  Fire(BeforeDelete, this);
}
void TDataSet::DoAfterDelete() {
  Fire(AfterDelete, this);
}
void TDataSet::DoBeforeScroll() {
  Fire(BeforeScroll, this);
}
void TDataSet::DoAfterScroll() {
  Fire(AfterScroll, this);
}
void TDataSet::DoOnNewRecord() {
  Fire(OnNewRecord, this);
}
void TDataSet::DoOnCalcFields() {
  Fire(OnCalcFields, this);
}

// ---- Base behaviour of the record-buffer protocol ---------------------------------------

TRecordBuffer TDataSet::AllocRecordBuffer() {
  return new char[static_cast<std::size_t>(GetRecordSize()) + FCalcFieldsSize]();
}

void TDataSet::FreeRecordBuffer(TRecordBuffer& Buffer) {
  delete[] Buffer;
  Buffer = nullptr;
}

TGetResult TDataSet::GetRecord(TRecordBuffer, TGetMode, bool) {
  return grError;
}
std::uint16_t TDataSet::GetRecordSize() {
  return 0;
}
void TDataSet::InternalOpen() {}
void TDataSet::InternalClose() {}
bool TDataSet::IsCursorOpen() {
  return false;
}
void TDataSet::InternalInitFieldDefs() {}
void TDataSet::InternalFirst() {}
void TDataSet::InternalLast() {}
void TDataSet::InternalGotoBookmark(const void*) {}
void TDataSet::InternalSetToRecord(TRecordBuffer) {}
void TDataSet::GetBookmarkData(TRecordBuffer, void*) {}
void TDataSet::SetBookmarkData(TRecordBuffer, const void*) {}
TBookmarkFlag TDataSet::GetBookmarkFlag(TRecordBuffer) {
  return bfCurrent;
}
void TDataSet::SetBookmarkFlag(TRecordBuffer, TBookmarkFlag) {}

void TDataSet::InitRecord(TRecordBuffer Buffer) {
  InternalInitRecord(Buffer);
  ClearCalcFields(Buffer);
  SetBookmarkFlag(Buffer, bfInserted);
}

void TDataSet::InternalInitRecord(TRecordBuffer) {}
void TDataSet::ClearCalcFields(TRecordBuffer) {}
void TDataSet::InternalEdit() {}
void TDataSet::InternalInsert() {}
void TDataSet::InternalCancel() {}

void TDataSet::InternalPost() {
  // The base post only checks that required data fields have values.
  for (std::int32_t I = 0; I < FieldCount(); ++I) {
    TField* Field = Fields()[I];
    if (Field->FieldKind() == fkData && Field->Required() && !Field->ReadOnly() && Field->IsNull())
      DatabaseErrorFmt(SFieldRequired, {Field->DisplayName()});
  }
}

void TDataSet::InternalAddRecord(TRecordBuffer, bool) {}
void TDataSet::InternalDelete() {}
void TDataSet::InternalRefresh() {}
void TDataSet::InternalHandleException() {
  Application->HandleException(this);
}
bool TDataSet::GetFieldData(TField*, void*) {
  return false;
}
void TDataSet::SetFieldData(TField*, const void*) {}
bool TDataSet::BCDToCurr(const void*, Currency&) {
  return false;
}
bool TDataSet::CurrToBCD(const Currency&, void*, std::int32_t, std::int32_t) {
  return false;
}
bool TDataSet::GetCanModify() {
  return true;
}
TDataSource* TDataSet::GetDataSource() {
  return nullptr;
}
std::int32_t TDataSet::GetRecordCount() {
  return -1;
}
std::int32_t TDataSet::GetRecNo() {
  return -1;
}
void TDataSet::SetRecNo(std::int32_t) {}
bool TDataSet::IsSequenced() {
  return true;
}
bool TDataSet::FindRecord(bool, bool) {
  return false;
}
bool TDataSet::BookmarkValid(const TBookmark&) {
  return false;
}
std::int32_t TDataSet::CompareBookmarks(const TBookmark&, const TBookmark&) {
  return 0;
}
bool TDataSet::Locate(const std::string&, const Variant&, TLocateOptions) {
  return false;
}
Variant TDataSet::Lookup(const std::string&, const Variant&, const std::string&) {
  return Null();
}
bool TDataSet::GetCurrentRecord(TRecordBuffer) {
  return false;
}

} // namespace kelva
