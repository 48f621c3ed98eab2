// The data-aware grid: a window of rows over the dataset's buffer ring.
#include "kelva/framework/forms/DBGrids.h"

#include "kelva/framework/db/DataSet.h"
#include "kelva/framework/db/Fields.h"
#include "kelva/framework/forms/Dialogs.h"
#include "kelva/framework/rtl/Exceptions.h"

#include <algorithm>

namespace kelva {

// The grid reads its rows on demand, so the link only has to keep the buffer count right.
class TDBGrid::TGridDataLink : public TDataLink {
public:
  explicit TGridDataLink(TDBGrid& Grid) : FGrid(Grid) {}

protected:
  void ActiveChanged() override { FGrid.UpdateBufferCount(); }
  void LayoutChanged() override {
    TDataLink::LayoutChanged();
    FGrid.SetSelectedIndex(FGrid.FSelectedIndex);
  }

private:
  TDBGrid& FGrid;
};

// ---- columns --------------------------------------------------------------------------

TDBGridColumns::TDBGridColumns(TDBGrid& Grid)
    : TCollection([] { return std::make_unique<TColumn>(); }, typeid(TColumn)), FGrid(Grid) {}

TDBGrid* TColumn::Grid() const {
  auto* Owner = dynamic_cast<TDBGridColumns*>(Collection());
  return Owner ? &Owner->Grid() : nullptr;
}

TField* TColumn::Field() const {
  TDBGrid* G = Grid();
  if (!G || !G->DataSource() || !G->DataSource()->DataSet()) return nullptr;
  TDataSet* Data = G->DataSource()->DataSet();
  return Data->Active() ? Data->FindField(FFieldName) : nullptr;
}

std::string TColumn::TitleText() const {
  if (!FTitle.Caption().empty()) return FTitle.Caption();
  if (TField* F = Field()) return F->DisplayName();
  return FFieldName;
}

// ---- the grid -------------------------------------------------------------------------

TDBGrid::TDBGrid(TComponent* AOwner)
    : TWinControl(AOwner), FDataLink(std::make_unique<TGridDataLink>(*this)),
      FColumns(std::make_unique<TDBGridColumns>(*this)) {
  SetHeight(120);
}

TDBGrid::~TDBGrid() = default;

TDataSource* TDBGrid::DataSource() const {
  return FDataLink->DataSource();
}

void TDBGrid::SetDataSource(TDataSource* Value) {
  if (Value == DataSource()) return;
  if (DataSource()) DataSource()->RemoveFreeNotification(this);
  FDataLink->SetDataSource(Value);
  if (Value) Value->FreeNotification(this);
  UpdateBufferCount();
}

void TDBGrid::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == DataSource()) FDataLink->SetDataSource(nullptr);
}

void TDBGrid::SetOptions(TDBGridOptions Value) {
  FOptions = Value;
  UpdateBufferCount();
}

void TDBGrid::SetDefaultRowHeight(std::int32_t Value) {
  if (Value <= 0) throw EInvalidOperation("Row height must be positive");
  FDefaultRowHeight = Value;
  UpdateBufferCount();
}

void TDBGrid::SetHeight(std::int32_t Value) {
  TWinControl::SetHeight(Value);
  UpdateBufferCount();
}

std::int32_t TDBGrid::VisibleRowCount() const {
  const std::int32_t Title = FOptions.Contains(dgTitles) ? FDefaultRowHeight : 0;
  return std::max<std::int32_t>(1, (Height() - Title) / FDefaultRowHeight);
}

void TDBGrid::UpdateBufferCount() {
  if (FDataLink) FDataLink->SetBufferCount(VisibleRowCount());
}

std::int32_t TDBGrid::RowCount() const {
  return FDataLink->Active() ? FDataLink->RecordCount() : 0;
}

std::int32_t TDBGrid::Row() const {
  if (!FDataLink->Active() || FDataLink->RecordCount() == 0) return -1;
  return FDataLink->ActiveRecord();
}

std::vector<TField*> TDBGrid::ShownFields() const {
  std::vector<TField*> Shown;
  if (!FDataLink->Active()) return Shown;
  if (FColumns->Count() > 0) {
    for (std::int32_t I = 0; I < FColumns->Count(); ++I)
      if (FColumns->Items(I)->Visible()) Shown.push_back(FColumns->Items(I)->Field());
    return Shown;
  }
  TDataSet* Data = FDataLink->DataSet();
  for (std::int32_t I = 0; I < Data->FieldCount(); ++I)
    if (Data->Fields()[I]->Visible()) Shown.push_back(Data->Fields()[I]);
  return Shown;
}

std::int32_t TDBGrid::ColumnCount() const {
  if (FColumns->Count() > 0) {
    std::int32_t Count = 0;
    for (std::int32_t I = 0; I < FColumns->Count(); ++I)
      if (FColumns->Items(I)->Visible()) ++Count;
    return Count;
  }
  return static_cast<std::int32_t>(ShownFields().size());
}

TField* TDBGrid::ColumnField(std::int32_t Col) const {
  std::vector<TField*> Shown = ShownFields();
  if (Col < 0 || Col >= static_cast<std::int32_t>(Shown.size())) return nullptr;
  return Shown[static_cast<std::size_t>(Col)];
}

std::string TDBGrid::ColumnTitle(std::int32_t Col) const {
  if (FColumns->Count() == 0) {
    TField* F = ColumnField(Col);
    return F ? F->DisplayName() : std::string();
  }
  std::int32_t Seen = 0;
  for (std::int32_t I = 0; I < FColumns->Count(); ++I) {
    if (!FColumns->Items(I)->Visible()) continue;
    if (Seen++ == Col) return FColumns->Items(I)->TitleText();
  }
  return {};
}

void TDBGrid::SetSelectedIndex(std::int32_t Value) {
  const std::int32_t Count = ColumnCount();
  FSelectedIndex = Count == 0 ? 0 : std::clamp<std::int32_t>(Value, 0, Count - 1);
}

std::string TDBGrid::CellText(std::int32_t Row, std::int32_t Col) const {
  if (Row < 0 || Row >= RowCount()) throw EListError("Grid row out of range");
  TField* F = ColumnField(Col);
  if (!F) return {};
  const std::int32_t Current = FDataLink->ActiveRecord();
  FDataLink->SetActiveRecord(Row);
  std::string Text;
  try {
    Text = F->DisplayText();
  } catch (...) {
    FDataLink->SetActiveRecord(Current);
    throw;
  }
  FDataLink->SetActiveRecord(Current);
  return Text;
}

bool TDBGrid::CanModify() const {
  if (!FDataLink->Active() || FReadOnly || FDataLink->ReadOnly()) return false;
  return FDataLink->DataSet()->CanModify();
}

bool TDBGrid::CanEditCells() const {
  return FOptions.Contains(dgEditing) && !FOptions.Contains(dgRowSelect) && CanModify();
}

void TDBGrid::ClickCell(std::int32_t Row, std::int32_t Col) {
  SetFocus();
  SetSelectedIndex(Col);
  if (!FDataLink->Active() || Row < 0 || Row >= RowCount()) return;
  // Moving, even by nothing, ends an edit: an untouched new row would be cancelled and what is
  // typed next would land in the record below it. A click on the current row only selects.
  if (Row != FDataLink->ActiveRecord()) FDataLink->MoveBy(Row - FDataLink->ActiveRecord());
}

void TDBGrid::KeyDown() {
  SetFocus();
  if (!FDataLink->Active()) return;
  TDataSet* Data = FDataLink->DataSet();
  // Below an untouched new record there is nothing to move to.
  if (Data->State() == dsInsert && !Data->Modified() && Data->Eof()) return;
  Data->Next();
  if (Data->Eof() && CanEditCells() && Data->State() != dsInsert) Data->Append();
}

void TDBGrid::KeyUp() {
  SetFocus();
  if (!FDataLink->Active()) return;
  TDataSet* Data = FDataLink->DataSet();
  // Leaving an untouched new record upwards abandons it.
  if (Data->State() == dsInsert && !Data->Modified()) {
    Data->Cancel();
    return;
  }
  Data->Prior();
}

void TDBGrid::KeyInsert() {
  SetFocus();
  if (CanModify()) FDataLink->DataSet()->Insert();
}

void TDBGrid::KeyCtrlDelete() {
  SetFocus();
  if (!CanModify()) return;
  TDataSet* Data = FDataLink->DataSet();
  if (Data->IsEmpty()) return;
  if (FOptions.Contains(dgConfirmDelete) &&
      MessageDlg(SDeleteRecordQuestion, mtConfirmation, {mbOK, mbCancel}, 0) == mrCancel)
    return;
  Data->Delete();
}

bool TDBGrid::TypeCell(const std::string& Text) {
  SetFocus();
  TField* F = SelectedField();
  if (!CanEditCells() || !F || !F->CanModify()) return false;
  if (!FDataLink->Edit()) return false;
  F->SetText(Text);
  return true;
}

void TDBGrid::DoExit() {
  if (FOptions.Contains(dgCancelOnExit) && FDataLink->Active()) {
    TDataSet* Data = FDataLink->DataSet();
    if (Data->State() == dsInsert && !Data->Modified()) Data->Cancel();
  }
  TWinControl::DoExit();
}

} // namespace kelva
