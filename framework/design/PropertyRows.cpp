// The object inspector over a designer's selection. It keeps no editors between calls: every
// action makes fresh ones, so that rows always reflect the objects as they are now.
#include "kelva/framework/design/PropertyRows.h"

#include "kelva/framework/design/DesignerHost.h"
#include "kelva/framework/design/EditorFactory.h"
#include "kelva/framework/rtl/Exceptions.h"
#include "kelva/framework/rtl/SysUtils.h"

namespace kelva {

std::vector<TInspectorRow> TObjectInspector::Rows() {
  std::vector<TInspectorRow> Rows;
  for (const auto& Editor : PropertyEditorsFor(&FDesigner, FDesigner.Selection()))
    Rows.push_back(TInspectorRow{Editor->GetName(),
                                 Editor->AllEqual() ? Editor->GetValue() : std::string(),
                                 Editor->GetAttributes()});
  return Rows;
}

std::unique_ptr<TPropertyEditor> TObjectInspector::EditorFor(const std::string& PropertyName) {
  if (FDesigner.Selection().empty()) throw EInvalidOperation("Nothing is selected");
  auto NotShown = [&PropertyName]() {
    return EInvalidOperation("The selection has no property " + PropertyName);
  };

  // "Options.Bold": the top-level row, then one sub-property per further segment.
  std::size_t Start = 0;
  std::size_t Dot = PropertyName.find('.');
  std::unique_ptr<TPropertyEditor> Editor =
      PropertyEditorFor(&FDesigner, FDesigner.Selection(), PropertyName.substr(0, Dot));
  while (Editor && Dot != std::string::npos) {
    Start = Dot + 1;
    Dot = PropertyName.find('.', Start);
    const std::string Segment =
        PropertyName.substr(Start, Dot == std::string::npos ? Dot : Dot - Start);
    std::unique_ptr<TPropertyEditor> Sub;
    if (Editor->GetAttributes().Contains(paSubProperties))
      Editor->GetProperties([&](std::unique_ptr<TPropertyEditor> Candidate) {
        if (!Sub && CompareText(Candidate->GetName(), Segment) == 0) Sub = std::move(Candidate);
      });
    Editor = std::move(Sub);
  }
  if (!Editor) throw NotShown();
  return Editor;
}

void TObjectInspector::SetValue(const std::string& PropertyName, const std::string& Text) {
  std::unique_ptr<TPropertyEditor> Editor = EditorFor(PropertyName);
  if (Editor->GetAttributes().Contains(paReadOnly))
    throw EInvalidOperation("Property " + PropertyName + " is read-only");
  Editor->SetValue(Text);
}

std::vector<std::string> TObjectInspector::Values(const std::string& PropertyName) {
  return EditorFor(PropertyName)->ListedValues();
}

void TObjectInspector::Edit(const std::string& PropertyName) {
  std::unique_ptr<TPropertyEditor> Editor = EditorFor(PropertyName);
  const TPropertyAttributes Attributes = Editor->GetAttributes();
  if (!Attributes.Contains(paDialog) && !Attributes.Contains(paValueList))
    throw EInvalidOperation("Property " + PropertyName + " has no editor to open");
  Editor->Edit();
}

} // namespace kelva
