// Application handlers that change the dataset in the middle of an operation: a Before...
// handler that cancels, posts, closes or moves away ends the operation it interrupted, which
// then stores nothing twice and touches no other record; a calculated-fields handler cannot
// move the cursor or change the state at all.
#include "ProbeRig.h"

#include "kelva/framework/db/DBConsts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace kelva {
namespace {

using Ids = std::vector<std::int32_t>;

std::int32_t Count(const std::vector<std::string>& Log, const std::string& Line) {
  return static_cast<std::int32_t>(std::count(Log.begin(), Log.end(), Line));
}

class HandlerGuardTest : public testing::Test {
protected:
  void OpenWith(std::int32_t Records, std::int32_t RingSize = 10) {
    Rig = std::make_unique<ProbeRig>(Records, RingSize);
    Rig->DataSet.Open();
  }
  ProbeDataSet& Probe() { return Rig->DataSet; }
  TField* V() { return Rig->DataSet.FieldByName("V"); }

  std::unique_ptr<ProbeRig> Rig;
};

// ---- The pending record ---------------------------------------------------------------------

TEST_F(HandlerGuardTest, APostEndedByItsBeforePostHandlerStoresNothingOfItsOwn) {
  const std::vector<std::function<void(TDataSet&)>> Starts = {[](TDataSet& D) { D.Edit(); },
                                                              [](TDataSet& D) { D.Insert(); },
                                                              [](TDataSet& D) { D.Append(); }};
  for (std::size_t Start = 0; Start < Starts.size(); ++Start) {
    SCOPED_TRACE("start " + std::to_string(Start));
    // The handler cancels: nothing at all is stored.
    OpenWith(3);
    Probe().Next();
    Starts[Start](Probe());
    V()->SetAsInteger(99);
    Probe().BeforePost = [](TDataSet* D) { D->Cancel(); };
    EXPECT_THROW(Probe().Post(), EAbort);
    EXPECT_EQ(Probe().State(), dsBrowse);
    EXPECT_EQ(Probe().StoredValues(), (Ids{10, 20, 30}));
    EXPECT_RING_OK(Probe());

    // The handler posts once itself: the record is stored once.
    OpenWith(3);
    Probe().Next();
    Starts[Start](Probe());
    V()->SetAsInteger(99);
    bool Posted = false;
    Probe().BeforePost = [&Posted](TDataSet* D) {
      if (!std::exchange(Posted, true)) D->Post();
    };
    EXPECT_THROW(Probe().Post(), EAbort);
    const Ids Values = Probe().StoredValues();
    EXPECT_EQ(std::count(Values.begin(), Values.end(), 99), 1);
    EXPECT_EQ(Values.size(), Start == 0 ? 3U : 4U);
    EXPECT_RING_OK(Probe());

    // The handler closes the dataset.
    OpenWith(3);
    Starts[Start](Probe());
    Probe().BeforePost = [](TDataSet* D) { D->Close(); };
    EXPECT_THROW(Probe().Post(), EAbort);
    EXPECT_FALSE(Probe().Active());
    EXPECT_EQ(Probe().StoredIds(), (Ids{1, 2, 3}));
  }
}

TEST_F(HandlerGuardTest, AddingARecordInOneCallStopsWhenBeforePostCancelsIt) {
  OpenWith(3);
  Probe().BeforePost = [](TDataSet* D) { D->Cancel(); };
  EXPECT_THROW(Probe().AppendRecord({99}), EAbort);
  EXPECT_THROW(Probe().InsertRecord({98}), EAbort);
  EXPECT_EQ(Probe().StoredValues(), (Ids{10, 20, 30}));
  EXPECT_EQ(Probe().State(), dsBrowse);
  EXPECT_RING_OK(Probe());
}

TEST_F(HandlerGuardTest, AnErrorHandlerThatCancelsBeforeAskingForARetryEndsThePost) {
  OpenWith(3);
  Probe().Insert();
  V()->SetAsInteger(99);
  Probe().FailPost(1);
  Probe().OnPostError = [](TDataSet* D, EDatabaseError&, TDataAction& Action) {
    D->Cancel();
    Action = daRetry;
  };
  EXPECT_THROW(Probe().Post(), EAbort);
  EXPECT_EQ(Probe().StoredValues(), (Ids{10, 20, 30}));
  EXPECT_RING_OK(Probe());
}

TEST_F(HandlerGuardTest, ACancelEndedByItsBeforeCancelHandlerGoesNoFurther) {
  OpenWith(3);
  Probe().Edit();
  V()->SetAsInteger(99);
  bool Posted = false;
  Probe().BeforeCancel = [&Posted](TDataSet* D) {
    if (!std::exchange(Posted, true)) D->Post();
  };
  Probe().ClearLog();
  EXPECT_THROW(Probe().Cancel(), EAbort);
  EXPECT_EQ(Probe().StoredValues(), (Ids{99, 20, 30}));
  EXPECT_EQ(Count(Probe().Log(), "InternalCancel"), 0);
  EXPECT_RING_OK(Probe());

  // Closing from the handler leaves the dataset closed, not browsing a closed cursor.
  Probe().Insert();
  Probe().BeforeCancel = [](TDataSet* D) { D->Close(); };
  EXPECT_THROW(Probe().Cancel(), EAbort);
  EXPECT_FALSE(Probe().Active());
  EXPECT_EQ(Probe().State(), dsInactive);
}

// ---- The record an operation acts on ------------------------------------------------------

TEST_F(HandlerGuardTest, DeleteAndEditActOnlyOnTheRecordTheyWereCalledOn) {
  OpenWith(3);
  Probe().BeforeDelete = [](TDataSet* D) { D->Next(); };
  EXPECT_THROW(Probe().Delete(), EAbort);
  EXPECT_EQ(Probe().StoredIds(), (Ids{1, 2, 3})) << "record 2 must not be deleted instead";
  EXPECT_EQ(Probe().ActiveId(), 2);

  Probe().BeforeDelete = nullptr;
  Probe().BeforeEdit = [](TDataSet* D) { D->Next(); };
  EXPECT_THROW(Probe().Edit(), EAbort);
  EXPECT_EQ(Probe().State(), dsBrowse);
  EXPECT_EQ(Probe().ActiveId(), 3);
  EXPECT_RING_OK(Probe());

  // A delete discards a pending edit anyway: a handler that settles it first changes nothing.
  Probe().BeforeEdit = nullptr;
  Probe().First();
  Probe().Edit();
  V()->SetAsInteger(99);
  Probe().BeforeDelete = [](TDataSet* D) { D->Cancel(); };
  Probe().Delete();
  EXPECT_EQ(Probe().StoredIds(), (Ids{2, 3}));
  EXPECT_RING_OK(Probe());

  // Closing from the delete's scroll event ends the delete.
  Probe().BeforeDelete = nullptr;
  Probe().BeforeScroll = [](TDataSet* D) { D->Close(); };
  EXPECT_THROW(Probe().Delete(), EAbort);
  EXPECT_FALSE(Probe().Active());
  EXPECT_EQ(Probe().StoredIds(), (Ids{2, 3}));
}

TEST_F(HandlerGuardTest, InsertingAndScrollingStopWhenAHandlerClosesOrStartsAnEdit) {
  OpenWith(3);
  Probe().BeforeInsert = [](TDataSet* D) { D->Close(); };
  EXPECT_THROW(Probe().Insert(), EAbort);
  EXPECT_FALSE(Probe().Active());

  Probe().BeforeInsert = nullptr;
  const std::vector<std::function<void(TDataSet&)>> Scrolls = {
      [](TDataSet& D) { D.Next(); },   [](TDataSet& D) { D.Prior(); },
      [](TDataSet& D) { D.First(); },  [](TDataSet& D) { D.Last(); },
      [](TDataSet& D) { D.Append(); }, [](TDataSet& D) { D.GotoBookmark(TBookmark(4, 0)); }};
  for (std::size_t Scroll = 0; Scroll < Scrolls.size(); ++Scroll) {
    SCOPED_TRACE("scroll " + std::to_string(Scroll));
    Probe().BeforeScroll = nullptr;
    Probe().Open();
    Probe().Next();
    Probe().BeforeScroll = [](TDataSet* D) { D->Close(); };
    EXPECT_THROW(Scrolls[Scroll](Probe()), EAbort);
    EXPECT_FALSE(Probe().Active());
  }

  // The edit a scroll handler starts stays on its record: the scroll does not carry it away.
  Probe().BeforeScroll = nullptr;
  Probe().Open();
  Probe().Next();
  bool Edited = false;
  Probe().BeforeScroll = [&Edited](TDataSet* D) {
    if (!std::exchange(Edited, true)) D->Edit();
  };
  EXPECT_THROW(Probe().First(), EAbort);
  EXPECT_EQ(Probe().State(), dsEdit);
  EXPECT_EQ(Probe().ActiveId(), 2);
  EXPECT_RING_OK(Probe());
}

TEST_F(HandlerGuardTest, OpeningOrClosingFromItsOwnBeforeHandlerHappensOnce) {
  ProbeRig Local(3, 10);
  ProbeDataSet& D = Local.DataSet;
  bool Nested = false;
  D.BeforeOpen = [&Nested](TDataSet* Self) {
    if (!std::exchange(Nested, true)) Self->Open();
  };
  D.Open();
  EXPECT_TRUE(D.Active());
  EXPECT_EQ(Count(D.Log(), "InternalOpen"), 1);
  EXPECT_RING_OK(D);

  Nested = false;
  std::int32_t AfterClose = 0;
  D.AfterClose = [&AfterClose](TDataSet*) { ++AfterClose; };
  D.BeforeClose = [&Nested](TDataSet* Self) {
    if (!std::exchange(Nested, true)) Self->Close();
  };
  D.Close();
  EXPECT_FALSE(D.Active());
  EXPECT_EQ(Count(D.Log(), "InternalClose"), 1);
  EXPECT_EQ(AfterClose, 1);
}

// ---- Calculated-field handlers ---------------------------------------------------------------

TEST_F(HandlerGuardTest, ACalculatedFieldHandlerCannotMoveOrChangeTheDataset) {
  const std::vector<std::pair<std::string, std::function<void(ProbeDataSet&)>>> Operations = {
      {"Close", [](ProbeDataSet& D) { D.Close(); }},
      {"First", [](ProbeDataSet& D) { D.First(); }},
      {"Next", [](ProbeDataSet& D) { D.Next(); }},
      {"GotoBookmark", [](ProbeDataSet& D) { D.GotoBookmark(TBookmark(4, 1)); }},
      {"Edit", [](ProbeDataSet& D) { D.Edit(); }},
      {"Append", [](ProbeDataSet& D) { D.Append(); }},
      {"Post", [](ProbeDataSet& D) { D.Post(); }},
      {"Cancel", [](ProbeDataSet& D) { D.Cancel(); }},
      {"Delete", [](ProbeDataSet& D) { D.Delete(); }},
      {"Refresh", [](ProbeDataSet& D) { D.Refresh(); }},
      {"Resync", [](ProbeDataSet& D) { D.Resync({}); }},
      {"UpdateCursorPos", [](ProbeDataSet& D) { D.UpdateCursorPos(); }},
      {"SetBlockReadSize", [](ProbeDataSet& D) { D.SetBlockReadSize(10); }},
  };
  for (const auto& Entry : Operations) {
    SCOPED_TRACE(Entry.first);
    const std::function<void(ProbeDataSet&)>& Operation = Entry.second;
    ProbeRig Local(25, 10);
    ProbeDataSet& D = Local.DataSet;
    auto* Data = new TIntegerField(&D);
    Data->SetFieldName("V");
    Data->SetDataSet(&D);
    auto* Calc = new TIntegerField(&D);
    Calc->SetFieldName("C");
    Calc->SetFieldKind(fkCalculated);
    Calc->SetDataSet(&D);
    bool Armed = false;
    std::string Refusal;
    D.OnCalcFields = [&](TDataSet*) {
      if (!std::exchange(Armed, false)) return;
      try {
        Operation(D);
      } catch (const EDatabaseError& E) {
        Refusal = E.Message();
      }
    };
    D.Open();
    D.MoveBy(9); // the next step fetches a record, which calculates its fields
    Armed = true;
    D.Next();
    EXPECT_EQ(Refusal, "Cannot perform this operation while the dataset is calculating fields");
    EXPECT_EQ(D.State(), dsBrowse);
    EXPECT_EQ(D.ActiveId(), 11);
    EXPECT_EQ(D.StoredIds().size(), 25U);
    EXPECT_RING_OK(D);
  }
}

} // namespace
} // namespace kelva
