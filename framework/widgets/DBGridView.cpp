// The grid widget: the table of visible rows, the scroll bar for the whole dataset, the keys
// and clicks a person uses, and the link that tells the widget the dataset changed.
#include "kelva/framework/widgets/DBGridView.h"

#include "kelva/framework/db/DataSet.h"
#include "kelva/framework/widgets/ControlBinding.h"
#include "kelva/framework/widgets/FormView.h"
#include "kelva/framework/widgets/GridTableModel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMetaObject>
#include <QScrollBar>
#include <QTableView>
#include <QWheelEvent>

#include <algorithm>

namespace kelva {

namespace {

// The table, telling whether a cell editor is open.
class TGridTable : public QTableView {
public:
  using QTableView::QTableView;
  bool Editing() const { return state() == EditingState; }
};

bool Editing(const QTableView* Table) {
  return static_cast<const TGridTable*>(Table)->Editing();
}

} // namespace

// A link of the grid widget's own on the grid's data source: it keeps one buffer, and only
// tells the widget that the dataset moved or changed, whoever moved it.
class TQtDBGrid::TWatchLink : public TDataLink {
public:
  explicit TWatchLink(TQtDBGrid& Owner) : FOwner(Owner) {}

protected:
  void ActiveChanged() override { Changed(); }
  void DataSetChanged() override {
    TDataLink::DataSetChanged();
    Changed();
  }
  void DataSetScrolled(std::int32_t Distance) override {
    TDataLink::DataSetScrolled(Distance);
    Changed();
  }
  void EditingChanged() override { Changed(); }
  void LayoutChanged() override {
    TDataLink::LayoutChanged();
    Changed();
  }
  void RecordChanged(TField* Field) override {
    TDataLink::RecordChanged(Field);
    Changed();
  }

private:
  // The dataset is in the middle of an operation: the widget reads it once that is over.
  void Changed() {
    if (FOwner.FRefreshQueued) return;
    FOwner.FRefreshQueued = true;
    QMetaObject::invokeMethod(
        &FOwner, [Owner = &FOwner] { Owner->Refresh(); }, Qt::QueuedConnection);
  }
  TQtDBGrid& FOwner;
};

TQtDBGrid::TQtDBGrid(TDBGrid& Grid, TPerform Perform, QWidget* Parent)
    : QWidget(Parent), FGrid(Grid), FPerform(std::move(Perform)), FTable(new TGridTable(this)),
      FScrollBar(new QScrollBar(Qt::Vertical, this)),
      FModel(new TGridTableModel(Grid, FPerform, this)),
      FWatch(std::make_unique<TWatchLink>(*this)) {
  auto* Layout = new QHBoxLayout(this);
  Layout->setContentsMargins(0, 0, 0, 0);
  Layout->setSpacing(0);
  Layout->addWidget(FTable);
  Layout->addWidget(FScrollBar);
  FTable->setModel(FModel);
  FTable->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  FTable->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  FTable->setSelectionMode(QAbstractItemView::SingleSelection);
  FTable->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  FTable->verticalHeader()->setSectionsClickable(false);
  FTable->installEventFilter(this);
  FTable->viewport()->installEventFilter(this);
  QObject::connect(FTable, &QTableView::pressed, this, [this](const QModelIndex& Index) {
    if (FRefreshing || !Index.isValid()) return;
    FPerform([this, Index] { FGrid.ClickCell(Index.row(), Index.column()); });
  });
  QObject::connect(FScrollBar, &QScrollBar::valueChanged, this, [this](int Value) {
    if (!FRefreshing) ScrollTo(Value);
  });
  Refresh();
}

TQtDBGrid::~TQtDBGrid() {
  FWatch->SetDataSource(nullptr);
}

TDataSet* TQtDBGrid::DataSet() const {
  TDataSource* Source = FGrid.DataSource();
  TDataSet* Data = Source ? Source->DataSet() : nullptr;
  return Data && Data->Active() ? Data : nullptr;
}

void TQtDBGrid::Refresh() {
  FRefreshQueued = false;
  if (FRefreshing) return;
  // An open cell editor writes into the model row it was opened on: the rows are read again
  // once it has closed.
  if (Editing(FTable)) {
    FRefreshQueued = true;
    QMetaObject::invokeMethod(
        this, [this] { Refresh(); }, Qt::QueuedConnection);
    return;
  }
  FRefreshing = true;
  if (FWatch->DataSource() != FGrid.DataSource()) FWatch->SetDataSource(FGrid.DataSource());
  FitRowsToHeight();
  FModel->Reload();

  const TDBGridOptions Options = FGrid.Options();
  FTable->horizontalHeader()->setVisible(Options.Contains(dgTitles));
  FTable->verticalHeader()->setVisible(Options.Contains(dgIndicator));
  FTable->setShowGrid(Options.Contains(dgColLines) || Options.Contains(dgRowLines));
  FTable->setSelectionBehavior(Options.Contains(dgRowSelect) ? QAbstractItemView::SelectRows
                                                             : QAbstractItemView::SelectItems);
  const bool Editable =
      Options.Contains(dgEditing) && !Options.Contains(dgRowSelect) && FGrid.CanModify();
  FTable->setEditTriggers(Editable ? QAbstractItemView::DoubleClicked |
                                         QAbstractItemView::EditKeyPressed |
                                         QAbstractItemView::AnyKeyPressed
                                   : QAbstractItemView::NoEditTriggers);
  FTable->horizontalHeader()->setSectionResizeMode(
      Options.Contains(dgColumnResize) ? QHeaderView::Interactive : QHeaderView::Fixed);
  // Column widths come from the grid's columns; fields without columns keep Qt's width.
  std::int32_t Shown = 0;
  for (std::int32_t I = 0; I < FGrid.Columns().Count(); ++I) {
    const TColumn* Column = FGrid.Columns().Items(I);
    if (!Column->Visible()) continue;
    FTable->setColumnWidth(Shown++, Column->Width());
  }

  const std::int32_t Row = FGrid.Row();
  if (Row >= 0) {
    const QModelIndex Current = FModel->index(Row, std::max(0, FGrid.SelectedIndex()));
    FTable->selectionModel()->setCurrentIndex(Current, QItemSelectionModel::ClearAndSelect |
                                                           (Options.Contains(dgRowSelect)
                                                                ? QItemSelectionModel::Rows
                                                                : QItemSelectionModel::NoUpdate));
  }

  TDataSet* Data = DataSet();
  const std::int32_t Count = Data ? Data->RecordCount() : 0;
  const std::int32_t RecNo = Data ? Data->RecNo() : 0;
  FScrollBar->setRange(0, std::max(0, Count - 1));
  FScrollBar->setPageStep(std::max(1, FGrid.VisibleRowCount()));
  if (RecNo > 0) FScrollBar->setValue(RecNo - 1);
  FScrollBar->setEnabled(Count > 1);
  FRefreshing = false;
}

void TQtDBGrid::FitRowsToHeight() {
  // The model grid counts its visible rows from its height and row height: the row height is
  // Qt's, so that the buffers it keeps are the rows the table has room for.
  const int RowHeight = std::max(FTable->fontMetrics().height() + 6, 18);
  FTable->verticalHeader()->setDefaultSectionSize(RowHeight);
  FTable->verticalHeader()->setMinimumSectionSize(RowHeight);
  if (FGrid.DefaultRowHeight() != RowHeight) FGrid.SetDefaultRowHeight(RowHeight);
}

void TQtDBGrid::resizeEvent(QResizeEvent* Event) {
  QWidget::resizeEvent(Event);
  if (!FRefreshing) Refresh();
}

void TQtDBGrid::ScrollTo(int Value) {
  TDataSet* Data = DataSet();
  if (!Data) return;
  FPerform([Data, Value] {
    const std::int32_t Target = Value + 1;
    if (Data->RecNo() > 0 && Data->RecNo() != Target) Data->SetRecNo(Target);
  });
}

bool TQtDBGrid::HandleKey(int Key, Qt::KeyboardModifiers Modifiers) {
  TDataSet* Data = DataSet();
  const bool Control = Modifiers.testFlag(Qt::ControlModifier);
  switch (Key) {
  case Qt::Key_Down:
    FPerform([this] { FGrid.KeyDown(); });
    return true;
  case Qt::Key_Up:
    FPerform([this] { FGrid.KeyUp(); });
    return true;
  case Qt::Key_PageDown:
  case Qt::Key_PageUp: {
    if (!Data) return true;
    const std::int32_t Page = std::max(1, FGrid.VisibleRowCount());
    FPerform([this, Data, Page, Key] {
      FGrid.SetFocus();
      Data->MoveBy(Key == Qt::Key_PageDown ? Page : -Page);
    });
    return true;
  }
  case Qt::Key_Home:
  case Qt::Key_End:
    if (!Control) {
      FPerform([this, Key] {
        FGrid.SetSelectedIndex(Key == Qt::Key_Home ? 0 : FGrid.ColumnCount() - 1);
      });
      return true;
    }
    if (Data) FPerform([Data, Key] { Key == Qt::Key_Home ? Data->First() : Data->Last(); });
    return true;
  case Qt::Key_Left:
  case Qt::Key_Right:
  case Qt::Key_Tab:
  case Qt::Key_Backtab: {
    const int Step = Key == Qt::Key_Left || Key == Qt::Key_Backtab ? -1 : 1;
    FPerform([this, Step] { FGrid.SetSelectedIndex(FGrid.SelectedIndex() + Step); });
    return true;
  }
  case Qt::Key_Insert:
    FPerform([this] { FGrid.KeyInsert(); });
    return true;
  case Qt::Key_Delete:
    FPerform([this] { FGrid.KeyCtrlDelete(); });
    return true;
  case Qt::Key_Escape:
    if (Data && (Data->State() == dsEdit || Data->State() == dsInsert)) {
      FPerform([Data] { Data->Cancel(); });
      return true;
    }
    return false;
  default:
    return false;
  }
}

bool TQtDBGrid::eventFilter(QObject* Watched, QEvent* Event) {
  if (Watched == FTable && Event->type() == QEvent::KeyPress && !Editing(FTable)) {
    auto* Key = static_cast<QKeyEvent*>(Event);
    if (HandleKey(Key->key(), Key->modifiers())) return true;
  }
  if (Watched == FTable->viewport() && Event->type() == QEvent::Wheel) {
    auto* Wheel = static_cast<QWheelEvent*>(Event);
    TDataSet* Data = DataSet();
    const int Steps = Wheel->angleDelta().y() / 40; // three records a notch
    if (Data && Steps != 0) FPerform([Data, Steps] { Data->MoveBy(-Steps); });
    return true;
  }
  return QWidget::eventFilter(Watched, Event);
}

namespace {

class TDBGridBinding : public TControlBinding {
public:
  TDBGridBinding(TDBGrid& Grid, QWidget* Parent, TQtFormView& View)
      : TControlBinding(Grid, MakeWidget(Grid, Parent, View), View) {}
  QWidget* FocusWidget() const override { return static_cast<TQtDBGrid*>(Widget())->Table(); }
  void Sync() override {
    TControlBinding::Sync();
    static_cast<TQtDBGrid*>(Widget())->Refresh();
  }

private:
  static TQtDBGrid* MakeWidget(TDBGrid& Grid, QWidget* Parent, TQtFormView& View) {
    return new TQtDBGrid(
        Grid, [&View](const std::function<void()>& Action) { View.Perform(Action); }, Parent);
  }
};

} // namespace

std::unique_ptr<TControlBinding> MakeDBGridBinding(TControl& Control, QWidget* Parent,
                                                   TQtFormView& View) {
  return BindAs<TDBGridBinding, TDBGrid>(Control, Parent, View);
}

} // namespace kelva
