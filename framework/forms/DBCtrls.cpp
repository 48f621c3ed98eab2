// Data-aware edit controls and the navigator.
#include "kelva/framework/forms/DBCtrls.h"

#include "kelva/framework/db/DataSet.h"
#include "kelva/framework/db/Fields.h"
#include "kelva/framework/forms/Dialogs.h"
#include "kelva/framework/rtl/Exceptions.h"

namespace kelva {

TDBFieldControl::TDBFieldControl(TComponent* AOwner)
    : TWinControl(AOwner), FDataLink(std::make_unique<TFieldDataLink>()) {
  FDataLink->OnDataChange = [this](TObject*) { DataChange(); };
  FDataLink->OnUpdateData = [this](TObject*) { UpdateData(); };
}

TDBFieldControl::~TDBFieldControl() {
  FDataLink->OnDataChange = nullptr;
  FDataLink->OnUpdateData = nullptr;
}

void TDBFieldControl::SetDataSource(TDataSource* Value) {
  if (Value == DataSource()) return;
  if (DataSource()) DataSource()->RemoveFreeNotification(this);
  FDataLink->SetDataSource(Value);
  if (Value) Value->FreeNotification(this);
}

void TDBFieldControl::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == DataSource()) FDataLink->SetDataSource(nullptr);
}

void TDBFieldControl::DataChange() {
  FModified = false;
  TField* F = Field();
  ShowFieldText(F ? F->Text() : std::string());
}

void TDBFieldControl::ShowFieldText(const std::string& FieldText) {
  FText = FieldText;
}

void TDBFieldControl::UpdateData() {
  if (!FModified || !Field()) return;
  Field()->SetText(FText);
  FModified = false;
}

bool TDBFieldControl::BeginTyping() {
  SetFocus();
  if (FReadOnly || !FDataLink->CanModify()) return false;
  return FDataLink->Edit();
}

void TDBFieldControl::TakeTypedText(const std::string& Text) {
  FText = Text;
  FModified = true;
  if (OnChange) OnChange(this);
}

void TDBFieldControl::DoExit() {
  // What was typed reaches the field when the person leaves the control; a value the field
  // refuses keeps the focus here (the exception stops the focus change).
  if (FModified) FDataLink->UpdateRecord();
  TWinControl::DoExit();
}

bool TDBEdit::TypeText(const std::string& Text) {
  if (!BeginTyping()) return false;
  TakeTypedText(Text);
  return true;
}

bool TDBComboBox::ChooseItem(const std::string& Item) {
  const std::int32_t Index = FItems.IndexOf(Item);
  if (Index < 0) throw EInvalidOperation("'" + Item + "' is not an item of " + Name());
  if (!BeginTyping()) return false;
  // The list matches regardless of case; the field gets the item as the list spells it.
  TakeTypedText(FItems[Index]);
  return true;
}

bool TDBComboBox::TypeText(const std::string& Text) {
  if (FStyle == csDropDownList) throw EInvalidOperation(Name() + " only takes items of its list");
  if (!BeginTyping()) return false;
  TakeTypedText(Text);
  return true;
}

void TDBComboBox::ShowFieldText(const std::string& FieldText) {
  // A drop-down list can only show one of its items: any other value shows as empty.
  if (FStyle == csDropDownList && FItems.IndexOf(FieldText) < 0)
    SetShownText({});
  else
    SetShownText(FieldText);
}

// ---- TDBNavigator ---------------------------------------------------------------------

TDBNavigator::TDBNavigator(TComponent* AOwner)
    : TWinControl(AOwner), FDataLink(std::make_unique<TDataLink>()) {
  SetTabStop(false);
}

TDBNavigator::~TDBNavigator() = default;

void TDBNavigator::SetDataSource(TDataSource* Value) {
  if (Value == DataSource()) return;
  if (DataSource()) DataSource()->RemoveFreeNotification(this);
  FDataLink->SetDataSource(Value);
  if (Value) Value->FreeNotification(this);
}

void TDBNavigator::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == DataSource()) FDataLink->SetDataSource(nullptr);
}

bool TDBNavigator::ButtonEnabled(TNavigateBtn Button) const {
  if (!FDataLink->Active() || !EnabledInTree()) return false;
  TDataSet* Data = FDataLink->DataSet();
  const bool Editing = Data->State() == dsEdit || Data->State() == dsInsert;
  const bool CanModify = Data->CanModify();
  switch (Button) {
  case nbFirst:
  case nbPrior:
    return !Data->Bof();
  case nbNext:
  case nbLast:
    return !Data->Eof();
  case nbInsert:
    return CanModify;
  case nbDelete:
    return CanModify && !(Data->Bof() && Data->Eof());
  case nbEdit:
    return CanModify && !Editing;
  case nbPost:
  case nbCancel:
    return Editing;
  case nbRefresh:
    return !Editing;
  }
  return false;
}

bool TDBNavigator::Click(TNavigateBtn Button) {
  CheckUsable();
  if (!ButtonVisible(Button) || !ButtonEnabled(Button)) return false;
  TDataSet* Data = FDataLink->DataSet();
  switch (Button) {
  case nbFirst:
    Data->First();
    break;
  case nbPrior:
    Data->Prior();
    break;
  case nbNext:
    Data->Next();
    break;
  case nbLast:
    Data->Last();
    break;
  case nbInsert:
    Data->Insert();
    break;
  case nbDelete:
    if (FConfirmDelete &&
        MessageDlg(SDeleteRecordQuestion, mtConfirmation, {mbOK, mbCancel}, 0) == mrCancel)
      return false;
    Data->Delete();
    break;
  case nbEdit:
    Data->Edit();
    break;
  case nbPost:
    Data->Post();
    break;
  case nbCancel:
    Data->Cancel();
    break;
  case nbRefresh:
    Data->Refresh();
    break;
  }
  if (OnClick) OnClick(this, Button);
  return true;
}

} // namespace kelva
