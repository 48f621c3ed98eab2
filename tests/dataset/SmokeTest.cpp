// A first end-to-end pass: describe, open, raw-load, browse, edit, delete.
#include "HookedDataset.h"
#include "support/Joined.h"

#include <gtest/gtest.h>

namespace kelva::testing {
namespace {

TEST(DatasetSmoke, RawLoadBrowseEditDelete) {
  THookedDataset Data;
  Data.Describe({"FIELD=NAME,CHAR,25", "FIELD=POS,FLOAT,0"});
  Data.OnLoadHook = [](THookedDataset& D, TKlvLoadAction) {
    for (int I = 1; I <= 3; ++I) {
      D.AppendRaw();
      D.FieldByName("NAME")->SetAsString(Joined("N", std::to_string(I)));
      D.FieldByName("POS")->SetAsFloat(I * 1.5);
      D.PostRaw();
    }
  };
  Data.Open();
  EXPECT_EQ(Data.DataSize(), 50);
  EXPECT_EQ(Data.RecordCount(), 3);
  Data.First();
  EXPECT_EQ(Data.FieldByName("NAME")->AsString(), "N1");
  Data.Next();
  EXPECT_EQ(Data.RecNo(), 2);
  EXPECT_DOUBLE_EQ(Data.FieldByName("POS")->AsFloat(), 3.0);
  Data.Edit();
  Data.FieldByName("NAME")->SetAsString("changed");
  Data.Post();
  EXPECT_EQ(Data.FieldByName("NAME")->AsString(), "changed");
  Data.Delete();
  EXPECT_EQ(Data.RecordCount(), 2);
  EXPECT_EQ(Data.FieldByName("NAME")->AsString(), "N3");
  EXPECT_EQ(Data.HookLog, (std::vector<std::string>{"load 0", "updaterec 1", "updaterec 3"}));
}

} // namespace
} // namespace kelva::testing
