// TViewerWindow: the data viewer's main window. A data file is shown in the grid of a form of
// the forms model, with plain Qt around it for what that model has no control for: the File
// menu, the tool bars for pending changes and for searching, and the status line.
#pragma once

#include "kelva/apps/viewer/DatasetHost.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <string>

class QAction;

namespace kelva {
class TEventDataset;
}

namespace kelva::viewer {

class TChangesToolBar;
class TColumnSorter;
class TDataPane;
class TSearchToolBar;
class TStatusLine;

class TViewerWindow : public QMainWindow, private TDatasetHost {
public:
  explicit TViewerWindow(QWidget* Parent = nullptr);
  ~TViewerWindow() override;

  // Shows FileName in place of what is shown. A file that cannot be read changes nothing: the
  // loader's message is shown in a message box and false returned.
  bool OpenFile(const std::string& FileName);
  // Writes the dataset, pending changes included, to the open file or to FileName, which then
  // becomes the open file. A failure is shown and returns false; the file on disk is then as
  // it was.
  bool Save();
  bool SaveAs(const std::string& FileName);
  // With unsaved changes, asks whether to save them first. True when the person may go on:
  // nothing to save, saved, or not wanted.
  bool ConfirmDiscard();

  TKelvaDataset* DataSet() const override;
  const std::string& FileName() const { return FFileName; }
  // Changes made since the file was opened or saved, an edit being typed included.
  bool HasUnsavedChanges() const;

  // The parts, for a program or test that drives the window.
  TDataPane& Pane() const { return *FPane; }
  TChangesToolBar& ChangesBar() const { return *FChanges; }
  TSearchToolBar& SearchBar() const { return *FSearch; }
  TStatusLine& Status() const { return *FStatus; }
  QAction* OpenAction() const { return FOpen; }
  QAction* SaveAction() const { return FSave; }
  QAction* SaveAsAction() const { return FSaveAs; }
  QAction* QuitAction() const { return FQuit; }

  // Asks the person for a file to open (Saving false) or to save to; "" when they cancel.
  // A file dialog unless replaced.
  std::function<std::string(bool Saving)> ChooseFile;

protected:
  void closeEvent(QCloseEvent* Event) override;
  void showEvent(QShowEvent* Event) override;

private:
  void Run(const TAction& Action) override;
  void RunSettling(const TAction& Action) override;
  void Note(const std::string& Text) override;

  void BuildFileMenu();
  void OpenChosenFile();
  void SaveAsChosenFile();
  bool SaveTo(const std::string& FileName);
  void ShowError(const std::string& Message);
  void Watch(TEventDataset& Data);
  // Brings the status line, the tool bars and the title up to date with the dataset.
  void ShowState();
  // Many dataset notifications come in one operation: the state is shown once, after it.
  void ShowStateLater();

  // Declared before the pane: the pane's data source lets go of it before it is destroyed.
  std::unique_ptr<TEventDataset> FData;
  std::unique_ptr<TDataPane> FPane;
  std::string FFileName;
  bool FUnsaved = false;
  bool FStateQueued = false;
  // What the sort order shown belongs to; when either changes the records are in another
  // order (see ShowState).
  int FShownView = 0;
  bool FShownWorkingCopy = false;

  TChangesToolBar* FChanges; // these are owned by the window, as Qt children
  TSearchToolBar* FSearch;
  TStatusLine* FStatus;
  TColumnSorter* FSorter;
  QAction* FOpen = nullptr;
  QAction* FSave = nullptr;
  QAction* FSaveAs = nullptr;
  QAction* FQuit = nullptr;
};

} // namespace kelva::viewer
