// A quick pass through cached updates and views with the event-driven dataset.
#include "OrderingSupport.h"

#include <gtest/gtest.h>

namespace kelva {
namespace {

TEST(CachedSmoke, EditInsertDeleteThenViewsAndCommit) {
  TEventDataset Data(nullptr);
  ordering_test::Fill(Data, {"FIELD=NAME,CHAR,10", "FIELD=AGE,INTEGER,0"},
                      {{"SMITH", 42}, {"JONES", 35}, {"BROWN", 50}});
  int Updates = 0;
  Data.OnUpdate = [&](TKelvaDataset* D) {
    ++Updates;
    D->CommitUpdates();
  };
  Data.Open();
  Data.SetCachedUpdates(true);
  Data.First();
  Data.Next();
  Data.Edit();
  Data.FieldByName("AGE")->SetAsInteger(36);
  Data.Post();
  EXPECT_TRUE(Data.UpDatesPending());
  EXPECT_EQ(Data.FieldByName("AGE")->OldValue().AsInteger(), 35);
  Data.AppendRecord({"GREEN", 20});
  Data.First();
  Data.Delete();
  EXPECT_EQ(Data.RecordCount(), 3);

  Data.SetBrowseBuffer(brModified);
  EXPECT_EQ(Data.RecordCount(), 1);
  EXPECT_EQ(Data.FieldByName("NAME")->AsString(), "JONES");
  Data.SetBrowseBuffer(brInserted);
  EXPECT_EQ(Data.RecordCount(), 1);
  EXPECT_EQ(Data.FieldByName("NAME")->AsString(), "GREEN");
  Data.SetBrowseBuffer(brDeleted);
  EXPECT_EQ(Data.FieldByName("NAME")->AsString(), "SMITH");
  Data.RevertRecord();
  EXPECT_EQ(Data.RecordCount(), 0);
  Data.SetBrowseBuffer(brold);
  EXPECT_EQ(Data.RecordCount(), 3);
  Data.SetBrowseBuffer(brStandard);
  EXPECT_EQ(Data.RecordCount(), 4);
  Data.ApplyUpdates();
  EXPECT_EQ(Updates, 1);
  EXPECT_FALSE(Data.UpDatesPending());
  EXPECT_FALSE(Data.CachedBufActive());
  Data.First();
  EXPECT_EQ(Data.FieldByName("NAME")->AsString(), "SMITH");
}

} // namespace
} // namespace kelva
