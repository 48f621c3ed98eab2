// TQtFormView: one form of the forms model on a real Qt window. The model stays the source of
// truth: every action a person takes on a widget becomes the model call a scripted test would
// make, and the widgets are then brought in line with the model (Sync).
#pragma once

#include "kelva/framework/forms/Forms.h"

#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

class QWidget;

namespace kelva {

class TControlBinding;

class TQtFormView {
public:
  // Builds the window and a widget for every control of Form. The view must not outlive the
  // form; TQtModalDriver and the programs keep that rule.
  explicit TQtFormView(TForm& Form);
  ~TQtFormView();
  TQtFormView(const TQtFormView&) = delete;
  TQtFormView& operator=(const TQtFormView&) = delete;

  TForm& Form() const { return FForm; }
  QWidget* Window() const { return FWindow.get(); }
  // The widget that shows Control, or null when it has none.
  QWidget* WidgetOf(const TControl* Control) const;

  // Runs a person's action on the model. An exception goes to Application->HandleException,
  // as the model's own modal loop does with it; the widgets then follow the model.
  void Perform(const std::function<void()>& Action);
  // Writes the model's state into every widget: texts, states, positions and the focus.
  void Sync();
  // True while Sync writes into the widgets: what the widgets report then is not a person's.
  bool Syncing() const { return FSyncing; }

  // A widget whose size Qt decides (a page) was resized: its children are placed again.
  void RequestLayout();

  // Shows the window (placed as the form's Position says) and makes it modal or not.
  void ShowWindow(bool Modal);

private:
  void Build(TWinControl& Parent, TControlBinding& ParentBinding);
  TControlBinding* BindingOf(const TControl* Control) const;
  void Layout(TWinControl& Parent);
  void SyncFocus();

  TForm& FForm;
  std::unique_ptr<QWidget> FWindow;
  std::vector<std::unique_ptr<TControlBinding>> FBindings; // the form's first, parents first
  std::unordered_map<const TControl*, TControlBinding*> FBindingOf;
  bool FSyncing = false;
  bool FPlaced = false;
  bool FLayoutRequested = false;
};

} // namespace kelva
