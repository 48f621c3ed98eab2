// MessageDlg: the message box. The box itself is a replaceable handler, so that a renderer
// can draw it and tests can answer it.
#pragma once

#include "kelva/framework/forms/Forms.h"
#include "kelva/framework/rtl/Types.h"

#include <cstdint>
#include <functional>
#include <string>

namespace kelva {

enum TMsgDlgType : std::uint8_t { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn : std::uint8_t {
  mbYes,
  mbNo,
  mbOK,
  mbCancel,
  mbAbort,
  mbRetry,
  mbIgnore,
  mbAll,
  mbNoToAll,
  mbYesToAll,
  mbHelp,
  mbClose
};
using TMsgDlgButtons = TSet<TMsgDlgBtn>;

using TMessageDlgHandler = std::function<TModalResult(
    const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, std::int32_t HelpCtx)>;

// Shows the message box and returns the modal result of the button pressed.
TModalResult MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
                        std::int32_t HelpCtx);

// Installs the handler that shows message boxes; returns the previous one. An empty handler
// restores the default, which writes the message to standard error and answers with the
// box's first button (OK, Yes, ... in the order of TMsgDlgBtn).
TMessageDlgHandler SetMessageDlgHandler(TMessageDlgHandler Handler);

// The title of a message box of the type ("Warning", "Error", "Information", "Confirm",
// "Message").
const char* MessageDlgCaption(TMsgDlgType DlgType);

// The modal result a button stands for.
TModalResult ModalResultOf(TMsgDlgBtn Button);

// The text a grid or navigator asks before deleting the current record.
inline constexpr const char* SDeleteRecordQuestion = "Delete record?";

} // namespace kelva
