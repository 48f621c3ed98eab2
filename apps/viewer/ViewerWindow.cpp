// The main window: opening and saving files, and keeping the parts around the grid in line
// with the dataset.
#include "kelva/apps/viewer/ViewerWindow.h"

#include "kelva/apps/viewer/ChangesToolBar.h"
#include "kelva/apps/viewer/ColumnSorter.h"
#include "kelva/apps/viewer/DataPane.h"
#include "kelva/apps/viewer/DatasetFile.h"
#include "kelva/apps/viewer/PendingChanges.h"
#include "kelva/apps/viewer/SearchToolBar.h"
#include "kelva/apps/viewer/StatusLine.h"
#include "kelva/framework/forms/Dialogs.h"
#include "kelva/framework/widgets/DBGridView.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenuBar>
#include <QMetaObject>
#include <QTableView>

namespace kelva::viewer {

namespace {

std::string AskForFile(QWidget* Parent, bool Saving) {
  const QString Chosen =
      Saving ? QFileDialog::getSaveFileName(Parent, QStringLiteral("Save data file as"))
             : QFileDialog::getOpenFileName(Parent, QStringLiteral("Open data file"));
  return QFile::encodeName(Chosen).toStdString(); // the file system's bytes, as argv has them
}

QString ShownName(const std::string& FileName) {
  return QFileInfo(QFile::decodeName(FileName.c_str())).fileName();
}

} // namespace

TViewerWindow::TViewerWindow(QWidget* Parent)
    : QMainWindow(Parent), FPane(std::make_unique<TDataPane>()) {
  setObjectName(QStringLiteral("viewerWindow"));
  ChooseFile = [this](bool Saving) { return AskForFile(this, Saving); };

  setCentralWidget(FPane->Window());
  FChanges = new TChangesToolBar(*this, this);
  addToolBar(FChanges);
  addToolBarBreak();
  FSearch = new TSearchToolBar(*this, this);
  addToolBar(FSearch);
  FStatus = new TStatusLine(this);
  setStatusBar(FStatus);
  FSorter =
      new TColumnSorter(*this, FPane->Grid(), *FPane->GridWidget()->Table()->horizontalHeader());
  BuildFileMenu();

  // Whatever changes the dataset (the grid, the navigator, the tool bars) passes its data source.
  FPane->Source().OnDataChange = [this](TObject*, TField*) { ShowStateLater(); };
  FPane->Source().OnStateChange = [this](TObject*) { ShowStateLater(); };
  resize(900, 600);
  ShowState();
}

TViewerWindow::~TViewerWindow() {
  // The pane's view owns the form's window: it leaves the main window before either goes, and
  // nothing the pane reports while it goes is shown any more.
  FPane->Source().OnDataChange = nullptr;
  FPane->Source().OnStateChange = nullptr;
  takeCentralWidget();
  FPane.reset();
  FData.reset();
}

void TViewerWindow::BuildFileMenu() {
  QMenu* File = menuBar()->addMenu(QStringLiteral("&File"));
  FOpen = File->addAction(QStringLiteral("&Open..."), this, [this] { OpenChosenFile(); });
  FOpen->setShortcut(QKeySequence::Open);
  FSave = File->addAction(QStringLiteral("&Save"), this, [this] { Save(); });
  FSave->setShortcut(QKeySequence::Save);
  FSaveAs = File->addAction(QStringLiteral("Save &As..."), this, [this] { SaveAsChosenFile(); });
  FSaveAs->setShortcut(QKeySequence::SaveAs);
  File->addSeparator();
  FQuit = File->addAction(QStringLiteral("&Quit"), this, [this] { close(); });
  FQuit->setShortcut(QKeySequence::Quit);
}

TKelvaDataset* TViewerWindow::DataSet() const {
  return FData.get();
}

bool TViewerWindow::HasUnsavedChanges() const {
  return FData && (FUnsaved || EditInProgress(*FData));
}

// ---- Files ---------------------------------------------------------------------------------

bool TViewerWindow::OpenFile(const std::string& FileName) {
  std::unique_ptr<TEventDataset> Loaded;
  try {
    Loaded = LoadDatasetFile(FileName);
  } catch (const EAbort&) {
    return false;
  } catch (const Exception& E) {
    ShowError(E.Message());
    return false;
  } catch (const std::exception& E) {
    ShowError(E.what()); // memory, for one
    return false;
  }
  Watch(*Loaded);
  FPane->Show(Loaded.get());
  // The dataset shown before goes only now that nothing shows it.
  FData = std::move(Loaded);
  FFileName = FileName;
  FUnsaved = false;
  FSorter->Forget();
  FSearch->ShowFields();
  Note({});
  ShowState();
  return true;
}

void TViewerWindow::OpenChosenFile() {
  if (!ConfirmDiscard()) return;
  const std::string Chosen = ChooseFile(false);
  if (!Chosen.empty()) OpenFile(Chosen);
}

bool TViewerWindow::Save() {
  if (!FData) return false;
  return SaveTo(FFileName);
}

bool TViewerWindow::SaveAs(const std::string& FileName) {
  if (!FData || FileName.empty()) return false;
  if (!SaveTo(FileName)) return false;
  FFileName = FileName;
  ShowState();
  return true;
}

void TViewerWindow::SaveAsChosenFile() {
  if (!FData) return;
  const std::string Chosen = ChooseFile(true);
  if (!Chosen.empty()) SaveAs(Chosen);
}

bool TViewerWindow::SaveTo(const std::string& FileName) {
  bool Saved = false;
  try {
    SaveDatasetFile(*FData, FileName);
    Saved = true;
  } catch (const EAbort&) {
  } catch (const Exception& E) {
    ShowError(E.Message());
  } catch (const std::exception& E) {
    ShowError(E.what());
  }
  if (Saved) FUnsaved = false;
  // Saving posts an edit in progress: the widgets show that too.
  FPane->View().Sync();
  ShowState();
  return Saved;
}

bool TViewerWindow::ConfirmDiscard() {
  if (!HasUnsavedChanges()) return true;
  const std::string Question = "Save changes to " + ShownName(FFileName).toStdString() + "?";
  switch (MessageDlg(Question, mtConfirmation, {mbYes, mbNo, mbCancel}, 0)) {
  case mrYes:
    return Save();
  case mrNo:
    return true;
  default:
    return false;
  }
}

void TViewerWindow::closeEvent(QCloseEvent* Event) {
  if (ConfirmDiscard())
    Event->accept();
  else
    Event->ignore();
}

void TViewerWindow::showEvent(QShowEvent* Event) {
  QMainWindow::showEvent(Event);
  FPane->FitFormToWindow();
}

void TViewerWindow::ShowError(const std::string& Message) {
  MessageDlg(Message, mtError, {mbOK}, 0);
}

// ---- Actions on the dataset ----------------------------------------------------------------

void TViewerWindow::Watch(TEventDataset& Data) {
  Data.AfterPost = [this](TDataSet*) {
    FUnsaved = true;
    // The posted record stays where it was, whatever its new values: the order shown is gone.
    FSorter->Forget();
  };
  Data.AfterDelete = [this](TDataSet*) { FUnsaved = true; };
}

void TViewerWindow::Run(const TAction& Action) {
  if (!FData) return;
  TKelvaDataset& Data = *FData;
  FPane->View().Perform([&Data, &Action] { Action(Data); });
  ShowState();
}

void TViewerWindow::RunSettling(const TAction& Action) {
  if (!FData) return;
  if (FData->UpDatesPending()) FUnsaved = true;
  Run(Action);
}

void TViewerWindow::Note(const std::string& Text) {
  FStatus->Note(Text);
}

void TViewerWindow::ShowStateLater() {
  if (FStateQueued) return;
  FStateQueued = true;
  QMetaObject::invokeMethod(
      this, [this] { ShowState(); }, Qt::QueuedConnection);
}

void TViewerWindow::ShowState() {
  FStateQueued = false;
  if (FData && FData->Active()) {
    const int View = static_cast<int>(FData->BrowseBuffer());
    if (View != FShownView || FData->CachedBufActive() != FShownWorkingCopy) FSorter->Forget();
    FShownView = View;
    FShownWorkingCopy = FData->CachedBufActive();
  }
  FStatus->ShowState(FData.get());
  FChanges->ShowState();
  FSave->setEnabled(FData != nullptr);
  FSaveAs->setEnabled(FData != nullptr);
  const QString Name = FFileName.empty() ? QStringLiteral("no file") : ShownName(FFileName);
  setWindowTitle(Name + QStringLiteral("[*] - kelva-view"));
  setWindowModified(HasUnsavedChanges());
}

} // namespace kelva::viewer
