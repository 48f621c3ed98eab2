// Pending cached updates: what counts as pending, handing them to the application, and
// committing or reverting them as a whole or one record at a time in every view.
#include "EditingProbe.h"

namespace kelva::edit_tests {
namespace {

TEST(CachedUpdates, ClosedDatasetHasNothingPendingAndSettlesNothing) {
  TEditProbe D;
  EXPECT_FALSE(D.UpDatesPending());
  D.CommitRecord();
  D.RevertRecord();

  D.Start({"A", "B"}, true);
  D.Rename("A", "A2");
  ASSERT_TRUE(D.UpDatesPending());
  D.Close();
  EXPECT_FALSE(D.UpDatesPending());
  D.CommitRecord();
  D.RevertRecord();
  D.Open();
  EXPECT_EQ(D.Stored(), (Names{"A", "B"}));
}

TEST(CachedUpdates, ApplyUpdatesCallsTheHookWheneverAWorkingCopyExists) {
  TEditProbe D;
  D.Start({"A", "B"}, true);
  D.ApplyUpdates();
  EXPECT_EQ(D.UpdateCalls, 0);

  D.Rename("A", "A2");
  D.Rename("A2", "A");
  ASSERT_FALSE(D.UpDatesPending());
  D.ApplyUpdates();
  EXPECT_EQ(D.UpdateCalls, 1);
  EXPECT_TRUE(D.CachedBufActive()) << "ApplyUpdates itself settles nothing";

  // An edit in progress is posted first, so the hook sees it pending.
  bool SawPending = false;
  D.OnUpdate = [&](TKelvaDataset* Data) { SawPending = Data->UpDatesPending(); };
  D.GoTo("B");
  D.Edit();
  D.FieldByName("NAME")->SetAsString("B2");
  D.ApplyUpdates();
  EXPECT_TRUE(SawPending);
  EXPECT_EQ(D.State(), dsBrowse);
}

TEST(CachedUpdates, RaisingApplyHandlerLeavesThePendingChanges) {
  TEditProbe D;
  D.Start({"A", "B"}, true);
  D.OnUpdate = [](TKelvaDataset*) { DatabaseError("target unavailable"); };
  D.Rename("A", "A2");
  D.AppendRecord({"X", 1});
  EXPECT_THROW(D.ApplyUpdates(), EDatabaseError);
  EXPECT_TRUE(D.UpDatesPending());
  EXPECT_EQ(D.Stored(), (Names{"A2", "B", "X"}));
  EXPECT_EQ(D.Committed(), (Names{"A", "B"}));
}

TEST(CachedUpdates, CommitUpdatesMakesTheWorkingCopyCommitted) {
  TEditProbe D;
  D.Start({"A", "B", "C"}, true);
  D.Rename("B", "B2");
  D.Remove("C");
  D.AppendRecord({"X", 1});
  D.GoTo("B2");
  D.CommitUpdates();
  EXPECT_FALSE(D.CachedBufActive());
  EXPECT_FALSE(D.UpDatesPending());
  EXPECT_EQ(D.Stored(), (Names{"A", "B2", "X"}));
  EXPECT_EQ(D.Cur(), "B2");
  D.Rename("A", "A2"); // the next change starts a new working copy
  EXPECT_EQ(D.Committed(), (Names{"A", "B2", "X"}));
}

TEST(CachedUpdates, CancelUpdatesDiscardsEverythingIncludingAnEditInProgress) {
  TEditProbe D;
  D.Start({"A", "B", "C"}, true);
  D.Rename("B", "B2");
  D.Remove("C");
  D.AppendRecord({"X", 1});
  D.GoTo("A");
  D.Edit();
  D.FieldByName("NAME")->SetAsString("A2");
  D.CancelUpdates();
  EXPECT_EQ(D.State(), dsBrowse);
  EXPECT_FALSE(D.CachedBufActive());
  EXPECT_EQ(D.Stored(), (Names{"A", "B", "C"}));
  EXPECT_EQ(D.UpdateRecCalls, 0);
}

TEST(CachedUpdates, SwitchingCachedUpdatesOffDiscardsPendingChanges) {
  TEditProbe D;
  D.Start({"A", "B"}, true);
  D.Rename("A", "A2");
  D.SetBrowseBuffer(brModified);
  EXPECT_THROW(D.SetCachedUpdates(false), EAbort);
  EXPECT_TRUE(D.CachedUpdates());
  EXPECT_EQ(D.BrowseBuffer(), brModified);

  D.SetBrowseBuffer(brStandard);
  D.Remove("B");
  D.SetCachedUpdates(false);
  EXPECT_FALSE(D.CachedUpdates());
  EXPECT_FALSE(D.CachedBufActive());
  EXPECT_EQ(D.Stored(), (Names{"A", "B"}));
  D.Rename("B", "B3");
  EXPECT_EQ(D.UpdateRecCalls, 1);
}

// ---- Record by record in the standard view ----------------------------------------------------

TEST(CommitRecord, InsertionEntersAfterItsCommittedPredecessorOrFirst) {
  TEditProbe D;
  D.Start({"A", "B", "C"}, true);
  D.GoTo("B");
  D.InsertRecord({"X", 1}); // A X B C
  D.First();
  D.InsertRecord({"Y", 2}); // Y A X B C
  D.GoTo("X");
  D.CommitRecord();
  EXPECT_EQ(D.Committed(), (Names{"A", "X", "B", "C"}));
  D.GoTo("Y");
  D.CommitRecord();
  EXPECT_EQ(D.Committed(), (Names{"Y", "A", "X", "B", "C"}));
  EXPECT_FALSE(D.UpDatesPending());
  EXPECT_EQ(D.Stored(), (Names{"Y", "A", "X", "B", "C"}));

  // A predecessor that is itself a pending insertion does not count: the record goes first.
  D.GoTo("B");
  D.InsertRecord({"P", 3}); // ... X P B C
  D.InsertRecord({"Q", 4}); // ... X Q P B C
  D.GoTo("P");
  D.CommitRecord();
  EXPECT_EQ(D.Committed(), (Names{"P", "Y", "A", "X", "B", "C"}));
  EXPECT_TRUE(D.UpDatesPending()) << "Q is still pending";
}

TEST(CommitRecord, StandardViewCommitsAndRevertsOneRecord) {
  TEditProbe D;
  D.Start({"A", "B", "C"}, true);
  D.Rename("A", "A2");
  D.Rename("B", "B2");
  D.AppendRecord({"X", 1});
  D.GoTo("A2");
  D.CommitRecord();
  EXPECT_EQ(D.Committed(), (Names{"A2", "B", "C"}));
  D.GoTo("B2");
  D.RevertRecord();
  EXPECT_EQ(D.Cur(), "B");
  D.GoTo("X");
  D.RevertRecord();
  EXPECT_EQ(D.Stored(), (Names{"A2", "B", "C"}));
  EXPECT_FALSE(D.UpDatesPending());
  EXPECT_TRUE(D.CachedBufActive()) << "only CommitUpdates and CancelUpdates end the copy";
}

// ---- Record by record in the other views ------------------------------------------------------

TEST(CommitRecord, ModifiedViewDropsSettledEntries) {
  TEditProbe D;
  D.Start({"A", "B", "C", "D"}, true);
  D.Rename("B", "B2");
  D.Rename("C", "C2");
  D.Rename("D", "D2");
  D.SetBrowseBuffer(brModified);
  D.Last();
  D.CommitRecord(); // D2: the cursor goes to the new last entry
  EXPECT_EQ(D.Cur(), "C2");
  D.First();
  D.CommitRecord(); // B2: the cursor goes to the next entry
  EXPECT_EQ(D.Stored(), Names{"C2"});
  EXPECT_EQ(D.Cur(), "C2");
  D.RevertRecord();
  EXPECT_TRUE(D.IsEmpty());
  D.SetBrowseBuffer(brStandard);
  EXPECT_EQ(D.Stored(), (Names{"A", "B2", "C", "D2"}));
  EXPECT_EQ(D.Committed(), (Names{"A", "B2", "C", "D2"}));
  EXPECT_FALSE(D.UpDatesPending());
}

TEST(CommitRecord, InsertedViewCommitsInPlaceAndRevertsOutOfTheCopy) {
  TEditProbe D;
  D.Start({"A", "B"}, true);
  D.GoTo("B");
  D.InsertRecord({"X", 1});
  D.AppendRecord({"Y", 2});
  D.SetBrowseBuffer(brInserted);
  EXPECT_EQ(D.Stored(), (Names{"X", "Y"}));
  D.First();
  D.CommitRecord();
  EXPECT_EQ(D.Cur(), "Y");
  D.RevertRecord();
  EXPECT_TRUE(D.IsEmpty());
  D.SetBrowseBuffer(brStandard);
  EXPECT_EQ(D.Stored(), (Names{"A", "X", "B"}));
  EXPECT_EQ(D.Committed(), (Names{"A", "X", "B"}));
}

TEST(CommitRecord, DeletedViewCommitsAndRevertsDeletions) {
  TEditProbe D;
  D.Start({"A", "B", "C", "D"}, true);
  D.Remove("B");
  D.Rename("C", "C2");
  D.Remove("C2");
  D.SetBrowseBuffer(brDeleted);
  D.First();
  D.CommitRecord();
  EXPECT_EQ(D.Stored(), Names{"C2"});
  D.RevertRecord(); // comes back with its committed image
  EXPECT_TRUE(D.IsEmpty());
  D.SetBrowseBuffer(brStandard);
  EXPECT_EQ(D.Stored(), (Names{"A", "C", "D"}));
  EXPECT_EQ(D.Committed(), (Names{"A", "C", "D"}));
  EXPECT_FALSE(D.UpDatesPending());
}

TEST(CommitRecord, RevertedLastRecordReturnsOnePlaceBeforeTheEnd) {
  TEditProbe D;
  D.Start({"A", "B", "C"}, true);
  D.Remove("C");
  D.SetBrowseBuffer(brDeleted);
  D.RevertRecord();
  EXPECT_EQ(D.In(brStandard), (Names{"A", "C", "B"}));

  TEditProbe Single;
  Single.Start({"A"}, true);
  Single.Remove("A");
  Single.SetBrowseBuffer(brDeleted);
  Single.RevertRecord();
  Single.SetBrowseBuffer(brStandard);
  EXPECT_EQ(Single.Stored(), Names{"A"});
  EXPECT_EQ(Single.Cur(), "A");
}

TEST(CommitRecord, OldViewSettlesNothing) {
  TEditProbe D;
  D.Start({"A", "B"}, true);
  D.Rename("B", "B2");
  D.SetBrowseBuffer(brold);
  D.GoTo("B");
  D.CommitRecord();
  D.RevertRecord();
  EXPECT_EQ(D.BrowseBuffer(), brold);
  EXPECT_EQ(D.Stored(), (Names{"A", "B"}));
  D.SetBrowseBuffer(brStandard);
  EXPECT_EQ(D.Stored(), (Names{"A", "B2"}));
  EXPECT_TRUE(D.UpDatesPending());
}

// ---- Record status and old values -------------------------------------------------------------

TEST(CachedUpdates, UpdateStatusFollowsThePendingChange) {
  TEditProbe D;
  D.Start({"A", "B", "C"}, true);
  D.Rename("A", "A2");
  D.Rename("A2", "A");
  D.Rename("B", "B2");
  D.Remove("C");
  D.AppendRecord({"X", 1});
  auto Statuses = [&](TklvBrowseBuffer View) {
    D.SetBrowseBuffer(View);
    std::vector<TUpdateStatus> Result;
    for (D.First(); !D.Eof(); D.Next()) Result.push_back(D.UpdateStatus());
    return Result;
  };
  using S = std::vector<TUpdateStatus>;
  EXPECT_EQ(Statuses(brStandard), (S{usUnmodified, usModified, usInserted}));
  EXPECT_EQ(Statuses(brModified), S{usModified});
  EXPECT_EQ(Statuses(brInserted), S{usInserted});
  EXPECT_EQ(Statuses(brDeleted), S{usDeleted});
  EXPECT_EQ(Statuses(brold), (S{usUnmodified, usUnmodified, usUnmodified}));

  TEditProbe Plain;
  Plain.Start({"A"}, false);
  Plain.Rename("A", "A2");
  EXPECT_EQ(Plain.UpdateStatus(), usUnmodified);
}

TEST(CachedUpdates, OldValueIsTheCommittedValueOrNull) {
  TEditProbe D;
  D.Start({"A", "B"}, true);
  D.Rename("B", "B2");
  D.AppendRecord({"X", 1});
  D.GoTo("B2");
  D.Edit();
  D.FieldByName("NAME")->SetAsString("B3");
  EXPECT_EQ(D.FieldByName("NAME")->OldValue().AsString(), "B");
  EXPECT_EQ(D.FieldByName("AGE")->OldValue().AsInteger(), 20);
  D.Post();
  EXPECT_EQ(D.FieldByName("NAME")->OldValue().AsString(), "B");
  D.GoTo("X");
  D.Edit();
  EXPECT_TRUE(VarIsNull(D.FieldByName("NAME")->OldValue()));
  D.Cancel();

  for (bool Cached : {true, false}) {
    TEditProbe E;
    E.Start({"A", "B"}, Cached);
    E.GoTo("B");
    E.Insert(); // carries B's bookmark, but has no committed version of its own
    E.FieldByName("NAME")->SetAsString("N");
    EXPECT_TRUE(VarIsNull(E.FieldByName("NAME")->OldValue())) << Cached;
    EXPECT_TRUE(VarIsNull(E.FieldByName("AGE")->OldValue())) << Cached;
    E.Cancel();
  }
}

// ---- Raw records while changes are pending ----------------------------------------------------

TEST(CachedUpdates, RawRecordsAreCommittedAtOnceAndSurviveCancel) {
  TEditProbe D;
  D.Start({"A", "B", "C"}, true);
  D.Rename("B", "B2");
  D.Rename("B2", "B"); // a working copy, nothing pending
  D.GoTo("A");
  D.AppendRaw();
  D.FieldByName("NAME")->SetAsString("R");
  D.PostRaw();
  EXPECT_FALSE(D.UpDatesPending());
  EXPECT_EQ(D.Stored(), (Names{"A", "B", "C", "R"}));

  D.Rename("B", "B2");
  D.GoTo("B2");
  D.InsertRaw();
  D.FieldByName("NAME")->SetAsString("Q");
  D.PostRaw();
  EXPECT_EQ(D.Stored(), (Names{"A", "Q", "B2", "C", "R"}));
  EXPECT_EQ(D.In(brInserted), Names{});
  EXPECT_EQ(D.In(brModified), Names{"B2"});
  EXPECT_EQ(D.In(brold), (Names{"A", "B", "C", "R", "Q"}));
  D.CancelUpdates();
  EXPECT_EQ(D.Stored(), (Names{"A", "B", "C", "R", "Q"}));
}

} // namespace
} // namespace kelva::edit_tests
