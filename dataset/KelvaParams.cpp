// Parameters declared as text, prepared from the master dataset's fields, and the master
// link itself.
#include "kelva/dataset/KelvaDataset.h"

#include "kelva/dataset/schema/DescriptionLine.h"
#include "kelva/dataset/schema/TypeWords.h"

namespace kelva {

void TKelvaDataset::SetFParamsDesc(const TStrings& Value) {
  FParamsDesc.Assign(Value);
  FParams.Clear();
  CreateParams();
}

void TKelvaDataset::CreateParams() {
  if (FParamsDesc.Count() == 0 || Trim(FParamsDesc.Text()).empty()) return;
  const TStringList Lines(FParamsDesc);
  for (std::int32_t I = 0; I < Lines.Count(); ++I) {
    std::string Name;
    try {
      TKlvDescriptionLine Line = SplitDescriptionLine(Lines[I]);
      if (Line.Key.find("PARAM") == std::string::npos) continue;
      Name = NextToken(Line.Value);
      const TKlvTypeWord* Type = FindTypeWord(NextToken(Line.Value));
      if (Type) FParams.CreateParam(Type->FieldType, Name, ptInputOutput);
    } catch (const Exception&) {
      DatabaseErrorFmt(SKlvParamError, {Name});
    }
  }
}

void TKelvaDataset::SetPrepared(bool Value) {
  if (Value && GetDataSource()) {
    TDataSet* Master = GetDataSource()->DataSet();
    for (std::int32_t I = 0; Master && I < FParams.Count(); ++I) {
      TParam* Param = FParams[I];
      // A parameter without a same-named master field keeps its value.
      if (TField* Field = Master->FindField(Param->Name())) Param->AssignField(Field);
    }
  }
  FPrepared = Value;
}

void TKelvaDataset::Loaded() {
  try {
    // The descriptions may have been assigned while loading (which built the list once):
    // rebuild, so that every line gives exactly one parameter.
    FParams.Clear();
    CreateParams();
  } catch (...) {
    if (!ComponentState().Contains(csDesigning)) throw;
    Application->HandleException(this);
  }
  TDataSet::Loaded();
}

void TKelvaDataset::SetMasterSource(TDataSource* Value) {
  if (IsLinkedTo(Value)) DatabaseError(SCircularDataLink);
  // The dataset asks to hear of the data source's destruction, so that it never keeps a
  // dangling reference to a source that belongs to another owner.
  if (FMasterSource && FMasterSource != Value) RemoveFreeNotification(FMasterSource);
  FMasterSource = Value;
  if (Value) FreeNotification(Value);
}

void TKelvaDataset::Notification(TComponent* AComponent, TOperation Operation) {
  TDataSet::Notification(AComponent, Operation);
  if (Operation == opRemove && FMasterSource && AComponent == FMasterSource)
    FMasterSource = nullptr;
}

void TKelvaDataset::InternalRefresh() {
  CheckBrowseMode();
  if (GetUpDatesPending()) DatabaseError(SklvRefreshError);
  Close();
  Open();
}

} // namespace kelva
