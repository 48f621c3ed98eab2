// The string, float and component-name editors: the value is shown as text and typed back in.
#include "kelva/framework/design/TextEditors.h"

#include "kelva/framework/rtl/SysUtils.h"
#include "kelva/framework/rtl/TypeInfo.h"

namespace kelva {

TPropertyAttributes TStringProperty::GetAttributes() {
  TPropertyAttributes Attributes = TPropertyEditor::GetAttributes();
  if (!GetPropInfo()->SetStr) Attributes.Include(paReadOnly);
  return Attributes;
}

std::string TStringProperty::GetValue() {
  return GetStrValue();
}

void TStringProperty::SetValue(const std::string& Value) {
  SetStrValue(Value);
}

TPropertyAttributes TFloatProperty::GetAttributes() {
  TPropertyAttributes Attributes = TPropertyEditor::GetAttributes();
  if (!GetPropInfo()->SetFloat) Attributes.Include(paReadOnly);
  return Attributes;
}

std::string TFloatProperty::GetValue() {
  return FloatToStr(GetFloatValue());
}

void TFloatProperty::SetValue(const std::string& Value) {
  SetFloatValue(StrToFloat(Value));
}

TPropertyAttributes TComponentNameProperty::GetAttributes() {
  return TStringProperty::GetAttributes() - TPropertyAttributes{paMultiSelect};
}

} // namespace kelva
