// The default editors of the kinds typed as text: strings, floating-point numbers, and the
// component name, which is never set on several components at once.
#pragma once

#include "kelva/framework/design/PropertyEditor.h"

namespace kelva {

class TStringProperty : public TPropertyEditor {
public:
  using TPropertyEditor::TPropertyEditor;
  TPropertyAttributes GetAttributes() override;
  std::string GetValue() override;
  void SetValue(const std::string& Value) override;
};

class TFloatProperty : public TPropertyEditor {
public:
  using TPropertyEditor::TPropertyEditor;
  TPropertyAttributes GetAttributes() override;
  std::string GetValue() override;
  // Raises EConvertError for text that is not a number.
  void SetValue(const std::string& Value) override;
};

// The Name of a component: sibling names must differ, so it is not offered for a selection of
// several components.
class TComponentNameProperty : public TStringProperty {
public:
  using TStringProperty::TStringProperty;
  TPropertyAttributes GetAttributes() override;
};

} // namespace kelva
