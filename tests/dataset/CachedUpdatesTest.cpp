// Pending cached updates: what counts as pending, handing them to the application, and
// committing or reverting them as a whole or one record at a time in every view.
#include "EditingProbe.h"

namespace kelva::edit_tests {
namespace {

TEST(CachedUpdates, ClosedDatasetHasNothingPendingAndSettlesNothing) {
  TEditProbe D;
  EXPECT_FALSE(D.UpDatesPending());
  D.CommitRecord();
  D.Start({"A", "B"}, true);
  D.Rename("A", "A2");
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
  D.ApplyUpdates(); // nothing pending, but a working copy
  EXPECT_EQ(D.UpdateCalls, 1);
  EXPECT_TRUE(D.CachedBufActive()) << "ApplyUpdates itself settles nothing";

  // An edit in progress is posted first; a handler that raises changes nothing.
  D.OnUpdate = [&](TKelvaDataset* Data) {
    EXPECT_TRUE(Data->UpDatesPending());
    DatabaseError("target unavailable");
  };
  D.GoTo("B");
  D.Edit();
  D.FieldByName("NAME")->SetAsString("B2");
  EXPECT_THROW(D.ApplyUpdates(), EDatabaseError);
  EXPECT_EQ(D.State(), dsBrowse);
  EXPECT_EQ(D.Stored(), (Names{"A", "B2"}));
  EXPECT_EQ(D.Committed(), (Names{"A", "B"}));
}

TEST(CachedUpdates, CommitUpdatesKeepsAndCancelUpdatesDropsTheWorkingCopy) {
  for (bool Commit : {true, false}) {
    TEditProbe D;
    D.Start({"A", "B", "C"}, true);
    D.Rename("B", "B2");
    D.Remove("C");
    D.AppendRecord({"X", 1});
    D.GoTo("B2");
    if (Commit) {
      D.CommitUpdates();
      EXPECT_EQ(D.Cur(), "B2");
    } else {
      D.Edit(); // dropped with the rest
      D.FieldByName("NAME")->SetAsString("B3");
      D.CancelUpdates();
      EXPECT_EQ(D.State(), dsBrowse);
    }
    EXPECT_FALSE(D.CachedBufActive());
    EXPECT_EQ(D.Stored(), Commit ? (Names{"A", "B2", "X"}) : (Names{"A", "B", "C"}));
    EXPECT_EQ(D.UpdateRecCalls + D.UpdateCalls, 0);
  }
}

TEST(CachedUpdates, CancelUpdatesWithoutAWorkingCopyOnlyCancelsTheEdit) {
  for (bool Cached : {true, false}) {
    TEditProbe D;
    D.Start({"A", "B"}, Cached);
    D.GoTo("B");
    D.Edit();
    D.FieldByName("NAME")->SetAsString("B2");
    D.CancelUpdates();
    EXPECT_EQ(D.Cur(), "B");
    EXPECT_EQ(D.Stored(), (Names{"A", "B"})) << Cached;
    EXPECT_FALSE(D.CachedBufActive());
    EXPECT_EQ(D.UpdateRecCalls, 0);
  }
}

TEST(CachedUpdates, SwitchingCachedUpdatesOffDiscardsPendingChanges) {
  TEditProbe D;
  D.Start({"A", "B"}, true);
  D.Rename("A", "A2");
  D.SetBrowseBuffer(brModified);
  EXPECT_THROW(D.SetCachedUpdates(false), EAbort);
  EXPECT_TRUE(D.CachedUpdates());

  D.SetBrowseBuffer(brStandard);
  D.Remove("B");
  D.SetCachedUpdates(false);
  EXPECT_FALSE(D.CachedBufActive());
  EXPECT_EQ(D.Stored(), (Names{"A", "B"}));
  D.Rename("B", "B3"); // write-through again
  EXPECT_EQ(D.UpdateRecCalls, 1);
}

// ---- Record by record -------------------------------------------------------------------------

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

  // A predecessor that is itself a pending insertion does not count: the record goes first.
  D.GoTo("B");
  D.InsertRecord({"P", 3}); // ... X P B C
  D.InsertRecord({"Q", 4}); // ... X Q P B C
  D.GoTo("P");
  D.CommitRecord();
  EXPECT_EQ(D.Committed(), (Names{"P", "Y", "A", "X", "B", "C"}));
  EXPECT_EQ(D.Stored(), (Names{"Y", "A", "X", "Q", "P", "B", "C"}));
}

TEST(CommitRecord, StandardViewSettlesModificationsAndInsertions) {
  TEditProbe D;
  D.Start({"A", "B", "C"}, true);
  D.Rename("A", "A2");
  D.Rename("B", "B2");
  D.AppendRecord({"X", 1});
  D.GoTo("A2");
  D.CommitRecord();
  D.GoTo("B2");
  D.RevertRecord();
  EXPECT_EQ(D.Cur(), "B");
  D.GoTo("X");
  D.RevertRecord();
  EXPECT_EQ(D.Stored(), (Names{"A2", "B", "C"}));
  EXPECT_EQ(D.Committed(), (Names{"A2", "B", "C"}));
  EXPECT_FALSE(D.UpDatesPending());
  EXPECT_TRUE(D.CachedBufActive()) << "only CommitUpdates and CancelUpdates end the copy";
}

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
}

TEST(CommitRecord, InsertedViewCommitsInPlaceAndRevertsOutOfTheCopy) {
  TEditProbe D;
  D.Start({"A", "B"}, true);
  D.GoTo("B");
  D.InsertRecord({"X", 1});
  D.AppendRecord({"Y", 2});
  D.SetBrowseBuffer(brInserted);
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
  EXPECT_FALSE(D.UpDatesPending()) << "a different order is no pending change";

  TEditProbe Single;
  Single.Start({"A"}, true);
  Single.Remove("A");
  Single.SetBrowseBuffer(brDeleted);
  Single.RevertRecord();
  EXPECT_EQ(Single.In(brStandard), Names{"A"});
}

TEST(CommitRecord, NothingIsSettledInTheOldViewOrWithoutACommittedVersion) {
  TEditProbe D;
  D.Start({"A", "B"}, true);
  D.Rename("B", "B2");
  D.SetBrowseBuffer(brold);
  D.GoTo("B");
  D.CommitRecord();
  D.RevertRecord();
  EXPECT_EQ(D.BrowseBuffer(), brold);
  EXPECT_EQ(D.Stored(), (Names{"A", "B"}));
  EXPECT_EQ(D.In(brModified), Names{"B2"});

  // A deleted record whose committed version is gone cannot be brought in by a file
  // either: a file that says so contradicts itself and is refused.
  TEditProbe F;
  TStringStream Saved("#VERSION=1\r\n#NAME=\r\n#PARAMS=0\r\n#FIELDS=2\r\n#COMMITED=1\r\n"
                      "#CACHED=1\r\n#DELETED=1\r\nFIELD=NAME,CHAR,10\r\nFIELD=AGE,INTEGER,0\r\n"
                      "BOOK1=A\r\nBOOK1=A\r\nBOOK2=B\r\n");
  EXPECT_THROW(F.LoadFromStream(Saved), EDatabaseError);
  EXPECT_FALSE(F.Active());
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
  EXPECT_EQ(Statuses(brold), S(3, usUnmodified));

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

  D.Rename("B", "B2");
  D.GoTo("B2");
  D.InsertRaw();
  D.FieldByName("NAME")->SetAsString("Q");
  D.PostRaw();
  EXPECT_EQ(D.Stored(), (Names{"A", "Q", "B2", "C", "R"}));
  EXPECT_EQ(D.In(brInserted), Names{});
  EXPECT_EQ(D.In(brold), (Names{"A", "B", "C", "R", "Q"}));
  D.CancelUpdates();
  EXPECT_EQ(D.Stored(), (Names{"A", "B", "C", "R", "Q"}));
}

} // namespace
} // namespace kelva::edit_tests
