// TDataSource, TDataLink and TFieldDataLink: how data-aware controls follow a dataset.
#include "kelva/framework/db/DataSource.h"

#include "kelva/framework/db/DBConsts.h"
#include "kelva/framework/db/DataSet.h"
#include "kelva/framework/db/Fields.h"

#include <algorithm>
#include <iterator>
#include <unordered_set>

namespace kelva {

// ---- TDataSource --------------------------------------------------------------------------

TDataSource::TDataSource(TComponent* AOwner) : TComponent(AOwner) {}

TDataSource::~TDataSource() {
  Destroying();
  SetDataSet(nullptr);
  while (!FDataLinks.empty()) FDataLinks.back()->SetDataSource(nullptr);
}

void TDataSource::SetDataSet(TDataSet* ADataSet) {
  if (ADataSet == FDataSet) return;
  if (ADataSet && IsLinkedTo(ADataSet)) DatabaseError(SCircularDataLink);
  if (FDataSet) {
    TDataSet* Old = FDataSet;
    FDataSet = nullptr;
    Old->RemoveDataSource(this);
  }
  if (ADataSet) {
    FDataSet = ADataSet;
    ADataSet->AddDataSource(this);
  }
  UpdateState();
}

void TDataSource::SetEnabled(bool Value) {
  FEnabled = Value;
  UpdateState();
}

void TDataSource::Edit() {
  if (FAutoEdit && FState == dsBrowse) FDataSet->Edit();
}

bool TDataSource::IsLinkedTo(TDataSet* ADataSet) const {
  std::unordered_set<const TDataSet*> Seen;
  for (TDataSet* Set = ADataSet; Set;) {
    if (!Seen.insert(Set).second) return false;
    TDataSource* Source = Set->GetDataSource();
    if (!Source) return false;
    if (Source == this) return true;
    Set = Source->DataSet();
  }
  return false;
}

void TDataSource::UpdateState() {
  const TDataSetState NewState = (FEnabled && FDataSet) ? FDataSet->State() : dsInactive;
  if (NewState == FState) return;
  const TDataSetState OldState = FState;
  FState = NewState;
  const std::vector<TDataLink*> Links = FDataLinks;
  for (TDataLink* Link : Links)
    if (std::find(FDataLinks.begin(), FDataLinks.end(), Link) != FDataLinks.end())
      Link->UpdateState();
  if (ComponentState().Contains(csDestroying)) return;
  if (OnStateChange) OnStateChange(this);
  if (OldState == dsInactive && OnDataChange) OnDataChange(this, nullptr);
}

void TDataSource::DataEvent(TDataEvent Event, std::intptr_t Info) {
  if (Event == deUpdateState) {
    UpdateState();
    return;
  }
  if (FState == dsInactive) return;
  const std::vector<TDataLink*> Links = FDataLinks;
  for (TDataLink* Link : Links)
    if (std::find(FDataLinks.begin(), FDataLinks.end(), Link) != FDataLinks.end())
      Link->DataEvent(Event, Info);
  switch (Event) {
  case deFieldChange:
    if (OnDataChange) OnDataChange(this, reinterpret_cast<TField*>(Info));
    break;
  case deRecordChange:
  case deDataSetChange:
  case deDataSetScroll:
  case deLayoutChange:
    if (OnDataChange) OnDataChange(this, nullptr);
    break;
  case deUpdateRecord:
    if (OnUpdateData) OnUpdateData(this);
    break;
  default:
    break;
  }
}

void TDataSource::AddDataLink(TDataLink* Link) {
  FDataLinks.push_back(Link);
  if (FDataSet) FDataSet->UpdateBufferCount();
}

void TDataSource::RemoveDataLink(TDataLink* Link) {
  // Searched from the end: the controls of a form go in the reverse order of their making.
  const auto It = std::find(FDataLinks.rbegin(), FDataLinks.rend(), Link);
  if (It != FDataLinks.rend()) FDataLinks.erase(std::next(It).base());
  if (FDataSet) FDataSet->UpdateBufferCount();
}

void TDataSource::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FDataSet) SetDataSet(nullptr);
}

// ---- TDataLink ----------------------------------------------------------------------------

TDataLink::TDataLink() = default;

TDataLink::~TDataLink() {
  SetDataSource(nullptr);
}

void TDataLink::SetDataSource(TDataSource* ADataSource) {
  if (ADataSource == FDataSource) return;
  if (FDataSource) {
    TDataSource* Old = FDataSource;
    FDataSource = nullptr;
    Old->RemoveDataLink(this);
  }
  if (ADataSource) {
    FDataSource = ADataSource;
    ADataSource->AddDataLink(this);
  }
  UpdateState();
}

TDataSet* TDataLink::DataSet() const {
  return FDataSource ? FDataSource->DataSet() : nullptr;
}

void TDataLink::SetReadOnly(bool Value) {
  if (FReadOnly == Value) return;
  FReadOnly = Value;
  UpdateState();
}

void TDataLink::SetBufferCount(std::int32_t Value) {
  if (Value < 1) Value = 1;
  if (FBufferCount == Value) return;
  FBufferCount = Value;
  if (FActive) {
    DataSet()->UpdateBufferCount();
    RecomputeWindow(0);
  }
}

std::int32_t TDataLink::ActiveRecord() const {
  return FActive ? DataSet()->FActiveRecord - FFirstRecord : 0;
}

void TDataLink::SetActiveRecord(std::int32_t Value) {
  if (FActive) DataSet()->FActiveRecord = FFirstRecord + Value;
}

std::int32_t TDataLink::RecordCount() const {
  return FActive ? std::min(DataSet()->FRecordCount, FBufferCount) : 0;
}

bool TDataLink::Edit() {
  if (!FReadOnly && FDataSource) FDataSource->Edit();
  return FEditing;
}

void TDataLink::UpdateRecord() {
  FUpdating = true;
  try {
    UpdateData();
  } catch (...) {
    FUpdating = false;
    throw;
  }
  FUpdating = false;
}

// A link without a dataset stands at both ends of nothing and cannot move.
bool TDataLink::Bof() const {
  return !DataSet() || DataSet()->Bof();
}
bool TDataLink::Eof() const {
  return !DataSet() || DataSet()->Eof();
}
std::int32_t TDataLink::MoveBy(std::int32_t Distance) {
  return DataSet() ? DataSet()->MoveBy(Distance) : 0;
}

void TDataLink::UpdateState() {
  const bool NowActive = FDataSource && FDataSource->Enabled() && FDataSource->DataSet() &&
                         FDataSource->State() != dsInactive;
  if (NowActive != FActive) {
    FActive = NowActive;
    if (FActive) {
      FFirstRecord = 0;
      RecomputeWindow(0);
    }
    ActiveChanged();
  }
  const bool NowEditing = FActive && IsEditMode(FDataSource->State()) && !FReadOnly;
  if (NowEditing != FEditing) {
    FEditing = NowEditing;
    EditingChanged();
  }
}

void TDataLink::RecomputeWindow(std::int32_t Shift) {
  const TDataSet* Set = DataSet();
  const std::int32_t Active = Set->FActiveRecord;
  const std::int32_t Buffered = Set->FRecordCount;
  const std::int32_t Low = std::max(0, Active - FBufferCount + 1);
  const std::int32_t High = std::min(Active, std::max(0, Buffered - FBufferCount));
  FFirstRecord = std::clamp(FFirstRecord + Shift, Low, std::max(Low, High));
}

void TDataLink::DataEvent(TDataEvent Event, std::intptr_t Info) {
  if (Event == deUpdateState) {
    UpdateState();
    return;
  }
  if (!FActive) return;
  switch (Event) {
  case deFieldChange:
  case deRecordChange:
    if (!FUpdating)
      RecordChanged(Event == deFieldChange ? reinterpret_cast<TField*>(Info) : nullptr);
    break;
  case deDataSetChange:
    RecomputeWindow(0);
    DataSetChanged();
    break;
  case deDataSetScroll: {
    const auto Shift = static_cast<std::int32_t>(Info);
    const std::int32_t Expected = FFirstRecord + Shift;
    RecomputeWindow(Shift);
    DataSetScrolled(FFirstRecord - Expected);
    break;
  }
  case deLayoutChange:
    RecomputeWindow(0);
    LayoutChanged();
    break;
  case deUpdateRecord:
    UpdateRecord();
    break;
  case deCheckBrowseMode:
    CheckBrowseMode();
    break;
  case deFocusControl:
    FocusControl(reinterpret_cast<TField**>(Info));
    break;
  default:
    break;
  }
}

void TDataLink::DataSetChanged() {
  RecordChanged(nullptr);
}
void TDataLink::DataSetScrolled(std::int32_t) {
  DataSetChanged();
}
void TDataLink::LayoutChanged() {
  DataSetChanged();
}
void TDataLink::RecordChanged(TField*) {}
void TDataLink::FocusControl(TField**) {}

// ---- TFieldDataLink -----------------------------------------------------------------------

void TFieldDataLink::SetFieldName(const std::string& Value) {
  if (FFieldName == Value) return;
  FFieldName = Value;
  UpdateField();
}

bool TFieldDataLink::CanModify() const {
  return !ReadOnly() && FField && FField->CanModify();
}

void TFieldDataLink::UpdateField() {
  FField = (Active() && !FFieldName.empty()) ? DataSet()->FindField(FFieldName) : nullptr;
  if (OnDataChange) OnDataChange(this);
}

void TFieldDataLink::ActiveChanged() {
  UpdateField();
  if (OnActiveChange) OnActiveChange(this);
}

void TFieldDataLink::EditingChanged() {
  if (OnEditingChange) OnEditingChange(this);
}

void TFieldDataLink::LayoutChanged() {
  UpdateField();
}

void TFieldDataLink::RecordChanged(TField* AField) {
  if ((AField == nullptr || AField == FField) && OnDataChange) OnDataChange(this);
}

void TFieldDataLink::UpdateData() {
  if (OnUpdateData) OnUpdateData(this);
}

void TFieldDataLink::FocusControl(TField** FieldRef) {
  if (FieldRef && *FieldRef && *FieldRef == FField && OnFocusControl) {
    *FieldRef = nullptr;
    OnFocusControl();
  }
}

} // namespace kelva
