// The view switcher and the commit and revert actions, each a call of the dataset's own.
#include "kelva/apps/viewer/ChangesToolBar.h"

#include "kelva/apps/viewer/PendingChanges.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>

namespace kelva::viewer {

namespace {

// In the order of TklvBrowseBuffer, so that an entry's index is the view's value.
constexpr const char* ViewNames[] = {"Current", "Committed", "Modified", "Inserted", "Deleted"};

} // namespace

TChangesToolBar::TChangesToolBar(TDatasetHost& Host, QWidget* Parent)
    : QToolBar(QStringLiteral("Changes"), Parent), FHost(Host), FViews(new QComboBox(this)) {
  setObjectName(QStringLiteral("changesToolBar"));
  addWidget(new QLabel(QStringLiteral(" Show: "), this));
  FViews->setObjectName(QStringLiteral("viewSwitcher"));
  for (const char* Name : ViewNames) FViews->addItem(QString::fromUtf8(Name));
  FViews->setToolTip(QStringLiteral("Which records to show while changes are pending"));
  addWidget(FViews);
  // Only a person's choice switches the view; ShowState's own changes of the index do not.
  connect(FViews, &QComboBox::activated, this, [this](int Index) { SwitchView(Index); });
  addSeparator();

  // The dataset's record-wise commit and revert first drop an edit in progress. What the
  // person typed is meant to be committed, so it is posted first; a revert drops it even when
  // nothing else is pending, where the dataset would leave it be.
  FCommitRecord = addAction(QStringLiteral("Commit record"), this, [this] {
    FHost.RunSettling([](TKelvaDataset& Data) {
      Data.CheckBrowseMode();
      Data.CommitRecord();
    });
  });
  FRevertRecord = addAction(QStringLiteral("Revert record"), this, [this] {
    FHost.RunSettling([](TKelvaDataset& Data) {
      Data.Cancel();
      Data.RevertRecord();
    });
  });
  FCommitAll = addAction(QStringLiteral("Commit all"), this, [this] { SettleAll(true); });
  FRevertAll = addAction(QStringLiteral("Revert all"), this, [this] { SettleAll(false); });
  ShowState();
}

void TChangesToolBar::SwitchView(int Index) {
  // The dataset ignores the choice while it has no working copy; the host then shows the state
  // again, and the switcher goes back to what is shown.
  FHost.Run(
      [Index](TKelvaDataset& Data) { Data.SetBrowseBuffer(static_cast<TklvBrowseBuffer>(Index)); });
}

void TChangesToolBar::SettleAll(bool Commit) {
  FHost.RunSettling([Commit](TKelvaDataset& Data) {
    // The dataset settles everything only from the current records (elsewhere it refuses
    // silently); a person asking from another view means all the same.
    Data.SetBrowseBuffer(brStandard);
    Commit ? Data.CommitUpdates() : Data.CancelUpdates();
  });
}

void TChangesToolBar::ShowState() {
  TKelvaDataset* Data = FHost.DataSet();
  const bool Open = Data && Data->Active();
  const TklvBrowseBuffer View = Open ? Data->BrowseBuffer() : brStandard;
  FViews->setCurrentIndex(static_cast<int>(View));
  // Views other than the current records exist while a working copy does.
  FViews->setEnabled(Open && (Data->CachedBufActive() || View != brStandard));
  const bool Pending = Open && ChangesPending(*Data);
  const bool OnRecord = Pending && View != brold && !Data->IsEmpty();
  FCommitRecord->setEnabled(OnRecord);
  FRevertRecord->setEnabled(OnRecord);
  FCommitAll->setEnabled(Pending);
  FRevertAll->setEnabled(Pending);
}

} // namespace kelva::viewer
