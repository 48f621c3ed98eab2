// Moving through the records: the cursor primitives, bookmarks and how they compare,
// record numbers, records hidden by the filter, following another dataset, and the retry
// loop that posting runs through.
#include "DatasetProbe.h"

#include <gtest/gtest.h>

namespace kelva::testing {
namespace {

TEST(Navigation, AnEmptyDatasetHasNoRecordInAnyDirection) {
  TProbeDataset D;
  OpenNamed(D, {});
  TBufferHolder Buffer(D);
  EXPECT_EQ(D.GetRecord(Buffer.Get(), gmCurrent, true), grEOF);
  EXPECT_EQ(D.GetRecord(Buffer.Get(), gmNext, true), grEOF);
  EXPECT_EQ(D.GetRecord(Buffer.Get(), gmPrior, true), grEOF);
  EXPECT_FALSE(D.GetCurrentRecord(Buffer.Get()));
  EXPECT_TRUE(D.IsEmpty());
  EXPECT_EQ(D.RecNo(), 0);
}

TEST(Navigation, CurrentRecordOutsideTheListIsAnError) {
  TProbeDataset D;
  OpenNamed(D, {"a", "b"});
  TBufferHolder Buffer(D);
  D.InternalFirst();
  EXPECT_EQ(D.GetRecord(Buffer.Get(), gmCurrent, false), grError);
  EXPECT_EQ(DatabaseErrorOf([&] { D.GetRecord(Buffer.Get(), gmCurrent, true); }), SRecordNotFound);
  EXPECT_EQ(D.GetRecord(Buffer.Get(), gmNext, true), grOK);
  EXPECT_EQ(std::string(Buffer.Get(), 1), "a");

  // GetCurrentRecord copies the active record's image.
  D.Last();
  EXPECT_TRUE(D.GetCurrentRecord(Buffer.Get()));
  EXPECT_EQ(std::string_view(Buffer.Get(), 24), D.InternalBuf()->ImageView(1));
}

TEST(Navigation, BookmarksFollowTheRecordNotThePosition) {
  TProbeDataset D;
  OpenNamed(D, {"a", "b", "c"});
  D.SetRecNo(2);
  const TBookmark B = D.GetBookmark();
  D.First();
  D.InsertRawRecord({"first", 9}); // stored later, placed first
  EXPECT_EQ(D.RecNo(), 1);
  const TBookmark Inserted = D.GetBookmark();
  D.GotoBookmark(B);
  EXPECT_EQ(D.FieldByName("NAME")->AsString(), "b");
  EXPECT_EQ(D.RecNo(), 3);
  // Bookmarks order by identifier: the record stored first is smaller wherever it stands.
  EXPECT_EQ(D.CompareBookmarks(Inserted, B), 1);
  EXPECT_EQ(D.CompareBookmarks(B, Inserted), -1);
  EXPECT_EQ(D.CompareBookmarks(B, D.GetBookmark()), 0);
  EXPECT_EQ(D.CompareBookmarks({}, {}), 0);
  EXPECT_EQ(D.CompareBookmarks({}, B), 1);
  EXPECT_EQ(D.CompareBookmarks(B, {}), -1);
}

TEST(Navigation, ADeletedRecordsBookmarkIsUnknown) {
  TProbeDataset D;
  OpenNamed(D, {"a", "b", "c"});
  D.SetRecNo(2);
  const TBookmark Gone = D.GetBookmark();
  D.Delete();
  EXPECT_EQ(D.FieldByName("NAME")->AsString(), "c");
  EXPECT_FALSE(D.BookmarkValid(Gone));
  EXPECT_EQ(DatabaseErrorOf([&] { D.GotoBookmark(Gone); }), SKlvInvalidBookMark);
  EXPECT_EQ(D.FieldByName("NAME")->AsString(), "c");
  D.Prior();
  EXPECT_EQ(D.FieldByName("NAME")->AsString(), "a");
}

TEST(Navigation, BookmarkValidChecksWithoutMoving) {
  TProbeDataset D;
  EXPECT_FALSE(D.BookmarkValid({1, 0, 0, 0})); // closed
  OpenNamed(D, {"a", "b", "c"});
  D.Last();
  const TBookmark Third = D.GetBookmark();
  D.First();
  EXPECT_FALSE(D.BookmarkValid({}));
  EXPECT_FALSE(D.BookmarkValid({99, 0, 0, 0}));
  EXPECT_TRUE(D.BookmarkValid(Third));
  D.Next();
  EXPECT_EQ(D.FieldByName("NAME")->AsString(), "b");
}

TEST(Navigation, RecordNumbersArePositionsInTheList) {
  TProbeDataset D;
  OpenNamed(D, {"a", "b", "c"});
  std::vector<std::string> Log;
  LogEvents(D, Log);
  D.SetRecNo(3);
  EXPECT_EQ(D.FieldByName("NAME")->AsString(), "c");
  EXPECT_EQ(D.RecNo(), 3);
  EXPECT_EQ(Log, (std::vector<std::string>{"BeforeScroll", "AfterScroll"}));
  for (std::int32_t Bad : {0, 4, -1}) {
    EXPECT_EQ(DatabaseErrorOf([&] { D.SetRecNo(Bad); }), SKlvInvalidNumRec) << Bad;
    EXPECT_EQ(D.RecNo(), 3);
  }
  // A record being inserted has no number yet, whether appended or inserted.
  D.Append();
  EXPECT_EQ(D.RecNo(), 0);
  D.Cancel();
  D.SetRecNo(2);
  D.Insert();
  EXPECT_EQ(D.RecNo(), 0);
  D.Cancel();
  EXPECT_EQ(D.RecNo(), 2);
}

TEST(Navigation, ARecordBeingInsertedHasNoNumberWhileItsFieldsAreCalculated) {
  TProbeDataset D;
  TField* Calc = AddFieldsWithCalculated(D);
  std::vector<std::int32_t> Seen;
  D.OnCalcFields = [&](TDataSet* S) {
    Seen.push_back(S->RecNo());
    Calc->SetAsInteger(S->RecNo());
  };
  D.Open();
  D.AppendRawRecord({"a", 1});
  D.AppendRawRecord({"b", 2});
  for (bool Appending : {true, false}) {
    SCOPED_TRACE(Appending ? "Append" : "Insert");
    D.Last();
    Appending ? D.Append() : D.Insert();
    Seen.clear();
    D.FieldByName("N")->SetAsInteger(3); // recalculates the new record
    EXPECT_EQ(Seen, (std::vector<std::int32_t>{0}));
    EXPECT_EQ(Calc->AsInteger(), 0);
    D.Cancel();
  }
}

TEST(Navigation, FilteredOutRecordsAreSkippedButStillCounted) {
  TProbeDataset D;
  OpenNamed(D, {"a", "b", "c"});
  D.SetRecNo(2);
  const TBookmark Hidden = D.GetBookmark();
  EXPECT_TRUE(D.IsSequenced());
  D.OnFilterRecord = [](TDataSet* S, bool& Accept) {
    Accept = S->FieldByName("NAME")->AsString() != "b";
  };
  D.SetFiltered(true);
  EXPECT_FALSE(D.IsSequenced());
  EXPECT_EQ(VisibleNames(D), (std::vector<std::string>{"a", "c"}));
  D.First();
  D.Next();
  EXPECT_EQ(D.FieldByName("NAME")->AsString(), "c");
  EXPECT_EQ(D.RecNo(), 3);
  EXPECT_EQ(D.RecordCount(), 3);
  D.Prior();
  EXPECT_EQ(D.FieldByName("NAME")->AsString(), "a");
  EXPECT_EQ(DatabaseErrorOf([&] { D.SetRecNo(2); }), SKlvInvalidNumRec);
  EXPECT_FALSE(D.BookmarkValid(Hidden));
  EXPECT_EQ(DatabaseErrorOf([&] { D.GotoBookmark(Hidden); }), SKlvInvalidBookMark);
  EXPECT_EQ(D.FieldByName("NAME")->AsString(), "a");

  D.SetFiltered(false);
  EXPECT_TRUE(D.IsSequenced());
  D.GotoBookmark(Hidden);
  EXPECT_EQ(D.FieldByName("NAME")->AsString(), "b");
}

TEST(Navigation, AFilterRejectingEverythingLeavesAnEmptyView) {
  TProbeDataset D;
  OpenNamed(D, {"a", "b"});
  D.OnFilterRecord = [](TDataSet*, bool& Accept) { Accept = false; };
  D.SetFiltered(true);
  EXPECT_TRUE(D.IsEmpty());
  EXPECT_EQ(D.CurRec(), -1);
  D.Last();
  EXPECT_TRUE(D.IsEmpty());
  EXPECT_TRUE(D.Bof() && D.Eof());
}

TEST(Navigation, GotoCurrentFindsTheSameRecordInAnotherDataset) {
  TProbeDataset A, B;
  OpenNamed(A, {"a", "b", "c"});
  OpenNamed(B, {"x", "y", "z", "extra"});
  B.SetRecNo(3);
  A.GotoCurrent(&B);
  EXPECT_EQ(A.FieldByName("NAME")->AsString(), "c");
  B.Last();
  EXPECT_EQ(DatabaseErrorOf([&] { A.GotoCurrent(&B); }), SKlvInvalidBookMark);
  EXPECT_EQ(A.FieldByName("NAME")->AsString(), "c");
  B.Close();
  EXPECT_EQ(DatabaseErrorOf([&] { A.GotoCurrent(&B); }), SDataSetClosed);
}

TEST(Navigation, CheckOperationRetriesFailsOrAbortsAsTheHandlerSays) {
  TProbeDataset D;
  OpenNamed(D, {"a"});
  int Runs = 0;
  auto FailTwice = [&] {
    if (++Runs <= 2) DatabaseError("busy");
  };
  std::vector<std::string> Seen;
  D.KlvCheckOperation(FailTwice, [&](TDataSet*, EDatabaseError& E, TDataAction& Action) {
    Seen.push_back(E.Message());
    Action = daRetry;
  });
  EXPECT_EQ(Runs, 3);
  EXPECT_EQ(Seen, (std::vector<std::string>{"busy", "busy"}));

  Runs = 0;
  EXPECT_EQ(DatabaseErrorOf([&] { D.KlvCheckOperation(FailTwice, {}); }), "busy");
  EXPECT_EQ(Runs, 1);
  Runs = 0;
  EXPECT_THROW(D.KlvCheckOperation(FailTwice,
                                   [](TDataSet*, EDatabaseError&, TDataAction& A) { A = daAbort; }),
               EAbort);
  // Errors that are not database errors pass straight through, without the event.
  bool EventCalled = false;
  EXPECT_THROW(
      D.KlvCheckOperation([] { throw EConvertError("bad"); },
                          [&](TDataSet*, EDatabaseError&, TDataAction&) { EventCalled = true; }),
      EConvertError);
  EXPECT_FALSE(EventCalled);
}

} // namespace
} // namespace kelva::testing
