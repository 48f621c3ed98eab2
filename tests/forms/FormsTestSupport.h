// Stand-ins for the person answering message boxes and for the application's exception
// reporter; each puts the previous one back when it goes out of scope.
#pragma once

#include "kelva/framework/forms/Dialogs.h"
#include "kelva/framework/rtl/Application.h"

#include <string>
#include <vector>

namespace kelva::formstest {

// Answers every message box with Answer and remembers the questions.
struct ScopedMessageDlgAnswer {
  explicit ScopedMessageDlgAnswer(TModalResult AnswerGiven) : Answer(AnswerGiven) {
    Previous = SetMessageDlgHandler(
        [this](const std::string& Msg, TMsgDlgType Type, TMsgDlgButtons, std::int32_t) {
          Questions.push_back(Msg);
          Types.push_back(Type);
          return Answer;
        });
  }
  ~ScopedMessageDlgAnswer() { SetMessageDlgHandler(std::move(Previous)); }
  ScopedMessageDlgAnswer(const ScopedMessageDlgAnswer&) = delete;
  ScopedMessageDlgAnswer& operator=(const ScopedMessageDlgAnswer&) = delete;

  TModalResult Answer;
  std::vector<std::string> Questions;
  std::vector<TMsgDlgType> Types;
  TMessageDlgHandler Previous;
};

// Collects the messages of the exceptions handed to Application->HandleException.
struct ScopedExceptionLog {
  ScopedExceptionLog() : Previous(std::move(Application->OnException)) {
    Application->OnException = [this](TObject*, const Exception& E) {
      Messages.push_back(E.Message());
    };
  }
  ~ScopedExceptionLog() { Application->OnException = std::move(Previous); }
  ScopedExceptionLog(const ScopedExceptionLog&) = delete;
  ScopedExceptionLog& operator=(const ScopedExceptionLog&) = delete;

  TExceptionEvent Previous;
  std::vector<std::string> Messages;
};

} // namespace kelva::formstest
