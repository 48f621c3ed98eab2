// Building the viewer's form in code and exchanging the dataset it shows.
#include "kelva/apps/viewer/DataPane.h"

#include "kelva/framework/widgets/DBGridView.h"

#include <QWidget>

namespace kelva::viewer {

TDataPane::TDataPane()
    : FSource(new TDataSource(&FForm)), FNavigator(new TDBNavigator(&FForm)),
      FGrid(new TDBGrid(&FForm)) {
  FForm.SetName("ViewerForm");
  FForm.SetClientWidth(760);
  FForm.SetClientHeight(420);
  FSource->SetName("Source");

  FNavigator->SetName("Navigator");
  FNavigator->SetParent(&FForm);
  FNavigator->SetAlign(alTop);
  FNavigator->SetHeight(26);
  FNavigator->SetTabStop(false);
  // No refresh: the dataset's refresh reopens it and asks its load event for the records,
  // and records read from a file have no such source, so it would empty the grid (and a save
  // after it the file). Reading the file again is File, Open.
  FNavigator->SetVisibleButtons(
      {nbFirst, nbPrior, nbNext, nbLast, nbInsert, nbDelete, nbEdit, nbPost, nbCancel});
  FNavigator->SetDataSource(FSource);

  FGrid->SetName("Grid");
  FGrid->SetParent(&FForm);
  FGrid->SetAlign(alClient);
  FGrid->SetDataSource(FSource);

  FForm.SetActiveControl(FGrid);
  // The form is shown in the model before its window exists: the view follows the model, and
  // would hide the window of a form the model calls hidden.
  FForm.Show();
  FView = std::make_unique<TQtFormView>(FForm);
}

TDataPane::~TDataPane() {
  FView.reset();
}

TQtDBGrid* TDataPane::GridWidget() const {
  return static_cast<TQtDBGrid*>(FView->WidgetOf(FGrid));
}

void TDataPane::Show(TDataSet* Data) {
  FSource->SetDataSet(Data);
  FView->Sync();
}

void TDataPane::FitFormToWindow() {
  const QWidget* Shown = Window();
  if (FForm.ClientWidth() == Shown->width() && FForm.ClientHeight() == Shown->height()) return;
  FView->Perform([this, Shown] {
    FForm.SetClientWidth(Shown->width());
    FForm.SetClientHeight(Shown->height());
  });
}

} // namespace kelva::viewer
