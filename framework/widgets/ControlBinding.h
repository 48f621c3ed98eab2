// The link between one control of the forms model and the Qt widget that shows it. Each kind
// of control has its binding; MakeBinding picks it. Bindings are internal to the widget set.
#pragma once

#include "kelva/framework/forms/Controls.h"

#include <QRect>
#include <QString>

#include <functional>
#include <memory>

class QWidget;

namespace kelva {

class TQtFormView;

class TControlBinding {
public:
  TControlBinding(TControl& Control, QWidget* Widget, TQtFormView& View)
      : FControl(Control), FWidget(Widget), FView(View) {}
  virtual ~TControlBinding() = default;
  TControlBinding(const TControlBinding&) = delete;
  TControlBinding& operator=(const TControlBinding&) = delete;

  TControl& Control() const { return FControl; }
  QWidget* Widget() const { return FWidget; }

  // Places the widget of a child control inside this one (a tab for a page control).
  virtual void Adopt(TControlBinding& Child);
  // The rectangle, in this widget's coordinates, that aligned children share.
  virtual QRect ClientRect() const;
  // The widget that takes the keyboard focus for the control (an inner one for composites).
  virtual QWidget* FocusWidget() const { return FWidget; }
  // False when Qt places the children (the pages of a page control).
  virtual bool PlacesChildren() const { return true; }
  // Writes the model's state into the widget; the base handles what every control has.
  virtual void Sync();

protected:
  TQtFormView& View() const { return FView; }
  // Runs a person's action through the view (errors reported, widgets synced afterwards).
  void Perform(const std::function<void()>& Action) const;
  bool Syncing() const;

private:
  TControl& FControl;
  QWidget* FWidget; // owned by its Qt parent, which the view owns
  TQtFormView& FView;
};

// The binding for Control, with its widget created as a child of Parent.
std::unique_ptr<TControlBinding> MakeBinding(TControl& Control, QWidget* Parent, TQtFormView& View);

// A TBinding when Control is a TModel, else null.
template <class TBinding, class TModel>
std::unique_ptr<TControlBinding> BindAs(TControl& Control, QWidget* Parent, TQtFormView& View) {
  if (auto* Model = dynamic_cast<TModel*>(&Control))
    return std::make_unique<TBinding>(*Model, Parent, View);
  return nullptr;
}

// The bindings of each family of controls.
std::unique_ptr<TControlBinding> MakeStdControlBinding(TControl& Control, QWidget* Parent,
                                                       TQtFormView& View);
std::unique_ptr<TControlBinding> MakePageControlBinding(TControl& Control, QWidget* Parent,
                                                        TQtFormView& View);
std::unique_ptr<TControlBinding> MakeDBControlBinding(TControl& Control, QWidget* Parent,
                                                      TQtFormView& View);

// Gives the model the focus when a person focuses the binding's widget (windowed controls).
void WatchFocus(TControlBinding& Binding, TQtFormView& View);

// "&Name" is the model's accelerator mark and Qt's alike; "&&" stays a literal ampersand.
QString QtText(const std::string& Text);
std::string ModelText(const QString& Text);

} // namespace kelva
