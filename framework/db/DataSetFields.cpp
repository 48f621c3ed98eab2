// TDataSet and its fields: creating default fields from the definitions, binding fields
// to definitions and to the calculated-field area, calculating, and field lookup by name.
#include "kelva/framework/db/DataSet.h"

#include "kelva/framework/db/DBConsts.h"
#include "kelva/framework/db/FieldDefs.h"
#include "kelva/framework/db/Fields.h"
#include "kelva/framework/rtl/SysUtils.h"
#include "kelva/framework/rtl/TryFinally.h"

namespace kelva {

namespace {

const char* FieldTypeName(TFieldType Type) {
  static const char* const Names[] = {
      "Unknown", "String", "Smallint", "Integer", "Word",     "Boolean", "Float", "Currency", "BCD",
      "Date",    "Time",   "DateTime", "Bytes",   "VarBytes", "AutoInc", "Blob",  "Memo"};
  const auto Index = static_cast<std::size_t>(Type);
  return Index < std::size(Names) ? Names[Index] : "Unknown";
}

} // namespace

std::int32_t TDataSet::FieldCount() const {
  return FFields->Count();
}

TField* TDataSet::FindField(const std::string& FieldName) {
  return FFields->FindField(FieldName);
}

TField* TDataSet::FieldByName(const std::string& FieldName) {
  TField* Field = FindField(FieldName);
  if (!Field) DatabaseErrorFmt(SFieldNotFound, {FieldName});
  return Field;
}

void TDataSet::GetFieldList(std::vector<TField*>& List, const std::string& FieldNames) {
  std::size_t Start = 0;
  while (Start < FieldNames.size()) {
    std::size_t End = FieldNames.find(';', Start);
    if (End == std::string::npos) End = FieldNames.size();
    List.push_back(FieldByName(Trim(FieldNames.substr(Start, End - Start))));
    Start = End + 1;
  }
}

Variant TDataSet::GetFieldValue(const std::string& FieldNames) {
  if (FieldNames.find(';') == std::string::npos) return FieldByName(FieldNames)->Value();
  std::vector<TField*> List;
  GetFieldList(List, FieldNames);
  std::vector<Variant> Values;
  Values.reserve(List.size());
  for (TField* Field : List) Values.push_back(Field->Value());
  return VarArrayOf(Values);
}

void TDataSet::SetFieldValue(const std::string& FieldNames, const Variant& Value) {
  if (!VarIsArray(Value)) {
    FieldByName(FieldNames)->SetValue(Value);
    return;
  }
  std::vector<TField*> List;
  GetFieldList(List, FieldNames);
  for (std::int32_t I = 0; I <= Value.ArrayHigh() && I < static_cast<std::int32_t>(List.size());
       ++I)
    List[I]->SetValue(Value[I]);
}

void TDataSet::CreateFields() {
  for (std::int32_t I = 0; I < FFieldDefs->Count(); ++I) {
    TFieldDef* Def = FFieldDefs->Items(I);
    if (Def->DataType() != ftUnknown) Def->CreateField(this);
  }
}

void TDataSet::DestroyFields() {
  while (FFields->Count() > 0) delete (*FFields)[FFields->Count() - 1];
}

void TDataSet::FreeFieldBuffers() {
  for (std::int32_t I = 0; I < FFields->Count(); ++I) (*FFields)[I]->FreeBuffers();
}

void TDataSet::BindFields(bool Binding) {
  FCalcFieldsSize = 0;
  for (std::int32_t I = 0; I < FFields->Count(); ++I) {
    TField* Field = (*FFields)[I];
    if (!Binding) {
      Field->FFieldNo = 0;
      Field->Bind(false);
      continue;
    }
    if (Field->FieldKind() == fkCalculated || Field->FieldKind() == fkLookup) {
      Field->FFieldNo = -1;
      Field->FOffset = FCalcFieldsSize;
      FCalcFieldsSize += Field->DataSize() + 1;
    } else {
      const std::int32_t DefIndex = FFieldDefs->IndexOf(Field->FieldName());
      if (DefIndex < 0) DatabaseErrorFmt(SFieldNotFound, {Field->FieldName()});
      const TFieldDef* Def = FFieldDefs->Items(DefIndex);
      if (Def->DataType() != Field->DataType())
        DatabaseErrorFmt(SFieldTypeMismatch,
                         {Field->DisplayName(), FieldTypeName(Field->DataType()),
                          FieldTypeName(Def->DataType())});
      if (Field->DataType() == ftString && Def->Size() != Field->Size())
        DatabaseErrorFmt(SFieldSizeMismatch, {Field->DisplayName(), Field->Size(), Def->Size()});
      Field->FFieldNo = Def->FieldNo();
    }
    Field->Bind(true);
  }
}

void TDataSet::GetCalcFields(TRecordBuffer Buffer) {
  if (FCalcFieldsSize > 0) CalculateFields(Buffer);
}

void TDataSet::CalculateFields(TRecordBuffer Buffer) {
  FCalcBuffer = Buffer;
  if (FState == dsInternalCalc) return;
  const bool ChangeState = FState != dsCalcFields;
  TDataSetState Old = FState;
  if (ChangeState) Old = SetTempState(dsCalcFields);
  TryFinally(
      [&] {
        ClearCalcFields(Buffer);
        for (std::int32_t I = 0; I < FFields->Count(); ++I) {
          TField* Field = (*FFields)[I];
          if (Field->FieldKind() == fkLookup) Field->CalcLookupValue();
        }
        DoOnCalcFields();
      },
      [&] {
        if (ChangeState) RestoreState(Old);
      });
}

} // namespace kelva
