// TEventDataset: the load, per-record update and apply-updates events behind the dataset's
// three hooks, their switches, and the base class whose hooks are left unimplemented.
#include "EditingProbe.h"

namespace kelva::edit_tests {
namespace {

TEST(EventDataset, EveryOpenLoadsFirstRecordsWithoutReportingThem) {
  TEditProbe D;
  std::vector<TKlvLoadAction> Actions;
  std::vector<std::string> Order;
  D.Start({"A", "B", "C"}, false);
  D.OnLoad = [&, Load = D.OnLoad](TKelvaDataset* Data, TKlvLoadAction Action) {
    Actions.push_back(Action);
    Order.push_back("load");
    EXPECT_EQ(Data->State(), dsBrowse);
    Load(Data, Action);
  };
  D.AfterOpen = [&](TDataSet*) { Order.push_back("after open"); };
  D.Close();
  D.Open();
  D.Close();
  D.Open();
  EXPECT_EQ(Actions, (std::vector<TKlvLoadAction>{laFirst, laFirst}));
  EXPECT_EQ(Order, (Names{"load", "after open", "load", "after open"}));
  EXPECT_EQ(D.Stored(), (Names{"A", "B", "C"}));
  EXPECT_EQ(D.RecordCount(), 3);
  EXPECT_FALSE(D.UpDatesPending());
  EXPECT_EQ(D.UpdateRecCalls, 0);
}

TEST(EventDataset, FetchingMoreAsksTheLoadHandler) {
  TEditProbe D;
  D.Start({"A"}, false);
  std::vector<TKlvLoadAction> Actions;
  D.OnLoad = [&](TKelvaDataset* Data, TKlvLoadAction Action) {
    Actions.push_back(Action);
    Data->AppendRawRecord({"M", static_cast<int>(Action)});
  };
  D.FetchMoreData(false);
  D.FetchMoreData(true);
  D.FetchAll();
  EXPECT_EQ(Actions, (std::vector<TKlvLoadAction>{LaNext, LaAll, LaAll}));
  EXPECT_EQ(D.RecordCount(), 4);

  // An edit in progress is posted before more records arrive.
  D.GoTo("A");
  D.Edit();
  D.FieldByName("NAME")->SetAsString("A2");
  D.FetchMoreData(false);
  EXPECT_EQ(D.State(), dsBrowse);
  EXPECT_EQ(D.Stored().front(), "A2");

  D.SetCachedUpdates(true);
  D.Rename("A2", "A3");
  D.SetBrowseBuffer(brold);
  EXPECT_THROW(D.FetchAll(), EAbort);
  EXPECT_EQ(Actions.size(), 4u);
}

TEST(EventDataset, HandlersRunOnlyWhileSwitchedOn) {
  TEditProbe D;
  D.Start({"A", "B"}, false);
  D.FireOnLoad = D.FireOnUpdaterec = D.FireOnUpdate = false;
  int Loads = 0;
  D.OnLoad = [&](TKelvaDataset*, TKlvLoadAction) { ++Loads; };
  D.Close();
  D.Open();
  D.FetchAll();
  D.AppendRecord({"X", 1});
  D.Remove("X");
  D.SetCachedUpdates(true);
  D.AppendRecord({"Y", 1});
  D.ApplyUpdates();
  EXPECT_EQ(Loads, 0);
  EXPECT_EQ(D.UpdateRecCalls, 0);
  EXPECT_EQ(D.UpdateCalls, 0);

  D.FireOnUpdate = true;
  D.ApplyUpdates();
  EXPECT_EQ(D.UpdateCalls, 1);
}

TEST(EventDataset, UnassignedHandlersDoNothing) {
  TEventDataset D(nullptr);
  TStringList Lines;
  Lines.Add("FIELD=NAME,CHAR,10");
  D.SetKLVFields(Lines);
  D.Open();
  EXPECT_TRUE(D.IsEmpty());
  D.FetchMoreData(false);
  D.AppendRecord({"A"});
  D.AppendRecord({"B"});
  D.First();
  D.Delete();
  EXPECT_EQ(D.RecordCount(), 1);
  EXPECT_EQ(D.FieldByName("NAME")->AsString(), "B");

  D.SetCachedUpdates(true);
  D.AppendRecord({"C"});
  D.ApplyUpdates();
  EXPECT_TRUE(D.UpDatesPending());
}

// The base class leaves its hooks unimplemented, and every open calls the load hook.
TEST(EventDataset, OpeningTheBaseClassRaisesTheAbstractError) {
  TKelvaDataset Bare(nullptr);
  TStringList Lines;
  Lines.Add("FIELD=NAME,CHAR,10");
  Bare.SetKLVFields(Lines);
  EXPECT_THROW(Bare.Open(), EAbstractError);
}

} // namespace
} // namespace kelva::edit_tests
