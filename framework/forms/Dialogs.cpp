// The message box and its default, console-only handler.
#include "kelva/framework/forms/Dialogs.h"

#include <cstdio>

namespace kelva {

namespace {

TModalResult DefaultMessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
                               std::int32_t) {
  std::fprintf(stderr, "%s: %s\n", MessageDlgCaption(DlgType), Msg.c_str());
  for (unsigned B = mbYes; B <= mbClose; ++B)
    if (Buttons.Contains(static_cast<TMsgDlgBtn>(B)))
      return ModalResultOf(static_cast<TMsgDlgBtn>(B));
  return mrOk;
}

TMessageDlgHandler& CurrentHandler() {
  static TMessageDlgHandler Handler;
  return Handler;
}

} // namespace

const char* MessageDlgCaption(TMsgDlgType DlgType) {
  switch (DlgType) {
  case mtWarning:
    return "Warning";
  case mtError:
    return "Error";
  case mtInformation:
    return "Information";
  case mtConfirmation:
    return "Confirm";
  case mtCustom:
    break;
  }
  return "Message";
}

TModalResult ModalResultOf(TMsgDlgBtn Button) {
  switch (Button) {
  case mbYes:
  case mbYesToAll:
  case mbAll:
    return mrYes;
  case mbNo:
  case mbNoToAll:
    return mrNo;
  case mbOK:
    return mrOk;
  case mbCancel:
  case mbClose:
    return mrCancel;
  case mbAbort:
    return mrAbort;
  case mbRetry:
    return mrRetry;
  case mbIgnore:
    return mrIgnore;
  case mbHelp:
    break;
  }
  return mrNone;
}

TModalResult MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
                        std::int32_t HelpCtx) {
  // A copy: the handler may install another one while it runs.
  TMessageDlgHandler Handler = CurrentHandler();
  if (!Handler) return DefaultMessageDlg(Msg, DlgType, Buttons, HelpCtx);
  return Handler(Msg, DlgType, Buttons, HelpCtx);
}

TMessageDlgHandler SetMessageDlgHandler(TMessageDlgHandler Handler) {
  TMessageDlgHandler Previous = std::move(CurrentHandler());
  CurrentHandler() = std::move(Handler);
  return Previous;
}

} // namespace kelva
