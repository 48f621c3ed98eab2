// TDesignerWindow: the design host's main window: the component palette, the designed form's
// component tree and the object inspector, with New, Open, Save and Save As of form files.
// The form (TDesignDocument) is the single source of truth: every person's action becomes a
// call on the designer or a property editor, and all views are refreshed from the form after it.
#pragma once

#include "kelva/apps/designer/DesignDocument.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <string>

class QAction;

namespace kelva {

class TComponentTreeView;
class TPropertyGridView;
class TPaletteView;

class TDesignerWindow : public QMainWindow {
public:
  // Starts with a new form. The palette shows what is registered now: call the packages'
  // Register before.
  explicit TDesignerWindow(QWidget* Parent = nullptr);
  ~TDesignerWindow() override;

  // The file commands. New and Open first offer to save unsaved changes; errors are shown in
  // a message box. Each returns whether it was done (false: cancelled or failed).
  bool NewForm();
  bool OpenFile(const std::string& FileName);
  bool Save(); // asks for a name when the form has none yet
  bool SaveAs(const std::string& FileName);
  // The program's argument: opens FileName, or, when no such file exists yet, starts a new form
  // that the first save writes there.
  void OpenOrStart(const std::string& FileName);
  // Centres the window on the primary screen, where the dialogs open too.
  void PlaceOnScreen();

  TDesignDocument& Document() const { return *FDocument; }
  TPaletteView& Palette() const { return *FPalette; }
  TComponentTreeView& Tree() const { return *FTree; }
  TPropertyGridView& Inspector() const { return *FInspector; }
  QAction* NewAction() const { return FNewAction; }
  QAction* OpenAction() const { return FOpenAction; }
  QAction* SaveAction() const { return FSaveAction; }
  QAction* SaveAsAction() const { return FSaveAsAction; }
  QAction* DeleteAction() const { return FDeleteAction; }

  // Asks a person for the file to open or to save to; "" when they cancel. A file dialog
  // unless replaced (tests answer it themselves).
  enum TFileQuestion { fqOpen, fqSave };
  std::function<std::string(TFileQuestion Question)> AskFileName;

protected:
  void closeEvent(QCloseEvent* Event) override;

private:
  void BuildViews();
  void BuildMenus();
  // Runs a person's action on the form: an error goes to the application's error report (a
  // message box), and the views follow the form afterwards.
  void Perform(const std::function<void()>& Action);
  void ModelChanged();
  void RefreshFromModel();
  void SetDocument(std::unique_ptr<TDesignDocument> Document);
  // True when the form on screen may be replaced: unchanged, saved, or given up by the person.
  bool ConfirmDiscard();
  // A value still being typed in the inspector is applied before a file command runs.
  void ApplyTypedValue();
  void DeleteSelection();
  std::string AskWithFileDialog(TFileQuestion Question);

  std::unique_ptr<TDesignDocument> FDocument;
  TPaletteView* FPalette = nullptr; // the widgets belong to the window
  TComponentTreeView* FTree = nullptr;
  TPropertyGridView* FInspector = nullptr;
  QAction* FNewAction = nullptr;
  QAction* FOpenAction = nullptr;
  QAction* FSaveAction = nullptr;
  QAction* FSaveAsAction = nullptr;
  QAction* FDeleteAction = nullptr;
  int FActionDepth = 0; // Perform calls running; the outermost refreshes the views
};

} // namespace kelva
