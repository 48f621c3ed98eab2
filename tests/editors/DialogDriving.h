// Helpers that drive the description dialogs as a developer would: message boxes and the
// framework's error reports are captured, and a dialog is shown modally with a script of
// user actions.
#pragma once

#include "kelva/editors/MetaFieldsForm.h"
#include "kelva/editors/ParamsForm.h"
#include "kelva/framework/forms/Dialogs.h"
#include "kelva/framework/rtl/Application.h"

#include <functional>
#include <string>
#include <vector>

namespace kelva::editors_test {

// Records every message box and answers it with Answer.
class MessageBoxes {
public:
  explicit MessageBoxes(TModalResult Answer = mrOk) {
    FPrevious = SetMessageDlgHandler([this, Answer](const std::string& Msg, TMsgDlgType Type,
                                                    TMsgDlgButtons Buttons, std::int32_t) {
      Shown.push_back(Msg);
      Types.push_back(Type);
      ButtonSets.push_back(Buttons);
      return Answer;
    });
  }
  ~MessageBoxes() { SetMessageDlgHandler(std::move(FPrevious)); }
  MessageBoxes(const MessageBoxes&) = delete;
  MessageBoxes& operator=(const MessageBoxes&) = delete;

  std::vector<std::string> Shown;
  std::vector<TMsgDlgType> Types;
  std::vector<TMsgDlgButtons> ButtonSets;

private:
  TMessageDlgHandler FPrevious;
};

// Records the messages of exceptions that reach the application's error report.
class ErrorReports {
public:
  ErrorReports() {
    FPrevious = Application->OnException;
    Application->OnException = [this](TObject*, const Exception& E) {
      Messages.push_back(E.Message());
    };
  }
  ~ErrorReports() { Application->OnException = FPrevious; }
  ErrorReports(const ErrorReports&) = delete;
  ErrorReports& operator=(const ErrorReports&) = delete;

  std::vector<std::string> Messages;

private:
  TExceptionEvent FPrevious;
};

template <class TDialog>
using DialogStep = std::function<void(TDialog& Dialog)>;

// A driver whose steps get the dialog as its own class.
template <class TDialog>
TScriptedDriver ScriptFor(std::vector<DialogStep<TDialog>> Steps) {
  TScriptedDriver Driver;
  for (auto& Step : Steps) Driver.Add([Step](TForm& Form) { Step(dynamic_cast<TDialog&>(Form)); });
  return Driver;
}

struct DialogOutcome {
  TModalResult Result = mrNone;
  std::vector<std::string> Memo; // the memo's lines when the dialog ended
};

// Opens the dialog as its property editor does (the unit's global points at it, the memo
// holds Lines), plays Steps, and reports how it ended.
template <class TDialog>
DialogOutcome RunDialog(TDialog*& Global, const std::vector<std::string>& Lines,
                        std::vector<DialogStep<TDialog>> Steps) {
  TDialog Dialog(nullptr);
  Global = &Dialog;
  for (const std::string& Line : Lines) Dialog.mmoFields->Lines().Add(Line);
  TScriptedDriver Driver = ScriptFor<TDialog>(std::move(Steps));
  TModalDriverScope Scope(Driver);
  DialogOutcome Outcome;
  Outcome.Result = Dialog.ShowModal();
  for (std::int32_t I = 0; I < Dialog.mmoFields->Lines().Count(); ++I)
    Outcome.Memo.push_back(Dialog.mmoFields->Lines()[I]);
  return Outcome;
}

// The grid's rows as "NAME,TYPE[,LENGTH]" texts, read cell by cell.
inline std::vector<std::string> GridRows(TDBGrid& Grid) {
  std::vector<std::string> Rows;
  for (std::int32_t Row = 0; Row < Grid.RowCount(); ++Row) {
    std::string Text;
    for (std::int32_t Col = 0; Col < Grid.ColumnCount(); ++Col) {
      if (Col) Text += ',';
      Text += Grid.CellText(Row, Col);
    }
    Rows.push_back(Text);
  }
  return Rows;
}

// The position numbers of the working records, in their order.
inline std::vector<double> Positions(TDescriptionForm& Dialog) {
  std::vector<double> Result;
  TBookmark Mark = Dialog.KelvaDS1->GetBookmark();
  Dialog.KelvaDS1->DisableControls();
  for (Dialog.KelvaDS1->First(); !Dialog.KelvaDS1->Eof(); Dialog.KelvaDS1->Next())
    Result.push_back(Dialog.KelvaDS1POS->AsFloat());
  Dialog.KelvaDS1->GotoBookmark(Mark);
  Dialog.KelvaDS1->FreeBookmark(Mark);
  Dialog.KelvaDS1->EnableControls();
  return Result;
}

} // namespace kelva::editors_test
