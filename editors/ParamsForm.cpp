// The parameter-description dialog and its unit's routines.
#include "kelva/editors/ParamsForm.h"

#include "kelva/dataset/messages.h"
#include "kelva/editors/DescriptionLines.h"
#include "kelva/editors/EditorClasses.h"
#include "kelva/editors/FormResources.h"
#include "kelva/framework/rtl/SysUtils.h"

namespace kelva {

TfrmKlvParm* FrmKlvParm = nullptr;

namespace {

TfrmKlvParm& OpenDialog() {
  if (!FrmKlvParm) throw EInvalidOperation("The parameter description dialog is not open");
  return *FrmKlvParm;
}

// Unknown type words are refused with the field message: this dialog shares it.
void ReadParamLine(const std::string& Value, TLineReading& Reading) {
  bool Known = false;
  try {
    Known = ParseParamDescription(Value, Reading.Name, Reading.TypeWord);
  } catch (const Exception&) {
    RaiseSchemaError(Reading.Name);
  }
  if (!Known) RaiseSchemaError(Reading.Name);
}

} // namespace

TfrmKlvParm::TfrmKlvParm(TComponent* AOwner) : TDescriptionForm(AOwner) {
  RegisterEditorClasses();
  LoadForm(FrmKlvParmFormText());
}

TfrmKlvParm::~TfrmKlvParm() {
  if (FrmKlvParm == this) FrmKlvParm = nullptr;
}

TDescriptionForm* TfrmKlvParm::UnitInstance() const {
  return FrmKlvParm;
}

void TfrmKlvParm::LinesToGridOf(TStrings& Lines) {
  ParamLinesToGrid(Lines);
}
void TfrmKlvParm::GridToLinesOf(TStrings& Lines) {
  GridToParamLines(Lines);
}
void TfrmKlvParm::CheckLinesOf(TStrings& Lines) {
  CheckParamLines(Lines);
}

void TfrmKlvParm::DBTypeChange(TObject*) {}

void TfrmKlvParm::KelvaDS1BeforePost(TDataSet*) {
  CheckParamDescription(KelvaDS1NAME->AsString(), KelvaDS1TYPE->AsString());
  if (KelvaDS1POS->IsNull()) KelvaDS1POS->SetAsFloat(TakeNextPos());
}

// ---- the unit's routines --------------------------------------------------------------

bool ParseParamDescription(const std::string& Value, std::string& Name, std::string& TypeWord) {
  std::string Rest = Value;
  Name = ExtractToken(Rest);
  TypeWord = UpperCase(ExtractToken(Rest));
  return IsDialogTypeWord(TypeWord);
}

void CheckParamDescription(const std::string& Name, const std::string& TypeWord) {
  if (Name.empty()) DatabaseError(SklvNameNotNull);
  if (TypeWord.empty()) DatabaseError(SklvTypeNotNull);
}

void CheckParamLines(TStrings& Lines) {
  ForEachDescription(Lines, "PARAM", [](const std::string& Value) {
    TLineReading Reading;
    ReadParamLine(Value, Reading);
    CheckParamDescription(Reading.Name, Reading.TypeWord);
  });
}

void ParamLinesToGrid(TStrings& Lines) {
  TfrmKlvParm& Dialog = OpenDialog();
  RebuildGridFromLines(Dialog, Lines, "PARAM", ReadParamLine, [&](const TLineReading& Line) {
    Dialog.KelvaDS1NAME->SetAsString(Line.Name);
    Dialog.KelvaDS1TYPE->SetAsString(Line.TypeWord);
    Dialog.KelvaDS1POS->SetAsFloat(Dialog.LastPos());
  });
}

void GridToParamLines(TStrings& Lines) {
  TfrmKlvParm& Dialog = OpenDialog();
  WriteGridToLines(Dialog, Lines, [&] {
    return "PARAM=" + Dialog.KelvaDS1NAME->AsString() + "," + Dialog.KelvaDS1TYPE->AsString();
  });
}

} // namespace kelva
