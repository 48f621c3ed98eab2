// Registration of the design-time test classes.
#include "DesignTestClasses.h"

#include "kelva/framework/rtl/ClassBuilder.h"

#include <mutex>

namespace kelva::designtest {

PTypeInfo TypeInfoShape() {
  static const TTypeInfo Type{"TShape", tkEnumeration, {"shCircle", "shSquare", "shTriangle"}, {}};
  return &Type;
}

PTypeInfo TypeInfoStyles() {
  static const TTypeInfo Type{"TStyles", tkSet, {"stBold", "stItalic", "stUnderline"}, {}};
  return &Type;
}

PTypeInfo TypeInfoCloseQueryEvent() {
  static const TTypeInfo Type{"TCloseQueryEvent", tkMethod, {}, {}};
  return &Type;
}

void TWidget::SetBuddy(TWidget* Value) {
  if (FBuddy) FBuddy->RemoveFreeNotification(this);
  FBuddy = Value;
  if (FBuddy) FBuddy->FreeNotification(this);
}

void TWidget::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FBuddy) FBuddy = nullptr;
}

void RegisterDesignTestClasses() {
  static std::once_flag Once;
  std::call_once(Once, [] {
    RegisterRtlClasses();
    TClassBuilder<TMargins>("TMargins", ClassInfo<TPersistent>())
        .Integer("Left", &TMargins::Left, &TMargins::SetLeft)
        .Register();
    const TClassInfo* Widget =
        TClassBuilder<TWidget>("TWidget", ClassInfo<TComponent>())
            .Creatable()
            .Integer("Width", &TWidget::Width, &TWidget::SetWidth, 10)
            .Bool("Visible", &TWidget::Visible, &TWidget::SetVisible, true)
            .Enum("Shape", TypeInfoShape(), &TWidget::Shape, &TWidget::SetShape, shCircle)
            .SetOf("Styles", TypeInfoStyles(), &TWidget::Styles, &TWidget::SetStyles, TStyles{})
            .String("Caption", &TWidget::Caption, &TWidget::SetCaption)
            .Float("Ratio", &TWidget::Ratio, &TWidget::SetRatio)
            .Strings("Lines", &TWidget::Lines, &TWidget::SetLines)
            .Object("Margins", "TMargins", &TWidget::Margins)
            .Reference<TWidget>("Buddy", "TWidget", &TWidget::Buddy, &TWidget::SetBuddy)
            .Event("OnClick", TypeInfoNotifyEvent(), &TWidget::OnClick)
            .Register();
    TClassBuilder<TFancyWidget>("TFancyWidget", Widget).Creatable().Register();
    TClassBuilder<TGadget>("TGadget", ClassInfo<TComponent>())
        .Creatable()
        .Integer("Width", &TGadget::Width, &TGadget::SetWidth)
        .Register();
    TClassBuilder<TTestForm>("TTestForm", ClassInfo<TComponent>())
        .Method<TNotifyEvent>("ButtonClick", TypeInfoNotifyEvent(), &TTestForm::ButtonClick)
        .Method<TNotifyEvent>("WidgetDblClick", TypeInfoNotifyEvent(), &TTestForm::WidgetDblClick)
        .Method<TCloseQueryEvent>("FormCloseQuery", TypeInfoCloseQueryEvent(),
                                  &TTestForm::FormCloseQuery)
        .Register();
  });
}

} // namespace kelva::designtest
