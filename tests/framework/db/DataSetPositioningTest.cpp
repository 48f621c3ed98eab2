// Where the descendant's cursor stands when it is asked to store a new record: after the
// last record for an append, on the record it goes before for an insert, before the first
// record for an insert into an empty view, whatever the ring size and the active slot.
#include "ProbeRig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace kelva {
namespace {

enum class Start { Append, Insert, EditEmpty, AppendRecord, InsertRecord };

struct PositioningCase {
  const char* Name;
  std::int32_t Records;
  std::int32_t RingSize;
  std::function<void(ProbeDataSet&)> Prepare; // brings the wanted record into the active slot
  Start How;
  std::string PositionedBy; // the cursor call made right before the store
  std::string StoreCall;
  std::int32_t StoredAt; // where the new record lands in the store
};

void MoveTo(ProbeDataSet& Probe, std::int32_t Distance) {
  Probe.MoveBy(Distance);
}

const std::vector<PositioningCase>& Cases() {
  static const std::vector<PositioningCase> All = {
      {"AppendOneSlot", 25, 1, {}, Start::Append, "InternalLast", "InternalPost@25", 25},
      {"AppendTenSlots", 25, 10, {}, Start::Append, "InternalLast", "InternalPost@25", 25},
      {"AppendTenSlotsNotFull", 3, 10, {}, Start::Append, "InternalLast", "InternalPost@3", 3},
      {"AppendToEmptyView", 0, 10, {}, Start::Append, "InternalLast", "InternalPost@0", 0},
      {"InsertOnFourthOneSlot", 25, 1, [](ProbeDataSet& P) { MoveTo(P, 3); }, Start::Insert,
       "InternalSetToRecord(id 4)", "InternalPost@3", 3},
      {"InsertOnFourthTenSlots", 25, 10, [](ProbeDataSet& P) { MoveTo(P, 3); }, Start::Insert,
       "InternalSetToRecord(id 4)", "InternalPost@3", 3},
      {"InsertOnFirst",
       25,
       10,
       {},
       Start::Insert,
       "InternalSetToRecord(id 1)",
       "InternalPost@0",
       0},
      {"InsertOnLast", 25, 10, [](ProbeDataSet& P) { P.Last(); }, Start::Insert,
       "InternalSetToRecord(id 25)", "InternalPost@24", 24},
      // The ring is full and the active record sits in its last slot: the record it goes
      // before is pushed out of the ring while the new one is edited.
      {"InsertFullRingLastSlot", 25, 10, [](ProbeDataSet& P) { MoveTo(P, 9); }, Start::Insert,
       "InternalSetToRecord(id 10)", "InternalPost@9", 9},
      {"InsertFullRingLastSlotScrolled", 25, 10, [](ProbeDataSet& P) { MoveTo(P, 14); },
       Start::Insert, "InternalSetToRecord(id 15)", "InternalPost@14", 14},
      {"InsertIntoEmptyView", 0, 10, {}, Start::Insert, "InternalFirst", "InternalPost@-1", 0},
      {"InsertIntoEmptyViewOneSlot",
       0,
       1,
       {},
       Start::Insert,
       "InternalFirst",
       "InternalPost@-1",
       0},
      {"EditOnEmptyViewInserts",
       0,
       10,
       {},
       Start::EditEmpty,
       "InternalFirst",
       "InternalPost@-1",
       0},
      // Records exist but none is visible: the new one goes before all of them.
      {"InsertIntoFilteredEmptyView", 3, 10,
       [](ProbeDataSet& P) {
         P.SetHidden([](const ProbeRecord& R) { return R.Value >= 10; });
         P.Resync({});
       },
       Start::Insert, "InternalFirst", "InternalPost@-1", 0},
      {"AppendRecordTenSlots",
       25,
       10,
       {},
       Start::AppendRecord,
       "InternalLast",
       "InternalAddRecord@25(append)",
       25},
      {"AppendRecordToEmptyView",
       0,
       10,
       {},
       Start::AppendRecord,
       "InternalLast",
       "InternalAddRecord@0(append)",
       0},
      {"InsertRecordOnFourth", 25, 10, [](ProbeDataSet& P) { MoveTo(P, 3); }, Start::InsertRecord,
       "InternalSetToRecord(id 4)", "InternalAddRecord@3(insert)", 3},
      {"InsertRecordFullRingLastSlot", 25, 10, [](ProbeDataSet& P) { MoveTo(P, 9); },
       Start::InsertRecord, "InternalSetToRecord(id 10)", "InternalAddRecord@9(insert)", 9},
      {"InsertRecordIntoEmptyView",
       0,
       10,
       {},
       Start::InsertRecord,
       "InternalFirst",
       "InternalAddRecord@-1(insert)",
       0},
  };
  return All;
}

class PositioningTest : public testing::TestWithParam<PositioningCase> {};

TEST_P(PositioningTest, TheNewRecordIsStoredAtTheCursorAndBecomesActive) {
  const PositioningCase& Case = GetParam();
  ProbeRig Rig(Case.Records, Case.RingSize);
  ProbeDataSet& Probe = Rig.DataSet;
  Probe.Open();
  if (Case.Prepare) Case.Prepare(Probe);
  const std::int32_t NewId = Case.Records + 1;
  Probe.ClearLog();

  switch (Case.How) {
  case Start::Append:
  case Start::Insert:
  case Start::EditEmpty:
    if (Case.How == Start::Append)
      Probe.Append();
    else if (Case.How == Start::Insert)
      Probe.Insert();
    else
      Probe.Edit();
    ASSERT_EQ(Probe.State(), dsInsert);
    EXPECT_RING_OK(Probe);
    Probe.FieldByName("V")->SetAsInteger(7);
    Probe.ClearLog();
    Probe.Post();
    break;
  case Start::AppendRecord:
    Probe.AppendRecord({7});
    break;
  case Start::InsertRecord:
    Probe.InsertRecord({7});
    break;
  }

  const std::vector<std::string> Calls =
      Probe.LogOf({"InternalLast", "InternalFirst", "InternalSetToRecord", "InternalPost",
                   "InternalAddRecord"});
  const auto Store = std::find(Calls.begin(), Calls.end(), Case.StoreCall);
  ASSERT_NE(Store, Calls.end()) << "no " << Case.StoreCall << " in "
                                << testing::PrintToString(Calls);
  ASSERT_NE(Store, Calls.begin());
  EXPECT_EQ(*(Store - 1), Case.PositionedBy);
  EXPECT_EQ(std::count_if(Calls.begin(), Calls.end(),
                          [](const std::string& L) {
                            return L.rfind("InternalPost", 0) == 0 ||
                                   L.rfind("InternalAddRecord", 0) == 0;
                          }),
            1);

  const std::vector<std::int32_t> Ids = Probe.StoredIds();
  ASSERT_EQ(Ids.size(), static_cast<std::size_t>(Case.Records + 1));
  EXPECT_EQ(Ids[static_cast<std::size_t>(Case.StoredAt)], NewId);
  EXPECT_EQ(Probe.State(), dsBrowse);
  EXPECT_RING_OK(Probe);
  EXPECT_EQ(Probe.ActiveId(), NewId) << "the new record becomes the active record";
  EXPECT_EQ(Probe.FieldByName("V")->AsInteger(), 7);
  EXPECT_FALSE(Probe.Bof());
  EXPECT_FALSE(Probe.Eof());
}

INSTANTIATE_TEST_SUITE_P(Cases, PositioningTest, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<PositioningCase>& Info) {
                           return std::string(Info.param.Name);
                         });

// ---- The new record's buffer while it is edited ---------------------------------------------

TEST(DataSetInsertBuffer, InsertCarriesTheBookmarkOfTheRecordItGoesBefore) {
  ProbeRig Rig(25, 10);
  ProbeDataSet& Probe = Rig.DataSet;
  Probe.Open();
  Probe.MoveBy(3);
  Probe.Insert();
  EXPECT_EQ(Probe.ActiveRecord(), 3);
  EXPECT_EQ(Probe.ActiveId(), 4);
  EXPECT_EQ(Probe.RingIds(), (std::vector<std::int32_t>{1, 2, 3, 4, 4, 5, 6, 7, 8, 9}))
      << "record 10 left the full ring";
  EXPECT_EQ(Probe.LogOf({"InitRecord", "InternalInitRecord", "ClearCalcFields", "SetBookmark",
                         "InternalInsert"}),
            (std::vector<std::string>{"InitRecord", "InternalInitRecord", "ClearCalcFields",
                                      "SetBookmarkFlag(bfInserted)", "SetBookmarkData(id 4)",
                                      "InternalInsert"}));
  EXPECT_TRUE(Probe.FieldByName("V")->IsNull());
  EXPECT_FALSE(Probe.IsEmpty());
}

TEST(DataSetInsertBuffer, AppendFetchesTheLastRecordsBeforeTheNewOne) {
  ProbeRig Rig(25, 10);
  ProbeDataSet& Probe = Rig.DataSet;
  Probe.Open();
  Probe.ClearLog();
  Probe.Append();
  EXPECT_EQ(Probe.ActiveRecord(), 9);
  EXPECT_EQ(Probe.RingIds(), (std::vector<std::int32_t>{17, 18, 19, 20, 21, 22, 23, 24, 25, 0}));
  std::vector<std::string> Expected{"InternalLast"};
  for (std::int32_t Id = 25; Id >= 17; --Id)
    Expected.push_back("GetRecord(gmPrior) -> id " + std::to_string(Id));
  EXPECT_EQ(Probe.CursorLog(), Expected);
  EXPECT_EQ(Probe.LogOf({"SetBookmarkFlag"}),
            (std::vector<std::string>{"SetBookmarkFlag(bfInserted)", "SetBookmarkFlag(bfEOF)"}));
  EXPECT_FALSE(Probe.Bof());
  EXPECT_TRUE(Probe.Eof());
  EXPECT_FALSE(Probe.IsEmpty());
}

TEST(DataSetInsertBuffer, InsertIntoAnEmptyViewIsFlaggedBeforeFirst) {
  ProbeRig Rig(0, 10);
  Rig.DataSet.Open();
  Rig.DataSet.ClearLog();
  Rig.DataSet.Insert();
  EXPECT_EQ(Rig.DataSet.LogOf({"SetBookmark"}),
            (std::vector<std::string>{"SetBookmarkFlag(bfInserted)", "SetBookmarkFlag(bfBOF)"}));
  EXPECT_EQ(Rig.DataSet.BufferedRecordCount(), 1);
  EXPECT_FALSE(Rig.DataSet.IsEmpty());
  EXPECT_EQ(Rig.DataSet.RecNo(), 0);
}

// The cursor may move while a record is edited (here: the ring grows because a control
// with more rows attaches); the post goes back to the edited record first.
TEST(DataSetInsertBuffer, PostAfterTheCursorMovedDuringAnEditFindsTheRecordAgain) {
  ProbeRig Rig(25, 1);
  ProbeDataSet& Probe = Rig.DataSet;
  Probe.Open();
  Probe.MoveBy(4);
  Probe.Edit();
  Probe.FieldByName("V")->SetAsInteger(55);
  RecordingDataLink Grid;
  Grid.SetBufferCount(10);
  Grid.SetDataSource(&Rig.Source);
  ASSERT_EQ(Probe.BufferCount(), 10);
  EXPECT_RING_OK(Probe);
  Probe.ClearLog();
  Probe.Post();
  EXPECT_EQ(Probe.LogOf({"InternalSetToRecord", "InternalPost"}).at(0),
            "InternalSetToRecord(id 5)");
  EXPECT_EQ(Probe.LogOf({"InternalPost"}), std::vector<std::string>{"InternalPost@4"});
  EXPECT_EQ(Probe.StoredValues().at(4), 55);
  EXPECT_EQ(Probe.ActiveId(), 5);
  EXPECT_RING_OK(Probe);
}

} // namespace
} // namespace kelva
