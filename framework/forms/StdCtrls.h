// The standard controls: label, push button, multi-line memo, group box, panel and the
// speed button (a flat button that never takes the focus).
#pragma once

#include "kelva/framework/forms/Controls.h"
#include "kelva/framework/forms/Forms.h"
#include "kelva/framework/rtl/Strings.h"

namespace kelva {

class TLabel : public TGraphicControl {
public:
  explicit TLabel(TComponent* AOwner) : TGraphicControl(AOwner) {}
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value) { FCaption = Value; }
  // The control the label's accelerator key (the letter after "&") moves the focus to.
  TWinControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* Value);
  // The person presses the label's accelerator key.
  void PressAccelerator();

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  std::string FCaption;
  TWinControl* FFocusControl = nullptr;
};

class TButton : public TWinControl {
public:
  explicit TButton(TComponent* AOwner) : TWinControl(AOwner) {}
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value) { FCaption = Value; }
  // The button Enter presses, and the one Escape presses.
  bool Default() const { return FDefault; }
  void SetDefault(bool Value) { FDefault = Value; }
  bool Cancel() const { return FCancel; }
  void SetCancel(bool Value) { FCancel = Value; }
  // Set on the form after OnClick when not mrNone.
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }

  // The person clicks the button: it takes the focus, then OnClick runs.
  void Click();
  TNotifyEvent OnClick;

private:
  std::string FCaption;
  bool FDefault = false;
  bool FCancel = false;
  TModalResult FModalResult = mrNone;
};

class TMemo : public TWinControl {
public:
  explicit TMemo(TComponent* AOwner) : TWinControl(AOwner) {}
  TStringList& Lines() { return FLines; }
  const TStringList& Lines() const { return FLines; }
  void SetLines(const TStrings& Value) { FLines.Assign(Value); }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }
  bool Modified() const { return FModified; }
  void SetModified(bool Value) { FModified = Value; }

  // The person replaces the whole text by Text (lines separated by line breaks). Nothing
  // changes in a read-only memo. Returns whether the text was taken.
  bool TypeText(const std::string& Text);
  TNotifyEvent OnChange;

private:
  TStringList FLines;
  bool FReadOnly = false;
  bool FModified = false;
};

class TGroupBox : public TWinControl {
public:
  explicit TGroupBox(TComponent* AOwner) : TWinControl(AOwner) { SetTabStop(false); }
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value) { FCaption = Value; }

private:
  std::string FCaption;
};

class TPanel : public TWinControl {
public:
  explicit TPanel(TComponent* AOwner) : TWinControl(AOwner) { SetTabStop(false); }
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value) { FCaption = Value; }

private:
  std::string FCaption;
};

class TSpeedButton : public TGraphicControl {
public:
  explicit TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner) {}
  // The picture, one text row per pixel row ('.' for background); with NumGlyphs 2 each row
  // holds the normal image followed by the disabled one.
  TStringList& Glyph() { return FGlyph; }
  void SetGlyph(const TStrings& Value) { FGlyph.Assign(Value); }
  std::int32_t NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(std::int32_t Value) { FNumGlyphs = Value; }
  bool Flat() const { return FFlat; }
  void SetFlat(bool Value) { FFlat = Value; }

  // The person clicks the button; the focus stays where it is.
  void Click();
  TNotifyEvent OnClick;

private:
  TStringList FGlyph;
  std::int32_t FNumGlyphs = 1;
  bool FFlat = false;
};

} // namespace kelva
