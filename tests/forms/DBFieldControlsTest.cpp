// TDBEdit and TDBComboBox as a person uses them: what they show while the record moves, when
// typed text reaches the field, and what they refuse.
#include "DataFormFixture.h"

#include "kelva/framework/forms/DBCtrls.h"

#include <gtest/gtest.h>

namespace kelva {
namespace {

using formstest::DataFormTest;
using formstest::Texts;

class DBEditTest : public DataFormTest {
protected:
  DBEditTest() {
    Edit->SetDataField("Name");
    Place(Edit, {{"Ann"}, {"Bob"}, {"Cid"}});
  }
  TDBEdit* Edit = new TDBEdit(&Form);
};

TEST_F(DBEditTest, ShowsTheCurrentRecordAndPostWritesWhatWasTyped) {
  Table.Last();
  EXPECT_EQ(Edit->Text(), "Cid");
  Table.First();
  EXPECT_EQ(Edit->Text(), "Ann");
  ASSERT_TRUE(Edit->TypeText("Zoe"));
  EXPECT_TRUE(Edit->Focused());
  EXPECT_EQ(Table.State(), dsEdit);
  EXPECT_EQ(CurrentName(), "Ann"); // so far only in the control
  Table.Post();
  EXPECT_EQ(StoredNames(), (Texts{"Zoe", "Bob", "Cid"}));
  EXPECT_FALSE(Edit->Modified());
  Edit->TypeText("Zed");
  Table.Next(); // scrolling away posts as well
  EXPECT_EQ(Edit->Text(), "Bob");
  EXPECT_EQ(StoredNames(), (Texts{"Zed", "Bob", "Cid"}));
  Table.Close();
  EXPECT_EQ(Edit->Text(), "");
}

TEST_F(DBEditTest, LeavingTheEditWritesTheFieldUnlessTheFieldRefuses) {
  Table.FieldByName("Name")->OnValidate = [](TField* F) {
    if (F->AsString().size() < 3) throw EDatabaseError("too short");
  };
  Edit->TypeText("Al");
  EXPECT_THROW(Elsewhere->SetFocus(), EDatabaseError);
  EXPECT_TRUE(Edit->Focused());
  EXPECT_EQ(Edit->Text(), "Al");
  Edit->TypeText("Alma");
  Elsewhere->SetFocus();
  EXPECT_EQ(CurrentName(), "Alma");
  EXPECT_EQ(Table.State(), dsEdit);
  Table.Cancel();
  EXPECT_EQ(Edit->Text(), "Ann");
  EXPECT_EQ(StoredNames()[0], "Ann");
}

TEST_F(DBEditTest, NothingCanBeTypedWhereNothingMayChange) {
  Edit->SetReadOnly(true);
  EXPECT_FALSE(Edit->TypeText("Zoe"));
  Edit->SetReadOnly(false);
  Table.FieldByName("Name")->SetReadOnly(true);
  EXPECT_FALSE(Edit->TypeText("Zoe"));
  Table.FieldByName("Name")->SetReadOnly(false);
  Source.SetAutoEdit(false);
  EXPECT_FALSE(Edit->TypeText("Zoe"));
  Source.SetAutoEdit(true);
  Table.ReadOnlyData = true;
  EXPECT_FALSE(Edit->TypeText("Zoe"));
  EXPECT_EQ(Table.State(), dsBrowse);
  EXPECT_EQ(Edit->Text(), "Ann");
  EXPECT_FALSE(Edit->Modified());
  Form.Hide();
  EXPECT_THROW(Edit->TypeText("Zoe"), EInvalidOperation);
}

class DBComboBoxTest : public DataFormTest {
protected:
  DBComboBoxTest() {
    Combo->SetDataField("Fruit");
    Combo->SetStyle(csDropDownList);
    Combo->Items().SetText("Pear\nApple\nPlum");
    Combo->SetSorted(true);
    Combo->OnChange = [this](TObject*) { ++Changes; };
    Place(Combo, {{"Ann", "Apple"}, {"Bob", "Mango"}, {"Cid", "Plum"}});
  }
  TDBComboBox* Combo = new TDBComboBox(&Form);
  int Changes = 0;
};

TEST_F(DBComboBoxTest, ASortedListShowsOnlyItsItems) {
  const TStringList& Items = Combo->Items();
  EXPECT_EQ((Texts{Items[0], Items[1], Items[2]}), (Texts{"Apple", "Pear", "Plum"}));
  EXPECT_EQ(Combo->ItemIndex(), 0);
  Table.Next(); // "Mango" is not in the list
  EXPECT_EQ(Combo->Text(), "");
  EXPECT_EQ(Combo->ItemIndex(), -1);
  Table.Next();
  EXPECT_EQ(Combo->ItemIndex(), 2);
}

TEST_F(DBComboBoxTest, ChoosingAnItemFiresOnChangeAndReachesTheFieldOnPost) {
  ASSERT_TRUE(Combo->ChooseItem("Pear"));
  EXPECT_EQ(Changes, 1);
  EXPECT_EQ(Table.State(), dsEdit);
  Table.Post();
  EXPECT_EQ(Combo->ItemIndex(), 1);
  Table.Last();
  Combo->ChooseItem("apple"); // the list matches regardless of case
  Table.Post();
  EXPECT_EQ(Table.Column(1), (Texts{"Pear", "Mango", "Apple"}));
}

TEST_F(DBComboBoxTest, ADropDownListRefusesUnknownItemsAndTyping) {
  EXPECT_THROW(Combo->ChooseItem("Kiwi"), EInvalidOperation);
  EXPECT_THROW(Combo->TypeText("Pear"), EInvalidOperation);
  EXPECT_EQ(Changes, 0);
  EXPECT_EQ(Table.State(), dsBrowse);
  EXPECT_EQ(Combo->Text(), "Apple");
  Combo->SetStyle(csDropDown); // an editable combo box takes any text
  ASSERT_TRUE(Combo->TypeText("Kiwi"));
  Elsewhere->SetFocus();
  EXPECT_EQ(Table.FieldByName("Fruit")->AsString(), "Kiwi");
}

} // namespace
} // namespace kelva
