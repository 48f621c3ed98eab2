// TDBGrid: how many rows it shows, what each row reads, and the person's clicks and keys
// (moving, inserting, deleting with a question, leaving an untouched new row).
#include "DataFormFixture.h"

#include "kelva/framework/forms/DBGrids.h"
#include "kelva/framework/forms/Dialogs.h"
#include "support/Joined.h"

#include <gtest/gtest.h>

namespace kelva {
using kelva::testing::Joined;

namespace {

using formstest::DataFormTest;
using formstest::ScopedMessageDlgAnswer;
using formstest::Texts;

class DBGridTest : public DataFormTest {
protected:
  // A grid with room for a title row and 5 rows of 18 pixels, over records "R0", "R1", …
  void Open(int Count) {
    Grid->SetHeight(6 * 18);
    std::vector<std::vector<std::string>> Rows;
    for (int I = 0; I < Count; ++I) Rows.push_back({Joined("R", std::to_string(I))});
    Place(Grid, std::move(Rows));
  }
  Texts ShownNames() const {
    Texts Names;
    for (std::int32_t Row = 0; Row < Grid->RowCount(); ++Row)
      Names.push_back(Grid->CellText(Row, 0));
    return Names;
  }

  TDBGrid* Grid = new TDBGrid(&Form);
};

TEST_F(DBGridTest, EachRowReadsItsRecordAndTheRowsFollowTheHeight) {
  Open(12);
  EXPECT_EQ(Grid->VisibleRowCount(), 5);
  EXPECT_EQ(ShownNames(), (Texts{"R0", "R1", "R2", "R3", "R4"}));
  Table.Last();
  EXPECT_EQ(ShownNames(), (Texts{"R7", "R8", "R9", "R10", "R11"}));
  EXPECT_EQ(Grid->Row(), 4);
  EXPECT_EQ(CurrentName(), "R11"); // reading the rows left the current record alone
  EXPECT_THROW(Grid->CellText(5, 0), EListError);
  Grid->SetOptions({dgRowSelect}); // without the title row one more record fits
  EXPECT_EQ(Grid->RowCount(), 6);
  Grid->SetDefaultRowHeight(36);
  EXPECT_EQ(ShownNames(), (Texts{"R9", "R10", "R11"}));
  Grid->SetHeight(9 * 36); // growing at the end shows the records before the current one
  EXPECT_EQ(ShownNames(), (Texts{"R3", "R4", "R5", "R6", "R7", "R8", "R9", "R10", "R11"}));
  Grid->SetHeight(10); // even a tiny grid shows the current record
  EXPECT_EQ(ShownNames(), (Texts{"R11"}));
  EXPECT_THROW(Grid->SetDefaultRowHeight(0), EInvalidOperation);
}

TEST_F(DBGridTest, TitlesAreTheColumnCaptionElseTheFieldsLabelElseItsName) {
  Open(1);
  EXPECT_EQ(Grid->ColumnTitle(0), "Name"); // no columns, no display label: the field's name
  Table.FieldByName("Name")->SetDisplayLabel("Customer");
  EXPECT_EQ(Grid->ColumnTitle(0), "Customer");
  TColumn* Column = Grid->Columns().Add();
  Column->SetFieldName("Name");
  EXPECT_EQ(Grid->ColumnTitle(0), "Customer");
  Table.FieldByName("Name")->SetDisplayLabel("");
  EXPECT_EQ(Grid->ColumnTitle(0), "Name");
  Column->Title().SetCaption("Who");
  EXPECT_EQ(Grid->ColumnTitle(0), "Who");
}

TEST_F(DBGridTest, ClicksAndArrowKeysMoveTheCurrentRecord) {
  Open(3);
  EXPECT_EQ(ShownNames(), (Texts{"R0", "R1", "R2"}));
  Grid->ClickRow(2);
  EXPECT_TRUE(Grid->Focused());
  EXPECT_EQ(CurrentName(), "R2");
  Grid->ClickRow(4); // below the last record: nothing there to click
  EXPECT_EQ(Grid->Row(), 2);
  Grid->KeyUp();
  EXPECT_EQ(CurrentName(), "R1");
  Grid->KeyDown();
  Grid->KeyDown(); // below the last record a new one is appended, but only one
  Grid->KeyDown();
  EXPECT_EQ(Table.State(), dsInsert);
  EXPECT_EQ(ShownNames(), (Texts{"R0", "R1", "R2", ""}));
  Grid->KeyUp(); // leaving the untouched new record upwards abandons it
  EXPECT_EQ(Table.State(), dsBrowse);
  EXPECT_EQ(StoredNames(), (Texts{"R0", "R1", "R2"}));
}

TEST_F(DBGridTest, AnUntouchedInsertIsCancelledWhenTheGridIsLeft) {
  Open(3);
  Grid->ClickRow(1);
  Grid->KeyInsert();
  EXPECT_EQ(Table.State(), dsInsert);
  EXPECT_EQ(Grid->CellText(Grid->Row(), 0), "");
  Elsewhere->SetFocus();
  EXPECT_EQ(Table.State(), dsBrowse);
  EXPECT_EQ(CurrentName(), "R1");

  Grid->KeyInsert(); // a new record with data stays
  Table.FieldByName("Name")->SetAsString("New");
  Elsewhere->SetFocus();
  EXPECT_EQ(Table.State(), dsInsert);
  Table.Post();
  Grid->SetOptions({dgTitles}); // without cancel on exit even an untouched one stays
  Grid->KeyInsert();
  Elsewhere->SetFocus();
  EXPECT_EQ(Table.State(), dsInsert);
  Table.Cancel();
  EXPECT_EQ(StoredNames(), (Texts{"R0", "New", "R1", "R2"}));
}

TEST_F(DBGridTest, ClickingACellOfTheRowBeingEditedKeepsEditingIt) {
  Open(3);
  Grid->ClickRow(1);
  Grid->KeyInsert();
  Grid->ClickCell(Grid->Row(), 0); // the person clicks into the new row to type
  EXPECT_EQ(Table.State(), dsInsert);
  ASSERT_TRUE(Grid->TypeCell("New"));
  Grid->ClickCell(Grid->Row(), 0);
  EXPECT_EQ(Table.State(), dsInsert);
  Grid->ClickRow(0); // another row posts it
  EXPECT_EQ(Table.State(), dsBrowse);
  EXPECT_EQ(StoredNames(), (Texts{"R0", "New", "R1", "R2"}));
}

TEST_F(DBGridTest, CtrlDeleteAsksAndCancelKeepsTheRecord) {
  ScopedMessageDlgAnswer Answer(mrCancel);
  Open(3);
  Grid->ClickRow(1);
  Grid->KeyCtrlDelete();
  EXPECT_EQ(Answer.Questions, (Texts{SDeleteRecordQuestion}));
  EXPECT_EQ(Table.RecordCount(), 3);
  Answer.Answer = mrOk;
  Grid->KeyCtrlDelete();
  EXPECT_EQ(StoredNames(), (Texts{"R0", "R2"}));
  EXPECT_EQ(ShownNames(), (Texts{"R0", "R2"}));
}

TEST_F(DBGridTest, AReadOnlyGridOrAHiddenOneChangesNothing) {
  ScopedMessageDlgAnswer Answer(mrOk);
  Open(3);
  Grid->SetReadOnly(true);
  Grid->KeyInsert();
  Grid->KeyCtrlDelete();
  EXPECT_EQ(Table.State(), dsBrowse);
  EXPECT_TRUE(Answer.Questions.empty());
  Form.Hide();
  EXPECT_THROW(Grid->ClickRow(2), EInvalidOperation);
  EXPECT_EQ(StoredNames(), (Texts{"R0", "R1", "R2"}));
  EXPECT_EQ(CurrentName(), "R0");
}

} // namespace
} // namespace kelva
