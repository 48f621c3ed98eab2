// TFieldDef and TFieldDefs: field descriptions and the creation of the field object that
// matches a description's type.
#include "kelva/framework/db/FieldDefs.h"

#include "kelva/framework/db/DBConsts.h"
#include "kelva/framework/db/DataSet.h"
#include "kelva/framework/rtl/RtlConsts.h"
#include "kelva/framework/rtl/SysUtils.h"

#include <algorithm>
#include <string_view>

namespace kelva {

namespace {

// The field class for a type, or null for the types that have none.
std::unique_ptr<TField> NewFieldOfType(TFieldType DataType, TComponent* Owner) {
  switch (DataType) {
  case ftString:
    return std::make_unique<TStringField>(Owner);
  case ftSmallint:
    return std::make_unique<TSmallintField>(Owner);
  case ftInteger:
    return std::make_unique<TIntegerField>(Owner);
  case ftBoolean:
    return std::make_unique<TBooleanField>(Owner);
  case ftFloat:
    return std::make_unique<TFloatField>(Owner);
  case ftBCD:
    return std::make_unique<TBCDField>(Owner);
  case ftDate:
    return std::make_unique<TDateField>(Owner);
  case ftTime:
    return std::make_unique<TTimeField>(Owner);
  case ftDateTime:
    return std::make_unique<TDateTimeField>(Owner);
  default:
    return nullptr;
  }
}

} // namespace

// --- TFieldDef ------------------------------------------------------------------------

TFieldDef::TFieldDef(TFieldDefs* Owner, const std::string& Name, TFieldType DataType,
                     std::int32_t Size, bool Required, std::int32_t FieldNo)
    : FOwner(Owner), FName(Name), FDataType(DataType), FSize(Size), FRequired(Required),
      FFieldNo(FieldNo) {}

TField* TFieldDef::CreateField(TComponent* Owner) {
  // Held until fully set up: a refusal below destroys the half-made field, which also
  // takes it out of its owner and its dataset.
  std::unique_ptr<TField> Field = NewFieldOfType(FDataType, Owner);
  if (!Field) DatabaseErrorFmt(SUnknownFieldType, {FName});
  // The field is of one of the classes above, whose Notification only forgets a lookup
  // dataset it is linked with.
  Field->RestrictNotificationsToLinks();
  if (FDataType == ftString) Field->SetSize(FSize);
  if (FDataType == ftBCD) {
    auto& BCD = static_cast<TBCDField&>(*Field);
    BCD.SetSize(FSize); // the number of decimals
    BCD.SetPrecision(FPrecision);
  }
  Field->SetFieldName(FName);
  Field->SetRequired(FRequired);
  if (FInternalCalcField) Field->SetFieldKind(fkInternalCalc);
  if (FOwner && FOwner->DataSet()) Field->SetDataSet(FOwner->DataSet());
  return Field.release();
}

// --- TFieldDefs -----------------------------------------------------------------------

TFieldDefs::TFieldDefs(TDataSet* DataSet) : FDataSet(DataSet) {}

TFieldDef* TFieldDefs::CreateDef(const std::string& Name, TFieldType DataType, std::int32_t Size,
                                 bool Required, std::int32_t FieldNo) {
  FItems.push_back(std::make_unique<TFieldDef>(this, Name, DataType, Size, Required, FieldNo));
  try {
    // An earlier definition of the same name keeps its entry: IndexOf finds the first.
    FFirstByName.emplace(AnsiUpperCase(Name), Count() - 1);
  } catch (...) {
    FItems.pop_back();
    throw;
  }
  return FItems.back().get();
}

TFieldDef* TFieldDefs::Add(const std::string& Name, TFieldType DataType, std::int32_t Size,
                           bool Required) {
  if (Name.empty()) DatabaseError(SFieldNameMissing);
  if (IndexOf(Name) >= 0) DatabaseErrorFmt(SDuplicateFieldName, {Name});
  return CreateDef(Name, DataType, Size, Required, Count() + 1);
}

TFieldDef* TFieldDefs::Items(std::int32_t Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(Format(SListIndexError, {Index}));
  return FItems[static_cast<std::size_t>(Index)].get();
}

// The map compares ignoring the case of ASCII letters, so an ASCII name is looked up as it
// is, and any other by its upper-case form, as the keys are stored.
std::int32_t TFieldDefs::IndexOf(const std::string& Name) const {
  const bool Ascii = std::all_of(Name.begin(), Name.end(),
                                 [](char C) { return static_cast<unsigned char>(C) < 0x80; });
  const auto It = Ascii ? FFirstByName.find(std::string_view(Name))
                        : FFirstByName.find(std::string_view(AnsiUpperCase(Name)));
  return It == FFirstByName.end() ? -1 : It->second;
}

TFieldDef* TFieldDefs::Find(const std::string& Name) const {
  const std::int32_t Index = IndexOf(Name);
  if (Index < 0) DatabaseErrorFmt(SFieldNotFound, {Name});
  return FItems[static_cast<std::size_t>(Index)].get();
}

void TFieldDefs::Update() {
  if (FDataSet) FDataSet->InitFieldDefs();
}

} // namespace kelva
