// Dataset events together with what a data source reports (OnStateChange, OnDataChange,
// OnUpdateData), in order; DisableControls and temporary states, which keep the controls
// uninformed and catch them up afterwards.
#include "ProbeRig.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kelva {
namespace {

using Lines = std::vector<std::string>;

const char* StateName(TDataSetState State) {
  static const char* const Names[] = {"dsInactive", "dsBrowse",     "dsEdit",      "dsInsert",
                                      "dsSetKey",   "dsCalcFields", "dsFilter",    "dsNewValue",
                                      "dsOldValue", "dsCurValue",   "dsBlockRead", "dsInternalCalc",
                                      "dsOpening"};
  return Names[State];
}

// A rig whose log interleaves the dataset's events, the descendant's store calls and the data
// source's notifications.
class EventsTest : public testing::Test {
protected:
  EventsTest() {
    Probe.LogDataSetEvents();
    Rig.Source.OnStateChange = [this](TObject*) {
      Probe.Note(std::string("StateChange(") + StateName(Rig.Source.State()) + ")");
    };
    Rig.Source.OnDataChange = [this](TObject*, TField* Field) {
      Probe.Note("DataChange(" + (Field ? Field->FieldName() : std::string("null")) + ")");
    };
    Rig.Source.OnUpdateData = [this](TObject*) { Probe.Note("UpdateData"); };
  }

  Lines Story() const {
    return Probe.LogOf({"Before", "After", "OnNewRecord", "StateChange", "DataChange", "UpdateData",
                        "InternalOpen", "InternalClose", "InternalEdit", "InternalInsert",
                        "InternalCancel", "InternalPost", "InternalDelete", "SetFieldData"});
  }

  ProbeRig Rig{5, 10};
  ProbeDataSet& Probe = Rig.DataSet;
};

TEST_F(EventsTest, Open) {
  Probe.Open();
  EXPECT_EQ(Story(), (Lines{"BeforeOpen", "InternalOpen", "StateChange(dsBrowse)",
                            "DataChange(null)", "AfterOpen", "AfterScroll"}));
}

TEST_F(EventsTest, Close) {
  Probe.Open();
  Probe.ClearLog();
  Probe.Close();
  EXPECT_EQ(Story(),
            (Lines{"BeforeClose", "StateChange(dsInactive)", "InternalClose", "AfterClose"}));
}

TEST_F(EventsTest, Scroll) {
  Probe.Open();
  Probe.ClearLog();
  Probe.Next();
  EXPECT_EQ(Story(), (Lines{"BeforeScroll", "DataChange(null)", "AfterScroll"}));
}

TEST_F(EventsTest, EditAndPost) {
  Probe.Open();
  Probe.ClearLog();
  Probe.Edit();
  Probe.FieldByName("V")->SetAsInteger(1);
  Probe.Post();
  EXPECT_EQ(Story(),
            (Lines{"BeforeEdit", "InternalEdit@0", "StateChange(dsEdit)", "DataChange(null)",
                   "AfterEdit", "SetFieldData(V)", "DataChange(V)", "UpdateData", "BeforePost",
                   "InternalPost@0", "StateChange(dsBrowse)", "DataChange(null)", "AfterPost"}));
}

TEST_F(EventsTest, InsertAndCancel) {
  Probe.Open();
  Probe.ClearLog();
  Probe.Insert();
  Probe.Cancel();
  EXPECT_EQ(Story(),
            (Lines{"BeforeInsert", "BeforeScroll", "InternalInsert", "StateChange(dsInsert)",
                   "OnNewRecord", "DataChange(null)", "AfterInsert", "AfterScroll", "BeforeCancel",
                   "BeforeScroll", "InternalCancel", "StateChange(dsBrowse)", "DataChange(null)",
                   "AfterCancel", "AfterScroll"}));
}

TEST_F(EventsTest, AppendAndPost) {
  Probe.Open();
  Probe.ClearLog();
  Probe.Append();
  Probe.FieldByName("V")->SetAsInteger(60);
  Probe.Post();
  EXPECT_EQ(Story(),
            (Lines{"BeforeInsert", "BeforeScroll", "InternalInsert", "StateChange(dsInsert)",
                   "OnNewRecord", "DataChange(null)", "AfterInsert", "AfterScroll",
                   "SetFieldData(V)", "DataChange(V)", "UpdateData", "BeforePost", "InternalPost@5",
                   "StateChange(dsBrowse)", "DataChange(null)", "AfterPost"}));
}

TEST_F(EventsTest, AppendRecord) {
  Probe.Open();
  Probe.ClearLog();
  Probe.AppendRecord({60});
  EXPECT_EQ(Story(),
            (Lines{"BeforeInsert", "BeforeScroll", "InternalInsert", "StateChange(dsInsert)",
                   "OnNewRecord", "DataChange(null)", "AfterInsert", "AfterScroll",
                   "SetFieldData(V)", "DataChange(V)", "UpdateData", "BeforePost",
                   "StateChange(dsBrowse)", "DataChange(null)", "AfterPost"}));
  EXPECT_EQ(Probe.LogOf({"InternalAddRecord"}), Lines{"InternalAddRecord@5(append)"});
}

TEST_F(EventsTest, EditAndCancel) {
  Probe.Open();
  Probe.Edit();
  Probe.ClearLog();
  Probe.Cancel();
  EXPECT_EQ(Story(), (Lines{"BeforeCancel", "InternalCancel", "StateChange(dsBrowse)",
                            "DataChange(null)", "AfterCancel"}));
}

TEST_F(EventsTest, Delete) {
  Probe.Open();
  Probe.ClearLog();
  Probe.Delete();
  EXPECT_EQ(Story(), (Lines{"BeforeDelete", "BeforeScroll", "InternalDelete@0", "DataChange(null)",
                            "AfterDelete", "AfterScroll"}));
}

TEST_F(EventsTest, ADisabledSourceReportsNothingUntilEnabledAgain) {
  Probe.Open();
  Probe.ClearLog();
  Rig.Source.SetEnabled(false);
  EXPECT_FALSE(Rig.Link.Active());
  Probe.Next();
  Probe.Edit();
  Probe.Cancel();
  Rig.Source.SetEnabled(true);
  EXPECT_EQ(Probe.LogOf({"StateChange", "DataChange"}),
            (Lines{"StateChange(dsInactive)", "StateChange(dsBrowse)", "DataChange(null)"}));
  EXPECT_TRUE(Rig.Link.Active());
  EXPECT_EQ(Rig.Link.ActiveRecord(), 1);
}

// ---- DisableControls ------------------------------------------------------------------------

TEST_F(EventsTest, ControlsLearnNothingWhileDisabledThenOneChange) {
  Probe.Open();
  Probe.ClearLog();
  Rig.Link.Calls.clear();

  Probe.DisableControls();
  EXPECT_TRUE(Probe.ControlsDisabled());
  Probe.Next();
  Probe.Next();
  Probe.Edit();
  Probe.FieldByName("V")->SetAsInteger(1);
  EXPECT_TRUE(Rig.Link.Calls.empty());
  EXPECT_TRUE(Probe.LogOf({"StateChange", "DataChange"}).empty());
  EXPECT_EQ(Probe.LogOf({"BeforeScroll"}).size(), 2u) << "dataset events still fire";
  EXPECT_TRUE(Probe.Modified()) << "the dataset side still follows field changes";
  EXPECT_FALSE(Rig.Link.Editing());

  Probe.EnableControls();
  EXPECT_FALSE(Probe.ControlsDisabled());
  EXPECT_EQ(Rig.Link.Calls, (Lines{"Editing", "DataSetChanged"}));
  EXPECT_EQ(Probe.LogOf({"StateChange", "DataChange"}),
            (Lines{"StateChange(dsEdit)", "DataChange(null)"}));
  EXPECT_EQ(Rig.Link.ActiveRecord(), 2);
}

TEST_F(EventsTest, OnlyTheOutermostEnableNotifies) {
  Probe.Open();
  Rig.Link.Calls.clear();
  Probe.DisableControls();
  Probe.DisableControls();
  Probe.Next();
  Probe.EnableControls();
  EXPECT_TRUE(Probe.ControlsDisabled());
  EXPECT_TRUE(Rig.Link.Calls.empty());
  Probe.EnableControls();
  EXPECT_EQ(Rig.Link.Calls, Lines{"DataSetChanged"}) << "no state change: no deUpdateState";
  Rig.Link.Calls.clear();
  Probe.EnableControls(); // one too many: ignored
  EXPECT_FALSE(Probe.ControlsDisabled());
  EXPECT_TRUE(Rig.Link.Calls.empty());
  Probe.DisableControls();
  EXPECT_TRUE(Probe.ControlsDisabled()) << "the extra enable did not drive the count below zero";
  Probe.EnableControls();
}

TEST_F(EventsTest, ALayoutChangeWhileDisabledIsReplayedAsSuch) {
  Probe.Open();
  Rig.Link.Calls.clear();
  Probe.DisableControls();
  Probe.DataEvent(deLayoutChange, 0);
  Probe.EnableControls();
  EXPECT_EQ(Rig.Link.Calls, Lines{"LayoutChanged"});

  Rig.Link.Calls.clear();
  Probe.DisableControls();
  Probe.EnableControls();
  EXPECT_EQ(Rig.Link.Calls, Lines{"DataSetChanged"}) << "the next disabling starts afresh";
}

TEST_F(EventsTest, ClosingWhileDisabledSendsOnlyTheStateChange) {
  Probe.Open();
  Rig.Link.Calls.clear();
  Probe.DisableControls();
  Probe.Close();
  EXPECT_TRUE(Rig.Link.Active()) << "the link has not been told yet";
  Probe.EnableControls();
  EXPECT_EQ(Rig.Link.Calls, Lines{"Inactive"});
}

TEST_F(EventsTest, OpeningWhileDisabledSendsOnlyTheStateChange) {
  Probe.DisableControls();
  Probe.Open();
  EXPECT_FALSE(Rig.Link.Active());
  Probe.EnableControls();
  EXPECT_EQ(Rig.Link.Calls, Lines{"Active"});
  EXPECT_TRUE(Rig.Link.Active());
  EXPECT_EQ(Probe.LogOf({"StateChange", "DataChange"}),
            (Lines{"StateChange(dsBrowse)", "DataChange(null)"}));
}

// ---- Temporary states -----------------------------------------------------------------------

TEST_F(EventsTest, TemporaryStatesAreInvisibleToControls) {
  Probe.Open();
  Probe.Edit();
  Probe.FieldByName("V")->SetAsInteger(3);
  Probe.ClearLog();
  Rig.Link.Calls.clear();

  const TDataSetState Old = Probe.SetTempState(dsFilter);
  EXPECT_EQ(Old, dsEdit);
  EXPECT_EQ(Probe.State(), dsFilter);
  EXPECT_TRUE(Probe.ControlsDisabled());
  EXPECT_TRUE(Probe.Modified()) << "a temporary state keeps Modified";
  const TDataSetState Inner = Probe.SetTempState(dsCalcFields);
  EXPECT_EQ(Inner, dsFilter) << "temporary states nest";
  Probe.RestoreState(Inner);
  EXPECT_EQ(Probe.State(), dsFilter);
  EXPECT_TRUE(Probe.ControlsDisabled());
  Probe.RestoreState(Old);

  EXPECT_EQ(Probe.State(), dsEdit);
  EXPECT_FALSE(Probe.ControlsDisabled());
  EXPECT_TRUE(Probe.Modified());
  EXPECT_TRUE(Rig.Link.Calls.empty());
  EXPECT_TRUE(Probe.LogOf({"StateChange", "DataChange"}).empty());
  EXPECT_EQ(Rig.Source.State(), dsEdit);
}

TEST_F(EventsTest, OldValueReadsTheStoredVersionInATemporaryState) {
  Probe.Open();
  Probe.Edit();
  TField* V = Probe.FieldByName("V");
  V->SetAsInteger(3);
  Rig.Link.Calls.clear();
  EXPECT_EQ(V->OldValue().AsInteger(), 10);
  EXPECT_EQ(V->AsInteger(), 3);
  EXPECT_EQ(Probe.State(), dsEdit);
  EXPECT_FALSE(Probe.ControlsDisabled());
  EXPECT_TRUE(Rig.Link.Calls.empty());
}

TEST_F(EventsTest, BlockReadKeepsControlsUninformed) {
  Probe.Open();
  Rig.Link.Calls.clear();
  Probe.SetBlockReadSize(10);
  EXPECT_EQ(Probe.State(), dsBlockRead);
  Rig.Link.Calls.clear();
  Probe.Next();
  Probe.Next();
  EXPECT_TRUE(Rig.Link.Calls.empty());
  EXPECT_EQ(Probe.FieldByName("V")->AsInteger(), 30);
  Probe.SetBlockReadSize(0);
  EXPECT_EQ(Probe.State(), dsBrowse);
  EXPECT_EQ(Rig.Link.ActiveRecord(), 2);
}

} // namespace
} // namespace kelva
