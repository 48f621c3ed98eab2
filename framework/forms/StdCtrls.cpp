// User actions of the standard controls.
#include "kelva/framework/forms/StdCtrls.h"

namespace kelva {

void TLabel::SetFocusControl(TWinControl* Value) {
  if (Value == FFocusControl) return;
  if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
  FFocusControl = Value;
  if (FFocusControl) FFocusControl->FreeNotification(this);
}

void TLabel::PressAccelerator() {
  CheckUsable();
  if (FFocusControl) FFocusControl->SetFocus();
}

void TLabel::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphicControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

void TButton::Click() {
  CheckUsable();
  SetFocus();
  if (OnClick) OnClick(this);
  if (FModalResult != mrNone)
    if (TForm* Form = GetParentForm()) Form->SetModalResult(FModalResult);
}

bool TMemo::TypeText(const std::string& Text) {
  SetFocus();
  if (FReadOnly) return false;
  FLines.SetText(Text);
  FModified = true;
  if (OnChange) OnChange(this);
  return true;
}

void TSpeedButton::Click() {
  CheckUsable();
  if (OnClick) OnClick(this);
}

} // namespace kelva
