// Registration of the package with the designer, and the two property editors.
#include "kelva/editors/KelvaReg.h"

#include "kelva/dataset/KelvaClasses.h"
#include "kelva/editors/EditorClasses.h"
#include "kelva/editors/MetaFieldsForm.h"
#include "kelva/editors/ParamsForm.h"
#include "kelva/framework/design/DesignIntf.h"

#include <memory>

namespace kelva {

namespace {

TKelvaDataset& EditedDataset(TPropertyEditor& Editor) {
  auto* DataSet = dynamic_cast<TKelvaDataset*>(Editor.GetComponent(0));
  if (!DataSet) throw EInvalidOperation("The edited component is not a Kelva dataset");
  return *DataSet;
}

// Applies confirmed descriptions at once: an open dataset opens again with them, a closed
// one is opened and closed so that descriptions it refuses are reported now. An error leaves
// the dataset closed, with the new descriptions in place.
void ReopenWithNewDescriptions(TKelvaDataset& DataSet, bool WasActive) {
  DataSet.Close();
  DataSet.Open();
  if (!WasActive) DataSet.Close();
}

} // namespace

void TMetaFieldsEditor::Edit() {
  auto Dialog = std::make_unique<TFrmMetaFields>(nullptr);
  FrmMetaFields = Dialog.get(); // the dialog's routines reach it there; its destructor clears it
  TKelvaDataset& DataSet = EditedDataset(*this);
  const bool WasActive = DataSet.Active();
  Dialog->mmoFields->Lines().Assign(DataSet.MetaFields());
  if (Dialog->ShowModal() != mrOk) return;
  DataSet.SetKLVFields(Dialog->mmoFields->Lines());
  Dialog.reset();
  ReopenWithNewDescriptions(DataSet, WasActive);
}

TPropertyAttributes TMetaFieldsEditor::GetAttributes() {
  return TPropertyEditor::GetAttributes() + TPropertyAttributes{paDialog};
}

std::string TMetaFieldsEditor::GetValue() {
  return "(Meta Fields)";
}

void TklvParamEditor::Edit() {
  auto Dialog = std::make_unique<TfrmKlvParm>(nullptr);
  FrmKlvParm = Dialog.get();
  TKelvaDataset& DataSet = EditedDataset(*this);
  const bool WasActive = DataSet.Active();
  Dialog->mmoFields->Lines().Assign(DataSet.ParamsDesc());
  if (Dialog->ShowModal() != mrOk) return;
  DataSet.SetFParamsDesc(Dialog->mmoFields->Lines());
  DataSet.UnPrepare();
  Dialog.reset();
  ReopenWithNewDescriptions(DataSet, WasActive);
}

TPropertyAttributes TklvParamEditor::GetAttributes() {
  return TPropertyEditor::GetAttributes() + TPropertyAttributes{paDialog};
}

std::string TklvParamEditor::GetValue() {
  return "(Params)";
}

void Register() {
  RegisterKelvaClasses();
  RegisterEditorClasses();
  RegisterComponents(KelvaPalettePage, {ClassInfo<TEventDataset>()});
  const PTypeInfo Strings = TypeInfoOfClass("TStrings");
  RegisterPropertyEditor(Strings, ClassInfo<TKelvaDataset>(), "MetaFields",
                         PropertyEditorClassOf<TMetaFieldsEditor>("TMetaFieldsEditor"));
  RegisterPropertyEditor(Strings, ClassInfo<TKelvaDataset>(), "ParamsDesc",
                         PropertyEditorClassOf<TklvParamEditor>("TklvParamEditor"));
}

} // namespace kelva
