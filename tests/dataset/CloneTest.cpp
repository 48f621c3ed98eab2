// Cloning a dataset into another: a read-only copy of the records and pending changes whose
// lists are independent of the source's, with identifiers that stay unique.
#include "OrderingSupport.h"

namespace kelva {
namespace {

using namespace ordering_test;
using Names = std::vector<std::string>;

const std::initializer_list<std::string> People = {"FIELD=NAME,CHAR,10", "FIELD=AGE,INTEGER,0"};

TEST(Clone, CopiesRecordsAndPendingChangesIntoAReadOnlyTarget) {
  TEventDataset Source(nullptr);
  OpenWith(Source, People, {{"ANN", 1}, {"BOB", 2}});
  Source.SetCachedUpdates(true);
  Source.Last();
  Source.Edit();
  Source.FieldByName("AGE")->SetAsInteger(20);
  Source.Post();

  TEventDataset Target(nullptr);
  Target.OnLoad = [](TKelvaDataset* Self, TKlvLoadAction) { Self->AppendRawRecord({"ZED", 9}); };
  Source.Clone(&Target);
  ASSERT_TRUE(Target.Active());
  EXPECT_EQ(Target.MetaFields().Text(), Source.MetaFields().Text());
  EXPECT_TRUE(Target.ReadOnly());
  EXPECT_FALSE(Target.CanModify());
  EXPECT_TRUE(Target.CachedUpdates());
  EXPECT_TRUE(Target.UpDatesPending());
  EXPECT_TRUE(Target.Bof());
  EXPECT_EQ(Column(Target, "AGE"), (Names{"1", "20"}));
  Target.SetBrowseBuffer(brold);
  EXPECT_EQ(Column(Target, "AGE"), (Names{"1", "2"}));
  Target.SetBrowseBuffer(brStandard);
  EXPECT_EQ(ErrorOf([&] { Target.Edit(); }), SDataSetReadOnly);
}

TEST(Clone, ListsAreIndependentAndNewIdentifiersStayClear) {
  TListedDataset Source(nullptr);
  OpenWith(Source, People, {{"ANN", 1}, {"BOB", 2}, {"CAT", 3}});
  Source.First();
  Source.Delete(); // the copied identifiers are 2 and 3
  TListedDataset Target(nullptr);
  Target.OnLoad = [](TKelvaDataset* Self, TKlvLoadAction) { Self->AppendRawRecord({"ZED", 9}); };
  Source.Clone(&Target);

  Target.AppendRawRecord({"NEW", 4}); // raw loading fills a read-only dataset
  EXPECT_EQ(Column(Target, "NAME"), (Names{"BOB", "CAT", "NEW"}));
  EXPECT_EQ(Target.CommittedBuf()->RecId(2), 4);
  EXPECT_EQ(Column(Source, "NAME"), (Names{"BOB", "CAT"}));

  Source.First();
  Source.Edit();
  Source.FieldByName("NAME")->SetAsString("BEA");
  Source.Post();
  Source.AppendRecord({"DAN", 5});
  EXPECT_EQ(Column(Target, "NAME"), (Names{"BOB", "CAT", "NEW"}));
  EXPECT_EQ(Column(Source, "NAME"), (Names{"BEA", "CAT", "DAN"}));
}

TEST(Clone, TargetShowsEverythingAndFollowsTheSameMaster) {
  TEventDataset Master(nullptr);
  OpenWith(Master, {"FIELD=CUSTNO,INTEGER,0"}, {{7}});
  TDataSource MasterSource(nullptr);
  MasterSource.SetDataSet(&Master);

  TEventDataset Source(nullptr);
  Source.SetMasterSource(&MasterSource);
  OpenWith(Source, People, {{"ANN", 1}, {"BOB", 2}});
  Source.OnFilterRecord = [](TDataSet*, bool& Accept) { Accept = false; };
  Source.SetFiltered(true);

  TEventDataset Target(nullptr);
  Target.OnFilterRecord = [](TDataSet*, bool& Accept) { Accept = false; };
  Target.SetFiltered(true);
  Source.Clone(&Target);
  EXPECT_FALSE(Target.Filtered());
  EXPECT_FALSE(static_cast<bool>(Target.OnFilterRecord));
  EXPECT_EQ(Column(Target, "NAME"), (Names{"ANN", "BOB"}));
  EXPECT_EQ(Target.MasterSource(), &MasterSource);
}

TEST(Clone, DoesNothingWithoutAClosedTargetAndAnOpenSource) {
  TEventDataset Source(nullptr);
  OpenWith(Source, People, {{"ANN", 1}});
  EXPECT_NO_THROW(Source.Clone(nullptr));

  TEventDataset Open(nullptr);
  OpenWith(Open, {"FIELD=CODE,INTEGER,0"}, {{5}, {6}});
  Source.Clone(&Open);
  EXPECT_FALSE(Open.ReadOnly());
  EXPECT_EQ(Column(Open, "CODE"), (Names{"5", "6"}));

  TEventDataset Closed(nullptr);
  Closed.SetKLVFields(Lines({"FIELD=CODE,INTEGER,0"}));
  TEventDataset Fresh(nullptr);
  Closed.Clone(&Fresh);
  EXPECT_FALSE(Fresh.Active());
  EXPECT_EQ(Fresh.MetaFields().Count(), 0);
}

} // namespace
} // namespace kelva
