// Page switching: from code silently, by the person with OnChanging and OnChange.
#include "kelva/framework/forms/ComCtrls.h"

#include "kelva/framework/forms/Forms.h"
#include "kelva/framework/rtl/Exceptions.h"

namespace kelva {

TPageControl* TTabSheet::PageControl() const {
  return dynamic_cast<TPageControl*>(Parent());
}

std::int32_t TTabSheet::PageIndex() const {
  TPageControl* Control = PageControl();
  if (!Control) return -1;
  for (std::int32_t I = 0; I < Control->PageCount(); ++I)
    if (Control->Page(I) == this) return I;
  return -1;
}

std::vector<TTabSheet*> TPageControl::Pages() const {
  std::vector<TTabSheet*> Result;
  for (std::int32_t I = 0; I < ControlCount(); ++I)
    if (auto* Sheet = dynamic_cast<TTabSheet*>(Controls(I))) Result.push_back(Sheet);
  return Result;
}

TTabSheet* TPageControl::Page(std::int32_t Index) const {
  std::vector<TTabSheet*> All = Pages();
  if (Index < 0 || Index >= static_cast<std::int32_t>(All.size()))
    throw EListError("Page index out of bounds");
  return All[static_cast<std::size_t>(Index)];
}

std::int32_t TPageControl::ActivePageIndex() const {
  return FActivePage ? FActivePage->PageIndex() : -1;
}

void TPageControl::SetActivePage(TTabSheet* Page) {
  if (Page && Page->PageControl() != this)
    throw EInvalidOperation("Page " + Page->Name() + " does not belong to " + Name());
  if (Page == FActivePage) return;
  TForm* Form = GetParentForm();
  // A control on the page being hidden cannot keep the focus.
  if (Form && FActivePage && Form->ActiveControl() &&
      FActivePage->ContainsControl(Form->ActiveControl()) && CanFocus())
    SetFocus();
  FActivePage = Page;
}

bool TPageControl::SelectPage(TTabSheet* Page) {
  CheckUsable();
  if (!Page || Page->PageControl() != this)
    throw EInvalidOperation("Page does not belong to " + Name());
  if (Page == FActivePage) return false;
  SetFocus();
  bool AllowChange = true;
  if (OnChanging) OnChanging(this, AllowChange);
  if (!AllowChange) return false;
  SetActivePage(Page);
  if (OnChange) OnChange(this);
  return true;
}

bool TPageControl::ShowsChild(const TControl* Child) const {
  if (auto* Sheet = dynamic_cast<const TTabSheet*>(Child)) return Sheet == FActivePage;
  return true;
}

void TPageControl::ControlAdded(TControl* Control) {
  // The first page placed becomes the active one, as a new page control shows its first tab.
  if (!FActivePage)
    if (auto* Sheet = dynamic_cast<TTabSheet*>(Control)) FActivePage = Sheet;
}

void TPageControl::ControlRemoved(TControl* Control) {
  if (Control != FActivePage) return;
  std::vector<TTabSheet*> Left = Pages();
  FActivePage = Left.empty() ? nullptr : Left.front();
}

} // namespace kelva
