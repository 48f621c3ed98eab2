// A quick pass through sorting, locating, looking up and cloning.
#include "OrderingSupport.h"

#include <gtest/gtest.h>

namespace kelva {
namespace {

void Fill(TEventDataset& Data) {
  ordering_test::OpenWith(Data, {"FIELD=NAME,CHAR,10", "FIELD=AGE,INTEGER,0"},
                          {{"SMITH", 42}, {"JONES", 9}, {"smith", 10}, {"BROWN", 35}});
}

std::vector<std::string> Names(TKelvaDataset& Data) {
  return ordering_test::Column(Data, "NAME");
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
