// Building the inspector's rows, refreshing their values, and sending a person's edits to the
// property editors.
#include "kelva/apps/designer/PropertyGridView.h"

#include "kelva/apps/designer/PropertyValueEditor.h"
#include "kelva/framework/design/PropertyRows.h"
#include "kelva/framework/rtl/Exceptions.h"

#include <QHeaderView>
#include <QScrollBar>

namespace kelva {

namespace {

constexpr int PathRole = Qt::UserRole;

} // namespace

TPropertyGridView::TPropertyGridView(QWidget* Parent) : QTreeWidget(Parent) {
  setObjectName(QStringLiteral("Inspector"));
  setColumnCount(2);
  setHeaderLabels({QStringLiteral("Property"), QStringLiteral("Value")});
  header()->setStretchLastSection(true);
  header()->resizeSection(0, 160);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setAlternatingRowColors(true);
  connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* Item) { Opened(Item); });
}

void TPropertyGridView::SetInspector(TObjectInspector* Inspector) {
  FInspector = Inspector;
  FOpened.clear();
  Rebuild({});
  Refresh();
}

void TPropertyGridView::Refresh() {
  std::vector<TShownRow> Rows;
  if (FInspector) {
    try {
      Rows = ShownRows(*FInspector, FOpened);
    } catch (const Exception& E) {
      // A property that cannot be read: said in the inspector itself, without a message box
      // that would come back with every refresh.
      ShowError(E.Message());
      return;
    }
  }
  if (!ShowsSameRows(Rows)) {
    Rebuild(Rows);
    return;
  }
  for (const TShownRow& Row : Rows) ShowValueOf(Row, *FRows.at(Row.Path).Editor);
}

bool TPropertyGridView::ShowsSameRows(const std::vector<TShownRow>& Rows) const {
  if (Rows.size() != FOrder.size()) return false;
  for (std::size_t I = 0; I < Rows.size(); ++I) {
    if (Rows[I].Path != FOrder[I]) return false;
    if (FRows.at(FOrder[I]).Attributes != Rows[I].Row.Attributes) return false;
  }
  return true;
}

void TPropertyGridView::Rebuild(const std::vector<TShownRow>& Rows) {
  const int Scrolled = verticalScrollBar()->value();
  std::set<std::string> Expanded;
  for (const auto& [Path, Widgets] : FRows) {
    Widgets.Editor->Retire(); // Qt deletes it later; until then it may still emit
    if (Widgets.Item->isExpanded()) Expanded.insert(Path);
  }
  FRows.clear();
  FOrder.clear();
  clear();
  for (const TShownRow& Row : Rows) AddRow(Row);
  for (const std::string& Path : Expanded)
    if (QTreeWidgetItem* Item = ItemOf(Path)) Item->setExpanded(true);
  verticalScrollBar()->setValue(Scrolled);
}

void TPropertyGridView::AddRow(const TShownRow& Row) {
  QTreeWidgetItem* Parent = nullptr;
  if (const std::size_t Dot = Row.Path.rfind('.'); Dot != std::string::npos)
    Parent = ItemOf(Row.Path.substr(0, Dot));
  auto* Item = Parent ? new QTreeWidgetItem(Parent) : new QTreeWidgetItem(this);
  Item->setText(0, QString::fromStdString(Row.Row.Name));
  Item->setData(0, PathRole, QString::fromStdString(Row.Path));
  if (Row.Row.Attributes.Contains(paSubProperties))
    Item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);

  auto* Editor = new TPropertyValueEditor(Row.Row.Attributes);
  Editor->setObjectName(QString::fromStdString(Row.Path));
  const std::string Path = Row.Path;
  Editor->OnCommit = [this, Path](const std::string& Text) {
    if (!Perform) return;
    Perform([this, Path, Text] {
      if (FInspector) FInspector->SetValue(Path, Text);
    });
  };
  Editor->OnDialog = [this, Path] {
    if (OnDialog) OnDialog(Path);
  };
  setItemWidget(Item, 1, Editor);
  FRows[Path] = TRowWidgets{Item, Editor, Row.Row.Attributes};
  FOrder.push_back(Path);
  ShowValueOf(Row, *Editor);
}

void TPropertyGridView::ShowValueOf(const TShownRow& Row, TPropertyValueEditor& Editor) {
  std::vector<std::string> Values;
  if (Row.Row.Attributes.Contains(paValueList)) {
    try {
      Values = FInspector->Values(Row.Path);
    } catch (const Exception&) {
      // Nothing to pick from; the value can still be typed.
    }
  }
  Editor.ShowValue(Row.Row.Value, Values);
}

void TPropertyGridView::ShowError(const std::string& Message) {
  Rebuild({});
  auto* Item = new QTreeWidgetItem(this);
  Item->setText(0, QStringLiteral("(error)"));
  Item->setText(1, QString::fromStdString(Message));
  Item->setDisabled(true);
}

void TPropertyGridView::Opened(QTreeWidgetItem* Item) {
  const std::string Path = Item->data(0, PathRole).toString().toStdString();
  if (Path.empty() || FOpened.contains(Path)) return;
  FOpened.insert(Path);
  // The rows are added once the expansion is over: Refresh may rebuild the whole tree.
  QMetaObject::invokeMethod(
      this, [this] { Refresh(); }, Qt::QueuedConnection);
}

void TPropertyGridView::updateEditorGeometries() {
  QTreeWidget::updateEditorGeometries();
  // Qt keeps the value cells of rows scrolled out of sight shown beyond the viewport's edge,
  // where they would stick out of the window; a cell is shown once its whole row is in view.
  const QRect Visible = viewport()->rect();
  for (const auto& [Path, Widgets] : FRows)
    if (Widgets.Editor->isVisible() && !Visible.contains(Widgets.Editor->geometry()))
      Widgets.Editor->hide();
}

QTreeWidgetItem* TPropertyGridView::ItemOf(const std::string& Path) const {
  const auto Found = FRows.find(Path);
  return Found == FRows.end() ? nullptr : Found->second.Item;
}

TPropertyValueEditor* TPropertyGridView::EditorOf(const std::string& Path) const {
  const auto Found = FRows.find(Path);
  return Found == FRows.end() ? nullptr : Found->second.Editor;
}

} // namespace kelva
