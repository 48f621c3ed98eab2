// Field description lines turned into field definitions and the slot layout: the line
// syntax, the type words and their widths, and descriptions that are refused.
#include "DatasetProbe.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kelva::testing {
namespace {

struct ExpectedField {
  std::string Name;
  TFieldType Type;
  std::int32_t Size;
  std::int32_t Precision;
  std::int32_t Offset;
  std::uint16_t Width;
};

struct LayoutCase {
  std::vector<std::string> Lines;
  std::vector<ExpectedField> Fields;
  std::int32_t DataSize;
};

void DescribeLines(TProbeDataset& D, const std::vector<std::string>& Lines) {
  TStringList List;
  for (const std::string& Line : Lines) List.Add(Line);
  D.SetKLVFields(List);
}

TEST(Schema, DescriptionLinesGiveDefinitionsAndLayout) {
  const std::vector<LayoutCase> Cases = {
      {{"FIELD=Name,char,25"}, {{"NAME", ftString, 25, 0, 1, 26}}, 27},
      {{"  field = pos , Float , 0  "}, {{"POS", ftFloat, 0, 0, 1, 23}}, 24},
      {{"FIELD=AMOUNT,BCD,10"}, {{"AMOUNT", ftBCD, 4, 19, 1, 34}}, 35},
      {{"FIELD=A,INTEGER,0,EXTRA"}, {{"A", ftInteger, 0, 0, 1, 12}}, 13},
      {{"FIELD=A,CHAR,5", "FIELD=B,INTEGER,0"},
       {{"A", ftString, 5, 0, 1, 6}, {"B", ftInteger, 0, 0, 7, 12}},
       19},
      {{"PARAM=P1,CHAR", "FIELD list without an equals sign", "", "MYFIELD=A,CHAR,5",
        "fields=B,SMALLINT,0"},
       {{"A", ftString, 5, 0, 1, 6}, {"B", ftSmallint, 0, 0, 7, 6}},
       13},
      {{"FIELD=B,BOOLEAN,9", "FIELD=D,DATE,0", "FIELD=T,TIME,0", "FIELD=S,DATETIME,0"},
       {{"B", ftBoolean, 0, 0, 1, 1},
        {"D", ftDate, 0, 0, 2, 22},
        {"T", ftTime, 0, 0, 24, 22},
        {"S", ftDateTime, 0, 0, 46, 22}},
       68},
      {{"FIELD=X,BLOB,7", "FIELD=Y,BOOLEAN,0"},
       {{"X", ftUnknown, 0, 0, 1, 1}, {"Y", ftBoolean, 0, 0, 2, 1}},
       3},
      {{"FIELD=café,char,3"}, {{"CAFÉ", ftString, 3, 0, 1, 4}}, 5},
      {{"FIELD=" + std::string(248, 'X') + ",CHAR,5"},
       {{std::string(248, 'X'), ftString, 5, 0, 1, 6}},
       7},
      {{"PARAM=ONLY,CHAR,5"}, {}, 1},
  };
  for (const LayoutCase& Case : Cases) {
    SCOPED_TRACE(Case.Lines.front());
    TProbeDataset D;
    DescribeLines(D, Case.Lines);
    ASSERT_NO_THROW(D.Open());
    EXPECT_EQ(D.DataSize(), Case.DataSize);
    ASSERT_EQ(D.FieldDefs().Count(), static_cast<std::int32_t>(Case.Fields.size()));
    ASSERT_EQ(D.FieldInfo().size(), Case.Fields.size());
    for (std::size_t I = 0; I < Case.Fields.size(); ++I) {
      const ExpectedField& Want = Case.Fields[I];
      const TFieldDef* Def = D.FieldDefs()[static_cast<std::int32_t>(I)];
      EXPECT_EQ(Def->Name(), Want.Name);
      EXPECT_EQ(Def->DataType(), Want.Type) << Want.Name;
      EXPECT_EQ(Def->Size(), Want.Size) << Want.Name;
      EXPECT_EQ(Def->Precision(), Want.Precision) << Want.Name;
      EXPECT_FALSE(Def->Required());
      EXPECT_EQ(Def->FieldNo(), static_cast<std::int32_t>(I) + 1);
      EXPECT_EQ(D.FieldInfo()[I].Offset, Want.Offset) << Want.Name;
      EXPECT_EQ(D.FieldInfo()[I].Width, Want.Width) << Want.Name;
      // A word nobody knows gets a slot but no field.
      EXPECT_EQ(D.FindField(Want.Name) != nullptr, Want.Type != ftUnknown) << Want.Name;
    }
  }
}

struct RefusedCase {
  std::vector<std::string> Lines;
  std::string Message;
};

TEST(Schema, UnreadableDescriptionsLeaveTheDatasetClosedWithoutDefinitions) {
  // Seven 8192-byte slots and one of 8190 make a data area of exactly 65535 bytes.
  std::vector<std::string> Largest;
  for (char Name = 'A'; Name < 'H'; ++Name)
    Largest.push_back(std::string("FIELD=") + Name + ",CHAR,8191");
  std::vector<std::string> TooLarge = Largest;
  Largest.push_back("FIELD=H,CHAR,8189");
  TooLarge.push_back("FIELD=H,CHAR,8190");
  {
    TProbeDataset D;
    DescribeLines(D, Largest);
    ASSERT_NO_THROW(D.Open());
    EXPECT_EQ(D.DataSize(), 65535);
  }

  const std::vector<RefusedCase> Cases = {
      {{}, "No field descrition in 'Orders' "},
      {{"", "   ", "\t"}, "No field descrition in 'Orders' "},
      {{"FIELD=NAME,CHAR"}, "Error in field description 'NAME' "},
      {{"FIELD=N,INTEGER,X"}, "Error in field description 'N' "},
      {{"FIELD=OK,CHAR,5", "FIELD=neg,CHAR,-1"}, "Error in field description 'NEG' "},
      {{"FIELD=BIG,CHAR,70000"}, "Error in field description 'BIG' "},
      {TooLarge, "Error in field description 'H' "},
      // The value is cut after 255 characters, which here loses the length.
      {{"FIELD=" + std::string(249, 'L') + ",CHAR,5"},
       "Error in field description '" + std::string(249, 'L') + "' "},
  };
  for (const RefusedCase& Case : Cases) {
    SCOPED_TRACE(Case.Message);
    TProbeDataset D;
    D.SetName("Orders");
    // A layout built by an earlier open must not survive the failed one.
    D.Describe({"FIELD=OLD,CHAR,5"});
    D.Open();
    D.Close();
    DescribeLines(D, Case.Lines);
    EXPECT_EQ(DatabaseErrorOf([&] { D.Open(); }), Case.Message);
    EXPECT_FALSE(D.Active());
    EXPECT_EQ(D.FieldDefs().Count(), 0);
    EXPECT_TRUE(D.FieldInfo().empty());
    EXPECT_EQ(D.FieldCount(), 0);
    // The same description fails the same way again: nothing was left half-built.
    EXPECT_THROW(D.Open(), EDatabaseError);
  }
}

TEST(Schema, SettingTheSameTextKeepsTheDatasetOpen) {
  TProbeDataset D;
  D.Describe({"FIELD=A,CHAR,5"});
  D.Open();
  D.AppendRawRecord({"x"});
  D.Events.clear();
  D.Describe({"FIELD=A,CHAR,5"});
  EXPECT_TRUE(D.Active());
  EXPECT_EQ(D.RecordCount(), 1);
  EXPECT_TRUE(D.Events.empty());
}

TEST(Schema, SettingDifferentTextClosesAndAnnouncesTheNewFieldList) {
  TProbeDataset D;
  D.Describe({"FIELD=A,CHAR,5"});
  D.Open();
  D.Events.clear();
  D.Describe({"FIELD=a,CHAR,5"}); // differs only in case
  EXPECT_FALSE(D.Active());
  ASSERT_FALSE(D.Events.empty());
  EXPECT_EQ(D.Events.back(), deFieldListChange);
  // The new layout takes effect at the next open.
  D.Open();
  EXPECT_EQ(D.FieldDefs()[0]->Name(), "A");
}

} // namespace
} // namespace kelva::testing
