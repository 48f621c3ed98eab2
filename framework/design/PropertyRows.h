// TObjectInspector: the property rows of a designer's selection and the user's actions on
// them (typing a value, picking from the list, the ellipsis button). Errors raised by the
// editors reach the caller unchanged.
#pragma once

#include "kelva/framework/design/PropertyEditor.h"

#include <memory>
#include <string>
#include <vector>

namespace kelva {

class TDesignerHost;

struct TInspectorRow {
  std::string Name;
  std::string Value; // empty when the selected objects disagree
  TPropertyAttributes Attributes;
};

class TObjectInspector {
public:
  explicit TObjectInspector(TDesignerHost& Designer) : FDesigner(Designer) {}

  // One row per published property common to every selected object, in declaration order
  // (ancestors first). With several objects selected, properties whose editor lacks
  // paMultiSelect are left out.
  std::vector<TInspectorRow> Rows();

  // The editor of the property PropertyName of the selection, entries filled and Initialize
  // called. "Options.Bold" names a sub-property. Raises EInvalidOperation when nothing is
  // selected or no such property is shown.
  std::unique_ptr<TPropertyEditor> EditorFor(const std::string& PropertyName);

  // Typing Text into the row; EInvalidOperation for a paReadOnly property.
  void SetValue(const std::string& PropertyName, const std::string& Text);
  // The drop-down list: GetValues, sorted when the editor asks for paSortList.
  std::vector<std::string> Values(const std::string& PropertyName);
  // The ellipsis button (or a double click): calls the editor's Edit. Only properties with
  // paDialog or paValueList can be edited this way; others raise EInvalidOperation.
  void Edit(const std::string& PropertyName);

private:
  TDesignerHost& FDesigner;
};

} // namespace kelva
