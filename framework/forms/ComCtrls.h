// TPageControl and TTabSheet: pages of controls of which one is shown at a time.
#pragma once

#include "kelva/framework/forms/Controls.h"

#include <functional>

namespace kelva {

class TPageControl;

using TTabChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

// A page; placing it inside a page control adds it to the control's pages.
class TTabSheet : public TWinControl {
public:
  explicit TTabSheet(TComponent* AOwner) : TWinControl(AOwner) { SetTabStop(false); }
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value) { FCaption = Value; }
  TPageControl* PageControl() const;
  std::int32_t PageIndex() const;

private:
  std::string FCaption;
};

class TPageControl : public TWinControl {
public:
  explicit TPageControl(TComponent* AOwner) : TWinControl(AOwner) {}

  std::int32_t PageCount() const { return static_cast<std::int32_t>(Pages().size()); }
  TTabSheet* Page(std::int32_t Index) const;
  TTabSheet* ActivePage() const { return FActivePage; }
  // From code: shows the page without asking or telling anyone.
  void SetActivePage(TTabSheet* Page);
  std::int32_t ActivePageIndex() const;

  // The person clicks the tab of Page: the page control takes the focus, OnChanging may
  // forbid the change, then the page changes and OnChange runs. Returns whether it changed.
  bool SelectPage(TTabSheet* Page);

  bool ShowsChild(const TControl* Child) const override;

  TTabChangingEvent OnChanging;
  TNotifyEvent OnChange;

protected:
  void ControlAdded(TControl* Control) override;
  void ControlRemoved(TControl* Control) override;

private:
  std::vector<TTabSheet*> Pages() const;
  TTabSheet* FActivePage = nullptr;
};

} // namespace kelva
