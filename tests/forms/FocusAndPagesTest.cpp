// The focus as a person moves it (entering and leaving controls, a refused exit) and which
// controls can be used at all: none on a hidden form, a hidden page or a disabled parent.
#include "kelva/framework/forms/ComCtrls.h"
#include "kelva/framework/forms/Forms.h"
#include "kelva/framework/forms/StdCtrls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kelva {
namespace {

using Texts = std::vector<std::string>;

class FocusTest : public ::testing::Test {
protected:
  FocusTest() {
    for (TMemo* Memo : {First, Second}) {
      Memo->SetParent(&Form);
      Memo->OnEnter = [this](TObject* S) { Log.push_back("enter " + NameOf(S)); };
      Memo->OnExit = [this](TObject* S) { Log.push_back("exit " + NameOf(S)); };
    }
    First->SetName("First");
    Second->SetName("Second");
    Button->SetParent(&Form);
    Button->OnClick = [this](TObject*) { Log.push_back("click"); };
  }
  static std::string NameOf(TObject* S) { return static_cast<TComponent*>(S)->Name(); }

  TForm Form{nullptr};
  TMemo* First = new TMemo(&Form);
  TMemo* Second = new TMemo(&Form);
  TButton* Button = new TButton(&Form);
  Texts Log;
};

TEST_F(FocusTest, TheFocusLeavesOneControlBeforeEnteringTheNext) {
  Form.Show(); // the first tab stop gets the focus
  Second->SetFocus();
  Second->SetFocus(); // already there: nobody is told again
  EXPECT_EQ(Log, (Texts{"enter First", "exit First", "enter Second"}));
  EXPECT_TRUE(Second->Focused());
  EXPECT_FALSE(First->Focused());

  Form.Hide();
  Form.SetActiveControl(First); // names the control that gets the focus when shown
  Log.clear();
  Form.Show();
  EXPECT_EQ(Log, (Texts{"enter First"}));
}

TEST_F(FocusTest, AnExitThatRaisesKeepsTheFocus) {
  Form.Show();
  First->OnExit = [](TObject*) { throw EInvalidOperation("value refused"); };
  EXPECT_THROW(Second->SetFocus(), EInvalidOperation);
  EXPECT_THROW(Button->Click(), EInvalidOperation);
  EXPECT_TRUE(First->Focused());
  EXPECT_EQ(Log, (Texts{"enter First"})); // no click, no entering
}

TEST_F(FocusTest, ControlsOfAHiddenFormOrADisabledParentCannotBeUsed) {
  auto* Panel = new TPanel(&Form);
  Panel->SetParent(&Form);
  Button->SetParent(Panel);
  EXPECT_THROW(First->SetFocus(), EInvalidOperation); // the form is not shown
  EXPECT_THROW(Button->Click(), EInvalidOperation);
  Form.Show();
  Panel->SetEnabled(false);
  EXPECT_THROW(Button->Click(), EInvalidOperation);
  Second->SetVisible(false);
  EXPECT_THROW(Second->TypeText("x"), EInvalidOperation);
  EXPECT_EQ(Second->Lines().Count(), 0);
  Panel->SetEnabled(true);
  Button->Click();
  EXPECT_TRUE(Button->Focused());
  EXPECT_EQ(Log, (Texts{"enter First", "exit First", "click"}));
}

TEST_F(FocusTest, HidingTheFocusedControlTakesTheFocusAway) {
  Form.Show();
  ASSERT_TRUE(First->Focused());
  First->SetVisible(false);
  EXPECT_EQ(Form.ActiveControl(), nullptr);
  Second->SetVisible(false); // not focused: nothing changes
  First->SetVisible(true);
  First->SetFocus();
  EXPECT_TRUE(First->Focused());
}

TEST_F(FocusTest, AControlLeavingTheFormTakesTheFocusWithIt) {
  Form.Show();
  First->SetParent(nullptr);
  EXPECT_EQ(Form.ActiveControl(), nullptr);
  Second->SetFocus();
  delete Second; // the form must not keep a dangling active control
  EXPECT_EQ(Form.ActiveControl(), nullptr);
}

class PageControlTest : public ::testing::Test {
protected:
  PageControlTest() {
    Pages->SetParent(&Form);
    FirstPage->SetParent(Pages);
    SecondPage->SetParent(Pages);
    OnFirst->SetParent(FirstPage);
    OnSecond->SetParent(SecondPage);
    Pages->OnChanging = [this](TObject*, bool& Allow) {
      Log.push_back("changing from " + std::to_string(Pages->ActivePageIndex()));
      Allow = AllowChange;
    };
    Pages->OnChange = [this](TObject*) {
      Log.push_back("change to " + std::to_string(Pages->ActivePageIndex()));
    };
    Form.Show();
  }

  TForm Form{nullptr};
  TPageControl* Pages = new TPageControl(&Form);
  TTabSheet* FirstPage = new TTabSheet(&Form);
  TTabSheet* SecondPage = new TTabSheet(&Form);
  TMemo* OnFirst = new TMemo(&Form);
  TButton* OnSecond = new TButton(&Form);
  bool AllowChange = true;
  Texts Log;
};

TEST_F(PageControlTest, ControlsOnAHiddenPageCannotBeUsed) {
  EXPECT_EQ(Pages->ActivePage(), FirstPage);
  EXPECT_THROW(OnSecond->Click(), EInvalidOperation);
  EXPECT_THROW(OnSecond->SetFocus(), EInvalidOperation);
  Pages->SetActivePage(SecondPage);
  EXPECT_THROW(OnFirst->TypeText("x"), EInvalidOperation);
  OnSecond->Click();
  EXPECT_TRUE(OnSecond->Focused());
}

TEST_F(PageControlTest, ThePersonsPageChangeIsAskedForAndAnnouncedButNotTheCodes) {
  AllowChange = false;
  EXPECT_FALSE(Pages->SelectPage(SecondPage));
  EXPECT_EQ(Pages->ActivePage(), FirstPage);
  AllowChange = true;
  EXPECT_TRUE(Pages->SelectPage(SecondPage));
  EXPECT_FALSE(Pages->SelectPage(SecondPage)); // the page shown already: nobody is asked
  EXPECT_TRUE(Pages->Focused());
  Pages->SetActivePage(FirstPage);
  EXPECT_EQ(Log, (Texts{"changing from 0", "changing from 0", "change to 1"}));
  EXPECT_THROW(Pages->SelectPage(nullptr), EInvalidOperation);
  EXPECT_THROW(Pages->SetActivePage(new TTabSheet(&Form)), EInvalidOperation);
}

TEST_F(PageControlTest, TheFocusLeavesAPageThatIsHiddenUnlessItsControlRefuses) {
  OnFirst->SetFocus();
  Pages->SetActivePage(SecondPage);
  EXPECT_FALSE(OnFirst->Focused());
  Pages->SetActivePage(FirstPage);
  OnFirst->SetFocus();
  OnFirst->OnExit = [](TObject*) { throw EInvalidOperation("value refused"); };
  EXPECT_THROW(Pages->SelectPage(SecondPage), EInvalidOperation);
  EXPECT_EQ(Pages->ActivePage(), FirstPage);
  EXPECT_TRUE(OnFirst->Focused());
  EXPECT_TRUE(Log.empty());
}

} // namespace
} // namespace kelva
