// The file format's worked example, byte for byte, and its way back into a fresh dataset.
#include "kelva/dataset/KelvaDataset.h"

#include <gtest/gtest.h>

namespace kelva {
namespace {

const char* const WorkedExample = "#VERSION=1\r\n"
                                  "#NAME=Customers\r\n"
                                  "#PARAMS=0\r\n"
                                  "#FIELDS=2\r\n"
                                  "#COMMITED=2\r\n"
                                  "#CACHED=2\r\n"
                                  "#DELETED=0\r\n"
                                  "FIELD=NAME,CHAR,10\r\n"
                                  "FIELD=AGE,INTEGER,0\r\n"
                                  "BOOK1=SMITH                42 \r\n"
                                  "BOOK2=JONES                35 \r\n"
                                  "BOOK1=SMITH                42 \r\n"
                                  "BOOK2=JONES                36 \r\n";

void DescribeCustomers(TKelvaDataset& Data) {
  TStringList Lines;
  Lines.Add("FIELD=NAME,CHAR,10");
  Lines.Add("FIELD=AGE,INTEGER,0");
  Data.SetKLVFields(Lines);
}

TEST(StreamFormat, WorkedExampleIsWrittenExactly) {
  TEventDataset Data(nullptr);
  Data.SetName("Customers");
  DescribeCustomers(Data);
  Data.OnLoad = [](TKelvaDataset* D, TKlvLoadAction) {
    D->AppendRawRecord({"SMITH", 42});
    D->AppendRawRecord({"JONES", 35});
  };
  Data.Open();
  Data.SetCachedUpdates(true);
  Data.Last();
  Data.Edit();
  Data.FieldByName("AGE")->SetAsInteger(36);
  Data.Post();
  TStringStream Stream;
  Data.SaveToStream(Stream);
  EXPECT_EQ(Stream.DataString(), WorkedExample);
}

TEST(StreamFormat, WorkedExampleLoadsWithItsPendingModification) {
  TEventDataset Data(nullptr);
  TStringStream Stream(WorkedExample);
  Data.LoadFromStream(Stream);
  ASSERT_TRUE(Data.Active());
  EXPECT_TRUE(Data.CachedUpdates());
  EXPECT_TRUE(Data.UpDatesPending());
  Data.Last();
  EXPECT_EQ(Data.FieldByName("NAME")->AsString(), "JONES");
  EXPECT_EQ(Data.FieldByName("AGE")->AsInteger(), 36);
  Data.SetBrowseBuffer(brModified);
  EXPECT_EQ(Data.RecordCount(), 1);
  // New records are numbered after the largest identifier that arrived.
  Data.SetBrowseBuffer(brStandard);
  Data.AppendRecord({"BROWN", 50});
  EXPECT_EQ(Data.LastRecId(), 3);
}

} // namespace
} // namespace kelva
