// TComponentTreeView: the designed form's components as the form file nests them (the root,
// then each component inside its parent), with the designer's selection highlighted. A
// person selecting items asks for a new selection; the tree itself only follows the model.
#pragma once

#include <QTreeWidget>

#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

namespace kelva {

class TComponent;
class TPersistent;

class TComponentTreeView : public QTreeWidget {
public:
  explicit TComponentTreeView(QWidget* Parent = nullptr);

  // Shows Root's tree (null: nothing) and marks the components of Selection.
  void Show(TComponent* Root, const std::vector<TPersistent*>& Selection);

  // The item of the component named Name ("" for the root), or null.
  QTreeWidgetItem* ItemOf(const std::string& Name) const;

  // Called with the components a person selected.
  std::function<void(const std::vector<TPersistent*>& Selected)> OnSelect;

private:
  // One line of the tree: a component, the line it hangs under (-1 for the root) and its text.
  struct TEntry {
    TComponent* Component = nullptr;
    int ParentEntry = -1;
    QString Caption;
    bool operator==(const TEntry&) const = default;
  };

  void Collect(TComponent& Parent, int ParentEntry, std::unordered_set<const TComponent*>& Seen);
  void Rebuild();
  void MarkSelection(const std::vector<TPersistent*>& Selection);
  TComponent* ComponentOf(const QTreeWidgetItem* Item) const;
  void SelectionChangedByPerson();

  TComponent* FRoot = nullptr;
  std::vector<TEntry> FEntries;         // in display order, parents first
  std::vector<QTreeWidgetItem*> FItems; // one per entry
  bool FShowing = false;
};

} // namespace kelva
