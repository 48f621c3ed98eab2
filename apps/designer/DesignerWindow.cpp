// The design host's main window: its layout and menus, the file commands with the question
// about unsaved changes, and the one path (Perform) every person's action takes to the form.
#include "kelva/apps/designer/DesignerWindow.h"

#include "kelva/apps/designer/ComponentTreeView.h"
#include "kelva/apps/designer/PaletteView.h"
#include "kelva/apps/designer/PropertyGridView.h"
#include "kelva/framework/forms/Dialogs.h"
#include "kelva/framework/rtl/Application.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QSplitter>
#include <QVBoxLayout>

#include <filesystem>

namespace kelva {

namespace {

// Counts a running Perform, also when the action's error report throws.
class TActionDepth {
public:
  explicit TActionDepth(int& Depth) : FDepth(Depth) { ++FDepth; }
  ~TActionDepth() { --FDepth; }
  TActionDepth(const TActionDepth&) = delete;
  TActionDepth& operator=(const TActionDepth&) = delete;

private:
  int& FDepth;
};

QString ShownFileName(const TDesignDocument& Document) {
  if (Document.FileName().empty()) return QStringLiteral("Untitled");
  return QFileInfo(QFile::decodeName(Document.FileName().c_str())).fileName();
}

} // namespace

TDesignerWindow::TDesignerWindow(QWidget* Parent) : QMainWindow(Parent) {
  setObjectName(QStringLiteral("DesignerWindow"));
  AskFileName = [this](TFileQuestion Question) { return AskWithFileDialog(Question); };
  BuildViews();
  BuildMenus();
  resize(860, 560);
  SetDocument(std::make_unique<TDesignDocument>());
}

TDesignerWindow::~TDesignerWindow() {
  // The views refer to the form: they must not hear of it while it goes.
  FDocument->Designer().OnModified = nullptr;
  FInspector->SetInspector(nullptr);
  FTree->Show(nullptr, {});
}

void TDesignerWindow::BuildViews() {
  auto* Central = new QWidget(this);
  auto* Column = new QVBoxLayout(Central);
  Column->setContentsMargins(4, 4, 4, 4);
  FPalette = new TPaletteView(Central);
  FPalette->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
  FPalette->OnPick = [this](const TClassInfo* Class) {
    Perform([this, Class] { FDocument->Designer().DropComponent(Class); });
  };
  Column->addWidget(FPalette);

  auto* Split = new QSplitter(Qt::Horizontal, Central);
  FTree = new TComponentTreeView(Split);
  FTree->OnSelect = [this](const std::vector<TPersistent*>& Selected) {
    Perform([this, &Selected] { FDocument->Designer().SelectMany(Selected); });
  };
  FInspector = new TPropertyGridView(Split);
  FInspector->Perform = [this](const std::function<void()>& Action) { Perform(Action); };
  FInspector->OnDialog = [this](const std::string& Path) {
    Perform([this, &Path] { FDocument->EditWithDialog(Path); });
  };
  Split->addWidget(FTree);
  Split->addWidget(FInspector);
  Split->setStretchFactor(0, 2);
  Split->setStretchFactor(1, 3);
  Column->addWidget(Split, 1);
  setCentralWidget(Central);
}

void TDesignerWindow::BuildMenus() {
  QMenu* File = menuBar()->addMenu(QStringLiteral("&File"));
  FNewAction = File->addAction(QStringLiteral("&New"), this, [this] { NewForm(); });
  FNewAction->setShortcut(QKeySequence::New);
  FOpenAction = File->addAction(QStringLiteral("&Open..."), this, [this] {
    ApplyTypedValue();
    if (const std::string Name = AskFileName(fqOpen); !Name.empty()) OpenFile(Name);
  });
  FOpenAction->setShortcut(QKeySequence::Open);
  FSaveAction = File->addAction(QStringLiteral("&Save"), this, [this] { Save(); });
  FSaveAction->setShortcut(QKeySequence::Save);
  FSaveAsAction = File->addAction(QStringLiteral("Save &As..."), this, [this] {
    ApplyTypedValue();
    if (const std::string Name = AskFileName(fqSave); !Name.empty()) SaveAs(Name);
  });
  FSaveAsAction->setShortcut(QKeySequence::SaveAs);
  File->addSeparator();
  QAction* Quit = File->addAction(QStringLiteral("&Quit"), this, [this] { close(); });
  Quit->setShortcut(QKeySequence::Quit);

  QMenu* Edit = menuBar()->addMenu(QStringLiteral("&Edit"));
  FDeleteAction = Edit->addAction(QStringLiteral("&Delete"), this, [this] { DeleteSelection(); });
  FDeleteAction->setShortcut(QKeySequence::Delete);
  // The Delete key deletes components only while the tree has the focus; elsewhere it edits
  // text.
  FDeleteAction->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  FTree->addAction(FDeleteAction);
}

void TDesignerWindow::Perform(const std::function<void()>& Action) {
  {
    TActionDepth Running(FActionDepth);
    try {
      Action();
    } catch (...) {
      Application->HandleException(nullptr);
    }
  }
  if (FActionDepth == 0) RefreshFromModel();
}

void TDesignerWindow::ModelChanged() {
  // Inside an action the views are refreshed once it is over: widgets whose signal is being
  // handled are not rebuilt under it.
  if (FActionDepth == 0) RefreshFromModel();
}

void TDesignerWindow::RefreshFromModel() {
  TDesignerHost& Designer = FDocument->Designer();
  FTree->Show(&FDocument->Root(), Designer.Selection());
  FInspector->Refresh();
  bool AnyBelowRoot = false;
  for (TPersistent* Selected : Designer.Selection())
    AnyBelowRoot = AnyBelowRoot || Selected != &FDocument->Root();
  FDeleteAction->setEnabled(AnyBelowRoot);
  setWindowTitle(ShownFileName(*FDocument) + QStringLiteral("[*] - Kelva Designer"));
  setWindowModified(FDocument->Modified());
}

void TDesignerWindow::SetDocument(std::unique_ptr<TDesignDocument> Document) {
  std::unique_ptr<TDesignDocument> Previous = std::move(FDocument);
  if (Previous) Previous->Designer().OnModified = nullptr;
  FDocument = std::move(Document);
  FDocument->Designer().OnModified = [this] { ModelChanged(); };
  FInspector->SetInspector(&FDocument->Inspector());
  RefreshFromModel();
  // The previous form goes only once no view refers to it.
  Previous.reset();
}

bool TDesignerWindow::NewForm() {
  if (!ConfirmDiscard()) return false;
  SetDocument(std::make_unique<TDesignDocument>());
  return true;
}

bool TDesignerWindow::OpenFile(const std::string& FileName) {
  if (!ConfirmDiscard()) return false;
  std::unique_ptr<TDesignDocument> Loaded;
  try {
    Loaded = TDesignDocument::Load(FileName);
  } catch (...) {
    // The form on screen stays as it was.
    Application->HandleException(nullptr);
    return false;
  }
  SetDocument(std::move(Loaded));
  return true;
}

void TDesignerWindow::OpenOrStart(const std::string& FileName) {
  std::error_code Error;
  if (std::filesystem::exists(FileName, Error) || Error) {
    OpenFile(FileName); // what cannot be looked at is reported by the attempt to read it
    return;
  }
  auto Fresh = std::make_unique<TDesignDocument>();
  Fresh->SetFileName(FileName);
  SetDocument(std::move(Fresh));
}

void TDesignerWindow::PlaceOnScreen() {
  if (QScreen* Screen = QGuiApplication::primaryScreen()) {
    QRect Frame(QPoint(0, 0), size());
    Frame.moveCenter(Screen->availableGeometry().center());
    move(Frame.topLeft());
  }
}

bool TDesignerWindow::Save() {
  ApplyTypedValue();
  if (!FDocument->FileName().empty()) return SaveAs(FDocument->FileName());
  const std::string Name = AskFileName(fqSave);
  return !Name.empty() && SaveAs(Name);
}

bool TDesignerWindow::SaveAs(const std::string& FileName) {
  bool Saved = false;
  Perform([this, &FileName, &Saved] {
    FDocument->SaveAs(FileName);
    Saved = true;
  });
  return Saved;
}

bool TDesignerWindow::ConfirmDiscard() {
  ApplyTypedValue();
  if (!FDocument->Modified()) return true;
  const std::string Question =
      "Save the changes to " + ShownFileName(*FDocument).toStdString() + "?";
  switch (MessageDlg(Question, mtConfirmation, {mbYes, mbNo, mbCancel}, 0)) {
  case mrYes:
    return Save();
  case mrNo:
    return true;
  default:
    return false;
  }
}

void TDesignerWindow::ApplyTypedValue() {
  // Leaving the field applies what was typed in it, as a person clicking elsewhere would.
  QWidget* Focused = QApplication::focusWidget();
  if (Focused && FInspector->isAncestorOf(Focused)) Focused->clearFocus();
}

void TDesignerWindow::DeleteSelection() {
  Perform([this] {
    TComponent& Root = FDocument->Root();
    TDesignerHost& Designer = FDocument->Designer();
    const std::vector<TPersistent*> Selected = Designer.Selection();
    bool Deleted = false;
    for (TPersistent* Instance : Selected) {
      // Deleting one component may have taken others with it: only those still on the form
      // are deleted.
      for (std::int32_t I = 0; I < Root.ComponentCount(); ++I)
        if (Root.Components(I) == Instance) {
          delete Root.Components(I);
          Deleted = true;
          break;
        }
    }
    if (!Deleted) return;
    Designer.Select(&Root);
    Designer.Modified();
  });
}

void TDesignerWindow::closeEvent(QCloseEvent* Event) {
  if (ConfirmDiscard())
    Event->accept();
  else
    Event->ignore();
}

std::string TDesignerWindow::AskWithFileDialog(TFileQuestion Question) {
  QFileDialog Dialog(this, Question == fqOpen ? QStringLiteral("Open a form file")
                                              : QStringLiteral("Save the form file"));
  Dialog.setNameFilters({QStringLiteral("Form files (*.kfm)"), QStringLiteral("All files (*)")});
  if (Question == fqSave) {
    Dialog.setAcceptMode(QFileDialog::AcceptSave);
    Dialog.setDefaultSuffix(QStringLiteral("kfm"));
    if (!FDocument->FileName().empty())
      Dialog.selectFile(QFile::decodeName(FDocument->FileName().c_str()));
  } else {
    Dialog.setFileMode(QFileDialog::ExistingFile);
  }
  if (Dialog.exec() != QDialog::Accepted || Dialog.selectedFiles().isEmpty()) return {};
  return QFile::encodeName(Dialog.selectedFiles().front()).toStdString();
}

} // namespace kelva
