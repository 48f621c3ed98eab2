// The record store over a dataset's life: buffer layout, opening and closing, identifiers,
// new record buffers, stored images, calculated fields and who may modify the dataset.
#include "DatasetProbe.h"

#include <gtest/gtest.h>

namespace kelva::testing {
namespace {

TEST(Lifecycle, BufferLayoutFollowsTheDataArea) {
  TProbeDataset D;
  D.Describe({"FIELD=NAME,CHAR,25", "FIELD=POS,FLOAT,0"});
  D.Open();
  EXPECT_EQ(D.DataSize(), 50);
  EXPECT_EQ(D.GetRecordSize(), 50);
  EXPECT_EQ(D.RecInfoOffset(), 50);
  EXPECT_EQ(D.BufferSize(), 56);
}

TEST(Lifecycle, StoredImagesAreTheDataAreaOnly) {
  TProbeDataset D;
  TField* Calc = AddFieldsWithCalculated(D);
  std::vector<std::int32_t> RecNosSeenByCalc;
  D.OnCalcFields = [&](TDataSet* S) {
    Calc->SetAsInteger(S->FieldByName("N")->AsInteger() * 2);
    RecNosSeenByCalc.push_back(S->RecNo());
  };
  D.Open();
  EXPECT_EQ(D.CalcFieldsSize(), 5);
  EXPECT_EQ(D.DataSize(), 24);
  EXPECT_EQ(D.RecInfoOffset(), 29);
  EXPECT_EQ(D.BufferSize(), 35);

  D.AppendRawRecord({"alpha", 21});
  D.AppendRawRecord({"beta", 7});
  EXPECT_EQ(Calc->AsInteger(), 14);
  for (std::int32_t I = 0; I < 2; ++I) {
    const std::string_view Image = D.InternalBuf()->ImageView(I);
    EXPECT_EQ(Image.size(), 24u);
    EXPECT_EQ(Image.back(), ' ');
  }
  EXPECT_EQ(D.StoredSlot(0, 2), "          21");

  RecNosSeenByCalc.clear();
  D.First();
  EXPECT_EQ(Calc->AsInteger(), 42);
  D.Next();
  EXPECT_EQ(Calc->AsInteger(), 14);
  // Calculated values are worked out per fetched record, and a record number asked for
  // while they are calculated is that record's.
  EXPECT_EQ(RecNosSeenByCalc, (std::vector<std::int32_t>{1, 2}));

  // While the filter looks at a stored image there is no calculated value to read.
  bool CalcNullInFilter = false;
  D.OnFilterRecord = [&](TDataSet*, bool& Accept) {
    CalcNullInFilter = Calc->IsNull();
    Accept = true;
  };
  D.SetFiltered(true);
  EXPECT_TRUE(CalcNullInFilter);
}

TEST(Lifecycle, ClosingDropsTheRecordsAndReopeningRestartsIdentifiers) {
  TProbeDataset D;
  D.Describe({"FIELD=NAME,CHAR,5"});
  D.OnLoadHook = [](THookedDataset& S, TKlvLoadAction) {
    S.AppendRawRecord({"a"});
    S.AppendRawRecord({"b"});
  };
  D.Open();
  D.AppendRawRecord({"c"});
  EXPECT_EQ(D.RecIds(), (std::vector<std::int32_t>{1, 2, 3}));
  D.Close();
  EXPECT_EQ(D.InternalBuf(), nullptr);
  EXPECT_TRUE(D.FieldInfo().empty());
  EXPECT_EQ(D.CurRec(), -1);
  EXPECT_EQ(D.LastRecId(), 0);
  EXPECT_EQ(D.GetRecordCount(), 0);
  EXPECT_EQ(DatabaseErrorOf([&] { D.RecordCount(); }), SDataSetClosed);
  EXPECT_EQ(DatabaseErrorOf([&] { D.RecNo(); }), SDataSetClosed);

  D.Open();
  EXPECT_EQ(D.RecIds(), (std::vector<std::int32_t>{1, 2}));
  EXPECT_EQ(VisibleNames(D), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(D.HookLog, (std::vector<std::string>{"load 0", "load 0"}));
}

TEST(Lifecycle, APlainDatasetHasNoLoadHook) {
  TKelvaDataset D(nullptr);
  TStringList Lines;
  Lines.Add("FIELD=A,CHAR,5");
  D.SetKLVFields(Lines);
  bool AfterOpenFired = false;
  D.AfterOpen = [&](TDataSet*) { AfterOpenFired = true; };
  EXPECT_THROW(D.Open(), EAbstractError);
  EXPECT_FALSE(AfterOpenFired);
}

TEST(Lifecycle, NewRecordBuffersAreBlankAndUnstored) {
  TProbeDataset D;
  OpenNamed(D, {"a", "b"});
  D.Append();
  EXPECT_TRUE(D.FieldByName("NAME")->IsNull());
  EXPECT_TRUE(D.FieldByName("N")->IsNull());
  EXPECT_EQ(D.ActiveRecId(), -1);
  EXPECT_EQ(D.UpdateStatus(), usInserted);
  D.Cancel();

  D.First();
  D.Insert();
  EXPECT_TRUE(D.FieldByName("NAME")->IsNull());
  EXPECT_EQ(D.UpdateStatus(), usInserted);
  D.Cancel();
}

// Field definitions may be asked for again while the dataset is open; the layout of the
// records already in memory must not change under them.
TEST(Lifecycle, RefreshingDefinitionsOfAnOpenDatasetKeepsItsLayout) {
  TProbeDataset D;
  OpenNamed(D, {"a"});
  D.MetaFields().Add("FIELD=WIDE,CHAR,100");
  D.FieldDefs().Update();
  ASSERT_EQ(D.DataSize(), 24);
  ASSERT_EQ(D.FieldInfo().size(), 2u);
  D.AppendRawRecord({"b", 2});
  EXPECT_EQ(VisibleNames(D), (std::vector<std::string>{"a", "b"}));
}

TEST(Lifecycle, ReadOnlyRefusesChangesExceptDuringARawLoad) {
  TProbeDataset D;
  D.SetReadOnly(true);
  OpenNamed(D, {"a"});
  EXPECT_FALSE(D.CanModify());
  EXPECT_FALSE(D.FieldByName("NAME")->CanModify());
  D.AppendRaw();
  EXPECT_TRUE(D.CanModify());
  D.FieldByName("NAME")->SetAsString("b");
  D.PostRaw();
  EXPECT_FALSE(D.CanModify());
  EXPECT_EQ(DatabaseErrorOf([&] { D.Edit(); }), SDataSetReadOnly);
  EXPECT_EQ(DatabaseErrorOf([&] { D.Append(); }), SDataSetReadOnly);
  EXPECT_EQ(DatabaseErrorOf([&] { D.Delete(); }), SDataSetReadOnly);
  EXPECT_EQ(VisibleNames(D), (std::vector<std::string>{"a", "b"}));

  D.SetReadOnly(false);
  EXPECT_TRUE(D.CanModify());
}

} // namespace
} // namespace kelva::testing
