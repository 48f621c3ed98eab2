// Where posted, added and deleted records land: reported to the per-record hook before the
// committed records change (write-through), or kept in the working copy (cached).
#include "EditingProbe.h"

namespace kelva::edit_tests {
namespace {

// ---- Write-through: the hook sees each change before the store does -------------------------

// Every post and delete is reported once, before the store changes, while the dataset
// still shows the new values (or, for a delete, the record about to go).
TEST(WriteThrough, EachChangeIsReportedOnceBeforeTheStoreChanges) {
  TEditProbe D;
  D.Start({"A", "B", "C"}, false);
  std::vector<TUpdateStatus> Seen;
  Names Before;
  std::string Shown;
  std::int32_t Added = 0;
  D.OnUpdaterec = [&](TKelvaDataset* Data, TUpdateStatus Action) {
    Seen.push_back(Action);
    EXPECT_EQ(D.Stored(), Before);
    EXPECT_EQ(D.Cur(), Shown);
    EXPECT_EQ(Data->State(), Action == usModified   ? dsEdit
                             : Action == usInserted ? dsInsert
                                                    : dsBrowse);
    if (Action == usModified) {
      EXPECT_EQ(Data->FieldByName("NAME")->OldValue().AsString(), Before.at(1));
    }
    if (Action == usInserted) {
      EXPECT_EQ(D.LastRecId(), 3 + Added++) << "no identifier yet";
    }
  };
  auto Expect = [&](Names Stored, std::string Current) {
    Before = std::move(Stored);
    Shown = std::move(Current);
  };
  Expect({"A", "B", "C"}, "B2");
  D.Rename("B", "B2");
  Expect({"A", "B2", "C"}, "B2");
  D.Edit(); // no field changed: still an edit the application is told about
  D.Post();
  Expect({"A", "B2", "C"}, "X");
  D.Append();
  D.FieldByName("NAME")->SetAsString("X");
  D.Post();
  Expect({"A", "B2", "C", "X"}, "Y");
  D.InsertRecord({"Y", 1});
  Expect({"A", "B2", "C", "Y", "X"}, "C");
  D.Remove("C");
  EXPECT_EQ(Seen, (std::vector<TUpdateStatus>{usModified, usModified, usInserted, usInserted,
                                              usDeleted}));
  EXPECT_EQ(D.Stored(), (Names{"A", "B2", "Y", "X"}));
  EXPECT_EQ(D.StoredIds(), (std::vector<std::int32_t>{1, 2, 5, 4}));
  EXPECT_FALSE(D.CachedBufActive());
}

// A handler that raises refuses the change: nothing stored or removed, no identifier used,
// and the dataset stays in its editing state so the caller can retry or cancel.
TEST(WriteThrough, RefusingHandlerLeavesTheStoreAsItWas) {
  TEditProbe D;
  D.Start({"A", "B", "C"}, false);
  bool Refuse = true;
  D.OnUpdaterec = [&](TKelvaDataset*, TUpdateStatus) {
    if (Refuse) DatabaseError("refused");
  };

  D.GoTo("B");
  D.Edit();
  D.FieldByName("NAME")->SetAsString("B2");
  EXPECT_THROW(D.Post(), EDatabaseError);
  EXPECT_EQ(D.State(), dsEdit);
  EXPECT_EQ(D.Cur(), "B2");
  EXPECT_EQ(D.Stored(), (Names{"A", "B", "C"}));
  D.Cancel();

  D.Append();
  D.FieldByName("NAME")->SetAsString("X");
  EXPECT_THROW(D.Post(), EDatabaseError);
  EXPECT_EQ(D.State(), dsInsert);
  D.Cancel();
  EXPECT_THROW(D.InsertRecord({"Y", 1}), EDatabaseError);
  EXPECT_EQ(D.State(), dsInsert);
  D.Cancel();

  D.GoTo("C");
  EXPECT_THROW(D.Delete(), EDatabaseError);
  EXPECT_EQ(D.Stored(), (Names{"A", "B", "C"}));
  EXPECT_EQ(D.Cur(), "C");

  Refuse = false;
  D.AppendRecord({"Y", 1});
  EXPECT_EQ(D.StoredIds().back(), 4) << "refused inserts must not use identifiers";
}

TEST(WriteThrough, PostAndDeleteErrorEventsDecideAboutRefusals) {
  TEditProbe D;
  D.Start({"A", "B"}, false);
  int Refusals = 0;
  D.OnUpdaterec = [&](TKelvaDataset*, TUpdateStatus) {
    if (Refusals > 0) {
      --Refusals;
      DatabaseError("busy");
    }
  };
  std::vector<std::string> Messages;
  TDataAction Decision = daRetry;
  D.OnPostError = D.OnDeleteError = [&](TDataSet*, EDatabaseError& E, TDataAction& Action) {
    Messages.push_back(E.Message());
    Action = Decision;
  };

  Refusals = 2; // retried until the handler accepts
  D.AppendRecord({"X", 1});
  EXPECT_EQ(Messages, (Names{"busy", "busy"}));
  EXPECT_EQ(D.Stored(), (Names{"A", "B", "X"}));
  EXPECT_EQ(D.StoredIds().back(), 3);

  Refusals = 1;
  D.Remove("A");
  EXPECT_EQ(D.Stored(), (Names{"B", "X"}));

  Refusals = 1; // aborted: silent, nothing stored, still inserting
  Decision = daAbort;
  D.Append();
  D.FieldByName("NAME")->SetAsString("Y");
  EXPECT_THROW(D.Post(), EAbort);
  EXPECT_EQ(D.State(), dsInsert);
  EXPECT_EQ(D.Stored(), (Names{"B", "X"}));
  D.Cancel();
  EXPECT_EQ(D.LastRecId(), 3);
}

// ---- Both regimes -----------------------------------------------------------------------------

class BothRegimes : public ::testing::TestWithParam<bool> {};
INSTANTIATE_TEST_SUITE_P(Editing, BothRegimes, ::testing::Bool(),
                         [](const auto& Info) { return Info.param ? "Cached" : "WriteThrough"; });

TEST_P(BothRegimes, AppendRecordGoesLastAndInsertRecordBeforeTheCurrent) {
  TEditProbe D;
  D.Start({"A", "B", "C"}, GetParam());
  D.GoTo("B");
  D.AppendRecord({"X", 1});
  EXPECT_EQ(D.Cur(), "X");
  D.GoTo("B");
  D.InsertRecord({"Y", 2});
  EXPECT_EQ(D.Cur(), "Y");
  D.First();
  D.InsertRecord({"Z", 3});
  EXPECT_EQ(D.Stored(), (Names{"Z", "A", "Y", "B", "C", "X"}));
  EXPECT_EQ(D.StoredIds(), (std::vector<std::int32_t>{6, 1, 5, 2, 3, 4}));
  EXPECT_EQ(D.Committed(), (GetParam() ? Names{"A", "B", "C"} : D.Stored()));
}

TEST_P(BothRegimes, IdentifiersCountFromOneWhateverWasDeleted) {
  TEditProbe D;
  D.Start({}, GetParam());
  D.AppendRecord({"A", 1});
  D.AppendRecord({"B", 2});
  D.Insert(); // into a non-empty view, then dropped: uses no identifier
  D.Cancel();
  D.Remove("B");
  D.Remove("A");
  EXPECT_EQ(D.RecordCount(), 0);
  D.Append();
  D.FieldByName("NAME")->SetAsString("C");
  D.Post();
  EXPECT_EQ(D.StoredIds(), std::vector<std::int32_t>{3});

  D.Close();
  D.Open();
  D.InsertRecord({"D", 4}); // into an empty view
  EXPECT_EQ(D.StoredIds(), std::vector<std::int32_t>{1});
}

TEST_P(BothRegimes, DeletingTheLastRecordMovesToTheNewLast) {
  TEditProbe D;
  D.Start({"A", "B", "C"}, GetParam());
  D.Remove("C");
  EXPECT_EQ(D.Cur(), "B");
  EXPECT_EQ(D.RecNo(), 2);
  D.Remove("A");
  D.Remove("B");
  EXPECT_TRUE(D.IsEmpty());
  EXPECT_EQ(D.RecordCount(), 0);
}

// ---- Cached: the working copy -----------------------------------------------------------------

TEST(CachedEditing, FirstChangeCreatesTheWorkingCopyAndTheHookIsNeverCalled) {
  for (int Kind = 0; Kind < 3; ++Kind) {
    SCOPED_TRACE(Kind);
    TEditProbe D;
    D.Start({"A", "B", "C"}, true);
    EXPECT_FALSE(D.CachedBufActive());
    if (Kind == 0) D.Rename("B", "B2");
    if (Kind == 1) D.AppendRecord({"X", 1});
    if (Kind == 2) D.Remove("B");
    EXPECT_TRUE(D.CachedBufActive());
    EXPECT_TRUE(D.UpDatesPending());
    EXPECT_EQ(D.Committed(), (Names{"A", "B", "C"}));
    EXPECT_EQ(D.In(brDeleted), Kind == 2 ? Names{"B"} : Names{});
    EXPECT_EQ(D.UpdateRecCalls, 0);
  }
}

// Pending modifications are found by comparing images byte for byte.
TEST(CachedEditing, EditingBackLeavesNothingPendingButAnyChangedByteCounts) {
  TEditProbe D;
  D.Start({"A", "\xC3\xA9t\xC3\xA9"}, true); // "été", precomposed
  D.Rename("A", "A2");
  D.Rename("A2", "A");
  EXPECT_TRUE(D.CachedBufActive());
  EXPECT_FALSE(D.UpDatesPending());
  D.Edit(); // a post without changes
  D.Post();
  EXPECT_FALSE(D.UpDatesPending());

  D.Rename("\xC3\xA9t\xC3\xA9", "e\xCC\x81te\xCC\x81"); // the same text, decomposed
  EXPECT_TRUE(D.UpDatesPending());
  EXPECT_EQ(D.In(brModified).size(), 1u);
}

TEST(CachedEditing, DeletedRecordsKeepTheirWorkingImageAndInsertionsLeaveNoTrace) {
  TEditProbe D;
  D.Start({"A", "B", "C"}, true);
  D.AppendRecord({"X", 1});
  D.Remove("X");
  EXPECT_EQ(D.In(brDeleted), Names{});
  EXPECT_FALSE(D.UpDatesPending());

  D.Rename("B", "B2");
  D.Remove("B2");
  D.Remove("A");
  EXPECT_EQ(D.In(brDeleted), (Names{"B2", "A"}));
  EXPECT_EQ(D.Stored(), Names{"C"});
  EXPECT_EQ(D.Committed(), (Names{"A", "B", "C"}));
}

} // namespace
} // namespace kelva::edit_tests
