// TControl and TWinControl: the headless model of visual controls. A control has a parent
// (the control it is drawn in), a position and size, and Visible/Enabled flags; a windowed
// control holds child controls and can take the focus. Nothing here draws: a renderer reads
// this state, and tests change it through the calls a user's actions would make.
#pragma once

#include "kelva/framework/rtl/Component.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kelva {

class TWinControl;
class TForm;

enum TAlign : std::uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };

class TControl : public TComponent {
public:
  explicit TControl(TComponent* AOwner);
  ~TControl() override;

  TWinControl* Parent() const { return FParent; }
  virtual void SetParent(TWinControl* AParent);
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;
  // The form this control is placed on (the control itself when it is a form), or null.
  TForm* GetParentForm() const;

  std::int32_t Left() const { return FLeft; }
  void SetLeft(std::int32_t Value) { FLeft = Value; }
  std::int32_t Top() const { return FTop; }
  void SetTop(std::int32_t Value) { FTop = Value; }
  std::int32_t Width() const { return FWidth; }
  virtual void SetWidth(std::int32_t Value) { FWidth = Value; }
  std::int32_t Height() const { return FHeight; }
  virtual void SetHeight(std::int32_t Value) { FHeight = Value; }
  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign Value) { FAlign = Value; }
  bool Visible() const { return FVisible; }
  // Hiding a control that holds the focus takes the focus away (without an exit: a hidden
  // control has nothing left to hand over).
  virtual void SetVisible(bool Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value) { FEnabled = Value; }
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& Value) { FHint = Value; }

  // Visible, and every parent up to the form shows it.
  bool Showing() const;
  // Enabled, and every parent up to the form is enabled.
  bool EnabledInTree() const;

protected:
  // Raises EInvalidOperation unless a person could act on the control now: it is showing and
  // enabled on a visible form.
  void CheckUsable() const;

private:
  TWinControl* FParent = nullptr;
  std::int32_t FLeft = 0;
  std::int32_t FTop = 0;
  std::int32_t FWidth = 0;
  std::int32_t FHeight = 0;
  TAlign FAlign = alNone;
  bool FVisible = true;
  bool FEnabled = true;
  std::string FHint;
};

// A control that holds other controls and can take the keyboard focus.
class TWinControl : public TControl {
public:
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;

  std::int32_t ControlCount() const { return static_cast<std::int32_t>(FControls.size()); }
  TControl* Controls(std::int32_t Index) const;
  bool ContainsControl(const TControl* Control) const; // this control or a child at any depth

  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool Value) { FTabStop = Value; }
  // Whether a child is shown when this control is: a page control shows only its active page.
  virtual bool ShowsChild(const TControl* Child) const;

  virtual bool CanFocus() const;
  bool Focused() const;
  // Gives this control the focus on its form: the previous control is left first (its exit
  // handling may refuse by raising, and the focus then stays where it was).
  void SetFocus();

  void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) const override;

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;

protected:
  friend class TControl;
  friend class TForm;
  virtual void DoEnter();
  virtual void DoExit();
  virtual void ControlAdded(TControl*) {}
  virtual void ControlRemoved(TControl*) {}

private:
  std::vector<TControl*> FControls; // not owned: the owner (usually the form) destroys them
  bool FTabStop = true;
};

// A control without a window: it is drawn on its parent and never takes the focus.
class TGraphicControl : public TControl {
public:
  using TControl::TControl;
};

} // namespace kelva
