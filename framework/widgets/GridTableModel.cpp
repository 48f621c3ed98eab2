// The grid's rows, titles, row indicator and cell edits as a Qt table model.
#include "kelva/framework/widgets/GridTableModel.h"

#include "kelva/framework/db/DataSet.h"
#include "kelva/framework/db/Fields.h"

namespace kelva {

namespace {

// The row indicator: browsing, editing or inserting the current record.
QString Indicator(const TDBGrid& Grid) {
  TDataSource* Source = Grid.DataSource();
  TDataSet* Data = Source ? Source->DataSet() : nullptr;
  if (!Data) return {};
  switch (Data->State()) {
  case dsInsert:
    return QStringLiteral("*");
  case dsEdit:
    return QStringLiteral("I");
  default:
    return QString::fromUtf8("\u25B6");
  }
}

} // namespace

TGridTableModel::TGridTableModel(TDBGrid& Grid, TPerform Perform, QObject* Parent)
    : QAbstractTableModel(Parent), FGrid(Grid), FPerform(std::move(Perform)) {}

int TGridTableModel::rowCount(const QModelIndex& Parent) const {
  return Parent.isValid() ? 0 : FGrid.RowCount();
}

int TGridTableModel::columnCount(const QModelIndex& Parent) const {
  return Parent.isValid() ? 0 : FGrid.ColumnCount();
}

QVariant TGridTableModel::data(const QModelIndex& Index, int Role) const {
  if (Index.isValid() && Role == Qt::TextAlignmentRole) {
    // Numbers line up on their last digit, as in the framework's grids.
    TField* Field = FGrid.ColumnField(Index.column());
    const bool Numeric =
        Field && (Field->DataType() == ftSmallint || Field->DataType() == ftInteger ||
                  Field->DataType() == ftFloat || Field->DataType() == ftBCD);
    return QVariant::fromValue(Numeric ? Qt::AlignRight | Qt::AlignVCenter
                                       : Qt::AlignLeft | Qt::AlignVCenter);
  }
  if (!Index.isValid() || (Role != Qt::DisplayRole && Role != Qt::EditRole)) return {};
  if (Index.row() >= FGrid.RowCount() || Index.column() >= FGrid.ColumnCount()) return {};
  try {
    return QString::fromStdString(FGrid.CellText(Index.row(), Index.column()));
  } catch (const std::exception&) {
    // A field that cannot show its value (a failing calculation) draws an empty cell; the
    // error is the dataset's to report when the value is used.
    return {};
  }
}

QVariant TGridTableModel::headerData(int Section, Qt::Orientation Orientation, int Role) const {
  if (Role != Qt::DisplayRole) return {};
  if (Orientation == Qt::Horizontal) return QString::fromStdString(FGrid.ColumnTitle(Section));
  return Section == FGrid.Row() ? Indicator(FGrid) : QString();
}

Qt::ItemFlags TGridTableModel::flags(const QModelIndex& Index) const {
  Qt::ItemFlags Flags = QAbstractTableModel::flags(Index);
  const TDBGridOptions Options = FGrid.Options();
  const bool Editable =
      Options.Contains(dgEditing) && !Options.Contains(dgRowSelect) && FGrid.CanModify();
  if (Editable) Flags |= Qt::ItemIsEditable;
  return Flags;
}

bool TGridTableModel::setData(const QModelIndex& Index, const QVariant& Value, int Role) {
  if (!Index.isValid() || Role != Qt::EditRole) return false;
  const std::string Text = Value.toString().toStdString();
  bool Taken = false;
  FPerform([&] {
    FGrid.ClickCell(Index.row(), Index.column());
    Taken = FGrid.TypeCell(Text);
  });
  return Taken;
}

void TGridTableModel::Reload() {
  beginResetModel();
  endResetModel();
}

} // namespace kelva
