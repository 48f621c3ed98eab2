// Data sources and data links: a grid's window over the ring while scrolling a hundred
// records, the ring growing and shrinking with the links attached, the editing state links
// see, and the refusal of circular master chains.
#include "ProbeRig.h"

#include "kelva/framework/db/DBConsts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <new>
#include <string>
#include <vector>

namespace kelva {
namespace {

using Lines = std::vector<std::string>;
using Ids = std::vector<std::int32_t>;

// What a grid of Rows rows shows while it scrolls: the top row changes only as much as needed
// to keep the active record visible. Records are numbered 1 … n.
struct GridModel {
  std::int32_t Rows;
  std::int32_t Top = 1;

  // Moves to record Active; returns how many rows the window moved over the records.
  std::int32_t Follow(std::int32_t Active) {
    const std::int32_t Old = Top;
    if (Active < Top) Top = Active;
    if (Active >= Top + Rows) Top = Active - Rows + 1;
    return Top - Old;
  }
};

// The record ids a link shows, read the way a grid paints: row by row through the link's
// active record, which is restored afterwards.
Ids RowsOf(TDataLink& Link, ProbeDataSet& Probe) {
  Ids Rows;
  const std::int32_t Saved = Link.ActiveRecord();
  for (std::int32_t Row = 0; Row < Link.RecordCount(); ++Row) {
    Link.SetActiveRecord(Row);
    Rows.push_back(Probe.ActiveId());
  }
  Link.SetActiveRecord(Saved);
  return Rows;
}

Ids IdRange(std::int32_t From, std::int32_t Count) {
  Ids Result;
  for (std::int32_t I = 0; I < Count; ++I) Result.push_back(From + I);
  return Result;
}

TEST(DataLinkGrid, ScrollingAHundredRecordsMovesTheWindowMinimally) {
  ProbeRig Rig(100, 10);
  ProbeDataSet& Probe = Rig.DataSet;
  RecordingDataLink Small; // a second, shorter grid on the same source
  Small.SetBufferCount(4);
  Small.SetDataSource(&Rig.Source);
  Probe.Open();
  ASSERT_EQ(Probe.BufferCount(), 10);

  GridModel Big{10}, Little{4};
  const std::int32_t Moves[] = {1,  1,  1,  1,  1,   1, 1,  1,  1, 1,    1,   1,  5, 20, -1, -1,
                                -3, -9, -1, -1, -30, 2, 50, 40, 1, -100, 100, -5, 3, -4, -6, 9};
  std::int32_t Active = 1;
  for (std::int32_t Distance : Moves) {
    SCOPED_TRACE("MoveBy(" + std::to_string(Distance) + ") from record " + std::to_string(Active));
    Rig.Link.Calls.clear();
    Small.Calls.clear();
    const std::int32_t Target = std::clamp(Active + Distance, 1, 100);
    ASSERT_NE(Target, Active) << "every move of this walk goes somewhere";
    EXPECT_EQ(Probe.MoveBy(Distance), Target - Active);
    Active = Target;
    ASSERT_EQ(Probe.ActiveId(), Active);
    EXPECT_RING_OK(Probe);

    for (auto [Link, Model] : {std::pair<RecordingDataLink*, GridModel*>{&Rig.Link, &Big},
                               std::pair<RecordingDataLink*, GridModel*>{&Small, &Little}}) {
      const std::int32_t Shift = Model->Follow(Active);
      EXPECT_EQ(RowsOf(*Link, Probe), IdRange(Model->Top, Model->Rows)) << Model->Rows << " rows";
      EXPECT_EQ(Link->ActiveRecord(), Active - Model->Top);
      EXPECT_EQ(Link->RecordCount(), Model->Rows);
      EXPECT_EQ(Probe.ActiveId(), Active) << "reading the rows restored the active record";
      EXPECT_EQ(Link->Calls,
                (Lines{"CheckBrowseMode", "DataSetScrolled(" + std::to_string(Shift) + ")"}))
          << Model->Rows << " rows";
    }
  }
}

TEST(DataLinkGrid, FirstAndLastShowTheEnds) {
  ProbeRig Rig(100, 10);
  ProbeDataSet& Probe = Rig.DataSet;
  RecordingDataLink Small;
  Small.SetBufferCount(4);
  Small.SetDataSource(&Rig.Source);
  Probe.Open();
  Probe.MoveBy(40);
  Probe.Last();
  EXPECT_EQ(RowsOf(Rig.Link, Probe), IdRange(91, 10));
  EXPECT_EQ(RowsOf(Small, Probe), IdRange(97, 4));
  EXPECT_EQ(Small.ActiveRecord(), 3);
  Probe.First();
  EXPECT_EQ(RowsOf(Rig.Link, Probe), IdRange(1, 10));
  EXPECT_EQ(RowsOf(Small, Probe), IdRange(1, 4));
  EXPECT_EQ(Small.ActiveRecord(), 0);
}

TEST(DataLinkGrid, AReactivatedLinkStartsItsWindowAfresh) {
  ProbeRig Rig(100, 10);
  ProbeDataSet& Probe = Rig.DataSet;
  RecordingDataLink Small;
  Small.SetBufferCount(4);
  Small.SetDataSource(&Rig.Source);
  Probe.Open();
  Probe.Last();
  ASSERT_EQ(Small.FirstRecord(), 6);
  Rig.Source.SetEnabled(false);
  Probe.MoveBy(-5); // record 95 in slot 4; the links are not told
  Rig.Source.SetEnabled(true);
  EXPECT_EQ(Small.FirstRecord(), 1) << "the window restarts at the top of the ring";
  EXPECT_EQ(Small.ActiveRecord(), 3);
  EXPECT_EQ(RowsOf(Small, Probe), IdRange(92, 4));
}

TEST(DataLinkGrid, AShortViewFillsOnlyPartOfTheGrid) {
  ProbeRig Rig(3, 10);
  Rig.DataSet.Open();
  Rig.DataSet.Last();
  EXPECT_EQ(Rig.Link.RecordCount(), 3);
  EXPECT_EQ(Rig.Link.FirstRecord(), 0);
  EXPECT_EQ(Rig.Link.ActiveRecord(), 2);
  EXPECT_TRUE(Rig.Link.Eof());
  EXPECT_FALSE(Rig.Link.Bof());
}

// ---- The ring follows the links ---------------------------------------------------------------

TEST(DataLinkRing, AttachingALargerGridGrowsTheRingAroundTheActiveRecord) {
  ProbeRig Rig(25, 1);
  ProbeDataSet& Probe = Rig.DataSet;
  Probe.Open();
  Probe.MoveBy(19); // record 20
  Probe.ClearLog();
  Rig.Link.SetBufferCount(10);
  EXPECT_EQ(Probe.BufferCount(), 10);
  EXPECT_RING_OK(Probe);
  EXPECT_EQ(Probe.RingIds(), IdRange(16, 10));
  EXPECT_EQ(Probe.ActiveId(), 20);
  EXPECT_EQ(Rig.Link.ActiveRecord(), 4);
  EXPECT_EQ(Rig.Link.FirstRecord(), 0);
  Lines Expected;
  for (std::int32_t Id = 21; Id <= 25; ++Id)
    Expected.push_back("GetRecord(gmNext) -> id " + std::to_string(Id));
  Expected.insert(Expected.end(), {"GetRecord(gmNext) -> grEOF", "InternalSetToRecord(id 20)"});
  for (std::int32_t Id = 19; Id >= 16; --Id)
    Expected.push_back("GetRecord(gmPrior) -> id " + std::to_string(Id));
  EXPECT_EQ(Probe.CursorLog(), Expected);
  EXPECT_EQ(Probe.LogOf({"AllocRecordBuffer"}).size(), 9u);
}

TEST(DataLinkRing, ShrinkingKeepsTheActiveRecord) {
  ProbeRig Rig(25, 10);
  ProbeDataSet& Probe = Rig.DataSet;
  Probe.Open();
  Probe.MoveBy(14); // ring 6 … 15, record 15 active in the last slot
  Rig.Link.SetBufferCount(3);
  EXPECT_EQ(Probe.BufferCount(), 3);
  EXPECT_RING_OK(Probe);
  EXPECT_EQ(Probe.RingIds(), (Ids{13, 14, 15}));
  EXPECT_EQ(Probe.ActiveId(), 15);
  EXPECT_EQ(Rig.Link.ActiveRecord(), 2);
  Probe.Next();
  EXPECT_EQ(Probe.ActiveId(), 16);
  EXPECT_RING_OK(Probe);
}

TEST(DataLinkRing, ShrinkingBelowTheActiveSlotKeepsItsRecordsFromTheTop) {
  ProbeRig Rig(25, 10);
  ProbeDataSet& Probe = Rig.DataSet;
  Probe.Open();
  Probe.MoveBy(1); // record 2 in slot 1
  Rig.Link.SetBufferCount(4);
  EXPECT_EQ(Probe.RingIds(), (Ids{1, 2, 3, 4}));
  EXPECT_EQ(Probe.ActiveId(), 2);
  EXPECT_RING_OK(Probe);
}

TEST(DataLinkRing, DetachingTheOnlyLinkLeavesAOneRecordRing) {
  ProbeRig Rig(25, 10);
  ProbeDataSet& Probe = Rig.DataSet;
  Probe.Open();
  Probe.MoveBy(6);
  Rig.Link.SetDataSource(nullptr);
  EXPECT_EQ(Probe.BufferCount(), 1);
  EXPECT_EQ(Probe.RingIds(), Ids{7});
  EXPECT_EQ(Probe.LiveBuffers(), 2);
  EXPECT_RING_OK(Probe);
  EXPECT_EQ(Rig.Link.Calls.back(), "Inactive");
}

TEST(DataLinkRing, TheLargestLinkOfAllSourcesDecides) {
  ProbeRig Rig(50, 5);
  ProbeDataSet& Probe = Rig.DataSet;
  Probe.Open();
  TDataSource Other(nullptr);
  Other.SetDataSet(&Probe);
  RecordingDataLink Tall;
  Tall.SetBufferCount(20);
  Tall.SetDataSource(&Other);
  EXPECT_EQ(Probe.BufferCount(), 20);
  EXPECT_RING_OK(Probe);
  Other.SetDataSet(nullptr);
  EXPECT_EQ(Probe.BufferCount(), 5);
  EXPECT_RING_OK(Probe);
  Tall.SetDataSource(nullptr);
}

TEST(DataLinkRing, TheRingHasAtMost1024Slots) {
  ProbeRig Rig(3, 5000);
  Rig.DataSet.Open();
  EXPECT_EQ(Rig.DataSet.BufferCount(), 1024);
  EXPECT_EQ(Rig.Link.RecordCount(), 3);
  EXPECT_RING_OK(Rig.DataSet);
}

TEST(DataLinkRing, AFailedGrowthKeepsTheOldRing) {
  ProbeRig Rig(25, 1);
  ProbeDataSet& Probe = Rig.DataSet;
  Probe.Open();
  Probe.MoveBy(3);
  Probe.FailAllocationAfter(2);
  EXPECT_THROW(Rig.Link.SetBufferCount(10), std::bad_alloc);
  EXPECT_EQ(Probe.BufferCount(), 1);
  EXPECT_EQ(Probe.LiveBuffers(), 2) << "the buffers of the failed growth were freed";
  EXPECT_EQ(Probe.ActiveId(), 4);
  EXPECT_RING_OK(Probe);
  Probe.Next();
  EXPECT_EQ(Probe.ActiveId(), 5);
  EXPECT_RING_OK(Probe);
}

TEST(DataLinkRing, GrowingDuringAnInsertWaitsForTheNextResync) {
  ProbeRig Rig(25, 1);
  ProbeDataSet& Probe = Rig.DataSet;
  Probe.Open();
  Probe.MoveBy(4);
  Probe.Insert();
  Probe.ClearLog();
  Rig.Link.SetBufferCount(10);
  EXPECT_EQ(Probe.BufferCount(), 10);
  EXPECT_EQ(Probe.BufferedRecordCount(), 1);
  EXPECT_TRUE(Probe.CursorLog().empty());
  EXPECT_RING_OK(Probe);
  Probe.Cancel();
  EXPECT_EQ(Probe.BufferedRecordCount(), 10);
  EXPECT_EQ(Probe.ActiveId(), 5);
  EXPECT_RING_OK(Probe);
}

// ---- Link state -------------------------------------------------------------------------------

TEST(DataLinkState, LinksFollowTheDatasetState) {
  ProbeRig Rig(3, 10);
  ProbeDataSet& Probe = Rig.DataSet;
  RecordingDataLink ReadOnlyLink;
  ReadOnlyLink.SetReadOnly(true);
  ReadOnlyLink.SetDataSource(&Rig.Source);
  EXPECT_FALSE(Rig.Link.Active());
  Probe.Open();
  EXPECT_TRUE(Rig.Link.Active());
  EXPECT_FALSE(Rig.Link.Editing());
  Probe.Edit();
  EXPECT_TRUE(Rig.Link.Editing());
  EXPECT_FALSE(ReadOnlyLink.Editing());
  EXPECT_TRUE(ReadOnlyLink.Active());
  Probe.FieldByName("V")->SetAsInteger(4);
  Probe.Post();
  EXPECT_FALSE(Rig.Link.Editing());
  EXPECT_EQ(Rig.Link.Calls, (Lines{"Active", "CheckBrowseMode", "Editing", "RecordChanged(null)",
                                   "RecordChanged(V)", "UpdateData", "CheckBrowseMode",
                                   "NotEditing", "DataSetChanged"}));
  Probe.Close();
  EXPECT_FALSE(Rig.Link.Active());
}

TEST(DataLinkState, LinkEditStartsAnEditOnlyWhenAllowed) {
  ProbeRig Rig(3, 10);
  Rig.DataSet.Open();
  Rig.Link.SetReadOnly(true);
  EXPECT_FALSE(Rig.Link.Edit());
  EXPECT_EQ(Rig.DataSet.State(), dsBrowse);
  Rig.Link.SetReadOnly(false);
  Rig.Source.SetAutoEdit(false);
  EXPECT_FALSE(Rig.Link.Edit());
  EXPECT_EQ(Rig.DataSet.State(), dsBrowse);
  Rig.Source.SetAutoEdit(true);
  EXPECT_TRUE(Rig.Link.Edit());
  EXPECT_EQ(Rig.DataSet.State(), dsEdit);
}

TEST(DataLinkState, ASourceMovedToAnotherDatasetFollowsIt) {
  ProbeRig Rig(30, 10);
  ProbeDataSet Other;
  Other.FillRecords(2);
  Rig.DataSet.Open();
  Other.Open();
  Rig.Source.SetDataSet(&Other);
  EXPECT_EQ(Rig.DataSet.BufferCount(), 1);
  EXPECT_EQ(Other.BufferCount(), 10);
  EXPECT_EQ(Rig.Link.RecordCount(), 2);
  EXPECT_RING_OK(Rig.DataSet);
  EXPECT_RING_OK(Other);
  Rig.Source.SetDataSet(nullptr);
  EXPECT_FALSE(Rig.Link.Active());
  EXPECT_EQ(Other.BufferCount(), 1);
}

// A navigator that is not attached yet asks its link where the dataset stands.
TEST(DataLinkState, ALinkWithoutADatasetStandsAtBothEnds) {
  RecordingDataLink Link;
  EXPECT_TRUE(Link.Bof());
  EXPECT_TRUE(Link.Eof());
  EXPECT_EQ(Link.MoveBy(1), 0);
  TDataSource Source(nullptr);
  Link.SetDataSource(&Source);
  EXPECT_TRUE(Link.Bof());
  EXPECT_TRUE(Link.Eof());
  EXPECT_EQ(Link.MoveBy(-1), 0);
  EXPECT_EQ(Link.ActiveRecord(), 0);
  EXPECT_EQ(Link.RecordCount(), 0);
  EXPECT_FALSE(Link.Edit());
}

TEST(DataLinkState, DestroyingADatasetDetachesItsSources) {
  TDataSource Source(nullptr);
  RecordingDataLink Link;
  Link.SetDataSource(&Source);
  {
    ProbeDataSet Probe;
    Probe.FillRecords(3);
    Source.SetDataSet(&Probe);
    Probe.Open();
    EXPECT_TRUE(Link.Active());
  }
  EXPECT_EQ(Source.DataSet(), nullptr);
  EXPECT_FALSE(Link.Active());
  EXPECT_EQ(Source.State(), dsInactive);
}

// ---- The link of a single-field control ------------------------------------------------------

TEST(FieldDataLink, FindsItsFieldAndReportsItsChanges) {
  ProbeRig Rig(3, 10);
  ProbeDataSet& Probe = Rig.DataSet;
  TFieldDataLink Control;
  Lines Shown;
  Control.OnDataChange = [&](TObject*) {
    Shown.push_back(Control.Field() ? Control.Field()->AsString() : "no field");
  };
  Control.SetFieldName("V");
  Control.SetDataSource(&Rig.Source);
  EXPECT_EQ(Control.Field(), nullptr) << "a closed dataset has no fields to show";

  Probe.Open();
  EXPECT_EQ(Control.Field(), Probe.FieldByName("V"));
  Probe.Next();
  EXPECT_TRUE(Control.Edit());
  EXPECT_TRUE(Control.CanModify());
  Probe.FieldByName("V")->SetAsInteger(7);
  EXPECT_EQ(Shown, (Lines{"no field", "10", "20", "20", "7"}));

  Probe.Cancel();
  Control.SetReadOnly(true);
  EXPECT_FALSE(Control.CanModify());
  EXPECT_FALSE(Control.Edit());
  Control.SetFieldName("Missing");
  EXPECT_EQ(Control.Field(), nullptr);
  Probe.Close();
  EXPECT_EQ(Control.Field(), nullptr);
}

// ---- Circular master chains -------------------------------------------------------------------

TEST(DataSourceCircularity, ADatasetCannotBeItsOwnMaster) {
  ProbeDataSet A;
  TDataSource SourceOfA(nullptr);
  SourceOfA.SetDataSet(&A);
  try {
    A.SetMasterSource(&SourceOfA);
    FAIL() << "a dataset accepted its own source as master";
  } catch (const EDatabaseError& E) {
    EXPECT_EQ(E.Message(), SCircularDataLink);
  }
  EXPECT_EQ(A.DataSource(), nullptr);
}

TEST(DataSourceCircularity, ALongerCycleIsRefusedOnBothSides) {
  ProbeDataSet A, B;
  TDataSource SourceOfA(nullptr), SourceOfB(nullptr);
  SourceOfA.SetDataSet(&A);
  SourceOfB.SetDataSet(&B);
  B.SetMasterSource(&SourceOfA); // A is B's master
  EXPECT_FALSE(B.IsLinkedTo(&SourceOfA)) << "A has no master";
  EXPECT_TRUE(A.IsLinkedTo(&SourceOfB)) << "B's chain leads back to A";
  EXPECT_THROW(A.SetMasterSource(&SourceOfB), EDatabaseError);

  // The same cycle seen from the data source: a source whose dataset's master chain reaches
  // the source itself cannot take that dataset.
  TDataSource Free(nullptr);
  ProbeDataSet C;
  C.SetMasterSource(&Free);
  try {
    Free.SetDataSet(&C);
    FAIL() << "a source took a dataset mastered by itself";
  } catch (const EDatabaseError& E) {
    EXPECT_EQ(E.Message(), SCircularDataLink);
  }
  EXPECT_EQ(Free.DataSet(), nullptr);
  EXPECT_TRUE(Free.IsLinkedTo(&C));
  EXPECT_FALSE(SourceOfA.IsLinkedTo(&C));
  Free.SetDataSet(&A); // unrelated: accepted
  EXPECT_EQ(Free.DataSet(), &A);
  C.SetMasterSource(nullptr);
  B.SetMasterSource(nullptr);
}

TEST(DataSourceCircularity, AnExistingCycleElsewhereDoesNotHang) {
  ProbeDataSet A, B, C;
  TDataSource SourceOfB(nullptr), SourceOfC(nullptr);
  SourceOfB.SetDataSet(&B);
  SourceOfC.SetDataSet(&C);
  B.ForceMasterSource(&SourceOfC);
  C.ForceMasterSource(&SourceOfB); // B and C master each other
  EXPECT_FALSE(A.IsLinkedTo(&SourceOfB));
  TDataSource Unrelated(nullptr);
  EXPECT_FALSE(Unrelated.IsLinkedTo(&B));
  EXPECT_NO_THROW(A.SetMasterSource(&SourceOfB));
  A.SetMasterSource(nullptr);
  B.ForceMasterSource(nullptr);
  C.ForceMasterSource(nullptr);
}

} // namespace
} // namespace kelva
