// The tool bar for pending changes: which records are shown (current, committed, modified,
// inserted, deleted) and the commit and revert actions, for the record at the cursor or for
// all of them.
#pragma once

#include "kelva/apps/viewer/DatasetHost.h"

#include <QToolBar>

class QAction;
class QComboBox;

namespace kelva::viewer {

class TChangesToolBar : public QToolBar {
public:
  TChangesToolBar(TDatasetHost& Host, QWidget* Parent);

  QComboBox* ViewSwitcher() const { return FViews; }
  QAction* CommitRecordAction() const { return FCommitRecord; }
  QAction* RevertRecordAction() const { return FRevertRecord; }
  QAction* CommitAllAction() const { return FCommitAll; }
  QAction* RevertAllAction() const { return FRevertAll; }

  // Shows the view the dataset is in and enables what can be done now.
  void ShowState();

private:
  void SwitchView(int Index);
  void SettleAll(bool Commit);

  TDatasetHost& FHost;
  QComboBox* FViews;
  QAction* FCommitRecord;
  QAction* FRevertRecord;
  QAction* FCommitAll;
  QAction* FRevertAll;
};

} // namespace kelva::viewer
