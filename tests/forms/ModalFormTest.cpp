// Modal forms as a person uses them through a scripted driver: buttons, the keyboard's Enter
// and Escape, a form that refuses to close, failing actions, and message boxes.
#include "FormsTestSupport.h"

#include "kelva/framework/forms/Dialogs.h"
#include "kelva/framework/forms/Forms.h"
#include "kelva/framework/forms/StdCtrls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace kelva {
namespace {

using formstest::ScopedExceptionLog;
using formstest::ScopedMessageDlgAnswer;
using Texts = std::vector<std::string>;

class ModalFormTest : public ::testing::Test {
protected:
  ModalFormTest() {
    Ok->SetParent(&Form);
    Ok->SetModalResult(mrOk);
    Ok->SetDefault(true);
    Ok->OnClick = [this](TObject*) {
      Log.push_back("click, result " + std::to_string(Form.ModalResult()));
    };
    Cancel->SetParent(&Form);
    Cancel->SetModalResult(mrCancel);
    Cancel->SetCancel(true);
    Form.OnShow = [this](TObject*) { Log.push_back("show"); };
    Form.OnCloseQuery = [this](TObject*, bool& CanClose) {
      Log.push_back("close query " + std::to_string(Form.ModalResult()));
      CanClose = AllowClose;
    };
  }

  TModalResult Run(TScriptedDriver& Driver) {
    TModalDriverScope Scope(Driver);
    return Form.ShowModal();
  }

  TForm Form{nullptr};
  TButton* Ok = new TButton(&Form);
  TButton* Cancel = new TButton(&Form);
  bool AllowClose = true;
  Texts Log;
};

TEST_F(ModalFormTest, WithoutADriverShowModalRefuses) {
  ASSERT_EQ(ModalDriver(), nullptr);
  EXPECT_THROW(Form.ShowModal(), EInvalidOperation);
  EXPECT_FALSE(Form.Visible());
  EXPECT_TRUE(Log.empty());
}

TEST_F(ModalFormTest, AButtonRunsOnClickThenEndsTheFormWithItsModalResult) {
  bool ShownDuringStep = false;
  TScriptedDriver Driver{[&](TForm& F) {
    ShownDuringStep = F.Visible() && F.Modal();
    Ok->Click();
  }};
  EXPECT_EQ(Run(Driver), mrOk);
  EXPECT_TRUE(ShownDuringStep);
  EXPECT_EQ(Log, (Texts{"show", "click, result 0", "close query 1"}));
  EXPECT_FALSE(Form.Visible());
  EXPECT_FALSE(Form.Modal());
  EXPECT_EQ(ModalDriver(), nullptr); // the scope put the previous driver back

  TScriptedDriver Again{[this](TForm&) { Cancel->Click(); }};
  EXPECT_EQ(Run(Again), mrCancel);
}

TEST_F(ModalFormTest, ARefusedCloseResetsTheResultAndKeepsTheFormOpen) {
  AllowClose = false;
  TModalResult SeenAfterRefusal = -1;
  TScriptedDriver Driver{[this](TForm&) { Ok->Click(); },
                         [&](TForm& F) {
                           SeenAfterRefusal = F.Visible() ? F.ModalResult() : -2;
                           AllowClose = true;
                           Cancel->Click();
                         }};
  EXPECT_EQ(Run(Driver), mrCancel);
  EXPECT_EQ(SeenAfterRefusal, mrNone);
  EXPECT_EQ(Log, (Texts{"show", "click, result 0", "close query 1", "close query 2"}));
}

TEST_F(ModalFormTest, FailingStepsAndCloseQueriesAreReportedAndTheFormStaysOpen) {
  ScopedExceptionLog Reported;
  Form.OnCloseQuery = [&](TObject*, bool&) {
    if (Reported.Messages.size() == 1) throw Exception("cannot close yet");
  };
  TModalResult SeenAfterFailures = -1;
  TScriptedDriver Driver{[](TForm&) { throw EInvalidOperation("step failed"); },
                         [this](TForm&) { Ok->Click(); },
                         [&](TForm& F) {
                           SeenAfterFailures = F.Visible() ? F.ModalResult() : -2;
                           Ok->Click();
                         }};
  EXPECT_EQ(Run(Driver), mrOk);
  EXPECT_EQ(SeenAfterFailures, mrNone);
  EXPECT_EQ(Reported.Messages, (Texts{"step failed", "cannot close yet"}));
}

TEST_F(ModalFormTest, ADriverOutOfStepsClosesWithCancel) {
  TScriptedDriver Driver{[](TForm&) {}};
  EXPECT_EQ(Run(Driver), mrCancel);
  EXPECT_EQ(Log, (Texts{"show", "close query 2"}));
}

TEST_F(ModalFormTest, EnterClicksTheDefaultButtonAndEscapeTheCancelButton) {
  TScriptedDriver EnterDriver{[](TForm& F) { F.PressEnter(); }};
  EXPECT_EQ(Run(EnterDriver), mrOk);
  TScriptedDriver EscapeDriver{[](TForm& F) { F.PressEscape(); }};
  EXPECT_EQ(Run(EscapeDriver), mrCancel);
  EXPECT_EQ(std::count(Log.begin(), Log.end(), "click, result 0"), 1);

  Ok->SetEnabled(false);
  Cancel->SetCancel(false);
  TScriptedDriver Disabled{[](TForm& F) { F.PressEnter(); }, [](TForm& F) { F.PressEscape(); },
                           [](TForm&) {}};
  EXPECT_EQ(Run(Disabled), mrCancel); // Escape closes even without a cancel button
  EXPECT_EQ(Disabled.Remaining(), 1u);
  EXPECT_EQ(std::count(Log.begin(), Log.end(), "click, result 0"), 1);
}

TEST(MessageDlgTest, AnInstalledHandlerAnswersUntilThePreviousOneComesBack) {
  ScopedMessageDlgAnswer Outer(mrOk);
  {
    ScopedMessageDlgAnswer Inner(mrCancel);
    EXPECT_EQ(MessageDlg("Save?", mtWarning, {mbOK, mbCancel}, 0), mrCancel);
    EXPECT_EQ(Inner.Questions, (Texts{"Save?"}));
  }
  EXPECT_EQ(MessageDlg("Again?", mtWarning, {mbOK, mbCancel}, 0), mrOk);
  EXPECT_EQ(Outer.Questions, (Texts{"Again?"}));
}

} // namespace
} // namespace kelva
