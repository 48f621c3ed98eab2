// The default editors of the object kinds: owned sub-objects (shown by class, edited through
// their own properties), references to other components of the form, and events bound to the
// root's published methods.
#pragma once

#include "kelva/framework/design/PropertyEditor.h"

namespace kelva {

class TComponent;

// An owned sub-object (a string list, a collection): "(TStringList)", with its published
// properties as sub-properties.
class TClassProperty : public TPropertyEditor {
public:
  using TPropertyEditor::TPropertyEditor;
  TPropertyAttributes GetAttributes() override;
  void GetProperties(const std::function<void(std::unique_ptr<TPropertyEditor>)>& Proc) override;
  std::string GetValue() override;
};

// A reference to a component of the designed form, picked by name.
class TComponentProperty : public TPropertyEditor {
public:
  using TPropertyEditor::TPropertyEditor;
  TPropertyAttributes GetAttributes() override;
  std::string GetValue() override; // the component's name, "" when none
  // The names of the root's components whose class fits the property.
  void GetValues(const std::function<void(const std::string&)>& Proc) override;
  // Finds the component by name among the root's components; "" clears the reference.
  // Raises EInvalidOperation for an unknown name or a component of the wrong class.
  void SetValue(const std::string& Value) override;
};

// An event: shows the name of the bound method of the root.
class TMethodProperty : public TPropertyEditor {
public:
  using TPropertyEditor::TPropertyEditor;
  TPropertyAttributes GetAttributes() override;
  std::string GetValue() override;
  // The root's published methods that fit the event's type.
  void GetValues(const std::function<void(const std::string&)>& Proc) override;
  // Binds the root's method named Value to the event of every selected component; "" unbinds.
  void SetValue(const std::string& Value) override;

private:
  TComponent& EventOwner(std::int32_t Index) const;
};

} // namespace kelva
