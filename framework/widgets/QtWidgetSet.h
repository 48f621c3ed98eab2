// Puts the Qt widget set in charge: modal forms run a real modal loop on their own window,
// MessageDlg shows a real message box, and exceptions escaping a person's action are shown in
// one. Create a QApplication first; the widget set gives back what it replaced when it goes.
#pragma once

#include "kelva/framework/forms/Dialogs.h"
#include "kelva/framework/forms/Forms.h"
#include "kelva/framework/rtl/Application.h"

#include <map>
#include <memory>

namespace kelva {

class TQtFormView;

// Shows each modal form on a window of its own while its ShowModal runs; each step waits for
// and dispatches the window system's events.
class TQtModalDriver : public TModalDriver {
public:
  TQtModalDriver();
  ~TQtModalDriver() override;
  bool Step(TForm& Form) override;
  void Ended(TForm& Form) override;
  // The window of a form whose ShowModal is running, or null.
  TQtFormView* ViewOf(const TForm& Form) const;

private:
  std::map<const TForm*, std::unique_ptr<TQtFormView>> FViews;
};

// The message box on Qt: the text exactly as given, the buttons asked for, the answer as the
// modal result of the button pressed.
TModalResult QtMessageBox(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
                          std::int32_t HelpCtx);

class TQtWidgetSet {
public:
  TQtWidgetSet();
  ~TQtWidgetSet();
  TQtWidgetSet(const TQtWidgetSet&) = delete;
  TQtWidgetSet& operator=(const TQtWidgetSet&) = delete;

  TQtModalDriver& ModalDriver() { return FDriver; }

private:
  TQtModalDriver FDriver;
  TModalDriver* FPreviousDriver;
  TMessageDlgHandler FPreviousMessageBox;
  TExceptionEvent FPreviousOnException;
};

} // namespace kelva
