// A quick pass through sorting, locating, looking up and cloning.
#include "dataset/KelvaDataset.h"

#include <gtest/gtest.h>

namespace kelva {
namespace {

void Fill(TEventDataset& Data) {
  TStringList Lines;
  Lines.Add("FIELD=NAME,CHAR,10");
  Lines.Add("FIELD=AGE,INTEGER,0");
  Data.SetKLVFields(Lines);
  Data.OnLoad = [](TKelvaDataset* D, TKlvLoadAction) {
    D->AppendRawRecord({"SMITH", 42});
    D->AppendRawRecord({"JONES", 9});
    D->AppendRawRecord({"smith", 10});
    D->AppendRawRecord({"BROWN", 35});
  };
  Data.Open();
}

std::vector<std::string> Names(TKelvaDataset& Data) {
  std::vector<std::string> Result;
  for (Data.First(); !Data.Eof(); Data.Next())
    Result.push_back(Data.FieldByName("NAME")->AsString());
  return Result;
}

TEST(SearchSmoke, SortLocateLookupClone) {
  TEventDataset Data(nullptr);
  Fill(Data);
  Data.SortOn("AGE", false, false);
  EXPECT_EQ(Names(Data), (std::vector<std::string>{"JONES", "smith", "BROWN", "SMITH"}));
  Data.SortOn("NAME", false, true);
  EXPECT_EQ(Data.FieldByName("NAME")->AsString(), "SMITH"); // the walk had ended on the last record
  EXPECT_TRUE(Data.Locate("NAME", "smith", {}));
  EXPECT_EQ(Data.FieldByName("AGE")->AsInteger(), 10);
  EXPECT_TRUE(Data.Locate("NAME", "SMI", {loPartialKey}));
  EXPECT_EQ(Data.FieldByName("AGE")->AsInteger(), 42);
  EXPECT_FALSE(Data.Locate("NAME", "nobody", {}));
  EXPECT_TRUE(Data.Locate("NAME;AGE", VarArrayOf({"SMITH", 10}), {loCaseInsensitive}));
  EXPECT_EQ(Data.FieldByName("NAME")->AsString(), "smith");
  // The same key again uses what the first search learned.
  EXPECT_TRUE(Data.Locate("NAME;AGE", VarArrayOf({"SMITH", 10}), {loCaseInsensitive}));
  EXPECT_TRUE(Data.Locate("NAME;AGE", VarArrayOf({"SMITH", 42}), {loCaseInsensitive}));
  EXPECT_EQ(Data.FieldByName("AGE")->AsInteger(), 42);
  const std::int32_t RecNo = Data.RecNo();
  EXPECT_EQ(Data.Lookup("NAME", "BROWN", "AGE").AsInteger(), 35);
  EXPECT_TRUE(VarIsNull(Data.Lookup("NAME", "GREEN", "AGE")));
  EXPECT_EQ(Data.RecNo(), RecNo);

  TEventDataset Copy(nullptr);
  Data.Clone(&Copy);
  EXPECT_EQ(Copy.RecordCount(), 4);
  EXPECT_FALSE(Copy.CanModify());
}

} // namespace
} // namespace kelva
