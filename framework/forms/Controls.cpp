// The parent/child tree of controls and the focus rules shared by every control.
#include "kelva/framework/forms/Controls.h"

#include "kelva/framework/forms/Forms.h"
#include "kelva/framework/rtl/Exceptions.h"
#include "kelva/framework/rtl/SysUtils.h"

#include <algorithm>
#include <iterator>

namespace kelva {

namespace {
constexpr const char* SCannotFocus = "Cannot focus a disabled or invisible window";
constexpr const char* SControlNotUsable = "Control %s is disabled or not showing";
} // namespace

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {}

TControl::~TControl() {
  SetParent(nullptr);
}

void TControl::SetParent(TWinControl* AParent) {
  if (AParent == FParent) return;
  for (const TWinControl* P = AParent; P; P = P->Parent())
    if (P == this) throw EInvalidOperation("A control cannot be placed inside itself");
  if (FParent) {
    TForm* Form = GetParentForm();
    // Leaving the tree takes the focus with it: a hidden control cannot keep it.
    if (Form && Form->ActiveControl() &&
        (Form->ActiveControl() == this ||
         (dynamic_cast<TWinControl*>(this) &&
          static_cast<TWinControl*>(this)->ContainsControl(Form->ActiveControl()))))
      Form->FActiveControl = nullptr;
    // Searched from the end: a form destroys its controls last first.
    auto& Siblings = FParent->FControls;
    const auto It = std::find(Siblings.rbegin(), Siblings.rend(), this);
    if (It != Siblings.rend()) Siblings.erase(std::next(It).base());
    FParent->ControlRemoved(this);
  }
  FParent = AParent;
  if (FParent) {
    FParent->FControls.push_back(this);
    FParent->ControlAdded(this);
  }
}

void TControl::SetVisible(bool Value) {
  FVisible = Value;
  if (Value || dynamic_cast<TForm*>(this)) return;
  TForm* Form = GetParentForm();
  if (!Form || !Form->ActiveControl()) return;
  auto* Self = dynamic_cast<TWinControl*>(this);
  if (Form->ActiveControl() == this || (Self && Self->ContainsControl(Form->ActiveControl())))
    Form->FActiveControl = nullptr;
}

TComponent* TControl::GetParentComponent() const {
  return FParent;
}

void TControl::SetParentComponent(TComponent* Value) {
  auto* Parent = dynamic_cast<TWinControl*>(Value);
  if (Value && !Parent) throw EComponentError("Control " + Name() + " needs a windowed parent");
  SetParent(Parent);
}

TForm* TControl::GetParentForm() const {
  const TControl* C = this;
  while (C->FParent) C = C->FParent;
  return dynamic_cast<TForm*>(const_cast<TControl*>(C));
}

bool TControl::Showing() const {
  if (!FVisible) return false;
  if (!FParent) return true;
  return FParent->ShowsChild(this) && FParent->Showing();
}

bool TControl::EnabledInTree() const {
  for (const TControl* C = this; C; C = C->FParent)
    if (!C->FEnabled) return false;
  return true;
}

void TControl::CheckUsable() const {
  if (!Showing() || !EnabledInTree()) throw EInvalidOperation(Format(SControlNotUsable, {Name()}));
}

// ---- TWinControl ----------------------------------------------------------------------

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
  // The children stay owned by their owner; they only lose their place on screen.
  while (!FControls.empty()) FControls.back()->SetParent(nullptr);
}

TControl* TWinControl::Controls(std::int32_t Index) const {
  if (Index < 0 || Index >= ControlCount()) throw EListError("Control index out of bounds");
  return FControls[static_cast<std::size_t>(Index)];
}

bool TWinControl::ContainsControl(const TControl* Control) const {
  for (const TControl* C = Control; C; C = C->Parent())
    if (C == this) return true;
  return false;
}

bool TWinControl::ShowsChild(const TControl*) const {
  return true;
}

bool TWinControl::CanFocus() const {
  TForm* Form = GetParentForm();
  return Form && Form != this && Form->Visible() && Showing() && EnabledInTree();
}

bool TWinControl::Focused() const {
  TForm* Form = GetParentForm();
  return Form && Form->ActiveControl() == this;
}

void TWinControl::SetFocus() {
  if (!CanFocus()) throw EInvalidOperation(SCannotFocus);
  GetParentForm()->MoveFocus(this);
}

void TWinControl::GetChildren(const std::function<void(TComponent*)>& Proc,
                              TComponent* Root) const {
  for (TControl* C : FControls)
    if (C->Owner() == Root) Proc(C);
}

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

} // namespace kelva
