// What every binding shares, and the choice of binding for a control.
#include "kelva/framework/widgets/ControlBinding.h"

#include "kelva/framework/widgets/FormView.h"

#include <QEvent>
#include <QWidget>

namespace kelva {

namespace {

// A person moving the keyboard focus onto a widget gives its control the focus in the model,
// where the previous control may refuse to be left.
class TFocusWatch : public QObject {
public:
  TFocusWatch(TWinControl& Control, TQtFormView& View, QObject* Parent)
      : QObject(Parent), FControl(Control), FView(View) {}

protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override {
    if (Event->type() == QEvent::FocusIn && !FView.Syncing() && !FControl.Focused() &&
        FControl.CanFocus())
      FView.Perform([this] { FControl.SetFocus(); });
    return QObject::eventFilter(Watched, Event);
  }

private:
  TWinControl& FControl;
  TQtFormView& FView;
};

} // namespace

void TControlBinding::Adopt(TControlBinding& Child) {
  Child.Widget()->setParent(FWidget);
}

QRect TControlBinding::ClientRect() const {
  return {0, 0, FControl.Width(), FControl.Height()};
}

void TControlBinding::Sync() {
  auto* Parent = FControl.Parent();
  const bool Shown = FControl.Visible() && (!Parent || Parent->ShowsChild(&FControl));
  // A hidden parent hides its children already; only the control's own flag is mirrored.
  if (FWidget->isHidden() == Shown) FWidget->setVisible(Shown);
  if (FWidget->isEnabled() != FControl.Enabled()) FWidget->setEnabled(FControl.Enabled());
  FWidget->setToolTip(QString::fromStdString(FControl.Hint()));
}

void TControlBinding::Perform(const std::function<void()>& Action) const {
  FView.Perform(Action);
}

bool TControlBinding::Syncing() const {
  return FView.Syncing();
}

void WatchFocus(TControlBinding& Binding, TQtFormView& View) {
  auto* WinControl = dynamic_cast<TWinControl*>(&Binding.Control());
  if (!WinControl) return;
  QWidget* Target = Binding.FocusWidget();
  Target->installEventFilter(new TFocusWatch(*WinControl, View, Target));
}

std::unique_ptr<TControlBinding> MakeBinding(TControl& Control, QWidget* Parent,
                                             TQtFormView& View) {
  std::unique_ptr<TControlBinding> Binding = MakeDBControlBinding(Control, Parent, View);
  if (!Binding) Binding = MakePageControlBinding(Control, Parent, View);
  if (!Binding) Binding = MakeStdControlBinding(Control, Parent, View);
  if (!Binding) return nullptr;
  Binding->Widget()->setObjectName(QString::fromStdString(Control.Name()));
  WatchFocus(*Binding, View);
  return Binding;
}

QString QtText(const std::string& Text) {
  return QString::fromStdString(Text);
}

std::string ModelText(const QString& Text) {
  return Text.toStdString();
}

} // namespace kelva
