// TField, the base of every value class: identity, kind and size, membership in a
// dataset's field list, display properties, the value protocol through the dataset, and
// old / new / current values read in temporary dataset states.
#include "kelva/framework/db/DBConsts.h"
#include "kelva/framework/db/DataSet.h"
#include "kelva/framework/db/FieldText.h"
#include "kelva/framework/db/Fields.h"
#include "kelva/framework/rtl/SysUtils.h"

#include <cstring>
#include <utility>

namespace kelva {

TField::TField(TComponent* AOwner) : TComponent(AOwner) {}

TField::~TField() {
  if (FLookupDataSet) {
    FLookupDataSet->RemoveFreeNotification(this);
    FLookupDataSet = nullptr;
  }
  if (FDataSet) {
    TDataSet* Set = FDataSet;
    try {
      // An open dataset would keep reading a field that no longer exists.
      Set->Close();
    } catch (...) {
      // A BeforeClose handler refused; the field must go regardless, and a destructor
      // cannot report it.
    }
    Set->Fields().Remove(this);
    FDataSet = nullptr;
  }
}

// --- identity, kind, size, membership ------------------------------------------------

void TField::SetFieldName(const std::string& Value) {
  if (FDataSet && FDataSet->Fields().FindOther(Value, this))
    DatabaseErrorFmt(SDuplicateFieldName, {Value});
  std::string Upper = AnsiUpperCase(Value);
  if (FDataSet) FDataSet->Fields().Renamed(this, FUpperName, Upper);
  FFieldName = Value;
  FUpperName = std::move(Upper);
}

std::int32_t TField::Index() const {
  return FDataSet ? FDataSet->Fields().IndexOf(this) : -1;
}

void TField::CheckDataSetInactive() const {
  if (FDataSet) FDataSet->CheckInactive();
}

void TField::SetFieldKind(TFieldKind Value) {
  CheckDataSetInactive();
  FFieldKind = Value;
}

void TField::SetSize(std::int32_t Value) {
  ChangeSize(Value, 0);
}

void TField::ChangeSize(std::int32_t Value, std::int32_t MaxSize) {
  CheckDataSetInactive();
  if (Value < 0 || Value > MaxSize) DatabaseError(SInvalidFieldSize);
  FSize = Value;
}

void TField::SetDataSet(TDataSet* Value) {
  if (Value == FDataSet) return;
  // Every check comes first, so that a refusal leaves the field where it was.
  if (FDataSet) FDataSet->CheckInactive();
  if (Value) {
    Value->CheckInactive();
    if (Value->Fields().FindField(FFieldName)) DatabaseErrorFmt(SDuplicateFieldName, {FFieldName});
    Value->Fields().Add(this);
  }
  if (FDataSet) FDataSet->Fields().Remove(this);
  FDataSet = Value;
}

TComponent* TField::GetParentComponent() const {
  return FDataSet;
}

void TField::SetParentComponent(TComponent* Value) {
  if (auto* Set = dynamic_cast<TDataSet*>(Value))
    SetDataSet(Set);
  else if (!Value)
    SetDataSet(nullptr);
  else
    // A field without a dataset sits directly under its owner; anything else is no parent.
    TComponent::SetParentComponent(Value);
}

// --- display properties --------------------------------------------------------------

void TField::LayoutChanged() {
  if (FDataSet && FDataSet->Active()) FDataSet->DataEvent(deLayoutChange, 0);
}

void TField::SetReadOnly(bool Value) {
  if (FReadOnly == Value) return;
  FReadOnly = Value;
  LayoutChanged();
}

void TField::SetVisible(bool Value) {
  if (FVisible == Value) return;
  FVisible = Value;
  LayoutChanged();
}

void TField::SetDisplayLabel(const std::string& Value) {
  if (FDisplayLabel == Value) return;
  FDisplayLabel = Value;
  LayoutChanged();
}

std::string TField::DisplayName() const {
  return FDisplayLabel.empty() ? FFieldName : FDisplayLabel;
}

std::int32_t TField::DisplayWidth() const {
  return FDisplayWidth != 0 ? FDisplayWidth : DefaultDisplayWidth();
}

void TField::SetDisplayWidth(std::int32_t Value) {
  if (FDisplayWidth == Value) return;
  FDisplayWidth = Value;
  LayoutChanged();
}

bool TField::CanModify() const {
  return !FReadOnly && (FFieldKind == fkData || FFieldKind == fkInternalCalc) && FDataSet &&
         FDataSet->Active() && FDataSet->CanModify();
}

// --- conversions the base class does not support --------------------------------------

void TField::AccessError(const char* TypeName) const {
  DatabaseErrorFmt(SFieldAccessError, {DisplayName(), TypeName});
}

void TField::RangeError(const std::string& Value, const std::string& Min,
                        const std::string& Max) const {
  DatabaseErrorFmt(SFieldRangeError, {Value, DisplayName(), Min, Max});
}

std::string TField::AsString() const {
  AccessError("String");
}
void TField::SetAsString(const std::string&) {
  AccessError("String");
}
std::int32_t TField::AsInteger() const {
  AccessError("Integer");
}
void TField::SetAsInteger(std::int32_t) {
  AccessError("Integer");
}
double TField::AsFloat() const {
  AccessError("Float");
}
void TField::SetAsFloat(double) {
  AccessError("Float");
}
bool TField::AsBoolean() const {
  AccessError("Boolean");
}
void TField::SetAsBoolean(bool) {
  AccessError("Boolean");
}
TDateTime TField::AsDateTime() const {
  AccessError("DateTime");
}
void TField::SetAsDateTime(TDateTime) {
  AccessError("DateTime");
}
Currency TField::AsCurrency() const {
  AccessError("Currency");
}
void TField::SetAsCurrency(Currency) {
  AccessError("Currency");
}
Variant TField::Value() const {
  AccessError("Variant");
}
void TField::SetVarValue(const Variant&) {
  AccessError("Variant");
}

void TField::SetValue(const Variant& Value) {
  if (VarIsNull(Value))
    Clear();
  else
    SetVarValue(Value);
}

// --- the value protocol ---------------------------------------------------------------

bool TField::GetData(void* Buffer) const {
  if (!FDataSet) DatabaseErrorFmt(SDataSetMissing, {FFieldName});
  if (FValidating) {
    if (!FProposedValue) return false;
    if (Buffer) std::memcpy(Buffer, FProposedValue, static_cast<std::size_t>(DataSize()));
    return true;
  }
  return FDataSet->GetFieldData(const_cast<TField*>(this), Buffer);
}

void TField::SetData(const void* Buffer) {
  if (!FDataSet) DatabaseErrorFmt(SDataSetMissing, {FFieldName});
  if (FReadOnly && FFieldKind == fkData) {
    const TDataSetState State = FDataSet->State();
    if (State != dsSetKey && State != dsFilter) DatabaseErrorFmt(SFieldReadOnly, {DisplayName()});
  }
  FDataSet->SetFieldData(this, Buffer);
}

void TField::Validate(const void* Buffer) {
  if (!OnValidate) return;
  // Restores the previous validation state even when the handler throws.
  struct ValidationScope {
    TField& Field;
    bool WasValidating;
    const void* PreviousValue;
    ~ValidationScope() {
      Field.FValidating = WasValidating;
      Field.FProposedValue = PreviousValue;
    }
  } Scope{*this, FValidating, FProposedValue};
  FProposedValue = Buffer;
  FValidating = true;
  OnValidate(this);
}

void TField::Change() {
  if (OnChange) OnChange(this);
}

void TField::FocusControl() {
  if (!FDataSet) return;
  TField* Self = this;
  FDataSet->DataEvent(deFocusControl, reinterpret_cast<std::intptr_t>(&Self));
}

// --- old, new and current values ------------------------------------------------------

Variant TField::ValueInState(TDataSetState State) const {
  if (!FDataSet) DatabaseErrorFmt(SDataSetMissing, {FFieldName});
  const TDataSetState Previous = FDataSet->SetTempState(State);
  try {
    Variant Result = Value();
    FDataSet->RestoreState(Previous);
    return Result;
  } catch (...) {
    FDataSet->RestoreState(Previous);
    throw;
  }
}

Variant TField::OldValue() const {
  if (FFieldKind == fkCalculated || FFieldKind == fkLookup) return Null();
  return ValueInState(dsOldValue);
}

Variant TField::NewValue() const {
  if (FFieldKind == fkCalculated || FFieldKind == fkLookup) return Null();
  return ValueInState(dsNewValue);
}

Variant TField::CurValue() const {
  if (FFieldKind == fkCalculated || FFieldKind == fkLookup) return Null();
  return ValueInState(dsCurValue);
}

void TField::SetNewValue(const Variant& Value) {
  if (FFieldKind != fkData) return;
  if (!FDataSet) DatabaseErrorFmt(SDataSetMissing, {FFieldName});
  const TDataSetState Previous = FDataSet->SetTempState(dsNewValue);
  try {
    SetValue(Value);
  } catch (...) {
    FDataSet->RestoreState(Previous);
    throw;
  }
  FDataSet->RestoreState(Previous);
}

// --- dataset services for the value classes -------------------------------------------

bool TField::DataSetBCDToCurr(const void* BCD, Currency& Value) const {
  if (!FDataSet) DatabaseErrorFmt(SDataSetMissing, {FFieldName});
  return FDataSet->BCDToCurr(BCD, Value);
}

bool TField::DataSetCurrToBCD(const Currency& Value, void* BCD, std::int32_t Precision,
                              std::int32_t Decimals) const {
  if (!FDataSet) DatabaseErrorFmt(SDataSetMissing, {FFieldName});
  return FDataSet->CurrToBCD(Value, BCD, Precision, Decimals);
}

} // namespace kelva
