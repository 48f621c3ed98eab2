// Application handlers that act on the dataset while one of its operations is under way: a
// post ended by its BeforePost handler, a control or the update hook stores nothing twice
// and touches no other record, in both regimes and during a raw load; filter and
// calculated-field handlers may read fields but cannot move the cursor or change the state.
#include "OrderingSupport.h"

#include "kelva/framework/rtl/Streams.h"

#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace kelva {
namespace {

using namespace ordering_test;
using Names = std::vector<std::string>;

constexpr const char* WhileFiltering =
    "Cannot perform this operation while the dataset is filtering records";
constexpr const char* WhileCalculating =
    "Cannot perform this operation while the dataset is calculating fields";

void OpenAges(TEventDataset& D) {
  OpenWith(D, {"FIELD=NAME,CHAR,10", "FIELD=AGE,INTEGER,0"},
           {{"ONE", 1}, {"TWO", 2}, {"THREE", 3}, {"FOUR", 4}});
}

// A control that, once armed, cancels the pending record when the dataset asks controls to
// settle their edits.
class CancellingLink : public TDataLink {
public:
  bool Armed = false;

protected:
  void CheckBrowseMode() override {
    if (std::exchange(Armed, false)) DataSet()->Cancel();
  }
};

// ---- Posting -------------------------------------------------------------------------------

TEST(HandlerReentry, APostCancelledByBeforePostStoresNoCopyInEitherRegime) {
  for (const bool Cached : {false, true}) {
    SCOPED_TRACE(Cached ? "cached updates" : "write-through");
    TListedDataset D(nullptr);
    D.SetCachedUpdates(Cached);
    OpenAges(D);
    std::vector<TUpdateStatus> Reported;
    D.OnUpdaterec = [&Reported](TKelvaDataset*, TUpdateStatus Action) {
      Reported.push_back(Action);
    };
    D.BeforePost = [](TDataSet* Self) { Self->Cancel(); };
    D.Next();
    D.Edit();
    D.FieldByName("AGE")->SetAsInteger(20);
    EXPECT_THROW(D.Post(), EAbort);
    D.Insert();
    D.FieldByName("NAME")->SetAsString("NEW");
    EXPECT_THROW(D.Post(), EAbort);
    EXPECT_THROW(D.AppendRecord({"LAST", 5}), EAbort);
    EXPECT_EQ(D.State(), dsBrowse);
    EXPECT_TRUE(Reported.empty()) << "nothing is reported to the update hook";
    EXPECT_FALSE(D.UpDatesPending());
    D.BeforePost = nullptr;
    EXPECT_EQ(Column(D, "NAME"), (Names{"ONE", "TWO", "THREE", "FOUR"}));
    EXPECT_EQ(Column(D, "AGE"), (Names{"1", "2", "3", "4"}));
  }
}

TEST(HandlerReentry, AnUpdateHandlerThatCancelsOrMovesChangesNothingStored) {
  TListedDataset D(nullptr);
  // A grid of four rows: the ring holds several records, so the store's cursor is not
  // necessarily where the interrupted post left it.
  TDataSource Source(nullptr);
  TDataLink Grid;
  Grid.SetBufferCount(4);
  Source.SetDataSet(&D);
  Grid.SetDataSource(&Source);
  OpenAges(D);

  // Editing and inserting: the handler cancels the record being posted.
  D.OnUpdaterec = [](TKelvaDataset* Self, TUpdateStatus) { Self->Cancel(); };
  D.MoveBy(2);
  D.Edit();
  D.FieldByName("AGE")->SetAsInteger(30);
  EXPECT_THROW(D.Post(), EAbort);
  D.Insert();
  D.FieldByName("NAME")->SetAsString("NEW");
  EXPECT_THROW(D.Post(), EAbort);

  // Deleting, without the grid: the handler steps the store's cursor onto the next record,
  // which must survive.
  Grid.SetDataSource(nullptr);
  D.OnUpdaterec = [](TKelvaDataset* Self, TUpdateStatus) { Self->Next(); };
  D.First();
  EXPECT_THROW(D.Delete(), EAbort);

  D.OnUpdaterec = nullptr;
  EXPECT_EQ(Column(D, "NAME"), (Names{"ONE", "TWO", "THREE", "FOUR"}));
  EXPECT_EQ(Column(D, "AGE"), (Names{"1", "2", "3", "4"}));
}

TEST(HandlerReentry, ARawPostEndedFromOutsideStoresNothingAndEndsTheRawLoad) {
  TListedDataset D(nullptr);
  OpenAges(D);
  // Quiet raw load: a control cancels the record as the post asks controls to settle.
  TDataSource Source(nullptr);
  CancellingLink Control;
  Source.SetDataSet(&D);
  Control.SetDataSource(&Source);
  D.AppendRaw();
  D.FieldByName("NAME")->SetAsString("RAW");
  Control.Armed = true;
  EXPECT_THROW(D.PostRaw(), EAbort);
  EXPECT_FALSE(D.RawLoading());
  EXPECT_EQ(D.State(), dsBrowse);
  Control.SetDataSource(nullptr);

  // Raw load with the standard events: BeforePost cancels.
  D.SetRawLoadFireStdEvents(true);
  D.BeforePost = [](TDataSet* Self) { Self->Cancel(); };
  D.AppendRaw();
  D.FieldByName("NAME")->SetAsString("RAW");
  EXPECT_THROW(D.PostRaw(), EAbort);
  EXPECT_FALSE(D.RawLoading()) << "a read-only dataset must not stay writable";
  D.BeforePost = nullptr;

  // BeforeCancel posts the raw record instead: the cancel ends, and the raw load with it.
  bool Posted = false;
  D.BeforeCancel = [&Posted](TDataSet* Self) {
    if (!std::exchange(Posted, true)) Self->Post();
  };
  D.AppendRaw();
  D.FieldByName("NAME")->SetAsString("FIVE");
  EXPECT_THROW(D.CancelRaw(), EAbort);
  EXPECT_FALSE(D.RawLoading());
  D.BeforeCancel = nullptr;
  EXPECT_EQ(Column(D, "NAME"), (Names{"ONE", "TWO", "THREE", "FOUR", "FIVE"}));
}

TEST(HandlerReentry, AFilterHandlerCannotDisturbARawInsertBeingPosted) {
  TEventDataset D(nullptr);
  OpenAges(D);
  TReportedErrors Reported;
  std::vector<TUpdateStatus> Hooked;
  D.OnUpdaterec = [&Hooked](TKelvaDataset*, TUpdateStatus Action) { Hooked.push_back(Action); };
  bool Armed = false;
  D.OnFilterRecord = [&Armed](TDataSet* Self, bool&) {
    if (std::exchange(Armed, false)) static_cast<TKelvaDataset*>(Self)->AppendRaw();
  };
  D.SetFiltered(true);
  D.Next();
  D.InsertRaw();
  D.FieldByName("NAME")->SetAsString("RAW");
  Armed = true; // the post tests the record the new one goes before
  D.PostRaw();
  EXPECT_EQ(Reported.Messages, (Names{WhileFiltering}));
  EXPECT_TRUE(Hooked.empty()) << "a raw record bypasses the update hook";
  EXPECT_FALSE(D.RawLoading());
  EXPECT_EQ(Column(D, "NAME"), (Names{"ONE", "RAW", "TWO", "THREE", "FOUR"}));
}

TEST(HandlerReentry, TheDatasetsOwnScrollsStopWhenBeforeScrollClosesOrStartsAnEdit) {
  const std::vector<std::pair<std::string, std::function<void(TEventDataset&)>>> Scrolls = {
      {"SetRecNo", [](TEventDataset& D) { D.SetRecNo(3); }},
      {"FindFirst", [](TEventDataset& D) { D.FindFirst(); }},
      {"FindLast", [](TEventDataset& D) { D.FindLast(); }}};
  for (const auto& Scroll : Scrolls) {
    SCOPED_TRACE(Scroll.first);
    TEventDataset D(nullptr);
    OpenAges(D);
    D.BeforeScroll = [](TDataSet* Self) { Self->Close(); };
    EXPECT_THROW(Scroll.second(D), EAbort);
    EXPECT_FALSE(D.Active());

    // The edit a handler starts keeps its record and the value written into it.
    D.BeforeScroll = nullptr;
    D.Open();
    D.First();
    bool Edited = false;
    D.BeforeScroll = [&Edited](TDataSet* Self) {
      if (std::exchange(Edited, true)) return;
      Self->Edit();
      Self->FieldByName("AGE")->SetAsInteger(10);
    };
    EXPECT_THROW(Scroll.second(D), EAbort);
    EXPECT_EQ(D.State(), dsEdit);
    EXPECT_EQ(D.FieldByName("NAME")->AsString(), "ONE");
    EXPECT_EQ(D.FieldByName("AGE")->AsInteger(), 10);
    D.Post();
    EXPECT_EQ(Column(D, "AGE"), (Names{"10", "2", "3", "4"}));
  }
}

// ---- Filter handlers -----------------------------------------------------------------------

TEST(HandlerReentry, AFilterHandlerCannotMoveOrChangeTheDatasetAndTheViewStaysRight) {
  using Operation = std::function<void(TEventDataset&)>;
  const std::vector<std::tuple<std::string, Operation, std::string>> Operations = {
      {"Close", [](TEventDataset& D) { D.Close(); }, WhileFiltering},
      {"SetActive", [](TEventDataset& D) { D.SetActive(false); }, WhileFiltering},
      {"First", [](TEventDataset& D) { D.First(); }, WhileFiltering},
      {"Last", [](TEventDataset& D) { D.Last(); }, WhileFiltering},
      {"Next", [](TEventDataset& D) { D.Next(); }, WhileFiltering},
      {"Prior", [](TEventDataset& D) { D.Prior(); }, WhileFiltering},
      {"MoveBy", [](TEventDataset& D) { D.MoveBy(2); }, WhileFiltering},
      {"SetRecNo", [](TEventDataset& D) { D.SetRecNo(3); }, WhileFiltering},
      {"GotoBookmark",
       [](TEventDataset& D) {
         D.GotoBookmark(TBookmark{1, 0, 0, 0});
       },
       WhileFiltering},
      {"BookmarkValid",
       [](TEventDataset& D) {
         D.BookmarkValid(TBookmark{1, 0, 0, 0});
       },
       WhileFiltering},
      {"Locate", [](TEventDataset& D) { D.Locate("AGE", 4, {}); }, WhileFiltering},
      {"Lookup", [](TEventDataset& D) { D.Lookup("AGE", 4, "NAME"); }, WhileFiltering},
      {"FindFirst", [](TEventDataset& D) { D.FindFirst(); }, WhileFiltering},
      {"Edit", [](TEventDataset& D) { D.Edit(); }, WhileFiltering},
      {"Insert", [](TEventDataset& D) { D.Insert(); }, WhileFiltering},
      {"Append", [](TEventDataset& D) { D.Append(); }, WhileFiltering},
      {"AppendRecord",
       [](TEventDataset& D) {
         D.AppendRecord({"X", 9});
       },
       WhileFiltering},
      {"AppendRawRecord",
       [](TEventDataset& D) {
         D.AppendRawRecord({"X", 9});
       },
       WhileFiltering},
      {"AppendRaw", [](TEventDataset& D) { D.AppendRaw(); }, WhileFiltering},
      {"Post", [](TEventDataset& D) { D.Post(); }, WhileFiltering},
      {"Cancel", [](TEventDataset& D) { D.Cancel(); }, WhileFiltering},
      {"Delete", [](TEventDataset& D) { D.Delete(); }, WhileFiltering},
      {"SortOn", [](TEventDataset& D) { D.SortOn("AGE", false, true); }, WhileFiltering},
      {"SetFiltered", [](TEventDataset& D) { D.SetFiltered(false); }, WhileFiltering},
      {"Refresh", [](TEventDataset& D) { D.Refresh(); }, WhileFiltering},
      {"SetBrowseBuffer", [](TEventDataset& D) { D.SetBrowseBuffer(brold); }, WhileFiltering},
      {"CommitRecord", [](TEventDataset& D) { D.CommitRecord(); }, WhileFiltering},
      {"RevertRecord", [](TEventDataset& D) { D.RevertRecord(); }, WhileFiltering},
      {"CommitUpdates", [](TEventDataset& D) { D.CommitUpdates(); }, WhileFiltering},
      {"CancelUpdates", [](TEventDataset& D) { D.CancelUpdates(); }, WhileFiltering},
      {"SetCachedUpdates", [](TEventDataset& D) { D.SetCachedUpdates(false); }, WhileFiltering},
      {"FetchAll", [](TEventDataset& D) { D.FetchAll(); }, WhileFiltering},
      {"SetKLVFields", [](TEventDataset& D) { D.SetKLVFields(Lines({"FIELD=X,CHAR,1"})); },
       WhileFiltering},
      {"LoadFromStream",
       [](TEventDataset& D) {
         TStringStream In;
         D.LoadFromStream(In);
       },
       SDataSetOpen},
  };
  for (const auto& [Name, Act, Message] : Operations) {
    SCOPED_TRACE(Name);
    TEventDataset D(nullptr);
    D.SetCachedUpdates(true);
    OpenAges(D);
    // A pending change, so that the cached-update operations have something to act on.
    D.Last();
    D.Edit();
    D.FieldByName("AGE")->SetAsInteger(40);
    D.Post();
    TReportedErrors Reported;
    bool Armed = true;
    D.OnFilterRecord = [&, Act = Act](TDataSet* Self, bool& Accept) {
      Accept = Self->FieldByName("AGE")->AsInteger() != 2; // reading stays allowed
      if (std::exchange(Armed, false)) Act(D);
    };
    D.SetFiltered(true);
    EXPECT_EQ(Reported.Messages, (Names{Message}));
    EXPECT_EQ(D.State(), dsBrowse);
    EXPECT_EQ(D.RecordCount(), 4);
    EXPECT_EQ(Column(D, "NAME"), (Names{"ONE", "THREE", "FOUR"}));
    EXPECT_EQ(Column(D, "AGE"), (Names{"1", "3", "40"}));
    EXPECT_TRUE(D.UpDatesPending());
  }
}

TEST(HandlerReentry, AnUnconditionalLocateInTheFilterHandlerIsRefusedEveryTime) {
  TEventDataset D(nullptr);
  OpenAges(D);
  TReportedErrors Reported;
  D.OnFilterRecord = [](TDataSet* Self, bool& Accept) {
    Accept = Self->FieldByName("AGE")->AsInteger() != 2;
    Self->Locate("AGE", 4, {});
  };
  D.SetFiltered(true);
  EXPECT_EQ(Column(D, "NAME"), (Names{"ONE", "THREE", "FOUR"}));
  ASSERT_FALSE(Reported.Messages.empty());
  for (const std::string& Message : Reported.Messages) EXPECT_EQ(Message, WhileFiltering);
}

TEST(HandlerReentry, AnExceptionReporterThatRethrowsLeavesTheDatasetBrowsing) {
  TEventDataset D(nullptr);
  OpenAges(D);
  const TExceptionEvent Saved = Application->OnException;
  Application->OnException = [](TObject*, const Exception& E) {
    throw EDatabaseError(E.Message());
  };
  D.OnFilterRecord = [](TDataSet*, bool&) { DatabaseError("filter failed"); };
  EXPECT_THROW(D.SetFiltered(true), EDatabaseError);
  Application->OnException = Saved;
  EXPECT_EQ(D.State(), dsBrowse);
  EXPECT_FALSE(D.ControlsDisabled());
  D.OnFilterRecord = nullptr;
  EXPECT_EQ(Column(D, "NAME"), (Names{"ONE", "TWO", "THREE", "FOUR"}));
}

// ---- Calculated-field handlers ---------------------------------------------------------------

TEST(HandlerReentry, ACalculatedFieldHandlerCannotSearchOrMoveItsOwnDataset) {
  TEventDataset D(nullptr);
  AddTwiceField(D);
  Fill(D, {"FIELD=NAME,CHAR,10", "FIELD=AGE,INTEGER,0"}, {{"ONE", 1}, {"TWO", 2}, {"THREE", 3}});
  const TDataSetNotifyEvent Twice = D.OnCalcFields;
  Names Refusals;
  bool Armed = false;
  D.OnCalcFields = [&](TDataSet* Self) {
    Twice(Self);
    if (!Armed) return;
    for (const auto& Act : std::vector<std::function<void()>>{
             [&] { Self->Lookup("AGE", 1, "NAME"); }, [&] { Self->Locate("AGE", 1, {}); },
             [&] { Self->Close(); }, [&] { Self->Next(); }}) {
      try {
        Act();
      } catch (const EDatabaseError& E) {
        Refusals.push_back(E.Message());
      }
    }
  };
  D.Open();
  Armed = true;
  EXPECT_EQ(Column(D, "NAME"), (Names{"ONE", "TWO", "THREE"}));
  Armed = false;
  EXPECT_EQ(Column(D, "TWICE"), (Names{"2", "4", "6"}));
  ASSERT_FALSE(Refusals.empty());
  for (const std::string& Message : Refusals) EXPECT_EQ(Message, WhileCalculating);
  EXPECT_EQ(D.State(), dsBrowse);
}

} // namespace
} // namespace kelva
