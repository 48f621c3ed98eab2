// The form's window, the building of the widget tree and the model-to-widget pass.
#include "kelva/framework/widgets/FormView.h"

#include "kelva/framework/rtl/Application.h"
#include "kelva/framework/widgets/AlignLayout.h"
#include "kelva/framework/widgets/ControlBinding.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QResizeEvent>
#include <QScreen>
#include <QWidget>

namespace kelva {

namespace {

// The top-level window: Enter and Escape press the form's default and cancel buttons, and the
// window's close box asks the form to close instead of closing the window behind its back.
class TFormWindow : public QWidget {
public:
  explicit TFormWindow(TQtFormView& View) : FView(View) {}

protected:
  void keyPressEvent(QKeyEvent* Event) override {
    switch (Event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      FView.Perform([this] { FView.Form().PressEnter(); });
      return;
    case Qt::Key_Escape:
      FView.Perform([this] { FView.Form().PressEscape(); });
      return;
    default:
      QWidget::keyPressEvent(Event);
    }
  }
  void resizeEvent(QResizeEvent* Event) override {
    QWidget::resizeEvent(Event);
    // A person resizing a sizeable window changes the form's client area.
    TForm& Form = FView.Form();
    if (FView.Syncing() || !isVisible()) return;
    if (Form.ClientWidth() == width() && Form.ClientHeight() == height()) return;
    FView.Perform([&Form, this] {
      Form.SetClientWidth(width());
      Form.SetClientHeight(height());
    });
  }
  void closeEvent(QCloseEvent* Event) override {
    TForm& Form = FView.Form();
    if (!Form.Visible()) {
      Event->accept();
      return;
    }
    FView.Perform([&Form] { Form.Close(); });
    // A modal form closes when its loop sees the result; a modeless one when it hid itself.
    if (Form.Modal() || Form.Visible())
      Event->ignore();
    else
      Event->accept();
  }

private:
  TQtFormView& FView;
};

class TFormBinding : public TControlBinding {
public:
  TFormBinding(TForm& Form, QWidget* Window, TQtFormView& View)
      : TControlBinding(Form, Window, View) {}
  QRect ClientRect() const override {
    const auto& Form = static_cast<const TForm&>(Control());
    return {0, 0, Form.ClientWidth(), Form.ClientHeight()};
  }
  void Sync() override {
    const auto& Form = static_cast<const TForm&>(Control());
    QWidget* Window = Widget();
    Window->setWindowTitle(QtText(Form.Caption()).remove(QLatin1Char('&')));
    const QSize Client(Form.ClientWidth(), Form.ClientHeight());
    const bool Fixed = Form.BorderStyle() == bsDialog || Form.BorderStyle() == bsSingle ||
                       Form.BorderStyle() == bsToolWindow;
    if (Fixed)
      Window->setFixedSize(Client);
    else if (Window->size() != Client && !Window->isVisible())
      Window->resize(Client);
    Window->setEnabled(Form.Enabled());
  }
};

} // namespace

TQtFormView::TQtFormView(TForm& Form) : FForm(Form), FWindow(std::make_unique<TFormWindow>(*this)) {
  FWindow->setObjectName(QString::fromStdString(Form.Name()));
  FBindings.push_back(std::make_unique<TFormBinding>(Form, FWindow.get(), *this));
  FBindingOf[&Form] = FBindings.front().get();
  Build(Form, *FBindings.front());
  Sync();
}

TQtFormView::~TQtFormView() {
  // The widgets go with the window; the bindings only point at them.
  FBindings.clear();
  FWindow.reset();
}

void TQtFormView::Build(TWinControl& Parent, TControlBinding& ParentBinding) {
  for (std::int32_t I = 0; I < Parent.ControlCount(); ++I) {
    TControl* Child = Parent.Controls(I);
    std::unique_ptr<TControlBinding> Binding = MakeBinding(*Child, ParentBinding.Widget(), *this);
    if (!Binding) continue;
    TControlBinding& Made = *Binding;
    FBindingOf[Child] = &Made;
    FBindings.push_back(std::move(Binding));
    ParentBinding.Adopt(Made);
    if (auto* WinChild = dynamic_cast<TWinControl*>(Child)) Build(*WinChild, Made);
  }
}

TControlBinding* TQtFormView::BindingOf(const TControl* Control) const {
  const auto Found = FBindingOf.find(Control);
  return Found == FBindingOf.end() ? nullptr : Found->second;
}

QWidget* TQtFormView::WidgetOf(const TControl* Control) const {
  TControlBinding* Binding = BindingOf(Control);
  return Binding ? Binding->Widget() : nullptr;
}

void TQtFormView::Perform(const std::function<void()>& Action) {
  try {
    Action();
  } catch (...) {
    Application->HandleException(&FForm);
  }
  Sync();
}

void TQtFormView::Sync() {
  if (FSyncing) return;
  FSyncing = true;
  try {
    for (const auto& Binding : FBindings) Binding->Sync();
    // Placing widgets resizes pages that Qt sizes, whose children are then placed again.
    for (int Pass = 0; Pass < 4; ++Pass) {
      FLayoutRequested = false;
      Layout(FForm);
      if (!FLayoutRequested) break;
    }
    if (!FForm.Visible() && FWindow->isVisible()) FWindow->hide();
    SyncFocus();
  } catch (...) {
    FSyncing = false;
    throw;
  }
  FSyncing = false;
}

void TQtFormView::RequestLayout() {
  if (FSyncing)
    FLayoutRequested = true;
  else
    Sync();
}

void TQtFormView::Layout(TWinControl& Parent) {
  TControlBinding* ParentBinding = BindingOf(&Parent);
  if (!ParentBinding) return;
  std::vector<TControl*> Children;
  for (std::int32_t I = 0; I < Parent.ControlCount(); ++I) Children.push_back(Parent.Controls(I));
  if (ParentBinding->PlacesChildren()) {
    const std::vector<QRect> Rects = AlignedRects(ParentBinding->ClientRect(), Children);
    for (std::size_t I = 0; I < Children.size(); ++I) {
      TControl* Child = Children[I];
      // Alignment decides an aligned control's bounds, as the framework's own layout does;
      // the model learns them (a grid's visible rows follow its height).
      // Only the stretched sides are learnt: a strip keeps its own height (or width) even
      // while its parent is too small to show all of it.
      const TAlign Align = Child->Align();
      const bool Widthwise = Align == alTop || Align == alBottom || Align == alClient;
      const bool Heightwise = Align == alLeft || Align == alRight || Align == alClient;
      if (Widthwise && Child->Width() != Rects[I].width()) Child->SetWidth(Rects[I].width());
      if (Heightwise && Child->Height() != Rects[I].height()) Child->SetHeight(Rects[I].height());
      if (QWidget* Widget = WidgetOf(Child); Widget && Widget->geometry() != Rects[I])
        Widget->setGeometry(Rects[I]);
    }
  }
  for (TControl* Child : Children)
    if (auto* WinChild = dynamic_cast<TWinControl*>(Child)) Layout(*WinChild);
}

void TQtFormView::SyncFocus() {
  if (!FWindow->isVisible()) return;
  TWinControl* Active = FForm.ActiveControl();
  TControlBinding* Binding = Active ? BindingOf(Active) : nullptr;
  QWidget* Target = Binding ? Binding->FocusWidget() : nullptr;
  if (!Target || !Target->isVisible() || !Target->isEnabled()) return;
  QWidget* Focused = QApplication::focusWidget();
  if (Focused && (Focused == Target || Target->isAncestorOf(Focused))) return;
  Target->setFocus(Qt::OtherFocusReason);
}

void TQtFormView::ShowWindow(bool Modal) {
  FWindow->setWindowModality(Modal ? Qt::ApplicationModal : Qt::NonModal);
  if (!FPlaced) {
    FPlaced = true;
    const TPosition Position = FForm.Position();
    if (Position == poScreenCenter || Position == poDesktopCenter || Position == poMainFormCenter ||
        Position == poOwnerFormCenter) {
      if (QScreen* Screen = QGuiApplication::primaryScreen()) {
        QRect Frame(QPoint(0, 0), FWindow->size());
        Frame.moveCenter(Screen->availableGeometry().center());
        FWindow->move(Frame.topLeft());
      }
    } else if (Position == poDesigned) {
      FWindow->move(FForm.Left(), FForm.Top());
    }
  }
  FWindow->show();
  FWindow->raise();
  FWindow->activateWindow();
  Sync();
}

} // namespace kelva
