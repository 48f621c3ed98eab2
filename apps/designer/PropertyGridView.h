// TPropertyGridView: the object inspector's window part: one row per property of the designer's
// selection with its name and a value cell (TPropertyValueEditor), sub-properties under an
// expandable row. Every change a person makes goes through the property editors; the view
// then shows the model again, in place when the rows are still the same ones.
#pragma once

#include "kelva/apps/designer/PerformAction.h"
#include "kelva/apps/designer/PropertyGridRows.h"

#include <QTreeWidget>

#include <functional>
#include <set>
#include <string>
#include <unordered_map>

namespace kelva {

class TObjectInspector;
class TPropertyValueEditor;

class TPropertyGridView : public QTreeWidget {
public:
  explicit TPropertyGridView(QWidget* Parent = nullptr);

  // The inspector whose selection is shown (null: nothing); the rows are rebuilt.
  void SetInspector(TObjectInspector* Inspector);
  // Brings the rows in line with the model.
  void Refresh();

  // The row of the property at Path ("Name", "Options.dgTitles"), or null.
  QTreeWidgetItem* ItemOf(const std::string& Path) const;
  TPropertyValueEditor* EditorOf(const std::string& Path) const;

  // Runs a person's change (errors reported, the views refreshed afterwards).
  TPerformAction Perform;
  // The "..." button of the row at Path was pressed.
  std::function<void(const std::string& Path)> OnDialog;

protected:
  void updateEditorGeometries() override;

private:
  struct TRowWidgets {
    QTreeWidgetItem* Item = nullptr;
    TPropertyValueEditor* Editor = nullptr;
    TPropertyAttributes Attributes;
  };

  void Rebuild(const std::vector<TShownRow>& Rows);
  bool ShowsSameRows(const std::vector<TShownRow>& Rows) const;
  void AddRow(const TShownRow& Row);
  void ShowValueOf(const TShownRow& Row, TPropertyValueEditor& Editor);
  void ShowError(const std::string& Message);
  void Opened(QTreeWidgetItem* Item);

  TObjectInspector* FInspector = nullptr;
  std::vector<std::string> FOrder; // the paths shown, in order
  std::unordered_map<std::string, TRowWidgets> FRows;
  std::set<std::string> FOpened; // rows whose sub-properties were asked for
};

} // namespace kelva
