// The palette's tabs and buttons, made from the palette pages the packages registered.
#include "kelva/apps/designer/PaletteView.h"

#include "kelva/framework/design/DesignIntf.h"
#include "kelva/framework/rtl/TypeInfo.h"

#include <QHBoxLayout>
#include <QToolButton>

namespace kelva {

TPaletteView::TPaletteView(QWidget* Parent) : QTabWidget(Parent) {
  setObjectName(QStringLiteral("Palette"));
  setDocumentMode(true);
  Rebuild();
}

void TPaletteView::Rebuild() {
  while (count() > 0) {
    QWidget* Page = widget(0);
    removeTab(0);
    Page->deleteLater(); // a button of it may be the one being pressed
  }
  for (const std::string& PageName : PalettePages()) {
    auto* Page = new QWidget;
    Page->setObjectName(QString::fromStdString(PageName));
    auto* Row = new QHBoxLayout(Page);
    Row->setContentsMargins(4, 4, 4, 4);
    for (const TClassInfo* Class : PaletteClasses(PageName)) {
      auto* Button = new QToolButton(Page);
      Button->setObjectName(QString::fromStdString(Class->Name));
      Button->setText(QString::fromStdString(Class->Name));
      Button->setToolTip(QStringLiteral("Drop a %1 on the form").arg(Button->text()));
      Button->setAutoRaise(true);
      connect(Button, &QToolButton::clicked, this, [this, Class] {
        if (OnPick) OnPick(Class);
      });
      Row->addWidget(Button);
    }
    Row->addStretch();
    // A '&' in a page name is shown, not taken as a keyboard mnemonic.
    addTab(Page, QString::fromStdString(PageName).replace(QLatin1Char('&'), QStringLiteral("&&")));
  }
}

QAbstractButton* TPaletteView::ButtonOf(const QString& Page, const QString& ClassName) const {
  for (int I = 0; I < count(); ++I)
    if (widget(I)->objectName() == Page) return widget(I)->findChild<QAbstractButton*>(ClassName);
  return nullptr;
}

} // namespace kelva
