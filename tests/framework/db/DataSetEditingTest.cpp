// Editing: Edit, Post, Cancel and Delete with their events and where the active record
// lands; CheckBrowseMode posting only modified records; AppendRecord and InsertRecord;
// read-only datasets and OnNewRecord.
#include "ProbeRig.h"

#include "kelva/framework/db/DBConsts.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kelva {
namespace {

using Lines = std::vector<std::string>;
using Ids = std::vector<std::int32_t>;

// The dataset events and the descendant's editing calls, in order.
Lines Story(const ProbeDataSet& Probe) {
  return Probe.LogOf({"Before", "After", "OnNewRecord", "InternalEdit", "InternalInsert",
                      "InternalCancel", "InternalPost", "InternalAddRecord", "InternalDelete"});
}

std::string MessageOf(const std::function<void()>& Operation) {
  try {
    Operation();
  } catch (const Exception& E) {
    return E.Message();
  }
  return "(no exception)";
}

class EditingTest : public testing::Test {
protected:
  void OpenWith(std::int32_t Records, std::int32_t RingSize = 10) {
    Rig = std::make_unique<ProbeRig>(Records, RingSize);
    Rig->DataSet.Open();
    Rig->DataSet.LogDataSetEvents();
    Rig->DataSet.ClearLog();
  }
  ProbeDataSet& Probe() { return Rig->DataSet; }
  TField* V() { return Rig->DataSet.FieldByName("V"); }

  std::unique_ptr<ProbeRig> Rig;
};

// ---- Edit and Post ----------------------------------------------------------------------------

TEST_F(EditingTest, EditThenPostStoresTheValueAndKeepsTheRecordInItsRow) {
  OpenWith(25);
  Probe().MoveBy(7);
  Probe().ClearLog();
  Rig->Link.Calls.clear();

  Probe().Edit();
  EXPECT_EQ(Probe().State(), dsEdit);
  EXPECT_FALSE(Probe().Modified());
  EXPECT_TRUE(Rig->Link.Editing());
  V()->SetAsInteger(555);
  EXPECT_TRUE(Probe().Modified());
  EXPECT_EQ(Probe().ActiveBufferValue(), 555);
  EXPECT_EQ(Probe().StoredValues().at(7), 80) << "nothing is stored before Post";
  EXPECT_RING_OK(Probe());

  Probe().Post();
  EXPECT_EQ(Probe().State(), dsBrowse);
  EXPECT_FALSE(Probe().Modified());
  EXPECT_EQ(Probe().StoredValues().at(7), 555);
  EXPECT_EQ(Probe().ActiveId(), 8);
  EXPECT_EQ(Probe().ActiveRecord(), 7) << "the posted record keeps its row";
  EXPECT_EQ(Probe().RingIds().front(), 1);
  EXPECT_RING_OK(Probe());
  EXPECT_EQ(Story(Probe()), (Lines{"BeforeEdit", "InternalEdit@7", "AfterEdit", "BeforePost",
                                   "InternalPost@7", "AfterPost"}));
  EXPECT_FALSE(Rig->Link.Editing());
}

TEST_F(EditingTest, EditWhileEditingDoesNothing) {
  OpenWith(3);
  Probe().Edit();
  V()->SetAsInteger(1);
  Probe().ClearLog();
  Probe().Edit();
  EXPECT_TRUE(Probe().Log().empty());
  EXPECT_TRUE(Probe().Modified()) << "the edit goes on";

  Probe().Cancel();
  Probe().Insert();
  Probe().ClearLog();
  Probe().Edit();
  EXPECT_TRUE(Probe().Log().empty()) << "Edit during an insert does nothing";
  EXPECT_EQ(Probe().State(), dsInsert);
}

TEST_F(EditingTest, PostOutsideAnEditRaisesNotEditing) {
  OpenWith(3);
  EXPECT_EQ(MessageOf([&] { Probe().Post(); }), SNotEditing);
  EXPECT_TRUE(Story(Probe()).empty());
}

TEST_F(EditingTest, ARequiredFieldMustHaveAValue) {
  OpenWith(3);
  V()->SetRequired(true);
  Probe().Append();
  EXPECT_EQ(MessageOf([&] { Probe().Post(); }), "Field 'V' must have a value");
  EXPECT_EQ(Probe().State(), dsInsert) << "a failed post keeps the record being edited";
  V()->SetAsInteger(1);
  Probe().Post();
  EXPECT_EQ(Probe().StoredValues(), (Ids{10, 20, 30, 1}));
}

TEST_F(EditingTest, EditOnAnEmptyViewInserts) {
  OpenWith(0);
  Probe().Edit();
  EXPECT_EQ(Probe().State(), dsInsert);
  EXPECT_EQ(Story(Probe()), (Lines{"BeforeInsert", "BeforeScroll", "InternalInsert", "OnNewRecord",
                                   "AfterInsert", "AfterScroll"}));
}

TEST_F(EditingTest, EditGivesCalculatedFieldsTheirValuesAgain) {
  OpenWith(3);
  Probe().Edit();
  EXPECT_EQ(Probe().LogOf({"GetCalcFields"}), Lines{"GetCalcFields(id 1)"});
}

// ---- Read-only --------------------------------------------------------------------------------

TEST_F(EditingTest, AReadOnlyDatasetRefusesEveryChange) {
  OpenWith(3);
  Probe().SetReadOnly(true);
  EXPECT_FALSE(Probe().CanModify());
  EXPECT_EQ(MessageOf([&] { Probe().Edit(); }), SDataSetReadOnly);
  EXPECT_EQ(MessageOf([&] { Probe().Insert(); }), SDataSetReadOnly);
  EXPECT_EQ(MessageOf([&] { Probe().Append(); }), SDataSetReadOnly);
  EXPECT_EQ(MessageOf([&] { Probe().AppendRecord({1}); }), SDataSetReadOnly);
  EXPECT_EQ(MessageOf([&] { Probe().Delete(); }), SDataSetReadOnly);
  EXPECT_EQ(Probe().State(), dsBrowse);
  EXPECT_TRUE(Story(Probe()).empty()) << "no Before... event fires for a refused change";
  EXPECT_EQ(Probe().StoredValues(), (Ids{10, 20, 30}));
  EXPECT_RING_OK(Probe());
}

TEST_F(EditingTest, DeleteChecksReadOnlyBeforeEmptiness) {
  OpenWith(0);
  Probe().SetReadOnly(true);
  EXPECT_EQ(MessageOf([&] { Probe().Delete(); }), SDataSetReadOnly);
}

// ---- Cancel -----------------------------------------------------------------------------------

TEST_F(EditingTest, CancelAfterAppendMakesTheLastRecordActive) {
  OpenWith(25);
  Probe().MoveBy(4);
  Probe().Append();
  V()->SetAsInteger(7);
  Probe().ClearLog();
  Probe().Cancel();
  EXPECT_EQ(Probe().State(), dsBrowse);
  EXPECT_EQ(Probe().ActiveId(), 25);
  EXPECT_EQ(Probe().RingIds().front(), 16);
  EXPECT_EQ(Probe().StoredIds().size(), 25u);
  EXPECT_RING_OK(Probe());
  Lines ExpectedCursor{"InternalLast", "GetRecord(gmCurrent) -> grError",
                       "GetRecord(gmNext) -> grEOF"};
  for (std::int32_t Id = 25; Id >= 16; --Id)
    ExpectedCursor.push_back("GetRecord(gmPrior) -> id " + std::to_string(Id));
  EXPECT_EQ(Probe().CursorLog(), ExpectedCursor);
  EXPECT_EQ(Story(Probe()), (Lines{"BeforeCancel", "BeforeScroll", "InternalCancel", "AfterCancel",
                                   "AfterScroll"}));
}

TEST_F(EditingTest, CancelAfterInsertReturnsToTheRecordItWentBefore) {
  OpenWith(25);
  Probe().MoveBy(9); // the last slot of the full ring: record 10 leaves the ring on insert
  Probe().Insert();
  Probe().ClearLog();
  Probe().Cancel();
  EXPECT_EQ(Probe().ActiveId(), 10);
  EXPECT_EQ(Probe().ActiveRecord(), 9);
  EXPECT_EQ(Probe().RingIds().front(), 1);
  EXPECT_EQ(Probe().CursorLog().at(0), "InternalSetToRecord(id 10)");
  EXPECT_EQ(Probe().StoredIds().size(), 25u);
  EXPECT_RING_OK(Probe());
}

TEST_F(EditingTest, CancelAfterInsertIntoAnEmptyViewLeavesItEmpty) {
  OpenWith(0);
  Probe().Insert();
  V()->SetAsInteger(7);
  Probe().Cancel();
  EXPECT_TRUE(Probe().IsEmpty());
  EXPECT_TRUE(Probe().Bof());
  EXPECT_TRUE(Probe().Eof());
  EXPECT_EQ(Probe().BufferedRecordCount(), 0);
  EXPECT_TRUE(Probe().StoredIds().empty());
  EXPECT_RING_OK(Probe());
}

TEST_F(EditingTest, CancelAfterEditRestoresTheRecord) {
  OpenWith(5, 1);
  Probe().MoveBy(2);
  Probe().Edit();
  V()->SetAsInteger(999);
  Probe().ClearLog();
  Probe().Cancel();
  EXPECT_EQ(Probe().ActiveId(), 3);
  EXPECT_EQ(V()->AsInteger(), 30);
  EXPECT_EQ(Probe().StoredValues(), (Ids{10, 20, 30, 40, 50}));
  EXPECT_EQ(Story(Probe()), (Lines{"BeforeCancel", "InternalCancel", "AfterCancel"}));
  EXPECT_RING_OK(Probe());
}

TEST_F(EditingTest, CancelInBrowseModeDoesNothing) {
  OpenWith(3);
  Probe().Cancel();
  EXPECT_TRUE(Probe().Log().empty());
}

// ---- Delete -----------------------------------------------------------------------------------

struct DeleteCase {
  const char* Name;
  std::int32_t Records;
  std::int32_t RingSize;
  std::int32_t Position; // index of the record to delete
  std::int32_t ActiveAfter;
};

class DeleteTest : public testing::TestWithParam<DeleteCase> {};

TEST_P(DeleteTest, TheFollowingRecordOrTheNewLastBecomesActive) {
  const DeleteCase& Case = GetParam();
  ProbeRig Rig(Case.Records, Case.RingSize);
  ProbeDataSet& Probe = Rig.DataSet;
  Probe.Open();
  Probe.MoveBy(Case.Position);
  Probe.LogDataSetEvents();
  Probe.ClearLog();
  const std::int32_t Deleted = Probe.ActiveId();

  Probe.Delete();
  EXPECT_RING_OK(Probe);
  EXPECT_EQ(Probe.State(), dsBrowse);
  EXPECT_EQ(Story(Probe), (Lines{"BeforeDelete", "BeforeScroll",
                                 "InternalDelete@" + std::to_string(Case.Position), "AfterDelete",
                                 "AfterScroll"}));
  Ids Remaining;
  for (std::int32_t Id = 1; Id <= Case.Records; ++Id)
    if (Id != Deleted) Remaining.push_back(Id);
  EXPECT_EQ(Probe.StoredIds(), Remaining);
  EXPECT_EQ(Probe.ActiveId(), Case.ActiveAfter);
  EXPECT_EQ(Probe.IsEmpty(), Case.ActiveAfter == 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DeleteTest,
    testing::Values(DeleteCase{"FirstOneSlot", 5, 1, 0, 2},
                    DeleteCase{"FirstTenSlots", 5, 10, 0, 2},
                    DeleteCase{"MiddleOneSlot", 5, 1, 2, 4},
                    DeleteCase{"MiddleTenSlots", 5, 10, 2, 4},
                    DeleteCase{"LastOneSlot", 5, 1, 4, 4}, DeleteCase{"LastTenSlots", 5, 10, 4, 4},
                    DeleteCase{"LastOfManyTenSlots", 25, 10, 24, 24},
                    DeleteCase{"OnlyOneSlot", 1, 1, 0, 0}, DeleteCase{"OnlyTenSlots", 1, 10, 0, 0}),
    [](const testing::TestParamInfo<DeleteCase>& Info) { return std::string(Info.param.Name); });

TEST_F(EditingTest, DeleteOnAnEmptyViewRaises) {
  OpenWith(0);
  EXPECT_EQ(MessageOf([&] { Probe().Delete(); }), SDataSetEmpty);
  EXPECT_TRUE(Story(Probe()).empty());
}

TEST_F(EditingTest, DeleteOnAClosedDatasetRaises) {
  ProbeDataSet Closed;
  EXPECT_EQ(MessageOf([&] { Closed.Delete(); }), SDataSetClosed);
}

TEST_F(EditingTest, DeleteDuringAnInsertCancelsIt) {
  OpenWith(5);
  Probe().MoveBy(2);
  Probe().Insert();
  Probe().ClearLog();
  Probe().Delete();
  EXPECT_EQ(Story(Probe()), (Lines{"BeforeCancel", "BeforeScroll", "InternalCancel", "AfterCancel",
                                   "AfterScroll"}));
  EXPECT_EQ(Probe().StoredIds(), (Ids{1, 2, 3, 4, 5}));
  EXPECT_EQ(Probe().ActiveId(), 3);
  EXPECT_RING_OK(Probe());
}

TEST_F(EditingTest, DeleteDuringAnEditDiscardsTheEdit) {
  OpenWith(5);
  Probe().MoveBy(1);
  Probe().Edit();
  V()->SetAsInteger(99);
  Probe().ClearLog();
  Probe().Delete();
  EXPECT_EQ(Probe().State(), dsBrowse);
  EXPECT_EQ(Probe().StoredValues(), (Ids{10, 30, 40, 50}));
  EXPECT_EQ(Probe().ActiveId(), 3);
  EXPECT_TRUE(Probe().LogOf({"InternalPost"}).empty());
  EXPECT_RING_OK(Probe());
}

// ---- CheckBrowseMode ----------------------------------------------------------------------------

TEST_F(EditingTest, LeavingAnUnmodifiedEditCancelsIt) {
  OpenWith(5);
  Probe().Edit();
  Probe().ClearLog();
  Probe().Next();
  EXPECT_EQ(Story(Probe()), (Lines{"BeforeCancel", "InternalCancel", "AfterCancel", "BeforeScroll",
                                   "AfterScroll"}));
  EXPECT_EQ(Probe().ActiveId(), 2);
  EXPECT_EQ(Probe().StoredValues(), (Ids{10, 20, 30, 40, 50}));
}

TEST_F(EditingTest, LeavingAModifiedEditPostsIt) {
  OpenWith(5);
  Probe().Edit();
  V()->SetAsInteger(11);
  Probe().ClearLog();
  Probe().Next();
  EXPECT_EQ(Story(Probe()),
            (Lines{"BeforePost", "InternalPost@0", "AfterPost", "BeforeScroll", "AfterScroll"}));
  EXPECT_EQ(Probe().ActiveId(), 2);
  EXPECT_EQ(Probe().StoredValues(), (Ids{11, 20, 30, 40, 50}));
}

TEST_F(EditingTest, LeavingAnUntouchedInsertDropsIt) {
  OpenWith(5);
  Probe().Insert();
  Probe().First();
  EXPECT_EQ(Probe().StoredIds(), (Ids{1, 2, 3, 4, 5}));
  EXPECT_TRUE(Probe().LogOf({"InternalPost"}).empty());
  EXPECT_EQ(Probe().State(), dsBrowse);
}

TEST_F(EditingTest, LeavingAFilledInsertStoresIt) {
  OpenWith(5);
  Probe().Append();
  V()->SetAsInteger(60);
  Probe().First();
  EXPECT_EQ(Probe().StoredValues(), (Ids{10, 20, 30, 40, 50, 60}));
  EXPECT_EQ(Probe().ActiveId(), 1);
}

TEST_F(EditingTest, CheckBrowseModeAsksControlsToFinishFirst) {
  OpenWith(5);
  Rig->Link.Calls.clear();
  Probe().CheckBrowseMode();
  EXPECT_EQ(Rig->Link.Calls, Lines{"CheckBrowseMode"});
  EXPECT_TRUE(Story(Probe()).empty());
  ProbeDataSet Closed;
  EXPECT_EQ(MessageOf([&] { Closed.CheckBrowseMode(); }), SDataSetClosed);
}

// ---- OnNewRecord ------------------------------------------------------------------------------

TEST_F(EditingTest, ValuesFromOnNewRecordDoNotCountAsModifications) {
  OpenWith(3);
  Probe().OnNewRecord = [this](TDataSet*) { V()->SetAsInteger(5); };
  Probe().Append();
  EXPECT_EQ(V()->AsInteger(), 5);
  EXPECT_FALSE(Probe().Modified());
  Probe().Post();
  EXPECT_EQ(Probe().StoredValues(), (Ids{10, 20, 30, 5}));
}

TEST_F(EditingTest, AFailingOnNewRecordReturnsToBrowsing) {
  OpenWith(25);
  Probe().MoveBy(3);
  Probe().OnNewRecord = [](TDataSet*) { DatabaseError("no new records today"); };
  EXPECT_EQ(MessageOf([&] { Probe().Insert(); }), "no new records today");
  EXPECT_EQ(Probe().State(), dsBrowse);
  EXPECT_EQ(Probe().ActiveId(), 4);
  EXPECT_EQ(Probe().ActiveRecord(), 3);
  EXPECT_RING_OK(Probe());
  EXPECT_EQ(MessageOf([&] { Probe().Append(); }), "no new records today");
  EXPECT_EQ(Probe().ActiveId(), 25);
  EXPECT_RING_OK(Probe());
  EXPECT_EQ(Probe().StoredIds().size(), 25u);
}

// ---- AppendRecord, InsertRecord ---------------------------------------------------------------

TEST_F(EditingTest, AppendRecordRunsTheAppendAndThePostEvents) {
  OpenWith(3);
  Probe().AppendRecord({40});
  EXPECT_EQ(Story(Probe()),
            (Lines{"BeforeInsert", "BeforeScroll", "InternalInsert", "OnNewRecord", "AfterInsert",
                   "AfterScroll", "BeforePost", "InternalAddRecord@3(append)", "AfterPost"}));
  EXPECT_EQ(Probe().StoredValues(), (Ids{10, 20, 30, 40}));
  EXPECT_EQ(Probe().ActiveId(), 4);
  EXPECT_RING_OK(Probe());
}

TEST_F(EditingTest, AppendRecordWithANullStoresNull) {
  OpenWith(3);
  Probe().AppendRecord({Null()});
  EXPECT_TRUE(Probe().Records().back().IsNull);
  EXPECT_TRUE(V()->IsNull());
}

TEST_F(EditingTest, MoreValuesThanFieldsChangeNothing) {
  OpenWith(3);
  EXPECT_EQ(MessageOf([&] { Probe().AppendRecord({1, 2}); }), STooManyValues);
  EXPECT_EQ(MessageOf([&] { Probe().InsertRecord({1, 2}); }), STooManyValues);
  EXPECT_EQ(Probe().State(), dsBrowse);
  EXPECT_TRUE(Story(Probe()).empty());
}

TEST_F(EditingTest, AFailedAppendRecordStaysInInsert) {
  OpenWith(3);
  Probe().FailPost(1);
  EXPECT_THROW(Probe().AppendRecord({40}), EDatabaseError);
  EXPECT_EQ(Probe().State(), dsInsert);
  EXPECT_EQ(V()->AsInteger(), 40);
  Probe().Cancel();
  EXPECT_EQ(Probe().StoredValues(), (Ids{10, 20, 30}));
  EXPECT_RING_OK(Probe());
}

TEST_F(EditingTest, InsertRecordGoesBeforeTheActiveRecord) {
  OpenWith(3, 1);
  Probe().MoveBy(1);
  Probe().InsertRecord({15});
  EXPECT_EQ(Probe().StoredValues(), (Ids{10, 15, 20, 30}));
  EXPECT_EQ(V()->AsInteger(), 15);
  EXPECT_RING_OK(Probe());
}

} // namespace
} // namespace kelva
