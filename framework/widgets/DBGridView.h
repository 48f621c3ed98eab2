// TQtDBGrid: the model grid on a QTableView. The table shows only the rows the model grid
// holds (one record buffer per visible row); a separate scroll bar stands for the whole
// dataset and moves the current record, so a million records cost no more than a hundred.
#pragma once

#include "kelva/framework/forms/DBGrids.h"

#include <QWidget>

#include <functional>
#include <memory>

class QScrollBar;
class QTableView;

namespace kelva {

class TControlBinding;
class TGridTableModel;
class TQtFormView;

class TQtDBGrid : public QWidget {
public:
  using TPerform = std::function<void(const std::function<void()>&)>;
  // Perform runs a person's action on the model (reporting its errors and syncing after it).
  TQtDBGrid(TDBGrid& Grid, TPerform Perform, QWidget* Parent = nullptr);
  ~TQtDBGrid() override;

  TDBGrid& Grid() const { return FGrid; }
  QTableView* Table() const { return FTable; }
  QScrollBar* ScrollBar() const { return FScrollBar; }
  // Reads the visible rows, the titles and the position again from the model grid.
  void Refresh();

protected:
  void resizeEvent(QResizeEvent* Event) override;
  bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
  class TWatchLink;
  bool HandleKey(int Key, Qt::KeyboardModifiers Modifiers);
  void FitRowsToHeight();
  void ScrollTo(int Value);
  TDataSet* DataSet() const;

  TDBGrid& FGrid;
  TPerform FPerform;
  QTableView* FTable;
  QScrollBar* FScrollBar;
  TGridTableModel* FModel;
  std::unique_ptr<TWatchLink> FWatch;
  bool FRefreshing = false;
  bool FRefreshQueued = false;
};

std::unique_ptr<TControlBinding> MakeDBGridBinding(TControl& Control, QWidget* Parent,
                                                   TQtFormView& View);

} // namespace kelva
