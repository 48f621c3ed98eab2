// Raw loading: records supplied by program code are committed at once, with new
// identifiers, without the update hook and, unless asked, without the editing events; a
// raw load never edits or deletes.
#include "DatasetProbe.h"

#include <gtest/gtest.h>

namespace kelva::testing {
namespace {

void AppendRawNamed(TProbeDataset& D, const std::string& Name) {
  D.AppendRaw();
  D.FieldByName("NAME")->SetAsString(Name);
  D.PostRaw();
}

TEST(RawLoading, RecordsAreCommittedInPlaceWithNewIdentifiers) {
  TProbeDataset D;
  OpenNamed(D, {});
  AppendRawNamed(D, "b");
  AppendRawNamed(D, "d");
  D.AppendRawRecord({"e", 5});
  D.First();
  D.InsertRaw();
  D.FieldByName("NAME")->SetAsString("a");
  D.PostRaw();
  EXPECT_EQ(D.FieldByName("NAME")->AsString(), "a");
  D.Last();
  D.InsertRawRecord({"c", 3});
  EXPECT_EQ(D.FieldByName("NAME")->AsString(), "c");
  EXPECT_EQ(VisibleNames(D), (std::vector<std::string>{"a", "b", "d", "c", "e"}));
  EXPECT_EQ(D.RecIds(), (std::vector<std::int32_t>{4, 1, 2, 5, 3}));
  EXPECT_FALSE(D.RawLoading());
  // Only the open asked the hooks for anything: raw records bypass the update hook.
  EXPECT_EQ(D.HookLog, (std::vector<std::string>{"load 0"}));

  // An ordinary append goes through the hook, for contrast.
  D.Append();
  D.FieldByName("NAME")->SetAsString("f");
  D.Post();
  EXPECT_EQ(D.HookLog.back(), "updaterec 2");
}

TEST(RawLoading, InsertRawIntoAnEmptyDatasetGoesFirst) {
  TProbeDataset D;
  OpenNamed(D, {});
  D.InsertRaw();
  D.FieldByName("NAME")->SetAsString("only");
  D.PostRaw();
  EXPECT_EQ(VisibleNames(D), (std::vector<std::string>{"only"}));
  EXPECT_EQ(D.RecIds(), (std::vector<std::int32_t>{1}));
}

TEST(RawLoading, CancelRawDropsTheRecordAndUsesNoIdentifier) {
  TProbeDataset D;
  OpenNamed(D, {"a"});
  D.AppendRaw();
  D.FieldByName("NAME")->SetAsString("dropped");
  D.CancelRaw();
  EXPECT_FALSE(D.RawLoading());
  EXPECT_EQ(D.State(), dsBrowse);
  AppendRawNamed(D, "b");
  EXPECT_EQ(VisibleNames(D), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(D.RecIds(), (std::vector<std::int32_t>{1, 2}));
}

TEST(RawLoading, PostRawWithoutARawRecordDoesNothing) {
  TProbeDataset D;
  OpenNamed(D, {"a"});
  D.PostRaw();
  D.CancelRaw();
  EXPECT_EQ(D.State(), dsBrowse);
  D.Append();
  D.FieldByName("NAME")->SetAsString("pending");
  D.PostRaw();
  EXPECT_EQ(D.State(), dsInsert);
  EXPECT_EQ(D.RecordCount(), 1);
  EXPECT_EQ(D.HookLog, (std::vector<std::string>{"load 0"}));
  D.Cancel();
}

TEST(RawLoading, ASecondAppendRawPostsTheFirstOnlyWhenItHasValues) {
  TProbeDataset D;
  OpenNamed(D, {});
  D.AppendRaw();
  D.FieldByName("NAME")->SetAsString("kept");
  D.AppendRaw();
  EXPECT_TRUE(D.RawLoading());
  D.AppendRaw(); // nothing assigned: dropped
  D.FieldByName("NAME")->SetAsString("last");
  D.PostRaw();
  EXPECT_FALSE(D.RawLoading());
  EXPECT_EQ(VisibleNames(D), (std::vector<std::string>{"kept", "last"}));
  EXPECT_EQ(D.HookLog, (std::vector<std::string>{"load 0"}));
}

TEST(RawLoading, AppendRawRecordDuringAPendingAppendRawKeepsTheLoadGoing) {
  TProbeDataset D;
  OpenNamed(D, {});
  D.AppendRaw();
  D.FieldByName("NAME")->SetAsString("a");
  D.AppendRawRecord({"b", 2});
  EXPECT_TRUE(D.RawLoading());
  D.CancelRaw();
  EXPECT_FALSE(D.RawLoading());
  EXPECT_EQ(VisibleNames(D), (std::vector<std::string>{"a", "b"}));
}

TEST(RawLoading, EditsAndDeletesDuringARawLoadAbortSilently) {
  TProbeDataset D;
  OpenNamed(D, {"a", "b"});
  D.AppendRaw();
  D.FieldByName("NAME")->SetAsString("c");
  D.First(); // leaving the new record posts it; the raw load goes on
  ASSERT_TRUE(D.RawLoading());
  D.Edit();
  D.FieldByName("NAME")->SetAsString("changed");
  EXPECT_THROW(D.Post(), EAbort);
  EXPECT_EQ(D.State(), dsEdit);
  D.Cancel();
  EXPECT_THROW(D.Delete(), EAbort);
  D.CancelRaw();
  EXPECT_EQ(VisibleNames(D), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(D.HookLog, (std::vector<std::string>{"load 0"}));
}

TEST(RawLoading, StandardEventsFireOnlyWhenAskedFor) {
  struct EventCase {
    bool Fire;
    std::vector<std::string> AppendAndPost, Cancel;
  };
  const std::vector<EventCase> Cases = {
      {false, {"BeforeScroll", "AfterScroll"}, {"BeforeScroll", "AfterScroll"}},
      {true,
       {"BeforeInsert", "BeforeScroll", "OnNewRecord", "AfterInsert", "AfterScroll", "BeforePost",
        "AfterPost"},
       {"BeforeCancel", "BeforeScroll", "AfterCancel", "AfterScroll"}},
  };
  for (const EventCase& Case : Cases) {
    SCOPED_TRACE(Case.Fire);
    TProbeDataset D;
    D.SetRawLoadFireStdEvents(Case.Fire);
    OpenNamed(D, {"a"});
    std::vector<std::string> Log;
    LogEvents(D, Log);
    AppendRawNamed(D, "b");
    EXPECT_EQ(Log, Case.AppendAndPost);
    Log.clear();
    D.AppendRawRecord({"c", 3});
    EXPECT_EQ(Log, Case.AppendAndPost);
    D.AppendRaw();
    Log.clear();
    D.CancelRaw();
    EXPECT_EQ(Log, Case.Cancel);
    EXPECT_EQ(VisibleNames(D), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(D.HookLog, (std::vector<std::string>{"load 0"}));
  }
}

TEST(RawLoading, AFailedPostRawCanBeCorrectedAndRetried) {
  TProbeDataset D;
  D.SetRawLoadFireStdEvents(true);
  OpenNamed(D, {});
  D.BeforePost = [](TDataSet* S) {
    if (S->FieldByName("NAME")->IsNull()) DatabaseError("NAME is required");
  };
  D.AppendRaw();
  EXPECT_EQ(DatabaseErrorOf([&] { D.PostRaw(); }), "NAME is required");
  EXPECT_TRUE(D.RawLoading());
  EXPECT_EQ(D.State(), dsInsert);
  D.FieldByName("NAME")->SetAsString("fixed");
  D.PostRaw();
  EXPECT_FALSE(D.RawLoading());
  EXPECT_EQ(VisibleNames(D), (std::vector<std::string>{"fixed"}));
}

TEST(RawLoading, AFailedAppendRawEndsTheRawLoad) {
  TProbeDataset D;
  D.Describe({"FIELD=NAME,CHAR,10"});
  EXPECT_THROW(D.AppendRaw(), EDatabaseError); // closed
  EXPECT_FALSE(D.RawLoading());
  D.Open();
  D.SetRawLoadFireStdEvents(true);
  D.BeforeInsert = [](TDataSet*) { Abort(); };
  EXPECT_THROW(D.InsertRaw(), EAbort);
  EXPECT_FALSE(D.RawLoading());
  EXPECT_THROW(D.AppendRawRecord({"x"}), EAbort);
  EXPECT_FALSE(D.RawLoading());
}

} // namespace
} // namespace kelva::testing
