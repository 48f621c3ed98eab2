// The field-description dialog and its unit's routines.
#include "kelva/editors/MetaFieldsForm.h"

#include "kelva/dataset/messages.h"
#include "kelva/editors/DescriptionLines.h"
#include "kelva/editors/EditorClasses.h"
#include "kelva/editors/FormResources.h"
#include "kelva/framework/rtl/SysUtils.h"

namespace kelva {

TFrmMetaFields* FrmMetaFields = nullptr;

namespace {

TFrmMetaFields& OpenDialog() {
  if (!FrmMetaFields) throw EInvalidOperation("The field description dialog is not open");
  return *FrmMetaFields;
}

// Reads one line's value, raising the schema error when it cannot be read.
void ReadFieldLine(const std::string& Value, TLineReading& Reading) {
  bool Known = false;
  try {
    Known = ParseFieldDescription(Value, Reading.Name, Reading.TypeWord, Reading.Length);
  } catch (const Exception&) {
    RaiseSchemaError(Reading.Name);
  }
  if (!Known) RaiseSchemaError(Reading.Name);
}

} // namespace

TFrmMetaFields::TFrmMetaFields(TComponent* AOwner) : TDescriptionForm(AOwner) {
  RegisterEditorClasses();
  LoadForm(FrmMetaFieldsFormText());
}

TFrmMetaFields::~TFrmMetaFields() {
  // The global must not outlive the dialog it points to.
  if (FrmMetaFields == this) FrmMetaFields = nullptr;
}

TDescriptionForm* TFrmMetaFields::UnitInstance() const {
  return FrmMetaFields;
}

void TFrmMetaFields::BindComponents() {
  TDescriptionForm::BindComponents();
  Label2 = FindFormComponent<TLabel>(*this, "Label2");
  DBLength = FindFormComponent<TDBEdit>(*this, "DBLength");
  KelvaDS1LENGTH = FindFormComponent<TSmallintField>(*this, "KelvaDS1LENGTH");
}

void TFrmMetaFields::LinesToGridOf(TStrings& Lines) {
  LinesToGrid(Lines);
}
void TFrmMetaFields::GridToLinesOf(TStrings& Lines) {
  GridToLines(Lines);
}
void TFrmMetaFields::CheckLinesOf(TStrings& Lines) {
  CheckFieldLines(Lines);
}

void TFrmMetaFields::UpdateEcr(TObject*) {
  DBLength->SetReadOnly(DBType->Text() != "CHAR");
}

void TFrmMetaFields::DBTypeChange(TObject* Sender) {
  UpdateEcr(Sender);
}

void TFrmMetaFields::KelvaDS1AfterScroll(TDataSet*) {
  UpdateEcr(this);
}

void TFrmMetaFields::PageControl1Change(TObject*) {
  if (PageControl1->ActivePage() == FieldsPage) UpdateEcr(this);
}

void TFrmMetaFields::KelvaDS1BeforePost(TDataSet*) {
  if (KelvaDS1LENGTH->IsNull()) KelvaDS1LENGTH->SetAsInteger(0);
  if (KelvaDS1TYPE->AsString() != "CHAR") KelvaDS1LENGTH->SetAsInteger(0);
  CheckFieldDescription(KelvaDS1NAME->AsString(), KelvaDS1TYPE->AsString(),
                        KelvaDS1LENGTH->AsInteger());
  // A line inserted through the navigator or the grid goes after all the others.
  if (KelvaDS1POS->IsNull()) KelvaDS1POS->SetAsFloat(TakeNextPos());
}

// ---- the unit's routines --------------------------------------------------------------

bool ParseFieldDescription(const std::string& Value, std::string& Name, std::string& TypeWord,
                           std::int32_t& Length) {
  std::string Rest = Value;
  Name = ExtractToken(Rest);
  TypeWord = UpperCase(ExtractToken(Rest));
  Length = StrToInt(ExtractToken(Rest));
  return IsDialogTypeWord(TypeWord);
}

void CheckFieldDescription(const std::string& Name, const std::string& TypeWord,
                           std::int32_t Length) {
  if (TypeWord == "CHAR" && Length == 0) DatabaseError(SklvNotNull);
  if (TypeWord != "CHAR" && Length != 0) DatabaseError(SklvlgNull);
  if (Name.empty()) DatabaseError(SklvNameNotNull);
  if (TypeWord.empty()) DatabaseError(SklvTypeNotNull);
}

void CheckFieldLines(TStrings& Lines) {
  ForEachDescription(Lines, "FIELD", [](const std::string& Value) {
    TLineReading Reading;
    ReadFieldLine(Value, Reading);
    CheckFieldDescription(Reading.Name, Reading.TypeWord, Reading.Length);
  });
}

void LinesToGrid(TStrings& Lines) {
  TFrmMetaFields& Dialog = OpenDialog();
  RebuildGridFromLines(Dialog, Lines, "FIELD", ReadFieldLine, [&](const TLineReading& Line) {
    Dialog.KelvaDS1NAME->SetAsString(Line.Name);
    Dialog.KelvaDS1TYPE->SetAsString(Line.TypeWord);
    Dialog.KelvaDS1LENGTH->SetAsInteger(Line.TypeWord == "CHAR" ? Line.Length : 0);
    Dialog.KelvaDS1POS->SetAsFloat(Dialog.LastPos());
  });
}

void GridToLines(TStrings& Lines) {
  TFrmMetaFields& Dialog = OpenDialog();
  WriteGridToLines(Dialog, Lines, [&] {
    return "FIELD=" + Dialog.KelvaDS1NAME->AsString() + "," + Dialog.KelvaDS1TYPE->AsString() +
           "," + Dialog.KelvaDS1LENGTH->AsString();
  });
}

} // namespace kelva
