// Building the component tree from the form and mapping items back to live components. The
// items are rebuilt only when the tree itself changed: a person's click that changes only the
// selection must not destroy the item being clicked.
#include "kelva/apps/designer/ComponentTreeView.h"

#include "kelva/framework/rtl/Component.h"
#include "kelva/framework/rtl/TypeInfo.h"

#include <QScrollBar>

namespace kelva {

namespace {

QString Caption(const TComponent& Component) {
  const std::string Class = ClassNameOf(Component);
  if (Component.Name().empty()) return QString::fromStdString(Class);
  return QString::fromStdString(Component.Name() + ": " + Class);
}

} // namespace

TComponentTreeView::TComponentTreeView(QWidget* Parent) : QTreeWidget(Parent) {
  setObjectName(QStringLiteral("ComponentTree"));
  setHeaderLabel(QStringLiteral("Components"));
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  connect(this, &QTreeWidget::itemSelectionChanged, this, [this] { SelectionChangedByPerson(); });
}

void TComponentTreeView::Show(TComponent* Root, const std::vector<TPersistent*>& Selection) {
  const std::vector<TEntry> Before = std::move(FEntries);
  FEntries.clear();
  FRoot = Root;
  if (Root) {
    FEntries.push_back(TEntry{Root, -1, Caption(*Root)});
    std::unordered_set<const TComponent*> Seen{Root};
    Collect(*Root, 0, Seen);
    // What the form file does not nest (a control placed nowhere) still belongs to the form.
    for (std::int32_t I = 0; I < Root->ComponentCount(); ++I)
      if (TComponent* Owned = Root->Components(I); Seen.insert(Owned).second)
        FEntries.push_back(TEntry{Owned, 0, Caption(*Owned)});
  }
  FShowing = true;
  if (FEntries != Before) Rebuild();
  MarkSelection(Selection);
  FShowing = false;
}

void TComponentTreeView::Collect(TComponent& Parent, int ParentEntry,
                                 std::unordered_set<const TComponent*>& Seen) {
  std::vector<TComponent*> Children;
  Parent.GetChildren([&Children](TComponent* Child) { Children.push_back(Child); }, FRoot);
  for (TComponent* Child : Children) {
    // A tree that loops back on itself is shown once.
    if (!Seen.insert(Child).second) continue;
    FEntries.push_back(TEntry{Child, ParentEntry, Caption(*Child)});
    Collect(*Child, static_cast<int>(FEntries.size()) - 1, Seen);
  }
}

void TComponentTreeView::Rebuild() {
  const int Scrolled = verticalScrollBar()->value();
  clear();
  FItems.clear();
  for (const TEntry& Entry : FEntries) {
    auto* Item = Entry.ParentEntry < 0
                     ? new QTreeWidgetItem(this)
                     : new QTreeWidgetItem(FItems[static_cast<std::size_t>(Entry.ParentEntry)]);
    Item->setText(0, Entry.Caption);
    FItems.push_back(Item);
  }
  expandAll();
  verticalScrollBar()->setValue(Scrolled);
}

void TComponentTreeView::MarkSelection(const std::vector<TPersistent*>& Selection) {
  const std::unordered_set<const TPersistent*> Marked(Selection.begin(), Selection.end());
  for (std::size_t I = 0; I < FEntries.size(); ++I) {
    const bool Selected = Marked.contains(FEntries[I].Component);
    if (FItems[I]->isSelected() != Selected) FItems[I]->setSelected(Selected);
    if (Selected && currentItem() != FItems[I])
      setCurrentItem(FItems[I], 0, QItemSelectionModel::NoUpdate);
  }
}

TComponent* TComponentTreeView::ComponentOf(const QTreeWidgetItem* Item) const {
  for (std::size_t I = 0; I < FItems.size(); ++I)
    if (FItems[I] == Item) return FEntries[I].Component;
  return nullptr;
}

QTreeWidgetItem* TComponentTreeView::ItemOf(const std::string& Name) const {
  for (std::size_t I = 0; I < FEntries.size(); ++I)
    if (Name.empty() ? FEntries[I].Component == FRoot : FEntries[I].Component->Name() == Name)
      return FItems[I];
  return nullptr;
}

void TComponentTreeView::SelectionChangedByPerson() {
  if (FShowing || !OnSelect) return;
  std::vector<TPersistent*> Selected;
  for (QTreeWidgetItem* Item : selectedItems())
    if (TComponent* Component = ComponentOf(Item)) Selected.push_back(Component);
  OnSelect(Selected);
}

} // namespace kelva
