// The data part of the viewer's window: a form of the forms model, built in code, with a
// navigator above a grid over one data source, shown on Qt widgets by a form view. The dataset
// on show can be exchanged without rebuilding anything.
#pragma once

#include "kelva/framework/db/DataSource.h"
#include "kelva/framework/forms/DBCtrls.h"
#include "kelva/framework/forms/DBGrids.h"
#include "kelva/framework/forms/Forms.h"
#include "kelva/framework/widgets/FormView.h"

#include <memory>

class QWidget;

namespace kelva {
class TQtDBGrid;
}

namespace kelva::viewer {

class TDataPane {
public:
  TDataPane();
  ~TDataPane();
  TDataPane(const TDataPane&) = delete;
  TDataPane& operator=(const TDataPane&) = delete;

  TForm& Form() { return FForm; }
  TDataSource& Source() const { return *FSource; }
  TDBGrid& Grid() const { return *FGrid; }
  TDBNavigator& Navigator() const { return *FNavigator; }
  TQtFormView& View() const { return *FView; }

  // The form's window, to be placed in the main window.
  QWidget* Window() const { return FView->Window(); }
  TQtDBGrid* GridWidget() const;
  QWidget* NavigatorWidget() const { return FView->WidgetOf(FNavigator); }

  // Shows Data (null: nothing). The caller keeps Data alive while it is shown.
  void Show(TDataSet* Data);
  // The window got its size from a layout while it was hidden, which the form view does not
  // see: the form learns it, so that the grid keeps as many rows as it has room for.
  void FitFormToWindow();

private:
  TForm FForm{nullptr};
  // Owned by the form, as components are.
  TDataSource* FSource;
  TDBNavigator* FNavigator;
  TDBGrid* FGrid;
  // Declared after the form: the view goes first, as it must not outlive the form.
  std::unique_ptr<TQtFormView> FView;
};

} // namespace kelva::viewer
