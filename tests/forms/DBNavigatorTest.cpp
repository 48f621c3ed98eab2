// TDBNavigator: which buttons a person can press at each position and state of the table, and
// what pressing them does, the delete question included.
#include "DataFormFixture.h"

#include "kelva/framework/forms/DBCtrls.h"

#include <gtest/gtest.h>

namespace kelva {
namespace {

using formstest::DataFormTest;
using formstest::ScopedMessageDlgAnswer;
using formstest::Texts;
using Buttons = std::vector<TNavigateBtn>;

class DBNavigatorTest : public DataFormTest {
protected:
  void Open(std::vector<std::vector<std::string>> Rows) {
    Navigator->OnClick = [this](TObject*, TNavigateBtn Button) { Clicked.push_back(Button); };
    Place(Navigator, std::move(Rows));
  }
  Buttons Enabled() const {
    Buttons Result;
    for (int B = nbFirst; B <= nbRefresh; ++B)
      if (Navigator->ButtonEnabled(static_cast<TNavigateBtn>(B)))
        Result.push_back(static_cast<TNavigateBtn>(B));
    return Result;
  }

  TDBNavigator* Navigator = new TDBNavigator(&Form);
  Buttons Clicked;
};

TEST_F(DBNavigatorTest, ButtonsFollowThePositionAndTheState) {
  Open({{"Ann"}, {"Bob"}, {"Cid"}});
  EXPECT_EQ(Enabled(), (Buttons{nbNext, nbLast, nbInsert, nbDelete, nbEdit, nbRefresh}));
  Navigator->Click(nbLast);
  EXPECT_EQ(CurrentName(), "Cid");
  EXPECT_EQ(Enabled(), (Buttons{nbFirst, nbPrior, nbInsert, nbDelete, nbEdit, nbRefresh}));
  Navigator->Click(nbEdit);
  EXPECT_EQ(Table.State(), dsEdit);
  EXPECT_EQ(Enabled(), (Buttons{nbFirst, nbPrior, nbInsert, nbDelete, nbPost, nbCancel}));
  Navigator->Click(nbCancel);
  Navigator->Click(nbPrior);
  EXPECT_EQ(CurrentName(), "Bob");
  EXPECT_EQ(Clicked, (Buttons{nbLast, nbEdit, nbCancel, nbPrior}));
}

TEST_F(DBNavigatorTest, ADisabledOrHiddenButtonDoesNothing) {
  Table.ReadOnlyData = true;
  Open({{"Ann"}, {"Bob"}});
  EXPECT_EQ(Enabled(), (Buttons{nbNext, nbLast, nbRefresh}));
  EXPECT_FALSE(Navigator->Click(nbPrior));
  EXPECT_FALSE(Navigator->Click(nbEdit));
  Navigator->SetVisibleButtons({nbFirst, nbPrior});
  EXPECT_FALSE(Navigator->Click(nbNext));
  EXPECT_EQ(CurrentName(), "Ann");
  EXPECT_EQ(Table.State(), dsBrowse);
  EXPECT_TRUE(Clicked.empty());
  Form.Hide();
  EXPECT_THROW(Navigator->Click(nbFirst), EInvalidOperation);
}

TEST_F(DBNavigatorTest, DeleteAsksFirstAndCancelKeepsTheRecord) {
  ScopedMessageDlgAnswer Answer(mrCancel);
  Open({{"Ann"}, {"Bob"}, {"Cid"}});
  Navigator->Click(nbNext);
  EXPECT_FALSE(Navigator->Click(nbDelete));
  EXPECT_EQ(Answer.Questions, (Texts{SDeleteRecordQuestion}));
  EXPECT_EQ(Answer.Types, (std::vector<TMsgDlgType>{mtConfirmation}));
  EXPECT_EQ(StoredNames(), (Texts{"Ann", "Bob", "Cid"}));
  Answer.Answer = mrOk;
  EXPECT_TRUE(Navigator->Click(nbDelete));
  EXPECT_EQ(StoredNames(), (Texts{"Ann", "Cid"}));
  Navigator->SetConfirmDelete(false);
  Navigator->Click(nbDelete);
  Navigator->Click(nbDelete);
  EXPECT_EQ(Answer.Questions.size(), 2u);
  EXPECT_TRUE(Table.IsEmpty());
  EXPECT_EQ(Enabled(), (Buttons{nbInsert, nbEdit, nbRefresh}));
}

TEST_F(DBNavigatorTest, PostStoresWhatWasTypedInAnEditThatKeepsTheFocus) {
  auto* Edit = new TDBEdit(&Form);
  Edit->SetParent(&Form);
  Edit->SetDataSource(&Source);
  Edit->SetDataField("Name");
  Open({{"Ann"}, {"Bob"}});
  Navigator->Click(nbLast);
  Navigator->Click(nbInsert);
  EXPECT_EQ(Edit->Text(), "");
  Edit->TypeText("Abe");
  EXPECT_TRUE(Navigator->Click(nbPost));
  EXPECT_TRUE(Edit->Focused());
  EXPECT_EQ(StoredNames(), (Texts{"Ann", "Abe", "Bob"}));
  EXPECT_EQ(CurrentName(), "Abe");
}

} // namespace
} // namespace kelva
