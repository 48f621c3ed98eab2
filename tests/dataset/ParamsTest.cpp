// The parameter list built from ParamsDesc, preparing it from the master dataset's fields,
// and building it when the dataset has been read from a form.
#include "OrderingSupport.h"

#include <utility>

namespace kelva {
namespace {

using namespace ordering_test;

struct DescriptionCase {
  const char* What;
  std::vector<std::string> Desc;
  std::vector<std::pair<std::string, TFieldType>> Expected;
};

TEST(Params, DescriptionLinesGiveTypedParametersInLineOrder) {
  const DescriptionCase Cases[] = {
      {"nothing", {}, {}},
      {"blank lines only", {"", "   "}, {}},
      {"lower case with spaces", {"param=custno , integer"}, {{"CUSTNO", ftInteger}}},
      {"further tokens ignored", {"PARAM=ID,INTEGER,5"}, {{"ID", ftInteger}}},
      {"one token that is no type word", {"PARAM=ID"}, {}},
      {"one token that is a type word", {"PARAM=INTEGER"}, {{"INTEGER", ftInteger}}},
      {"unknown type word", {"PARAM=ID,MONEY"}, {}},
      {"other lines ignored",
       {"FIELD=NAME,CHAR,10", "PARAM CUSTNO INTEGER", "MYPARAM=A,DATE", "PARAMS=B,BCD"},
       {{"A", ftDate}, {"B", ftBCD}}},
      {"same name twice", {"PARAM=X,FLOAT", "PARAM=X,BOOLEAN"}, {{"X", ftFloat}, {"X", ftBoolean}}},
      {"every other type word",
       {"PARAM=C,CHAR", "PARAM=S,SMALLINT", "PARAM=T,TIME", "PARAM=DT,DATETIME"},
       {{"C", ftString}, {"S", ftSmallint}, {"T", ftTime}, {"DT", ftDateTime}}},
  };
  for (const DescriptionCase& Case : Cases) {
    SCOPED_TRACE(Case.What);
    TEventDataset D(nullptr);
    TStringList Desc;
    for (const std::string& Line : Case.Desc) Desc.Add(Line);
    D.SetFParamsDesc(Desc);
    ASSERT_EQ(D.GetParamsCount(), static_cast<std::int32_t>(Case.Expected.size()));
    for (std::int32_t I = 0; I < D.GetParamsCount(); ++I) {
      EXPECT_EQ(D.Params()[I]->Name(), Case.Expected[I].first);
      EXPECT_EQ(D.Params()[I]->DataType(), Case.Expected[I].second);
      EXPECT_EQ(D.Params()[I]->ParamType(), ptInputOutput);
    }
  }
}

TEST(Params, AssigningDescriptionsAgainDiscardsValues) {
  TEventDataset D(nullptr);
  D.SetFParamsDesc(Lines({"PARAM=CUSTNO,INTEGER"}));
  D.ParamByName("custno")->SetAsInteger(5);
  D.SetFParamsDesc(Lines({"PARAM=CUSTNO,INTEGER"}));
  EXPECT_EQ(D.GetParamsCount(), 1);
  EXPECT_TRUE(D.ParamByName("CUSTNO")->IsNull());
  EXPECT_EQ(ErrorOf([&] { D.ParamByName("NOPE"); }), "Parameter 'NOPE' not found");
}

// A master dataset with CUSTNO 7 then 8, its data source, and a detail whose load handler
// notes the CUSTNO parameter it sees.
struct MasterDetail {
  TEventDataset Master{nullptr};
  TDataSource Source{nullptr};
  TEventDataset Detail{nullptr};
  std::vector<std::string> Loads;

  MasterDetail() {
    OpenWith(Master, {"FIELD=CUSTNO,INTEGER,0", "FIELD=NAME,CHAR,10"}, {{7, "ACME"}, {8, "BOLT"}});
    Master.First();
    Source.SetDataSet(&Master);
    Detail.SetKLVFields(Lines({"FIELD=ITEM,CHAR,10"}));
    Detail.SetFParamsDesc(Lines({"PARAM=CUSTNO,CHAR", "PARAM=OTHER,INTEGER"}));
    Detail.OnLoad = [this](TKelvaDataset* Self, TKlvLoadAction) {
      Loads.push_back(Self->ParamByName("CUSTNO")->AsString());
    };
    Detail.SetMasterSource(&Source);
  }
};

TEST(Params, PrepareCopiesSameNamedMasterFieldsOnlyWhenAsked) {
  MasterDetail Rig;
  Rig.Detail.ParamByName("OTHER")->SetAsInteger(3);
  EXPECT_FALSE(Rig.Detail.Prepared());
  Rig.Detail.Prepare();
  EXPECT_TRUE(Rig.Detail.Prepared());
  TParam* CustNo = Rig.Detail.ParamByName("CUSTNO");
  EXPECT_EQ(CustNo->AsInteger(), 7);
  EXPECT_EQ(CustNo->DataType(), ftInteger); // the master field's type replaces CHAR
  EXPECT_EQ(Rig.Detail.ParamByName("OTHER")->AsInteger(), 3); // no master field: kept

  Rig.Master.Next();
  EXPECT_EQ(CustNo->AsInteger(), 7);
  Rig.Detail.Prepare();
  EXPECT_EQ(CustNo->AsInteger(), 8);
  Rig.Detail.UnPrepare();
  EXPECT_FALSE(Rig.Detail.Prepared());
  EXPECT_EQ(CustNo->AsInteger(), 8);
}

TEST(Params, OpenPreparesOnceAndRefreshKeepsValuesUntilUnPrepare) {
  MasterDetail Rig;
  Rig.Detail.Open();
  Rig.Master.Next();
  Rig.Detail.Refresh();
  Rig.Detail.Close();
  Rig.Detail.Open();
  Rig.Detail.UnPrepare();
  Rig.Detail.Refresh();
  EXPECT_EQ(Rig.Loads, (std::vector<std::string>{"7", "7", "7", "8"}));
}

TEST(Params, LoadedBuildsParametersAndOpensDatasetStoredOpen) {
  TEventDataset D(nullptr);
  std::vector<std::int32_t> CountsSeenByLoad;
  D.OnLoad = [&](TKelvaDataset* Self, TKlvLoadAction) {
    CountsSeenByLoad.push_back(Self->GetParamsCount());
    Self->AppendRawRecord({"A"});
  };
  D.Loading();
  // What a form reader streams straight into the two description lists.
  D.MetaFields().Add("FIELD=NAME,CHAR,10");
  D.ParamsDesc().Add("PARAM=CUSTNO,INTEGER");
  D.SetActive(true);
  EXPECT_FALSE(D.Active());
  D.Loaded();
  ASSERT_TRUE(D.Active());
  EXPECT_TRUE(D.Prepared());
  EXPECT_EQ(D.GetParamsCount(), 1);
  EXPECT_EQ(CountsSeenByLoad, std::vector<std::int32_t>{1});
  EXPECT_EQ(D.RecordCount(), 1);
}

TEST(Params, LoadedAfterDescriptionsAssignedWhileLoadingGivesOneParameterPerLine) {
  TEventDataset D(nullptr);
  D.Loading();
  D.SetKLVFields(Lines({"FIELD=NAME,CHAR,10"}));
  D.SetFParamsDesc(Lines({"PARAM=CUSTNO,INTEGER", "PARAM=SINCE,DATE"}));
  D.Loaded();
  EXPECT_FALSE(D.Active());
  ASSERT_EQ(D.GetParamsCount(), 2);
  EXPECT_EQ(D.Params()[0]->Name(), "CUSTNO");
  EXPECT_EQ(D.Params()[1]->Name(), "SINCE");
}

} // namespace
} // namespace kelva
