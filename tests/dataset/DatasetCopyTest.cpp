// Copying records from any open dataset into a Kelva dataset: the structure described
// from the source's fields, copying by field name into a given structure, all or nothing.
#include "ExchangeFixtures.h"

#include "forms/StringTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kelva::testing {
namespace {

std::vector<std::string> LinesOf(const TStrings& Lines) {
  std::vector<std::string> Out;
  for (std::int32_t I = 0; I < Lines.Count(); ++I) Out.push_back(Lines[I]);
  return Out;
}

TEST(DatasetCopy, FromAKelvaDatasetDescribesTheTargetAndCopiesEveryValue) {
  THookedDataset Source, Target;
  DescribeAllTypes(Source);
  Source.Open();
  FillAllTypes(Source);
  Source.First();
  Source.Next();
  const TBookmark Current = Source.GetBookmark();

  CopyDataset(Source, Target);
  EXPECT_EQ(Source.GetBookmark(), Current) << "the source's current record stays current";
  EXPECT_EQ(LinesOf(Target.MetaFields()), LinesOf(Source.MetaFields()));
  EXPECT_EQ(Snapshot(Target), Snapshot(Source));
  EXPECT_EQ(Target.HookLog, (std::vector<std::string>{"load 0"})) << "loaded raw";
}

TEST(DatasetCopy, KeepsTheSourceCursorAndCopiesOnlyVisibleRecords) {
  THookedDataset Source, Target;
  Source.Describe({"FIELD=NAME,CHAR,10"});
  Source.Open();
  for (const char* Name : {"a", "b", "c"}) Source.AppendRawRecord({Name});
  Source.OnFilterRecord = [](TDataSet* Data, bool& Accept) {
    Accept = Data->FieldByName("NAME")->AsString() != "a";
  };
  Source.SetFiltered(true);
  Source.Last();
  CopyDataset(Source, Target);
  EXPECT_EQ(Snapshot(Target), (std::vector<std::string>{"NAME=b|", "NAME=c|"}));
  EXPECT_EQ(Source.FieldByName("NAME")->AsString(), "c");
}

TEST(DatasetCopy, FromAPlainFrameworkDataset) {
  formstest::TStringTable Source({"Code", "Label"}, 8);
  Source.AddRow({"A1", "Zoë"});
  Source.AddRow({"B2", ""});
  Source.Open();
  THookedDataset Target;
  CopyDataset(Source, Target);
  EXPECT_EQ(LinesOf(Target.MetaFields()),
            (std::vector<std::string>{"FIELD=Code,CHAR,8", "FIELD=Label,CHAR,8"}));
  EXPECT_EQ(Snapshot(Target),
            (std::vector<std::string>{"CODE=A1|LABEL=Zoë|", "CODE=B2|LABEL=<null>|"}));
}

TEST(DatasetCopy, IntoAGivenStructureByNameWithConversions) {
  THookedDataset Source, Target;
  Source.Describe({"FIELD=NAME,CHAR,10", "FIELD=N,INTEGER,0", "FIELD=EXTRA,CHAR,5"});
  Source.Open();
  Source.AppendRawRecord({"one", 1});
  Source.AppendRawRecord({"two", 70000});
  Target.Describe({"FIELD=n,FLOAT,0", "FIELD=NAME,CHAR,3", "FIELD=MISSING,DATE,0"});
  Target.Open();
  CopyDataset(Source, Target);
  EXPECT_EQ(Snapshot(Target), (std::vector<std::string>{"N=1|NAME=one|MISSING=<null>|",
                                                        "N=70000|NAME=two|MISSING=<null>|"}));
}

TEST(DatasetCopy, AValueThatDoesNotFitCopiesNothing) {
  THookedDataset Source, Target;
  Source.Describe({"FIELD=NAME,CHAR,10", "FIELD=N,INTEGER,0"});
  Source.Open();
  Source.AppendRawRecord({"one", 1});
  Source.AppendRawRecord({"two", 70000});
  Source.AppendRawRecord({"three", 3});
  Target.Describe({"FIELD=NAME,CHAR,10", "FIELD=N,SMALLINT,0"});
  try {
    CopyDataset(Source, Target);
    FAIL() << "a SMALLINT cannot hold 70000";
  } catch (const EDatabaseError& Error) {
    EXPECT_EQ(Error.Message(), "record 2: field 'N': 70000 is outside the SMALLINT range");
  }
  EXPECT_EQ(Target.RecordCount(), 0);

  THookedDataset Narrow;
  Narrow.Describe({"FIELD=NAME,CHAR,4"});
  EXPECT_THROW(CopyDataset(Source, Narrow), EDatabaseError);
  EXPECT_EQ(Narrow.RecordCount(), 0);
  EXPECT_THROW(CopyDataset(Source, Source), EDatabaseError);
  Source.Close();
  EXPECT_THROW(CopyDataset(Source, Target), EDatabaseError);
}

TEST(DatasetCopy, RefusesFieldsADescriptionCannotHold) {
  formstest::TStringTable Commas({"A,B"}, 4);
  Commas.Open();
  THookedDataset Target;
  EXPECT_THROW(CopyDataset(Commas, Target), EDatabaseError);
  EXPECT_FALSE(Target.Active());
}

} // namespace
} // namespace kelva::testing
