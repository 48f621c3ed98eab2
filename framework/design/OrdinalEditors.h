// The default editors of the ordinal kinds: integers, enumerations (Boolean among them) and
// sets, whose elements show as True/False sub-properties.
#pragma once

#include "kelva/framework/design/PropertyEditor.h"

namespace kelva {

class TIntegerProperty : public TPropertyEditor {
public:
  using TPropertyEditor::TPropertyEditor;
  TPropertyAttributes GetAttributes() override;
  std::string GetValue() override;
  // Raises EConvertError for text that is not a 32-bit integer.
  void SetValue(const std::string& Value) override;
};

class TEnumProperty : public TPropertyEditor {
public:
  using TPropertyEditor::TPropertyEditor;
  TPropertyAttributes GetAttributes() override;
  std::string GetValue() override;
  void GetValues(const std::function<void(const std::string&)>& Proc) override;
  // Takes a value name (case-insensitive); raises EConvertError for any other text.
  void SetValue(const std::string& Value) override;
};

class TSetProperty : public TPropertyEditor {
public:
  using TPropertyEditor::TPropertyEditor;
  TPropertyAttributes GetAttributes() override;
  void GetProperties(const std::function<void(std::unique_ptr<TPropertyEditor>)>& Proc) override;
  std::string GetValue() override; // "[a, b]"
  // Takes "[a, b]" (the brackets may be left out, "" or "[]" is the empty set); raises
  // EConvertError naming the first unknown element.
  void SetValue(const std::string& Value) override;
};

// One element of a set property: True when the element is in the set.
class TSetElementProperty : public TPropertyEditor {
public:
  TSetElementProperty(TDesignerHost* Designer, std::int32_t PropCount, unsigned Element);
  TPropertyAttributes GetAttributes() override;
  std::string GetName() override; // the element's name
  std::string GetValue() override;
  void GetValues(const std::function<void(const std::string&)>& Proc) override;
  // Takes True or False (case-insensitive) and includes or excludes the element in every
  // selected object's set, leaving the other elements as each object has them.
  void SetValue(const std::string& Value) override;

private:
  bool IsIncluded(std::int32_t Index) const;
  unsigned FElement;
};

} // namespace kelva
