// TBooleanField: a boolean stored as a 16-bit word and shown as one of two display texts
// ("True;False" by default), which also drive how text is parsed back.
#include "kelva/framework/db/DBConsts.h"
#include "kelva/framework/db/FieldText.h"
#include "kelva/framework/db/Fields.h"
#include "kelva/framework/rtl/SysUtils.h"

#include <algorithm>
#include <cstdint>

namespace kelva {

TBooleanField::TBooleanField(TComponent* AOwner) : TField(AOwner) {
  SetDataType(ftBoolean);
  SetDisplayValues("True;False");
}

void TBooleanField::SetDisplayValues(const std::string& Value) {
  if (Value.empty()) DatabaseErrorFmt(SInvalidDisplayValues, {Value});
  const std::size_t Separator = Value.find(';');
  FDisplayValues = Value;
  FTrueText = Value.substr(0, Separator);
  FFalseText = Separator == std::string::npos ? std::string() : Value.substr(Separator + 1);
  FUpperTrueText = AnsiUpperCase(FTrueText);
  FUpperFalseText = AnsiUpperCase(FFalseText);
}

bool TBooleanField::ReadBoolean(bool& Value) const {
  std::uint16_t Raw = 0;
  if (!GetData(&Raw)) return false;
  Value = Raw != 0;
  return true;
}

std::string TBooleanField::AsString() const {
  bool Value;
  if (!ReadBoolean(Value)) return std::string();
  return Value ? FTrueText : FFalseText;
}

void TBooleanField::SetAsString(const std::string& Value) {
  if (Value.empty()) return Clear();
  // Any case-insensitive prefix of a display text is accepted; the false text is tried
  // first, so a prefix shared by both texts means false.
  if (StartsWithUpper(FUpperFalseText, Value))
    SetAsBoolean(false);
  else if (StartsWithUpper(FUpperTrueText, Value))
    SetAsBoolean(true);
  else
    DatabaseErrorFmt(SInvalidBoolValue, {Value, DisplayName()});
}

bool TBooleanField::AsBoolean() const {
  bool Value;
  return ReadBoolean(Value) && Value;
}

void TBooleanField::SetAsBoolean(bool Value) {
  const std::uint16_t Native = Value ? 1 : 0;
  SetData(&Native);
}

Variant TBooleanField::Value() const {
  bool Value;
  if (!ReadBoolean(Value)) return Null();
  return Variant(Value);
}

void TBooleanField::SetVarValue(const Variant& Value) {
  SetAsBoolean(Value.AsBoolean());
}

std::int32_t TBooleanField::DefaultDisplayWidth() const {
  return static_cast<std::int32_t>(std::max(FTrueText.size(), FFalseText.size()));
}

} // namespace kelva
