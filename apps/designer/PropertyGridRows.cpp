// Collecting the inspector's rows, descending into the sub-properties of opened rows.
#include "kelva/apps/designer/PropertyGridRows.h"

#include "kelva/framework/design/PropertyEditor.h"
#include "kelva/framework/rtl/TypeInfo.h"

#include <algorithm>
#include <memory>

namespace kelva {

namespace {

// Sub-objects may refer to each other in a circle; no person opens rows this deep.
constexpr int MaxShownDepth = 16;

void AddRows(TObjectInspector& Inspector, const std::set<std::string>& Opened,
             const std::string& Prefix, int Depth, const std::vector<TInspectorRow>& Rows,
             std::vector<TShownRow>& Shown) {
  for (const TInspectorRow& Row : Rows) {
    const std::string Path = Prefix.empty() ? Row.Name : Prefix + "." + Row.Name;
    Shown.push_back(TShownRow{Path, Depth, Row});
    if (Row.Attributes.Contains(paSubProperties) && Opened.contains(Path) &&
        Depth + 1 < MaxShownDepth)
      AddRows(Inspector, Opened, Path, Depth + 1, SubRows(Inspector, Path), Shown);
  }
}

} // namespace

std::vector<TInspectorRow> SubRows(TObjectInspector& Inspector, const std::string& Path) {
  std::vector<TInspectorRow> Rows;
  std::unique_ptr<TPropertyEditor> Editor = Inspector.EditorFor(Path);
  if (!Editor->GetAttributes().Contains(paSubProperties)) return Rows;
  Editor->GetProperties([&Rows](std::unique_ptr<TPropertyEditor> Sub) {
    Rows.push_back(TInspectorRow{Sub->GetName(), Sub->AllEqual() ? Sub->GetValue() : std::string(),
                                 Sub->GetAttributes()});
  });
  return Rows;
}

std::vector<TShownRow> ShownRows(TObjectInspector& Inspector, const std::set<std::string>& Opened) {
  // A dataset's many events come from its ancestors, ahead of its own properties; a person
  // looks for the properties first.
  std::vector<TInspectorRow> Rows = Inspector.Rows();
  std::stable_partition(Rows.begin(), Rows.end(), [&Inspector](const TInspectorRow& Row) {
    const TPropInfo* Prop = Inspector.EditorFor(Row.Name)->GetPropInfo();
    return !Prop || !Prop->PropType || Prop->PropType->Kind != tkMethod;
  });
  std::vector<TShownRow> Shown;
  AddRows(Inspector, Opened, "", 0, Rows, Shown);
  return Shown;
}

} // namespace kelva
