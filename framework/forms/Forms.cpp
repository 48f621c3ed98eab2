// TForm: focus, the modal loop and the close protocol.
#include "kelva/framework/forms/Forms.h"

#include "kelva/framework/forms/StdCtrls.h"
#include "kelva/framework/rtl/Application.h"
#include "kelva/framework/rtl/FormReader.h"

namespace kelva {

namespace {

TModalDriver*& CurrentDriver() {
  static TModalDriver* Driver = nullptr;
  return Driver;
}

constexpr const char* SNoModalDriver = "No user interface driver is installed to show a modal form";
constexpr const char* SAlreadyModal = "Cannot make a visible window modal";
constexpr const char* SCloseRefused =
    "The form refused to close and its user interface driver has nothing more to do";

// Clears the modal flag however ShowModal ends.
class ModalGuard {
public:
  explicit ModalGuard(bool& Flag) : FFlag(Flag) { FFlag = true; }
  ~ModalGuard() { FFlag = false; }
  ModalGuard(const ModalGuard&) = delete;
  ModalGuard& operator=(const ModalGuard&) = delete;

private:
  bool& FFlag;
};

} // namespace

bool TScriptedDriver::Step(TForm& Form) {
  if (FActions.empty()) return false;
  TAction Action = std::move(FActions.front());
  FActions.pop_front();
  Action(Form);
  return true;
}

TModalDriver* SetModalDriver(TModalDriver* Driver) {
  TModalDriver* Previous = CurrentDriver();
  CurrentDriver() = Driver;
  return Previous;
}

TModalDriver* ModalDriver() {
  return CurrentDriver();
}

TForm::TForm(TComponent* AOwner) : TWinControl(AOwner) {
  SetVisible(false);
}

TForm::~TForm() = default;

void TForm::InitializeFromText(const std::string& FormText) {
  RegisterControlClasses();
  ReadComponentRes(FormText, *this);
  DoCreate();
}

void TForm::DoCreate() {
  if (OnCreate) OnCreate(this);
}

void TForm::DoShow() {
  if (OnShow) OnShow(this);
}

void TForm::SetActiveControl(TWinControl* Control) {
  if (Control == FActiveControl) return;
  if (Control && Control->GetParentForm() != this)
    throw EInvalidOperation("The active control must be placed on the form");
  // Before the form is shown this only names the control that will get the focus.
  if (!Visible() || !Control) {
    FActiveControl = Control;
    if (Control) Control->FreeNotification(this);
    return;
  }
  Control->SetFocus();
}

void TForm::MoveFocus(TWinControl* Control) {
  if (Control == FActiveControl) return;
  TWinControl* Previous = FActiveControl;
  // The control being left may refuse (its data cannot be written): the focus stays.
  if (Previous) Previous->DoExit();
  FActiveControl = Control;
  if (Control) {
    Control->FreeNotification(this);
    Control->DoEnter();
  }
}

bool TForm::CanFocus() const {
  return Visible() && EnabledInTree();
}

void TForm::FocusFirstControl() {
  TWinControl* Wanted = FActiveControl;
  FActiveControl = nullptr;
  if (Wanted && Wanted->CanFocus()) {
    MoveFocus(Wanted);
    return;
  }
  // Otherwise the first focusable tab stop, depth first in placement order.
  std::function<TWinControl*(const TWinControl&)> FirstIn =
      [&](const TWinControl& Parent) -> TWinControl* {
    for (std::int32_t I = 0; I < Parent.ControlCount(); ++I) {
      auto* Win = dynamic_cast<TWinControl*>(Parent.Controls(I));
      if (!Win) continue;
      if (Win->TabStop() && Win->CanFocus()) return Win;
      if (TWinControl* Inner = FirstIn(*Win)) return Inner;
    }
    return nullptr;
  };
  if (TWinControl* First = FirstIn(*this)) MoveFocus(First);
}

void TForm::Show() {
  if (Visible()) return;
  SetVisible(true);
  DoShow();
  FocusFirstControl();
}

void TForm::Hide() {
  if (!Visible()) return;
  SetVisible(false);
  if (OnHide) OnHide(this);
}

TModalResult TForm::ShowModal() {
  if (FModal || Visible()) throw EInvalidOperation(SAlreadyModal);
  TModalDriver* Driver = ModalDriver();
  if (!Driver) throw EInvalidOperation(SNoModalDriver);
  ModalGuard Guard(FModal);
  FModalResult = mrNone;
  try {
    Show();
    while (true) {
      bool More = true;
      try {
        More = Driver->Step(*this);
      } catch (...) {
        Application->HandleException(this);
      }
      if (!More && FModalResult == mrNone) {
        Close();
        if (FModalResult == mrNone) throw EInvalidOperation(SCloseRefused);
      }
      if (FModalResult == mrNone) continue;
      // A close query that raises is reported like any failing user action and refuses.
      bool CanClose = false;
      try {
        CanClose = CloseQuery();
      } catch (...) {
        Application->HandleException(this);
      }
      if (CanClose) break;
      FModalResult = mrNone;
      if (!More) throw EInvalidOperation(SCloseRefused);
    }
  } catch (...) {
    Hide();
    Driver->Ended(*this);
    throw;
  }
  Hide();
  Driver->Ended(*this);
  return FModalResult;
}

void TForm::Close() {
  if (FModal) {
    FModalResult = mrCancel;
    return;
  }
  if (CloseQuery()) Hide();
}

bool TForm::CloseQuery() {
  bool CanClose = true;
  if (OnCloseQuery) OnCloseQuery(this, CanClose);
  return CanClose;
}

TButton* TForm::FindButton(bool Default) const {
  std::function<TButton*(const TWinControl&)> Search = [&](const TWinControl& Parent) -> TButton* {
    for (std::int32_t I = 0; I < Parent.ControlCount(); ++I) {
      TControl* C = Parent.Controls(I);
      if (auto* Button = dynamic_cast<TButton*>(C))
        if ((Default ? Button->Default() : Button->Cancel()) && Button->Showing() &&
            Button->EnabledInTree())
          return Button;
      if (auto* Win = dynamic_cast<TWinControl*>(C))
        if (TButton* Inner = Search(*Win)) return Inner;
    }
    return nullptr;
  };
  return Search(*this);
}

void TForm::PressEnter() {
  if (TButton* Button = FindButton(true)) Button->Click();
}

void TForm::PressEscape() {
  if (TButton* Button = FindButton(false))
    Button->Click();
  else if (FModal)
    Close();
}

void TForm::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) const {
  // Components without a place on screen first, then the controls in placement order.
  if (Root == this)
    for (std::int32_t I = 0; I < ComponentCount(); ++I)
      if (!Components(I)->GetParentComponent() && !dynamic_cast<TControl*>(Components(I)))
        Proc(Components(I));
  TWinControl::GetChildren(Proc, Root);
}

void TForm::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FActiveControl) FActiveControl = nullptr;
}

} // namespace kelva
