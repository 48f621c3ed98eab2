// Calculated and lookup fields: their place in the calculated-field area, OnCalcFields for
// every fetched record and every change of a data field, and lookups against a second
// dataset, including their refusals when the lookup description is incomplete or circular.
#include "ProbeRig.h"

#include "kelva/framework/db/DBConsts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kelva {
namespace {

// A probe with persistent fields V (data) and C (calculated, twice V) and, when asked, L: a
// lookup of V in a second probe that holds the values 10 and 30.
class CalcFieldsTest : public testing::Test {
protected:
  CalcFieldsTest() {
    Lookups.SetValues({10, 30});
    V = AddField("V", fkData);
    C = AddField("C", fkCalculated);
    Probe.OnCalcFields = [this](TDataSet* DataSet) {
      ++Calculations;
      EXPECT_EQ(DataSet->State(), dsCalcFields);
      EXPECT_TRUE(DataSet->ControlsDisabled());
      if (!V->IsNull()) C->SetAsInteger(V->AsInteger() * 2);
    };
  }

  TIntegerField* AddField(const std::string& Name, TFieldKind Kind) {
    auto* Field = new TIntegerField(&Probe); // owned by the dataset, as a form would own it
    Field->SetFieldName(Name);
    Field->SetFieldKind(Kind);
    Field->SetDataSet(&Probe);
    return Field;
  }

  TIntegerField* AddLookup() {
    TIntegerField* L = AddField("L", fkLookup);
    L->SetLookupDataSet(&Lookups);
    L->SetKeyFields("V");
    L->SetLookupKeyFields("V");
    L->SetLookupResultField("V");
    return L;
  }

  std::string OpenError() {
    try {
      Probe.Open();
    } catch (const EDatabaseError& E) {
      return E.Message();
    }
    return "(opened)";
  }

  ProbeDataSet Lookups;
  ProbeRig Rig{3, 10};
  ProbeDataSet& Probe = Rig.DataSet;
  TIntegerField* V = nullptr;
  TIntegerField* C = nullptr;
  std::int32_t Calculations = 0;
};

TEST_F(CalcFieldsTest, BindingPlacesCalculatedFieldsInTheCalculatedArea) {
  TIntegerField* L = AddLookup();
  Probe.Open();
  EXPECT_FALSE(Probe.DefaultFields());
  EXPECT_EQ(Probe.FieldCount(), 3);
  EXPECT_EQ(V->FieldNo(), 1);
  EXPECT_EQ(C->FieldNo(), -1);
  EXPECT_EQ(L->FieldNo(), -1);
  EXPECT_EQ(C->Offset(), 0);
  EXPECT_EQ(L->Offset(), 5) << "four bytes of value and a presence byte before it";
  EXPECT_EQ(Probe.CalcFieldsSize(), 10);
  Probe.Close();
  EXPECT_EQ(V->FieldNo(), 0);
  EXPECT_EQ(C->FieldNo(), 0);
  EXPECT_EQ(Probe.FieldCount(), 3) << "persistent fields survive closing";
}

TEST_F(CalcFieldsTest, EveryFetchedRecordIsCalculated) {
  Probe.Open();
  EXPECT_EQ(Calculations, 3);
  EXPECT_EQ(C->AsInteger(), 20);
  Probe.Next();
  EXPECT_EQ(C->AsInteger(), 40);
  Probe.Next();
  EXPECT_EQ(C->AsInteger(), 60);
  EXPECT_EQ(Calculations, 3) << "moving inside the ring fetches nothing";
  EXPECT_EQ(Probe.State(), dsBrowse);
  EXPECT_RING_OK(Probe);
}

TEST_F(CalcFieldsTest, AOneSlotRingCalculatesOnEveryMove) {
  Rig.Link.SetBufferCount(1);
  Probe.Open();
  Probe.Next();
  Probe.Next();
  EXPECT_EQ(Calculations, 3);
  EXPECT_EQ(C->AsInteger(), 60);
}

TEST_F(CalcFieldsTest, AChangedDataFieldIsRecalculatedAtOnce) {
  Probe.Open();
  Calculations = 0;
  Probe.Edit();
  EXPECT_EQ(Calculations, 1) << "Edit calculates the active record";
  V->SetAsInteger(7);
  EXPECT_EQ(Calculations, 2);
  EXPECT_EQ(C->AsInteger(), 14);
  EXPECT_EQ(Probe.State(), dsEdit);
  EXPECT_TRUE(Probe.Modified());
  Probe.Post();
  EXPECT_EQ(C->AsInteger(), 14);
  EXPECT_EQ(Probe.StoredValues(), (std::vector<std::int32_t>{7, 20, 30}));
}

TEST_F(CalcFieldsTest, NoRecalculationWhenAutoCalcFieldsIsOff) {
  Probe.Open();
  Probe.SetAutoCalcFields(false);
  Probe.Edit();
  Calculations = 0;
  V->SetAsInteger(7);
  EXPECT_EQ(Calculations, 0);
  EXPECT_EQ(C->AsInteger(), 20);
}

TEST_F(CalcFieldsTest, WritingACalculatedFieldIsAChangeButNotAModification) {
  Probe.Open();
  Probe.Edit();
  Calculations = 0;
  Rig.Link.Calls.clear();
  C->SetAsInteger(99);
  EXPECT_EQ(C->AsInteger(), 99);
  EXPECT_EQ(Calculations, 0) << "only data fields trigger a recalculation";
  EXPECT_FALSE(Probe.Modified());
  EXPECT_EQ(Rig.Link.Calls, std::vector<std::string>{"RecordChanged(C)"});
}

TEST_F(CalcFieldsTest, ANullDataValueLeavesTheCalculatedFieldNull) {
  Probe.Open();
  Probe.Append();
  EXPECT_TRUE(V->IsNull());
  EXPECT_TRUE(C->IsNull());
  V->SetAsInteger(4);
  EXPECT_EQ(C->AsInteger(), 8);
  V->Clear();
  EXPECT_TRUE(C->IsNull()) << "the area is cleared before every calculation";
}

TEST_F(CalcFieldsTest, NothingIsCalculatedInTheInternalCalcState) {
  Probe.Open();
  Calculations = 0;
  const TDataSetState Old = Probe.SetTempState(dsInternalCalc);
  Probe.CalculateFields(Probe.ActiveBuffer());
  Probe.RestoreState(Old);
  EXPECT_EQ(Calculations, 0);
  EXPECT_EQ(Probe.CalcBuffer(), Probe.ActiveBuffer());
}

// ---- Lookup fields ----------------------------------------------------------------------------

TEST_F(CalcFieldsTest, LookupValuesAndNulls) {
  TIntegerField* L = AddLookup();
  Probe.Open();
  EXPECT_TRUE(Lookups.Active()) << "binding opens the lookup dataset";
  EXPECT_EQ(L->AsInteger(), 10);
  Probe.Next();
  EXPECT_TRUE(L->IsNull()) << "20 has no match";
  Probe.Next();
  EXPECT_EQ(L->AsInteger(), 30);
  EXPECT_EQ(Lookups.LogOf({"Lookup"}),
            (std::vector<std::string>{"Lookup(10)", "Lookup(20)", "Lookup(30)"}));
  EXPECT_RING_OK(Probe);
}

TEST_F(CalcFieldsTest, LookupFollowsTheEditedKey) {
  TIntegerField* L = AddLookup();
  Probe.Open();
  Probe.Next();
  Probe.Edit();
  V->SetAsInteger(30);
  EXPECT_EQ(L->AsInteger(), 30);
  V->SetAsInteger(31);
  EXPECT_TRUE(L->IsNull());
}

TEST_F(CalcFieldsTest, AClosedLookupDatasetGivesNull) {
  TIntegerField* L = AddLookup();
  Probe.Open();
  Lookups.Close();
  Probe.Refresh();
  EXPECT_TRUE(L->IsNull());
  EXPECT_EQ(C->AsInteger(), 20) << "the other calculated fields are still computed";
}

TEST_F(CalcFieldsTest, IncompleteLookupInformationRefusesToOpen) {
  TIntegerField* L = AddLookup();
  L->SetLookupResultField("");
  EXPECT_EQ(OpenError(), "Lookup information for field 'L' is incomplete");
  EXPECT_FALSE(Probe.Active());
  EXPECT_EQ(Probe.LiveBuffers(), 0);
  EXPECT_EQ(Probe.FieldCount(), 3);
  L->SetLookupResultField("V");
  EXPECT_EQ(OpenError(), "(opened)");
}

TEST_F(CalcFieldsTest, ALookupIntoItselfIsCircular) {
  TIntegerField* L = AddLookup();
  L->SetLookupDataSet(&Probe);
  EXPECT_EQ(OpenError(), SCircularDataLink);
  EXPECT_FALSE(Probe.Active());
}

TEST_F(CalcFieldsTest, AnUnknownKeyFieldRefusesToOpen) {
  TIntegerField* L = AddLookup();
  L->SetKeyFields("X");
  EXPECT_EQ(OpenError(), "Field 'X' not found");
  EXPECT_FALSE(Probe.Active());
}

} // namespace
} // namespace kelva
