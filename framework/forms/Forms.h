// TForm: a top-level window with its components read from a form file, the focus, modal
// showing through a pluggable user-interface driver, and the close protocol.
#pragma once

#include "kelva/framework/forms/Controls.h"
#include "kelva/framework/rtl/Exceptions.h"

#include <deque>
#include <functional>
#include <memory>

namespace kelva {

using TModalResult = std::int32_t;
inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = 1;
inline constexpr TModalResult mrCancel = 2;
inline constexpr TModalResult mrAbort = 3;
inline constexpr TModalResult mrRetry = 4;
inline constexpr TModalResult mrIgnore = 5;
inline constexpr TModalResult mrYes = 6;
inline constexpr TModalResult mrNo = 7;

enum TFormBorderStyle : std::uint8_t {
  bsNone,
  bsSingle,
  bsSizeable,
  bsDialog,
  bsToolWindow,
  bsSizeToolWin
};
enum TPosition : std::uint8_t {
  poDesigned,
  poDefault,
  poDefaultPosOnly,
  poDefaultSizeOnly,
  poScreenCenter,
  poDesktopCenter,
  poMainFormCenter,
  poOwnerFormCenter
};

using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

class TForm;

// What stands between a modal form and the person using it. ShowModal calls Step until the
// form has a modal result: each call performs one user action (a renderer waits for and
// dispatches one event; a test runs the next step of its script). Step returns false when the
// person closed the window.
class TModalDriver {
public:
  virtual ~TModalDriver() = default;
  virtual bool Step(TForm& Form) = 0;
  // Called once ShowModal is over and the form is hidden (also when it ends by an exception):
  // a renderer takes the form's window off the screen here.
  virtual void Ended(TForm&) {}
};

// A driver that plays a list of actions, one per step, then closes the window.
class TScriptedDriver : public TModalDriver {
public:
  using TAction = std::function<void(TForm& Form)>;
  TScriptedDriver() = default;
  TScriptedDriver(std::initializer_list<TAction> Actions) : FActions(Actions) {}
  void Add(TAction Action) { FActions.push_back(std::move(Action)); }
  bool Step(TForm& Form) override;
  std::size_t Remaining() const { return FActions.size(); }

private:
  std::deque<TAction> FActions;
};

// The driver modal forms use; null until one is installed. Returns the previous one.
TModalDriver* SetModalDriver(TModalDriver* Driver);
TModalDriver* ModalDriver();

// Installs a driver for the lifetime of the scope, then restores the previous one.
class TModalDriverScope {
public:
  explicit TModalDriverScope(TModalDriver& Driver) : FPrevious(SetModalDriver(&Driver)) {}
  ~TModalDriverScope() { SetModalDriver(FPrevious); }
  TModalDriverScope(const TModalDriverScope&) = delete;
  TModalDriverScope& operator=(const TModalDriverScope&) = delete;

private:
  TModalDriver* FPrevious;
};

class TButton;

class TForm : public TWinControl {
public:
  explicit TForm(TComponent* AOwner);
  ~TForm() override;

  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value) { FCaption = Value; }
  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle Value) { FBorderStyle = Value; }
  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition Value) { FPosition = Value; }
  std::int32_t ClientWidth() const { return FClientWidth; }
  void SetClientWidth(std::int32_t Value) { FClientWidth = Value; }
  std::int32_t ClientHeight() const { return FClientHeight; }
  void SetClientHeight(std::int32_t Value) { FClientHeight = Value; }

  // The control that has the focus (or gets it when the form is shown).
  TWinControl* ActiveControl() const { return FActiveControl; }
  void SetActiveControl(TWinControl* Control);

  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }
  bool Modal() const { return FModal; }

  // Shows the form and runs the installed driver until a modal result is set and
  // OnCloseQuery allows closing; returns that result. Exceptions escaping a user action go to
  // Application->HandleException and the form stays open.
  TModalResult ShowModal();
  // Shows the form without a modal loop (it stays visible until Close or Hide).
  void Show();
  void Hide();
  // Asks to close: a modal form ends with mrCancel; a modeless one is hidden if OnCloseQuery
  // allows it.
  void Close();
  bool CloseQuery();

  // The keyboard's Enter and Escape: they click the default and the cancel button.
  void PressEnter();
  void PressEscape();

  TNotifyEvent OnCreate;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TCloseQueryEvent OnCloseQuery;

  bool CanFocus() const override;
  void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) const override;

protected:
  // Reads the form's components from its form file text into this form, then fires
  // OnCreate. Descendants call it from their constructor.
  void InitializeFromText(const std::string& FormText);
  virtual void DoCreate();
  virtual void DoShow();
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  friend class TControl;
  friend class TWinControl;
  void MoveFocus(TWinControl* Control);
  void FocusFirstControl();
  TButton* FindButton(bool Default) const;

  std::string FCaption;
  TFormBorderStyle FBorderStyle = bsSizeable;
  TPosition FPosition = poDesigned;
  std::int32_t FClientWidth = 0;
  std::int32_t FClientHeight = 0;
  TWinControl* FActiveControl = nullptr;
  TModalResult FModalResult = mrNone;
  bool FModal = false;
};

// Finds the component Name on Form as a T; raises EComponentError when it is missing or of
// another class. Form classes use it to bind their members after reading the form file.
template <class T>
T* FindFormComponent(const TComponent& Form, const std::string& Name) {
  T* Found = dynamic_cast<T*>(Form.FindComponent(Name));
  if (!Found) throw EComponentError("Form " + Form.Name() + " has no component " + Name);
  return Found;
}

// Registers the classes of the forms and controls with the class registry (after the
// database layer's). Safe to call many times.
void RegisterControlClasses();

} // namespace kelva
