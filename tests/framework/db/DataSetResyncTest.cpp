// Resync: rebuilding the ring around the record the descendant's cursor stands on, keeping
// its row, centring it, or insisting on it; and Refresh, which resyncs after the store changed.
#include "ProbeRig.h"

#include "kelva/framework/db/DBConsts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kelva {
namespace {

using Lines = std::vector<std::string>;
using Ids = std::vector<std::int32_t>;

std::string Next(std::int32_t Id) {
  return "GetRecord(gmNext) -> id " + std::to_string(Id);
}
std::string Prior(std::int32_t Id) {
  return "GetRecord(gmPrior) -> id " + std::to_string(Id);
}
std::string Current(std::int32_t Id) {
  return "GetRecord(gmCurrent) -> id " + std::to_string(Id);
}
std::string SetTo(std::int32_t Id) {
  return "InternalSetToRecord(id " + std::to_string(Id) + ")";
}

Ids IdRange(std::int32_t From, std::int32_t To) {
  Ids Result;
  for (std::int32_t Id = From; Id <= To; ++Id) Result.push_back(Id);
  return Result;
}

// 25 records in a ring of ten, scrolled so that records 6 … 15 are buffered and record 15,
// in the last slot, is active; the cursor stands on record 15.
class ResyncTest : public testing::Test {
protected:
  void SetUp() override {
    Probe.Open();
    Probe.MoveBy(14);
    ASSERT_EQ(Probe.RingIds(), IdRange(6, 15));
    ASSERT_EQ(Probe.ActiveRecord(), 9);
    Probe.ClearLog();
    Rig.Link.Calls.clear();
  }

  ProbeRig Rig{25, 10};
  ProbeDataSet& Probe = Rig.DataSet;
};

TEST_F(ResyncTest, PlainResyncKeepsTheRecordInItsRow) {
  Probe.Resync({});
  EXPECT_RING_OK(Probe);
  EXPECT_EQ(Probe.RingIds(), IdRange(6, 15));
  EXPECT_EQ(Probe.ActiveRecord(), 9);
  Lines Expected{Current(15)};
  for (std::int32_t Id = 14; Id >= 6; --Id) Expected.push_back(Prior(Id));
  EXPECT_EQ(Probe.CursorLog(), Expected);
  EXPECT_FALSE(Probe.Bof());
  EXPECT_FALSE(Probe.Eof());
  EXPECT_EQ(Rig.Link.Calls, Lines{"DataSetChanged"});
}

TEST_F(ResyncTest, BuildsAroundTheDescendantsCursorNotTheActiveRecord) {
  Probe.MoveBy(-3); // record 12 is active; the cursor still stands on record 15
  Probe.ClearLog();
  Probe.Resync({});
  EXPECT_RING_OK(Probe);
  EXPECT_EQ(Probe.ActiveId(), 15);
  EXPECT_EQ(Probe.ActiveRecord(), 6) << "the row of the previously active record";
  EXPECT_EQ(Probe.RingIds(), IdRange(9, 18));
  EXPECT_EQ(Probe.CursorLog(),
            (Lines{Current(15), Prior(14), Prior(13), Prior(12), Prior(11), Prior(10), Prior(9),
                   SetTo(15), Next(16), Next(17), Next(18)}));
}

TEST_F(ResyncTest, CenterPutsTheRecordInRowFourOfTen) {
  Probe.Resync({rmCenter});
  EXPECT_RING_OK(Probe);
  EXPECT_EQ(Probe.ActiveId(), 15);
  EXPECT_EQ(Probe.ActiveRecord(), 4);
  EXPECT_EQ(Probe.RingIds(), IdRange(11, 20));
  EXPECT_EQ(Probe.CursorLog(),
            (Lines{Current(15), Prior(14), Prior(13), Prior(12), Prior(11), SetTo(15), Next(16),
                   Next(17), Next(18), Next(19), Next(20)}));
  EXPECT_EQ(Rig.Link.FirstRecord(), 0);
  EXPECT_EQ(Rig.Link.ActiveRecord(), 4);
}

TEST_F(ResyncTest, CenterNearTheEndFillsWithEarlierRecords) {
  Probe.Last();
  Probe.MoveBy(-1);        // record 24 is active
  Probe.UpdateCursorPos(); // and the cursor stands on it
  Probe.ClearLog();
  Probe.Resync({rmCenter});
  EXPECT_RING_OK(Probe);
  EXPECT_EQ(Probe.ActiveId(), 24);
  EXPECT_EQ(Probe.RingIds(), IdRange(16, 25));
  EXPECT_EQ(Probe.ActiveRecord(), 8);
  EXPECT_EQ(Probe.CursorLog(), (Lines{Current(24), Prior(23), Prior(22), Prior(21), Prior(20),
                                      SetTo(24), Next(25), "GetRecord(gmNext) -> grEOF", SetTo(20),
                                      Prior(19), Prior(18), Prior(17), Prior(16)}));
}

TEST_F(ResyncTest, ExactRefusesAVanishedRecord) {
  Probe.MoveBy(-3); // record 12
  Probe.UpdateCursorPos();
  Probe.SetHidden([](const ProbeRecord& R) { return R.Id == 12; });
  Probe.ClearLog();
  try {
    Probe.Resync({rmExact});
    FAIL() << "Resync({rmExact}) accepted a vanished record";
  } catch (const EDatabaseError& E) {
    EXPECT_EQ(E.Message(), SRecordNotFound);
  }
  EXPECT_EQ(Probe.CursorLog(), Lines{"GetRecord(gmCurrent) -> grError"});
  EXPECT_EQ(Probe.CurrentRecord(), -1) << "the cursor position is no longer known";
  EXPECT_EQ(Probe.ActiveId(), 12) << "the ring is left as it was";
}

TEST_F(ResyncTest, PlainResyncOnAVanishedRecordTakesTheNextOne) {
  Probe.MoveBy(-3); // record 12 in slot 6
  Probe.UpdateCursorPos();
  Probe.SetHidden([](const ProbeRecord& R) { return R.Id == 12; });
  Probe.ClearLog();
  Probe.Resync({});
  EXPECT_RING_OK(Probe);
  EXPECT_EQ(Probe.ActiveId(), 13);
  EXPECT_EQ(Probe.ActiveRecord(), 6);
  EXPECT_EQ(Probe.RingIds(), (Ids{6, 7, 8, 9, 10, 11, 13, 14, 15, 16}));
  const Lines Log = Probe.CursorLog();
  ASSERT_GE(Log.size(), 2u);
  EXPECT_EQ(Log[0], "GetRecord(gmCurrent) -> grError");
  EXPECT_EQ(Log[1], Next(13));
}

TEST_F(ResyncTest, PlainResyncAfterTheLastRecordVanishedTakesThePriorOne) {
  Probe.Last();
  Probe.UpdateCursorPos();
  Probe.SetHidden([](const ProbeRecord& R) { return R.Id == 25; });
  Probe.ClearLog();
  Probe.Resync({});
  EXPECT_RING_OK(Probe);
  EXPECT_EQ(Probe.ActiveId(), 24);
  const Lines Log = Probe.CursorLog();
  ASSERT_GE(Log.size(), 3u);
  EXPECT_EQ(Log[0], "GetRecord(gmCurrent) -> grError");
  EXPECT_EQ(Log[1], "GetRecord(gmNext) -> grEOF");
  EXPECT_EQ(Log[2], Prior(24));
  EXPECT_FALSE(Probe.Eof()) << "Resync clears EOF";
}

TEST_F(ResyncTest, AViewThatVanishedEntirelyBecomesEmpty) {
  Probe.SetHidden([](const ProbeRecord&) { return true; });
  Probe.Resync({});
  EXPECT_RING_OK(Probe);
  EXPECT_EQ(Probe.CursorLog(),
            (Lines{"GetRecord(gmCurrent) -> grError", "GetRecord(gmNext) -> grEOF",
                   "GetRecord(gmPrior) -> grBOF"}));
  EXPECT_EQ(Probe.BufferedRecordCount(), 0);
  EXPECT_TRUE(Probe.Bof());
  EXPECT_TRUE(Probe.Eof());
  EXPECT_TRUE(Probe.IsEmpty());
  EXPECT_EQ(Rig.Link.Calls, Lines{"DataSetChanged"});
  EXPECT_EQ(Rig.Link.RecordCount(), 0);
}

TEST(DataSetResync, ResyncOnAOneSlotRingFetchesOnlyTheCurrentRecord) {
  ProbeRig Rig(25, 1);
  Rig.DataSet.Open();
  Rig.DataSet.MoveBy(7);
  Rig.DataSet.ClearLog();
  Rig.DataSet.Resync({rmCenter});
  EXPECT_EQ(Rig.DataSet.CursorLog(), Lines{Current(8)});
  EXPECT_RING_OK(Rig.DataSet);
}

TEST(DataSetResync, AClosedDatasetHasNoRingToRebuild) {
  ProbeDataSet Closed;
  Closed.FillRecords(3);
  try {
    Closed.Resync({});
    FAIL() << "Resync on a closed dataset";
  } catch (const EDatabaseError& E) {
    EXPECT_EQ(E.Message(), SDataSetClosed);
  }
  EXPECT_TRUE(Closed.Log().empty());
}

TEST(DataSetRefresh, ResyncsAroundTheActiveRecordAfterTheStoreChanged) {
  ProbeRig Rig(25, 10);
  ProbeDataSet& Probe = Rig.DataSet;
  Probe.Open();
  Probe.MoveBy(3); // record 4 in slot 3; the cursor is on record 10
  Probe.SetHidden([](const ProbeRecord& R) { return R.Id == 2; });
  Probe.ClearLog();
  Probe.Refresh();
  EXPECT_RING_OK(Probe);
  EXPECT_EQ(Probe.ActiveId(), 4);
  EXPECT_EQ(Probe.RingIds(), (Ids{1, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
  EXPECT_EQ(Probe.LogOf({"GetRecord", "InternalSetToRecord", "InternalRefresh"}),
            (Lines{SetTo(4), "InternalRefresh", Current(4), Prior(3), Prior(1),
                   "GetRecord(gmPrior) -> grBOF", SetTo(4), Next(5), Next(6), Next(7), Next(8),
                   Next(9), Next(10), Next(11)}));
}

TEST(DataSetRefresh, PostsAPendingEditFirst) {
  ProbeRig Rig(3, 10);
  Rig.DataSet.Open();
  Rig.DataSet.Edit();
  Rig.DataSet.FieldByName("V")->SetAsInteger(5);
  Rig.DataSet.Refresh();
  EXPECT_EQ(Rig.DataSet.State(), dsBrowse);
  EXPECT_EQ(Rig.DataSet.StoredValues(), (Ids{5, 20, 30}));
}

} // namespace
} // namespace kelva
