// A grid's view of a large raw-loaded dataset: a ten-row data link follows First, Next,
// Last, Prior, MoveBy, record numbers and bookmarks, and every row it paints shows the
// record that belongs there.
#include "DatasetProbe.h"
#include "support/Joined.h"

#include <gtest/gtest.h>

namespace kelva::testing {
namespace {

constexpr std::int32_t Rows = 10;
constexpr std::int32_t Records = 1000;

class TGridLink : public TDataLink {
public:
  TGridLink() { SetBufferCount(Rows); }

  // Reads N of every row the way a grid paints them, then puts the active row back.
  std::vector<std::int32_t> PaintRows() {
    std::vector<std::int32_t> Values;
    const std::int32_t Active = ActiveRecord();
    for (std::int32_t Row = 0; Row < RecordCount(); ++Row) {
      SetActiveRecord(Row);
      Values.push_back(DataSet()->FieldByName("N")->AsInteger());
    }
    SetActiveRecord(Active);
    return Values;
  }
};

class GridBrowse : public ::testing::Test {
protected:
  void SetUp() override {
    Data.Describe({"FIELD=NAME,CHAR,10", "FIELD=N,INTEGER,0"});
    Data.OnLoadHook = [](THookedDataset& D, TKlvLoadAction) {
      for (std::int32_t I = 1; I <= Records; ++I) {
        D.AppendRaw();
        D.FieldByName("NAME")->SetAsString(Joined("R", std::to_string(I)));
        D.FieldByName("N")->SetAsInteger(I);
        D.PostRaw();
      }
    };
    Source.SetDataSet(&Data);
    Link.SetDataSource(&Source);
    Data.Open();
  }

  // The grid shows Expected on its active row, among consecutive visible records.
  void ExpectShowing(std::int32_t Expected, const std::function<bool(std::int32_t)>& Visible) {
    Data.AssertRingInvariants();
    const std::vector<std::int32_t> Painted = Link.PaintRows();
    ASSERT_EQ(static_cast<std::int32_t>(Painted.size()), Link.RecordCount());
    ASSERT_GE(Link.ActiveRecord(), 0);
    ASSERT_LT(Link.ActiveRecord(), Link.RecordCount());
    ASSERT_EQ(Painted[static_cast<std::size_t>(Link.ActiveRecord())], Expected);
    for (std::size_t Row = 1; Row < Painted.size(); ++Row) {
      std::int32_t Next = Painted[Row - 1] + 1;
      while (!Visible(Next)) ++Next;
      ASSERT_EQ(Painted[Row], Next) << "row " << Row << " showing " << Expected;
    }
    ASSERT_EQ(Data.FieldByName("N")->AsInteger(), Expected);
    ASSERT_EQ(Data.FieldByName("NAME")->AsString(), Joined("R", std::to_string(Expected)));
    ASSERT_EQ(Data.RecNo(), Expected);
  }

  TProbeDataset Data;
  TDataSource Source{nullptr};
  TGridLink Link;
};

const auto All = [](std::int32_t) { return true; };

TEST_F(GridBrowse, WalksEveryRecordBothWays) {
  EXPECT_EQ(Link.RecordCount(), Rows);
  Data.First();
  ExpectShowing(1, All);
  for (std::int32_t N = 2; N <= Records; ++N) {
    Data.Next();
    ASSERT_NO_FATAL_FAILURE(ExpectShowing(N, All));
    ASSERT_FALSE(Data.Eof());
  }
  Data.Next();
  EXPECT_TRUE(Data.Eof());
  ExpectShowing(Records, All);

  Data.Last();
  ExpectShowing(Records, All);
  for (std::int32_t N = Records - 1; N >= 1; --N) {
    Data.Prior();
    ASSERT_NO_FATAL_FAILURE(ExpectShowing(N, All));
    ASSERT_FALSE(Data.Bof());
  }
  Data.Prior();
  EXPECT_TRUE(Data.Bof());
  ExpectShowing(1, All);
}

TEST_F(GridBrowse, JumpsLandOnTheRightRow) {
  Data.First();
  EXPECT_EQ(Data.MoveBy(250), 250);
  ExpectShowing(251, All);
  EXPECT_EQ(Data.MoveBy(-100), -100);
  ExpectShowing(151, All);
  EXPECT_EQ(Data.MoveBy(2000), Records - 151);
  EXPECT_TRUE(Data.Eof());
  ExpectShowing(Records, All);
  EXPECT_EQ(Data.MoveBy(-5000), 1 - Records);
  EXPECT_TRUE(Data.Bof());
  ExpectShowing(1, All);
  Data.SetRecNo(500); // the grid's scroll bar
  ExpectShowing(500, All);
  const TBookmark Mark = Data.GetBookmark();
  Data.Last();
  Data.GotoBookmark(Mark);
  ExpectShowing(500, All);
}

TEST_F(GridBrowse, HiddenRecordsNeverReachARow) {
  const auto Visible = [](std::int32_t N) { return N % 3 != 0; };
  Data.OnFilterRecord = [&](TDataSet* D, bool& Accept) {
    Accept = Visible(D->FieldByName("N")->AsInteger());
  };
  Data.SetFiltered(true);
  std::int32_t Expected = 1;
  ExpectShowing(Expected, Visible);
  for (;;) {
    Data.Next();
    if (Data.Eof()) break;
    do ++Expected;
    while (!Visible(Expected));
    ASSERT_NO_FATAL_FAILURE(ExpectShowing(Expected, Visible));
  }
  EXPECT_EQ(Expected, Records);
  EXPECT_EQ(Data.MoveBy(-10), -10);
  for (std::int32_t Step = 0; Step < 10; ++Step) {
    do --Expected;
    while (!Visible(Expected));
  }
  ExpectShowing(Expected, Visible);
}

} // namespace
} // namespace kelva::testing
