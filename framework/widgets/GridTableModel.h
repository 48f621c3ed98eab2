// The table model behind the grid's QTableView: it holds nothing but a reference to the model
// grid, whose data link keeps one buffer per visible row, so its rows are the visible ones.
#pragma once

#include "kelva/framework/forms/DBGrids.h"

#include <QAbstractTableModel>

#include <functional>

namespace kelva {

class TGridTableModel : public QAbstractTableModel {
public:
  using TPerform = std::function<void(const std::function<void()>&)>;
  TGridTableModel(TDBGrid& Grid, TPerform Perform, QObject* Parent);

  int rowCount(const QModelIndex& Parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& Parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& Index, int Role = Qt::DisplayRole) const override;
  QVariant headerData(int Section, Qt::Orientation Orientation,
                      int Role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& Index) const override;
  // An edited cell: the cell is clicked and the text typed into it, as in the model grid.
  bool setData(const QModelIndex& Index, const QVariant& Value, int Role = Qt::EditRole) override;

  // The model grid changed: rows and columns are read again.
  void Reload();

private:
  TDBGrid& FGrid;
  TPerform FPerform;
};

} // namespace kelva
