// Browse views of pending changes: when a view can be selected, what each one lists, how
// bookmarks and the filter behave in them, and what they refuse.
#include "EditingProbe.h"

namespace kelva::edit_tests {
namespace {

TEST(BrowseViews, SelectingAViewNeedsAWorkingCopy) {
  TEditProbe Plain;
  Plain.Start({"A"}, false);
  Plain.SetBrowseBuffer(brInserted);
  EXPECT_EQ(Plain.BrowseBuffer(), brStandard);

  TEditProbe D;
  D.Start({"A", "B", "C"}, true);
  D.SetBrowseBuffer(brold);
  EXPECT_EQ(D.BrowseBuffer(), brStandard);
  D.AppendRecord({"X", 1});
  D.SetBrowseBuffer(brold); // shown from its first record
  EXPECT_EQ(D.BrowseBuffer(), brold);
  EXPECT_EQ(D.RecordCount(), 3);
  EXPECT_EQ(D.Cur(), "A");

  D.Close(); // every open starts on the standard view
  D.Open();
  EXPECT_EQ(D.BrowseBuffer(), brStandard);
}

TEST(BrowseViews, EachViewListsItsRecordsInWorkingOrder) {
  TEditProbe D;
  D.Start({"A", "B", "C", "D", "E"}, true);
  D.Rename("D", "D2");
  D.Rename("B", "B2");
  D.Rename("C", "C2");
  D.Rename("C2", "C"); // edited back: not modified
  D.Remove("E");
  D.Remove("A");
  D.GoTo("B2");
  D.InsertRecord({"X", 1});
  D.Rename("X", "X2"); // an insertion edited later stays an insertion
  EXPECT_EQ(D.In(brModified), (Names{"B2", "D2"}));
  EXPECT_EQ(D.In(brInserted), Names{"X2"});
  EXPECT_EQ(D.In(brDeleted), (Names{"E", "A"}));
  EXPECT_EQ(D.In(brold), (Names{"A", "B", "C", "D", "E"}));
  EXPECT_EQ(D.Stored(), (Names{"X2", "B2", "C", "D2"}));
}

TEST(BrowseViews, ADerivedViewIsRebuiltWhenSelectedAgain) {
  TEditProbe D;
  D.Start({"A", "B", "C"}, true);
  D.Rename("A", "A2");
  D.SetBrowseBuffer(brModified);
  EXPECT_EQ(D.RecordCount(), 1);
  D.SetBrowseBuffer(brInserted); // leaving one derived view for another
  EXPECT_EQ(D.RecordCount(), 0);
  D.SetBrowseBuffer(brStandard);
  D.Rename("C", "C2");
  D.Rename("A2", "A");
  D.AppendRecord({"X", 1});
  D.SetBrowseBuffer(brModified);
  EXPECT_EQ(D.Stored(), Names{"C2"});
  EXPECT_EQ(D.Cur(), "C2");
  D.SetBrowseBuffer(brInserted);
  EXPECT_EQ(D.Stored(), Names{"X"});
}

TEST(BrowseViews, BookmarksAreKnownOnlyWhereTheRecordIsListed) {
  TEditProbe D;
  D.Start({"A", "B", "C"}, true);
  D.Rename("B", "B2");
  D.GoTo("A");
  const TBookmark Unmodified = D.GetBookmark();
  D.GoTo("B2");
  const TBookmark Modified = D.GetBookmark();

  D.SetBrowseBuffer(brModified);
  EXPECT_FALSE(D.BookmarkValid(Unmodified));
  try {
    D.GotoBookmark(Unmodified);
    ADD_FAILURE() << "no error for a record the view does not list";
  } catch (const EDatabaseError& E) {
    EXPECT_EQ(E.Message(), "Unknown bookmark");
  }
  EXPECT_EQ(D.Cur(), "B2");
  D.GotoBookmark(Modified);
  EXPECT_EQ(D.Cur(), "B2");

  D.SetBrowseBuffer(brold);
  EXPECT_TRUE(D.BookmarkValid(Unmodified));
  D.GotoBookmark(Modified);
  EXPECT_EQ(D.Cur(), "B");
  D.GotoBookmark(Unmodified);
  EXPECT_EQ(D.Cur(), "A");
}

TEST(BrowseViews, TheFilterAppliesOnlyToTheStandardView) {
  TEditProbe D;
  D.Start({"A", "B", "C"}, true);
  D.OnFilterRecord = [&](TDataSet* Data, bool& Accept) {
    Accept = Data->FieldByName("NAME")->AsString().front() != 'B';
  };
  D.SetFiltered(true);
  D.Rename("A", "B1");
  auto Visible = [&] {
    Names Result;
    for (D.First(); !D.Eof(); D.Next()) Result.push_back(D.Cur());
    return Result;
  };
  EXPECT_EQ(Visible(), Names{"C"});
  D.SetBrowseBuffer(brold);
  EXPECT_EQ(Visible(), (Names{"A", "B", "C"}));
  D.SetRecNo(2);
  EXPECT_EQ(D.Cur(), "B");
  D.SetBrowseBuffer(brModified);
  EXPECT_EQ(Visible(), Names{"B1"});
}

TEST(BrowseViews, OnlyTheStandardViewCanBeChanged) {
  TEditProbe D;
  D.Start({"A", "B"}, true);
  D.Rename("A", "A2");
  D.AppendRecord({"X", 1});
  D.Remove("B");
  for (TklvBrowseBuffer View : {brold, brModified, brInserted, brDeleted}) {
    SCOPED_TRACE(static_cast<int>(View));
    D.SetBrowseBuffer(View);
    D.First();
    EXPECT_FALSE(D.CanModify());
    EXPECT_THROW(D.Edit(), EDatabaseError);
    EXPECT_THROW(D.Delete(), EDatabaseError);
    EXPECT_THROW(D.Append(), EDatabaseError);
    EXPECT_THROW(D.AppendRecord({"Y", 1}), EDatabaseError);
    EXPECT_EQ(D.State(), dsBrowse);

    // Operations on the whole set, and loading, abort silently.
    EXPECT_THROW(D.ApplyUpdates(), EAbort);
    EXPECT_THROW(D.CommitUpdates(), EAbort);
    EXPECT_THROW(D.CancelUpdates(), EAbort);
    EXPECT_THROW(D.FetchMoreData(false), EAbort);
    EXPECT_THROW(D.FetchAll(), EAbort);
    EXPECT_THROW(D.AppendRaw(), EAbort);
    EXPECT_THROW(D.AppendRawRecord({"R", 1}), EAbort);
    EXPECT_FALSE(D.RawLoading());
    EXPECT_EQ(D.BrowseBuffer(), View);
  }
  D.SetBrowseBuffer(brStandard);
  EXPECT_TRUE(D.CanModify());
  EXPECT_EQ(D.UpdateCalls, 0);
  EXPECT_EQ(D.Stored(), (Names{"A2", "X"}));
  EXPECT_EQ(D.In(brDeleted), Names{"B"});
}

} // namespace
} // namespace kelva::edit_tests
