// Which writes reach a record: writes outside the editing states, text values holding line
// breaks, and writes made by a filter handler while it looks at stored records.
#include "DatasetProbe.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kelva::testing {
namespace {

TEST(FieldAccess, WritesNeedARecordBeingEdited) {
  TProbeDataset D;
  OpenNamed(D, {"a"});
  EXPECT_EQ(DatabaseErrorOf([&] { D.FieldByName("NAME")->SetAsString("b"); }), SNotEditing);
  // Key entry has no record buffer here: there is nowhere to write.
  const TDataSetState Old = D.SetTempState(dsSetKey);
  EXPECT_EQ(DatabaseErrorOf([&] { D.FieldByName("NAME")->SetAsString("b"); }), SNotEditing);
  D.RestoreState(Old);
  EXPECT_EQ(D.StoredSlot(0, 1), "a          ");
}

TEST(FieldAccess, TextWithALineBreakIsRefusedAndTheOldValueKept) {
  TProbeDataset D;
  OpenNamed(D, {"old"});
  D.FieldByName("NAME")->SetDisplayLabel("Customer");
  D.Edit();
  for (const char* Text : {"a\nb", "a\rb", "\r\n"}) {
    EXPECT_EQ(DatabaseErrorOf([&] { D.FieldByName("NAME")->SetAsString(Text); }),
              Format(SKlvLineBreakInValue, {"Customer"}));
    EXPECT_EQ(D.FieldByName("NAME")->AsString(), "old");
  }
  D.Post();
  EXPECT_EQ(D.StoredSlot(0, 1), "old        ");

  // The same refusal through a whole raw record: nothing is stored.
  EXPECT_THROW(D.AppendRawRecord({"x\ny", 2}), EDatabaseError);
  D.Cancel();
  EXPECT_EQ(D.RecordCount(), 1);
  EXPECT_FALSE(D.RawLoading());
}

TEST(FieldAccess, FilterHandlerWritesNeverReachStoredRecords) {
  TProbeDataset D;
  OpenNamed(D, {"a", "b", "c", "d"});
  std::vector<std::int32_t> SeenAfterWrite;
  D.OnFilterRecord = [&](TDataSet* S, bool& Accept) {
    S->FieldByName("NAME")->SetAsString("zzz");
    S->FieldByName("N")->SetAsInteger(S->FieldByName("N")->AsInteger() * 10);
    SeenAfterWrite.push_back(S->FieldByName("N")->AsInteger());
    // Each record is judged on its own values: the scratch copy of one record must not
    // leak into the next.
    Accept = S->FieldByName("N")->AsInteger() % 20 != 0;
  };
  D.SetFiltered(true);
  EXPECT_EQ(VisibleNames(D), (std::vector<std::string>{"a", "c"}));
  EXPECT_EQ(SeenAfterWrite.front(), 10);
  EXPECT_NE(std::find(SeenAfterWrite.begin(), SeenAfterWrite.end(), 40), SeenAfterWrite.end());
  // Positioning by bookmark and record number runs the filter too.
  D.SetRecNo(3);
  D.First();
  EXPECT_TRUE(D.BookmarkValid(D.GetBookmark()));
  EXPECT_FALSE(D.Modified());
  D.SetFiltered(false);
  const std::vector<std::string> Stored = {"a", "b", "c", "d"};
  for (std::int32_t I = 0; I < 4; ++I) {
    EXPECT_EQ(D.StoredSlot(I, 1), Stored[static_cast<std::size_t>(I)] + std::string(10, ' '));
    EXPECT_EQ(D.StoredSlot(I, 2), std::string(11, ' ') + std::to_string(I + 1));
  }
  EXPECT_EQ(VisibleNames(D), Stored);
}

} // namespace
} // namespace kelva::testing
