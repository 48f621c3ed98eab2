// Navigation step by step: First, Last and MoveBy on rings of one and ten slots, with the
// exact fetches, the BOF/EOF flags, the scroll events and what a data link is told; then
// bookmarks.
#include "ProbeRig.h"

#include "kelva/framework/db/DBConsts.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace kelva {
namespace {

using Lines = std::vector<std::string>;

enum class Move { First, Last, By };

struct NavStep {
  Move What;
  std::int32_t Distance; // for Move::By
  std::int32_t Moved;    // MoveBy's result
  std::int32_t ActiveId;
  bool Bof;
  bool Eof;
  bool AfterScroll; // false: only BeforeScroll fires
  Lines Cursor;     // the descendant's cursor calls
  Lines Link;       // what the data link is told after CheckBrowseMode
};

struct NavScenario {
  const char* Name;
  std::int32_t Records;
  std::int32_t RingSize;
  std::vector<NavStep> Steps;
};

std::string Next(std::int32_t Id) {
  return "GetRecord(gmNext) -> id " + std::to_string(Id);
}
std::string Prior(std::int32_t Id) {
  return "GetRecord(gmPrior) -> id " + std::to_string(Id);
}
const std::string NextEOF = "GetRecord(gmNext) -> grEOF";
const std::string PriorBOF = "GetRecord(gmPrior) -> grBOF";
std::string SetTo(std::int32_t Id) {
  return "InternalSetToRecord(id " + std::to_string(Id) + ")";
}
std::string Scrolled(std::int32_t Distance) {
  return "DataSetScrolled(" + std::to_string(Distance) + ")";
}

Lines Range(std::string (*Line)(std::int32_t), std::int32_t From, std::int32_t To) {
  Lines Result;
  for (std::int32_t Id = From; From <= To ? Id <= To : Id >= To; Id += From <= To ? 1 : -1)
    Result.push_back(Line(Id));
  return Result;
}

Lines Concat(std::initializer_list<Lines> Parts) {
  Lines Result;
  for (const Lines& Part : Parts) Result.insert(Result.end(), Part.begin(), Part.end());
  return Result;
}

const std::vector<NavScenario>& Scenarios() {
  static const std::vector<NavScenario> All = {
      {"ThreeRecordsTenSlotsForward",
       3,
       10,
       {
           {Move::First,
            0,
            0,
            1,
            true,
            false,
            true,
            {"InternalFirst", Next(1), Next(2), Next(3), NextEOF},
            {"DataSetChanged"}},
           {Move::By, 1, 1, 2, false, false, true, {}, {Scrolled(0)}},
           {Move::By, 1, 1, 3, false, false, true, {}, {Scrolled(0)}},
           // Only asking past the last record sets EOF; it stays on record 3.
           {Move::By, 1, 0, 3, false, true, true, {SetTo(3), NextEOF}, {Scrolled(0)}},
           {Move::By, 1, 0, 3, false, true, false, {}, {}},
       }},
      {"ThreeRecordsOneSlotForward",
       3,
       1,
       {
           {Move::First,
            0,
            0,
            1,
            true,
            false,
            true,
            {"InternalFirst", Next(1)},
            {"DataSetChanged"}},
           {Move::By, 1, 1, 2, false, false, true, {Next(2)}, {Scrolled(1)}},
           {Move::By, 1, 1, 3, false, false, true, {Next(3)}, {Scrolled(1)}},
           {Move::By, 1, 0, 3, false, true, true, {NextEOF}, {Scrolled(0)}},
           {Move::By, 1, 0, 3, false, true, false, {}, {}},
       }},
      {"ThreeRecordsTenSlotsBackward",
       3,
       10,
       {
           {Move::Last,
            0,
            0,
            3,
            false,
            true,
            true,
            {"InternalLast", Prior(3), Prior(2), Prior(1), PriorBOF},
            {"DataSetChanged"}},
           {Move::By, -1, -1, 2, false, false, true, {}, {Scrolled(0)}},
           {Move::By, -1, -1, 1, false, false, true, {}, {Scrolled(0)}},
           {Move::By, -1, 0, 1, true, false, true, {SetTo(1), PriorBOF}, {Scrolled(0)}},
           {Move::By, -1, 0, 1, true, false, false, {}, {}},
       }},
      {"ThreeRecordsOneSlotBackward",
       3,
       1,
       {
           {Move::Last, 0, 0, 3, false, true, true, {"InternalLast", Prior(3)}, {"DataSetChanged"}},
           {Move::By, -1, -1, 2, false, false, true, {Prior(2)}, {Scrolled(-1)}},
           {Move::By, -1, -1, 1, false, false, true, {Prior(1)}, {Scrolled(-1)}},
           {Move::By, -1, 0, 1, true, false, true, {PriorBOF}, {Scrolled(0)}},
           {Move::By, -1, 0, 1, true, false, false, {}, {}},
       }},
      {"EmptyView",
       0,
       10,
       {
           {Move::First,
            0,
            0,
            0,
            true,
            true,
            true,
            {"InternalFirst", NextEOF, NextEOF},
            {"DataSetChanged"}},
           {Move::By, 1, 0, 0, true, true, false, {}, {}},
           {Move::By, -1, 0, 0, true, true, false, {}, {}},
           {Move::Last,
            0,
            0,
            0,
            true,
            true,
            true,
            {"InternalLast", PriorBOF, PriorBOF},
            {"DataSetChanged"}},
       }},
      {"TwentyFiveRecordsTenSlotsLongMoves",
       25,
       10,
       {
           {Move::First,
            0,
            0,
            1,
            true,
            false,
            true,
            Concat({{"InternalFirst"}, Range(Next, 1, 10)}),
            {"DataSetChanged"}},
           // Nine moves inside the ring, then three fetches that push 1..3 out.
           {Move::By, 12, 12, 13, false, false, true, Range(Next, 11, 13), {Scrolled(3)}},
           // Back to slot 0 (record 4), then three fetches before it and the start is hit.
           {Move::By,
            -20,
            -12,
            1,
            true,
            false,
            true,
            Concat({{SetTo(4)}, Range(Prior, 3, 1), {PriorBOF}}),
            {Scrolled(-3)}},
           {Move::Last,
            0,
            0,
            25,
            false,
            true,
            true,
            Concat({{"InternalLast"}, Range(Prior, 25, 16)}),
            {"DataSetChanged"}},
           {Move::By, 0, 0, 25, false, true, false, {}, {}},
           {Move::By, 5, 0, 25, false, true, false, {}, {}},
           {Move::By, -3, -3, 22, false, false, true, {}, {Scrolled(0)}},
       }},
  };
  return All;
}

class NavigationTest : public testing::TestWithParam<NavScenario> {};

TEST_P(NavigationTest, StepByStep) {
  const NavScenario& Scenario = GetParam();
  ProbeRig Rig(Scenario.Records, Scenario.RingSize);
  ProbeDataSet& Probe = Rig.DataSet;
  Probe.Open();
  Probe.LogDataSetEvents();
  for (std::size_t I = 0; I < Scenario.Steps.size(); ++I) {
    const NavStep& Step = Scenario.Steps[I];
    SCOPED_TRACE("step " + std::to_string(I));
    Probe.ClearLog();
    Rig.Link.Calls.clear();
    switch (Step.What) {
    case Move::First:
      Probe.First();
      break;
    case Move::Last:
      Probe.Last();
      break;
    case Move::By:
      EXPECT_EQ(Probe.MoveBy(Step.Distance), Step.Moved);
      break;
    }
    EXPECT_RING_OK(Probe);
    EXPECT_EQ(Probe.ActiveId(), Step.ActiveId);
    EXPECT_EQ(Probe.Bof(), Step.Bof);
    EXPECT_EQ(Probe.Eof(), Step.Eof);
    EXPECT_EQ(Probe.CursorLog(), Step.Cursor);
    const Lines ScrollEvents =
        Step.AfterScroll ? Lines{"BeforeScroll", "AfterScroll"} : Lines{"BeforeScroll"};
    EXPECT_EQ(Probe.LogOf({"BeforeScroll", "AfterScroll"}), ScrollEvents);
    // Every navigation first asks the controls to finish their edits.
    EXPECT_EQ(Rig.Link.Calls, Concat({{"CheckBrowseMode"}, Step.Link}));
    if (Probe.BufferedRecordCount() > 0) {
      EXPECT_EQ(Rig.Link.ActiveRecord(), Probe.ActiveRecord() - Rig.Link.FirstRecord());
      EXPECT_GE(Rig.Link.ActiveRecord(), 0);
      EXPECT_LT(Rig.Link.ActiveRecord(), Rig.Link.BufferCount());
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Scenarios, NavigationTest, testing::ValuesIn(Scenarios()),
                         [](const testing::TestParamInfo<NavScenario>& Info) {
                           return std::string(Info.param.Name);
                         });

TEST(DataSetNavigation, NextAndPriorMoveOneRecord) {
  ProbeRig Rig(3, 1);
  Rig.DataSet.Open();
  Rig.DataSet.Next();
  EXPECT_EQ(Rig.DataSet.ActiveId(), 2);
  Rig.DataSet.Prior();
  EXPECT_EQ(Rig.DataSet.ActiveId(), 1);
  EXPECT_FALSE(Rig.DataSet.Bof()) << "a successful move clears BOF";
  EXPECT_EQ(Rig.DataSet.FieldByName("V")->AsInteger(), 10);
}

TEST(DataSetNavigation, AClosedDatasetRefusesToMove) {
  ProbeRig Rig(3, 1);
  EXPECT_THROW(Rig.DataSet.First(), EDatabaseError);
  EXPECT_THROW(Rig.DataSet.MoveBy(1), EDatabaseError);
}

TEST(DataSetNavigation, MovingInsideTheRingNeverFetches) {
  ProbeRig Rig(25, 10);
  Rig.DataSet.Open();
  Rig.DataSet.ClearLog();
  EXPECT_EQ(Rig.DataSet.MoveBy(9), 9);
  EXPECT_EQ(Rig.DataSet.MoveBy(-9), -9);
  EXPECT_TRUE(Rig.DataSet.CursorLog().empty());
  EXPECT_EQ(Rig.DataSet.ActiveId(), 1);
  EXPECT_FALSE(Rig.DataSet.Bof()) << "BOF is set only by asking past the first record";
}

// ---- Bookmarks ----------------------------------------------------------------------------------

TBookmark BookmarkOf(std::int32_t Id) {
  TBookmark Bookmark(sizeof Id);
  std::memcpy(Bookmark.data(), &Id, sizeof Id);
  return Bookmark;
}

TEST(DataSetBookmarks, ABookmarkIsTheActiveRecordsId) {
  ProbeRig Rig(25, 10);
  ProbeDataSet& Probe = Rig.DataSet;
  Probe.Open();
  Probe.MoveBy(3);
  EXPECT_EQ(Probe.GetBookmark(), BookmarkOf(4));
  const TBookmark B = BookmarkOf(4);
  EXPECT_EQ(Probe.Bookmark(), std::string(B.begin(), B.end()));
}

TEST(DataSetBookmarks, NoBookmarkOnAnEmptyViewOrDuringAnInsert) {
  ProbeRig Empty(0, 10);
  Empty.DataSet.Open();
  EXPECT_TRUE(Empty.DataSet.GetBookmark().empty());
  EXPECT_EQ(Empty.DataSet.Bookmark(), "");

  ProbeRig Rig(3, 10);
  Rig.DataSet.Open();
  Rig.DataSet.Insert();
  EXPECT_TRUE(Rig.DataSet.GetBookmark().empty());
  Rig.DataSet.Cancel();
  Rig.DataSet.Append();
  EXPECT_TRUE(Rig.DataSet.GetBookmark().empty());
}

TEST(DataSetBookmarks, GotoBookmarkCentresTheRecord) {
  ProbeRig Rig(25, 10);
  ProbeDataSet& Probe = Rig.DataSet;
  Probe.Open();
  Probe.Last();
  Probe.LogDataSetEvents();
  Probe.ClearLog();
  Rig.Link.Calls.clear();

  Probe.GotoBookmark(BookmarkOf(12));
  EXPECT_RING_OK(Probe);
  EXPECT_EQ(Probe.ActiveId(), 12);
  EXPECT_EQ(Probe.ActiveRecord(), 4) << "row 4 of 10: four records before it";
  EXPECT_EQ(Probe.RingIds().front(), 8);
  EXPECT_EQ(Probe.CursorLog(),
            Concat({{"InternalGotoBookmark(id 12)", "GetRecord(gmCurrent) -> id 12"},
                    Range(Prior, 11, 8),
                    {SetTo(12)},
                    Range(Next, 13, 17)}));
  EXPECT_EQ(Probe.LogOf({"BeforeScroll", "AfterScroll"}), (Lines{"BeforeScroll", "AfterScroll"}));
  EXPECT_EQ(Rig.Link.Calls, (Lines{"CheckBrowseMode", "DataSetChanged"}));
  EXPECT_FALSE(Probe.Bof());
  EXPECT_FALSE(Probe.Eof());
}

TEST(DataSetBookmarks, GotoBookmarkNearTheEndFillsTheRingBackwards) {
  ProbeRig Rig(25, 10);
  ProbeDataSet& Probe = Rig.DataSet;
  Probe.Open();
  Probe.ClearLog();
  Probe.GotoBookmark(BookmarkOf(24));
  EXPECT_RING_OK(Probe);
  EXPECT_EQ(Probe.RingIds(), (std::vector<std::int32_t>{16, 17, 18, 19, 20, 21, 22, 23, 24, 25}));
  EXPECT_EQ(Probe.ActiveId(), 24);
  EXPECT_EQ(Probe.CursorLog(),
            Concat({{"InternalGotoBookmark(id 24)", "GetRecord(gmCurrent) -> id 24"},
                    Range(Prior, 23, 20),
                    {SetTo(24), Next(25), NextEOF, SetTo(20)},
                    Range(Prior, 19, 16)}));
}

TEST(DataSetBookmarks, AnUnknownBookmarkChangesNothing) {
  ProbeRig Rig(25, 10);
  ProbeDataSet& Probe = Rig.DataSet;
  Probe.Open();
  Probe.MoveBy(2);
  Probe.LogDataSetEvents();
  Probe.ClearLog();
  Rig.Link.Calls.clear();
  EXPECT_THROW(Probe.GotoBookmark(BookmarkOf(999)), EDatabaseError);
  EXPECT_EQ(Probe.LogOf({"BeforeScroll", "AfterScroll"}), Lines{"BeforeScroll"});
  EXPECT_EQ(Probe.ActiveId(), 3);
  EXPECT_EQ(Rig.Link.Calls, Lines{"CheckBrowseMode"}) << "no change reaches the controls";
  EXPECT_RING_OK(Probe);
}

TEST(DataSetBookmarks, AnEmptyBookmarkDoesNothing) {
  ProbeRig Rig(5, 10);
  Rig.DataSet.Open();
  Rig.DataSet.LogDataSetEvents();
  Rig.DataSet.ClearLog();
  Rig.DataSet.GotoBookmark(TBookmark{});
  Rig.DataSet.SetBookmark("");
  EXPECT_TRUE(Rig.DataSet.Log().empty());
}

TEST(DataSetBookmarks, SetBookmarkTakesTheStringForm) {
  ProbeRig Rig(25, 1);
  Rig.DataSet.Open();
  Rig.DataSet.MoveBy(6);
  const TBookmarkStr Saved = Rig.DataSet.Bookmark();
  Rig.DataSet.First();
  Rig.DataSet.SetBookmark(Saved);
  EXPECT_EQ(Rig.DataSet.ActiveId(), 7);
  EXPECT_RING_OK(Rig.DataSet);
}

TEST(DataSetBookmarks, GotoBookmarkPostsAPendingEditFirst) {
  ProbeRig Rig(5, 10);
  ProbeDataSet& Probe = Rig.DataSet;
  Probe.Open();
  Probe.Edit();
  Probe.FieldByName("V")->SetAsInteger(11);
  Probe.GotoBookmark(BookmarkOf(4));
  EXPECT_EQ(Probe.State(), dsBrowse);
  EXPECT_EQ(Probe.StoredValues(), (std::vector<std::int32_t>{11, 20, 30, 40, 50}));
  EXPECT_EQ(Probe.ActiveId(), 4);
}

} // namespace
} // namespace kelva
