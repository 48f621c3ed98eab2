// Small published classes for the design-time tests: a widget with one property of every
// kind, a descendant, an unrelated gadget, an owned sub-object, and a form whose published
// methods events can be bound to.
#pragma once

#include "kelva/framework/rtl/Component.h"
#include "kelva/framework/rtl/Strings.h"
#include "kelva/framework/rtl/TypeInfo.h"

#include <cstdint>
#include <functional>
#include <string>

namespace kelva::designtest {

enum TShape : std::uint8_t { shCircle, shSquare, shTriangle };
enum TStyle : std::uint8_t { stBold, stItalic, stUnderline };
using TStyles = TSet<TStyle>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

PTypeInfo TypeInfoShape();
PTypeInfo TypeInfoStyles();
PTypeInfo TypeInfoCloseQueryEvent();

class TMargins : public TPersistent {
public:
  std::int32_t Left() const { return FLeft; }
  void SetLeft(std::int32_t Value) { FLeft = Value; }

private:
  std::int32_t FLeft = 0;
};

class TWidget : public TComponent {
public:
  using TComponent::TComponent;

  std::int32_t Width() const { return FWidth; }
  void SetWidth(std::int32_t Value) { FWidth = Value; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value) { FVisible = Value; }
  TShape Shape() const { return FShape; }
  void SetShape(TShape Value) { FShape = Value; }
  TStyles Styles() const { return FStyles; }
  void SetStyles(TStyles Value) { FStyles = Value; }
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value) { FCaption = Value; }
  double Ratio() const { return FRatio; }
  void SetRatio(double Value) { FRatio = Value; }
  TStringList& Lines() { return FLines; }
  void SetLines(const TStrings& Value) { FLines.Assign(Value); }
  TMargins& Margins() { return FMargins; }
  TWidget* Buddy() const { return FBuddy; }
  void SetBuddy(TWidget* Value);

  TNotifyEvent OnClick;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  std::int32_t FWidth = 10;
  bool FVisible = true;
  TShape FShape = shCircle;
  TStyles FStyles;
  std::string FCaption;
  double FRatio = 0;
  TStringList FLines;
  TMargins FMargins;
  TWidget* FBuddy = nullptr;
};

class TFancyWidget : public TWidget {
public:
  using TWidget::TWidget;
};

// Not a widget, but it shares Width with one.
class TGadget : public TComponent {
public:
  using TComponent::TComponent;
  std::int32_t Width() const { return FWidth; }
  void SetWidth(std::int32_t Value) { FWidth = Value; }

private:
  std::int32_t FWidth = 0;
};

class TTestForm : public TComponent {
public:
  using TComponent::TComponent;
  void ButtonClick(TObject* Sender) {
    ++Clicks;
    LastSender = Sender;
  }
  void WidgetDblClick(TObject*) {}
  void FormCloseQuery(TObject*, bool& CanClose) { CanClose = false; }

  int Clicks = 0;
  TObject* LastSender = nullptr;
};

// Registers the classes above (and the run-time library's) once per process.
void RegisterDesignTestClasses();

} // namespace kelva::designtest
