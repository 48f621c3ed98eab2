// Page controls on QTabWidget: a click on a tab asks the model, which may refuse the change.
#include "kelva/framework/forms/ComCtrls.h"
#include "kelva/framework/widgets/ControlBinding.h"
#include "kelva/framework/widgets/FormView.h"

#include <QEvent>
#include <QTabBar>
#include <QTabWidget>

namespace kelva {

namespace {

// The tab widget sizes its pages: a page's new size places its children again.
class TResizeWatch : public QObject {
public:
  TResizeWatch(TQtFormView& View, QObject* Parent) : QObject(Parent), FView(View) {}

protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override {
    if (Event->type() == QEvent::Resize) FView.RequestLayout();
    return QObject::eventFilter(Watched, Event);
  }

private:
  TQtFormView& FView;
};

class TTabSheetBinding : public TControlBinding {
public:
  TTabSheetBinding(TTabSheet& Sheet, QWidget* Parent, TQtFormView& View)
      : TControlBinding(Sheet, new QWidget(Parent), View), FSheet(Sheet) {
    Widget()->setFocusPolicy(Qt::NoFocus);
    Widget()->installEventFilter(new TResizeWatch(View, Widget()));
  }
  QRect ClientRect() const override { return Widget()->rect(); }
  void Sync() override {
    // The tab widget shows and hides its pages; only the enabled state is the sheet's.
    Widget()->setEnabled(FSheet.Enabled());
  }

private:
  TTabSheet& FSheet;
};

class TPageControlBinding : public TControlBinding {
public:
  TPageControlBinding(TPageControl& Pages, QWidget* Parent, TQtFormView& View)
      : TControlBinding(Pages, new QTabWidget(Parent), View), FPages(Pages) {
    auto* Tabs = static_cast<QTabWidget*>(Widget());
    QObject::connect(Tabs, &QTabWidget::currentChanged, Tabs, [this](int Index) {
      if (Syncing() || Index < 0) return;
      TTabSheet* Sheet = SheetAt(Index);
      if (!Sheet || Sheet == FPages.ActivePage()) return;
      // The model decides; the sync that follows puts the tab back when it refused.
      Perform([this, Sheet] { FPages.SelectPage(Sheet); });
    });
  }
  void Adopt(TControlBinding& Child) override {
    auto* Tabs = static_cast<QTabWidget*>(Widget());
    auto* Sheet = dynamic_cast<TTabSheet*>(&Child.Control());
    if (!Sheet) {
      TControlBinding::Adopt(Child);
      return;
    }
    FSheets.push_back(Sheet);
    Tabs->addTab(Child.Widget(), QtText(Sheet->Caption()));
  }
  bool PlacesChildren() const override { return false; }
  void Sync() override {
    TControlBinding::Sync();
    auto* Tabs = static_cast<QTabWidget*>(Widget());
    for (int I = 0; I < static_cast<int>(FSheets.size()); ++I) {
      Tabs->setTabText(I, QtText(FSheets[static_cast<std::size_t>(I)]->Caption()));
      Tabs->setTabVisible(I, FSheets[static_cast<std::size_t>(I)]->Visible());
    }
    for (int I = 0; I < static_cast<int>(FSheets.size()); ++I)
      if (FSheets[static_cast<std::size_t>(I)] == FPages.ActivePage() && Tabs->currentIndex() != I)
        Tabs->setCurrentIndex(I);
  }

private:
  TTabSheet* SheetAt(int Index) const {
    return Index < static_cast<int>(FSheets.size()) ? FSheets[static_cast<std::size_t>(Index)]
                                                    : nullptr;
  }
  TPageControl& FPages;
  std::vector<TTabSheet*> FSheets; // in tab order
};

} // namespace

std::unique_ptr<TControlBinding> MakePageControlBinding(TControl& Control, QWidget* Parent,
                                                        TQtFormView& View) {
  if (auto Binding = BindAs<TPageControlBinding, TPageControl>(Control, Parent, View))
    return Binding;
  return BindAs<TTabSheetBinding, TTabSheet>(Control, Parent, View);
}

} // namespace kelva
