// TParam and TParams: typed parameter values, their conversions when the type changes,
// and the list operations (lookup by name, copying values between lists).
#include "kelva/framework/db/Params.h"

#include "kelva/framework/db/DBConsts.h"
#include "kelva/framework/rtl/RtlConsts.h"
#include "kelva/framework/rtl/SysUtils.h"

#include <limits>
#include <optional>

namespace kelva {

namespace {

// Value converted to the Variant kind that holds values of Type; nullopt when the type
// has no such kind. Conversion failures throw.
std::optional<Variant> ConvertToType(const Variant& Value, TFieldType Type) {
  switch (Type) {
  case ftString:
  case ftMemo:
  case ftBlob:
  case ftBytes:
  case ftVarBytes:
    return Variant(Value.AsString());
  case ftSmallint:
  case ftInteger:
  case ftWord:
  case ftAutoInc:
    return Variant(static_cast<int>(Value.AsInteger()));
  case ftBoolean:
    return Variant(Value.AsBoolean());
  case ftFloat:
    return Variant(Value.AsFloat());
  case ftCurrency:
  case ftBCD:
    return Variant(Value.AsCurrency());
  case ftDate:
  case ftTime:
  case ftDateTime:
    return Variant::FromDateTime(Value.AsDateTime());
  case ftUnknown:
    return std::nullopt;
  }
  return std::nullopt;
}

// The field type a value of this kind implies, ftUnknown for null, empty and arrays.
TFieldType TypeOfValue(const Variant& Value) {
  switch (Value.VarType()) {
  case varBoolean:
    return ftBoolean;
  case varSmallint:
  case varInteger:
    return ftInteger;
  case varInt64: {
    const std::int64_t Number = Value.AsInt64();
    const bool Fits = Number >= std::numeric_limits<std::int32_t>::min() &&
                      Number <= std::numeric_limits<std::int32_t>::max();
    return Fits ? ftInteger : ftFloat;
  }
  case varDouble:
    return ftFloat;
  case varCurrency:
    return ftCurrency;
  case varDate:
    return ftDateTime;
  case varString:
    return ftString;
  default:
    return ftUnknown;
  }
}

} // namespace

// --- TParam ---------------------------------------------------------------------------

TParam::TParam(TParams* Owner, TParamType ParamType) : FOwner(Owner), FParamType(ParamType) {}

void TParam::SetDataType(TFieldType Value) {
  if (Value == FDataType) return;
  FDataType = Value;
  if (VarIsEmpty(FValue)) return;
  try {
    std::optional<Variant> Converted = ConvertToType(FValue, Value);
    if (Converted)
      FValue = std::move(*Converted);
    else
      Clear();
  } catch (const Exception&) {
    Clear();
  }
}

void TParam::SetValue(const Variant& Value) {
  FValue = Value;
  FBound = !VarIsEmpty(Value);
  if (FDataType == ftUnknown) FDataType = TypeOfValue(Value);
}

std::string TParam::AsString() const {
  return IsNull() ? std::string() : FValue.AsString();
}
std::int32_t TParam::AsInteger() const {
  return IsNull() ? 0 : FValue.AsInteger();
}
double TParam::AsFloat() const {
  return IsNull() ? 0.0 : FValue.AsFloat();
}
bool TParam::AsBoolean() const {
  return !IsNull() && FValue.AsBoolean();
}
TDateTime TParam::AsDateTime() const {
  return IsNull() ? 0.0 : FValue.AsDateTime();
}
Currency TParam::AsCurrency() const {
  return IsNull() ? Currency{} : FValue.AsCurrency();
}

void TParam::SetTypedValue(TFieldType Type, const Variant& Value) {
  FDataType = Type;
  SetValue(Value);
}

void TParam::SetAsString(const std::string& Value) {
  SetTypedValue(ftString, Variant(Value));
}
void TParam::SetAsInteger(std::int32_t Value) {
  SetTypedValue(ftInteger, Variant(static_cast<int>(Value)));
}
void TParam::SetAsSmallInt(std::int32_t Value) {
  SetTypedValue(ftSmallint, Variant(static_cast<int>(Value)));
}
void TParam::SetAsFloat(double Value) {
  SetTypedValue(ftFloat, Variant(Value));
}
void TParam::SetAsBoolean(bool Value) {
  SetTypedValue(ftBoolean, Variant(Value));
}
void TParam::SetAsDateTime(TDateTime Value) {
  SetTypedValue(ftDateTime, Variant::FromDateTime(Value));
}
void TParam::SetAsDate(TDateTime Value) {
  SetTypedValue(ftDate, Variant::FromDateTime(Value));
}
void TParam::SetAsTime(TDateTime Value) {
  SetTypedValue(ftTime, Variant::FromDateTime(Value));
}
void TParam::SetAsCurrency(Currency Value) {
  SetTypedValue(ftCurrency, Variant(Value));
}
void TParam::SetAsBCD(Currency Value) {
  SetTypedValue(ftBCD, Variant(Value));
}

void TParam::Assign(const TParam& Source) {
  if (&Source == this) return;
  FDataType = Source.FDataType;
  if (Source.IsNull())
    Clear();
  else
    FValue = Source.FValue;
  FBound = Source.FBound;
  FName = Source.FName;
  if (FParamType == ptUnknown) FParamType = Source.FParamType;
  FSize = Source.FSize;
}

void TParam::AssignField(TField* Field) {
  if (!Field) return;
  AssignFieldValue(Field, Field->Value());
  FName = Field->FieldName();
}

void TParam::AssignFieldValue(TField* Field, const Variant& Value) {
  if (!Field) return;
  FDataType = Field->DataType();
  if (VarIsNull(Value))
    Clear();
  else
    FValue = Value;
  FSize = Field->DataSize();
  FBound = true;
}

// --- TParams --------------------------------------------------------------------------

TParam* TParams::CreateParam(TFieldType FldType, const std::string& ParamName,
                             TParamType ParamType) {
  auto Param = std::make_unique<TParam>(this, ParamType);
  Param->FName = ParamName;
  Param->FDataType = FldType;
  FItems.push_back(std::move(Param));
  return FItems.back().get();
}

TParam* TParams::Items(std::int32_t Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(Format(SListIndexError, {Index}));
  return FItems[static_cast<std::size_t>(Index)].get();
}

TParam* TParams::FindParam(const std::string& Name) const {
  for (const auto& Param : FItems)
    if (AnsiSameText(Param->Name(), Name)) return Param.get();
  return nullptr;
}

TParam* TParams::ParamByName(const std::string& Name) const {
  TParam* Param = FindParam(Name);
  if (!Param) DatabaseErrorFmt(SParameterNotFound, {Name});
  return Param;
}

void TParams::AssignValues(const TParams& Value) {
  for (const auto& Source : Value.FItems)
    if (TParam* Target = FindParam(Source->Name())) Target->Assign(*Source);
}

void TParams::Assign(const TParams& Source) {
  if (&Source == this) return;
  // Built aside first, so that a failure leaves this list as it was.
  std::vector<std::unique_ptr<TParam>> Copies;
  Copies.reserve(Source.FItems.size());
  for (const auto& Param : Source.FItems) {
    auto Copy = std::make_unique<TParam>(this);
    Copy->Assign(*Param);
    Copies.push_back(std::move(Copy));
  }
  FItems = std::move(Copies);
}

} // namespace kelva
