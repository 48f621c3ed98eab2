// CSV and JSON export and import: exact round trips for every type word, the texts the
// formats use, header mapping, and bad inputs refused with their line, loading nothing.
#include "ExchangeFixtures.h"
#include "TempDirectory.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace kelva::testing {
namespace {

std::string CsvOf(TKelvaDataset& D, const TCsvOptions& Options = {}) {
  TStringStream Out;
  ExportCsv(D, Out, Options);
  return Out.DataString();
}

std::string JsonOf(TKelvaDataset& D) {
  TStringStream Out;
  ExportJson(D, Out);
  return Out.DataString();
}

void LoadCsv(TKelvaDataset& D, const std::string& Text, const TCsvOptions& Options = {}) {
  TStringStream In(Text);
  ImportCsv(D, In, Options);
}

void LoadJson(TKelvaDataset& D, const std::string& Text) {
  TStringStream In(Text);
  ImportJson(D, In);
}

// The message of the EDatabaseError that Load raises (empty when none).
template <class Load>
std::string ErrorOf(Load&& Load_) {
  try {
    Load_();
  } catch (const EDatabaseError& Error) {
    return Error.Message();
  }
  return "";
}

TEST(Exchange, CsvRoundTripKeepsEveryTypeAndNull) {
  THookedDataset Source, Copy;
  DescribeAllTypes(Source);
  Source.Open();
  FillAllTypes(Source);
  const std::string Text = CsvOf(Source);
  EXPECT_EQ(Text.substr(0, Text.find("\r\n", Text.find("\r\n") + 2) + 2),
            "NAME,PRICE,ACTIVE,QTY,SMALL,DAY,AT,STAMP,AMOUNT\r\n"
            "\"Ann, \"\"the\"\" best;\tok\",1.5,True,-42,32767,2024-02-29,13:45:07.250,"
            "1999-12-31T23:59:59.001,1234.5678\r\n");
  EXPECT_NE(Text.find("\r\n,,,,,,,,\r\n"), std::string::npos) << "nulls are empty fields";
  EXPECT_NE(Text.find(",0001-01-01,00:00:00,1850-06-01T06:30:00,"), std::string::npos);

  DescribeAllTypes(Copy);
  LoadCsv(Copy, Text);
  EXPECT_EQ(Snapshot(Copy), Snapshot(Source));
}

TEST(Exchange, JsonRoundTripKeepsEveryTypeAndNull) {
  THookedDataset Source, Copy;
  DescribeAllTypes(Source);
  Source.Open();
  FillAllTypes(Source);
  const std::string Text = JsonOf(Source);
  EXPECT_EQ(Text.substr(0, Text.find('\n', 2)),
            "[\n  {\"NAME\": \"Ann, \\\"the\\\" best;\\tok\", \"PRICE\": 1.5, \"ACTIVE\": true, "
            "\"QTY\": -42, \"SMALL\": 32767, \"DAY\": \"2024-02-29\", \"AT\": \"13:45:07.250\", "
            "\"STAMP\": \"1999-12-31T23:59:59.001\", \"AMOUNT\": 1234.5678},");
  EXPECT_NE(Text.find("{\"NAME\": null, \"PRICE\": null, \"ACTIVE\": null"), std::string::npos);
  EXPECT_NE(Text.find("\"Zoë 東京 ✓\""), std::string::npos) << "UTF-8 is written as is";

  DescribeAllTypes(Copy);
  LoadJson(Copy, Text);
  EXPECT_EQ(Snapshot(Copy), Snapshot(Source));

  THookedDataset Empty;
  DescribeAllTypes(Empty);
  Empty.Open();
  EXPECT_EQ(JsonOf(Empty), "[]\n");
  LoadJson(Empty, "[]\n");
  EXPECT_EQ(Empty.RecordCount(), 0);
}

TEST(Exchange, CsvWithAChosenSeparatorQuotesOnlyWhatItMust) {
  THookedDataset Source, Copy;
  Source.Describe({"FIELD=A,CHAR,10", "FIELD=B,FLOAT,0"});
  Source.Open();
  Source.AppendRawRecord({"x;y", 2.5});
  Source.AppendRawRecord({"p,q", -1.0});
  const TCsvOptions Semicolon{';'};
  EXPECT_EQ(CsvOf(Source, Semicolon), "A;B\r\n\"x;y\";2.5\r\np,q;-1\r\n");
  Copy.Describe({"FIELD=A,CHAR,10", "FIELD=B,FLOAT,0"});
  LoadCsv(Copy, CsvOf(Source, Semicolon), Semicolon);
  EXPECT_EQ(Snapshot(Copy), Snapshot(Source));
  EXPECT_NE(ErrorOf([&] { CsvOf(Source, TCsvOptions{'"'}); }), "");
}

TEST(Exchange, ImportMapsTheHeaderInAnyOrderAndLeavesOtherFieldsNull) {
  THookedDataset D;
  DescribeAllTypes(D);
  // LF line ends, lower-case names, a byte order mark and no final line end are fine too.
  LoadCsv(D, "\xEF\xBB\xBFqty,active,name\n5,FALSE,first\n,true,\"second\"");
  ASSERT_EQ(D.RecordCount(), 2);
  D.First();
  EXPECT_EQ(D.FieldByName("NAME")->AsString(), "first");
  EXPECT_EQ(D.FieldByName("QTY")->AsInteger(), 5);
  EXPECT_FALSE(D.FieldByName("ACTIVE")->AsBoolean());
  EXPECT_TRUE(D.FieldByName("PRICE")->IsNull());
  D.Next();
  EXPECT_TRUE(D.FieldByName("QTY")->IsNull());
  EXPECT_TRUE(D.FieldByName("ACTIVE")->AsBoolean());

  LoadJson(D, "[{\"amount\": 7.25, \"Name\": \"third\"}]");
  D.Last();
  EXPECT_EQ(D.FieldByName("NAME")->AsString(), "third");
  EXPECT_EQ(D.FieldByName("AMOUNT")->AsCurrency().Scaled, 72500);
  EXPECT_TRUE(D.FieldByName("DAY")->IsNull());
}

// Each bad input is refused with the line where the bad record starts and its reason,
// and the record already there stays the only one.
void ExpectRefused(const std::vector<std::pair<std::string, std::string>>& Cases, bool Json) {
  for (const auto& Case : Cases) {
    const std::string& Input = Case.first;
    const std::string& Expected = Case.second;
    THookedDataset D;
    D.Describe({"FIELD=NAME,CHAR,5", "FIELD=QTY,INTEGER,0", "FIELD=S,SMALLINT,0", "FIELD=F,FLOAT,0",
                "FIELD=B,BOOLEAN,0", "FIELD=D,DATE,0", "FIELD=T,DATETIME,0", "FIELD=C,BCD,0"});
    D.Open();
    D.AppendRawRecord({"keep", 1});
    const std::string Message = ErrorOf([&] { Json ? LoadJson(D, Input) : LoadCsv(D, Input); });
    EXPECT_EQ(Message.substr(0, Expected.size()), Expected) << Input << "\n=> " << Message;
    EXPECT_EQ(D.RecordCount(), 1) << Input;
    D.First();
    EXPECT_EQ(D.FieldByName("NAME")->AsString(), "keep");
  }
}

TEST(Exchange, BadCsvIsRefusedWithItsLineAndLoadsNothing) {
  const std::string Head = "NAME,QTY\r\nok,1\r\n";
  ExpectRefused(
      {
          {"", "line 1: the header row"},
          {"NAME,COLOR\r\na,b\r\n", "line 1: unknown column 'COLOR'"},
          {"NAME,name\r\n", "line 1: column 'name' appears twice"},
          {"NAME,,QTY\r\n", "line 1: column 2 has no name"},
          {Head + "b\r\n", "line 3: 1 fields where the header has 2"},
          {Head + "b,1,2\r\n", "line 3: 3 fields where the header has 2"},
          {Head + "b,x\r\n", "line 3: field 'QTY': 'x' is not an INTEGER"},
          {Head + "b,2147483648\r\n", "line 3: field 'QTY': '2147483648' is not an INTEGER"},
          {Head + "b, 7\r\n", "line 3: field 'QTY': ' 7' is not an INTEGER"},
          {"S\r\n32768\r\n", "line 2: field 'S': '32768' is not a SMALLINT"},
          {"F\r\n\"12,5\"\r\n", "line 2: field 'F': '12,5' is not a number"},
          {"F\r\n1e999\r\n", "line 2: field 'F': '1e999' is not a number"},
          {"B\r\nyes\r\n", "line 2: field 'B': 'yes' is not true or false"},
          {"D\r\n2023-02-30\r\n", "line 2: field 'D': '2023-02-30' is not a date"},
          {"D\r\n2023-2-3\r\n", "line 2: field 'D': '2023-2-3' is not a date"},
          {"T\r\n2023-01-02T24:00:00\r\n", "line 2: field 'T': '2023-01-02T24:00:00' is not"},
          {"T\r\n2023-01-02T10:00:00Z\r\n", "line 2: field 'T'"},
          {"C\r\n1.23456\r\n", "line 2: field 'C': '1.23456' is not a decimal"},
          {Head + "toolong,1\r\n", "line 3: field 'NAME': 'toolong' is longer than the field's 5"},
          {Head + "\"x\xff\",1\r\n", "line 3: field 'NAME': the text is not valid UTF-8"},
          // A quoted line break is read as part of the value, which a record cannot hold;
          // the record's own first line is named, and lines after it count on.
          {Head + "\"a\r\nb\",1\r\n", "line 3: field 'NAME': the text holds a line break"},
          {Head + "\"a\nb\",1\r\nc,x\r\n", "line 3: field 'NAME': the text holds a line"},
          {Head + "\"a\",x\r\n", "line 3: field 'QTY'"},
          {Head + "\"open,1\r\nmore,2\r\n", "line 3: a quoted field is not terminated"},
          {Head + "a\"b,1\r\n", "line 3: a quote inside an unquoted field"},
          {Head + "\"a\"b,1\r\n", "line 3: text after the closing quote"},
      },
      false);
}

TEST(Exchange, CsvLinesEndWithCrLfLfOrCr) {
  THookedDataset D;
  D.Describe({"FIELD=QTY,INTEGER,0"});
  D.Open();
  EXPECT_EQ(ErrorOf([&] { LoadCsv(D, "QTY\r1\n2\r\nx\r\n"); }),
            "line 4: field 'QTY': 'x' is not an INTEGER");
  EXPECT_EQ(D.RecordCount(), 0);
  LoadCsv(D, "QTY\r1\n2\r\n\r\n");
  EXPECT_EQ(Snapshot(D), (std::vector<std::string>{"QTY=1|", "QTY=2|", "QTY=<null>|"}))
      << "with one column, an empty line is a record whose field is null";
}

TEST(Exchange, BadJsonIsRefusedWithItsLineAndLoadsNothing) {
  const std::string Good = "[\n  {\"NAME\": \"ok\", \"QTY\": 1},\n";
  ExpectRefused(
      {
          {"", "line 1: expected '['"},
          {"{\"NAME\": \"a\"}", "line 1: expected '['"},
          {Good + "  {\"NAME\": \"b\",\n   \"QTY\": \"7\"}\n]",
           "line 3: field 'QTY': expected a number, found a string"},
          {Good + "  {\"COLOR\": 1}\n]", "line 3: unknown field 'COLOR'"},
          {Good + "  {\"QTY\": 1, \"qty\": 2}\n]", "line 3: field 'qty' appears twice"},
          {Good + "  {\"QTY\": 1.5}\n]", "line 3: field 'QTY': '1.5' is not an INTEGER"},
          {Good + "  {\"QTY\": true}\n]", "line 3: field 'QTY': expected a number, found true"},
          {Good + "  {\"NAME\": 12}\n]", "line 3: field 'NAME': expected a string, found 12"},
          {Good + "  {\"B\": \"true\"}\n]", "line 3: field 'B': expected true or false"},
          {Good + "  {\"D\": \"2020-13-01\"}\n]", "line 3: field 'D': '2020-13-01' is not a date"},
          {Good + "  {\"NAME\": {\"x\": 1}}\n]", "line 3: nested objects and arrays"},
          {Good + "  {\"NAME\": [1]}\n]", "line 3: nested objects and arrays"},
          {Good + "  [1]\n]", "line 3: expected an object"},
          {Good + "  {\"QTY\": 01}\n]", "line 3: '01' is not a JSON number"},
          {Good + "  {\"NAME\": \"a\\ud800\"}\n]", "line 3: a \\u escape holds a lone surrogate"},
          {Good + "  {\"NAME\": \"a\\q\"}\n]", "line 3: unknown escape"},
          {Good + "  {\"NAME\": \"a\nb\"}\n]", "line 3: a control character"},
          {Good + "  {\"NAME\": \"a\\nb\"}\n]",
           "line 3: field 'NAME': the text holds a line break"},
          {Good + "  {\"NAME\": \"abc", "line 3: a string is not terminated"},
          {Good + "  {\"NAME\": \"x\" \"QTY\": 2}\n]", "line 3: expected ',' or '}'"},
          {Good + "  {\"NAME\": \"x\"}\n", "line 4: expected ',' or ']'"},
          {Good + "  {\"NAME\": nul}\n]", "line 3: expected a value"},
          {Good + "  {\"NAME\": \"x\"}\n] x", "line 4: unexpected text after the array"},
          {"[{\"NAME\": \"\xc3\"}]", "line 1: a string is not valid UTF-8"},
      },
      true);
}

TEST(Exchange, JsonReadsEscapesAndUnicode) {
  THookedDataset D;
  D.Describe({"FIELD=NAME,CHAR,20", "FIELD=F,FLOAT,0"});
  LoadJson(D, " [ {\"NAME\" : \"\\u00e9\\ud83d\\ude00\\\"\\\\\\/\\tx\", \"F\": -2.5E+3} ] ");
  D.First();
  EXPECT_EQ(D.FieldByName("NAME")->AsString(), "é😀\"\\/\tx");
  EXPECT_EQ(D.FieldByName("F")->AsFloat(), -2500.0);
  EXPECT_EQ(JsonOf(D), "[\n  {\"NAME\": \"é😀\\\"\\\\/\\tx\", \"F\": -2500}\n]\n");
}

TEST(Exchange, ExportWritesTheVisibleRecordsOfTheViewAndKeepsTheCursor) {
  THookedDataset D;
  D.Describe({"FIELD=NAME,CHAR,10", "FIELD=N,INTEGER,0"});
  D.Open();
  for (const char* Name : {"c", "a", "d", "b"}) D.AppendRawRecord({Name, 1});
  D.SortOn("NAME", false, false);
  D.OnFilterRecord = [](TDataSet* Data, bool& Accept) {
    Accept = Data->FieldByName("NAME")->AsString() != "b";
  };
  D.SetFiltered(true);
  D.First();
  D.Next();
  EXPECT_EQ(CsvOf(D), "NAME,N\r\na,1\r\nc,1\r\nd,1\r\n");
  EXPECT_EQ(D.FieldByName("NAME")->AsString(), "c");
  D.Edit();
  EXPECT_NE(ErrorOf([&] { CsvOf(D); }), "") << "a record being edited is not exported";
  EXPECT_NE(ErrorOf([&] { LoadCsv(D, "NAME\r\nz\r\n"); }), "");
  D.Cancel();
}

TEST(Exchange, ImportOpensAClosedDatasetAndAppends) {
  THookedDataset D;
  D.Describe({"FIELD=NAME,CHAR,10"});
  D.OnLoadHook = [](THookedDataset& Data, TKlvLoadAction) { Data.AppendRawRecord({"loaded"}); };
  LoadCsv(D, "NAME\r\nimported\r\n");
  ASSERT_TRUE(D.Active());
  EXPECT_EQ(Snapshot(D), (std::vector<std::string>{"NAME=loaded|", "NAME=imported|"}));
  // Raw loading: the update hook never hears of the imported records.
  EXPECT_EQ(D.HookLog, (std::vector<std::string>{"load 0"}));
}

TEST(Exchange, ImportNeedingMoreIdentifiersThanAreLeftLoadsNothing) {
  TEventDataset D(nullptr);
  TStringStream Saved("#VERSION=1\r\n#NAME=\r\n#PARAMS=0\r\n#FIELDS=1\r\n#COMMITED=1\r\n"
                      "#CACHED=0\r\n#DELETED=0\r\nFIELD=NAME,CHAR,5\r\nBOOK2147483646=ANN\r\n");
  D.LoadFromStream(Saved);
  EXPECT_NE(ErrorOf([&] { LoadCsv(D, "NAME\r\nBOB\r\nCY\r\n"); }), "");
  EXPECT_EQ(D.RecordCount(), 1);
  LoadJson(D, "[{\"NAME\": \"BOB\"}]");
  EXPECT_EQ(D.RecordCount(), 2);
}

TEST(Exchange, ExportToAFileReplacesTheOldOneOnlyWhenComplete) {
  file_test::TTempDir Dir;
  const std::string Csv = (Dir / "out.csv").string(), Json = (Dir / "out.json").string();
  THookedDataset D;
  DescribeAllTypes(D);
  D.Open();
  FillAllTypes(D);
  ExportCsvFile(D, Csv);
  ExportJsonFile(D, Json);
  EXPECT_EQ(file_test::ReadAll(Csv), CsvOf(D));
  EXPECT_EQ(file_test::ReadAll(Json), JsonOf(D));

  THookedDataset FromCsv, FromJson;
  DescribeAllTypes(FromCsv);
  DescribeAllTypes(FromJson);
  ImportCsvFile(FromCsv, Csv);
  ImportJsonFile(FromJson, Json);
  EXPECT_EQ(Snapshot(FromCsv), Snapshot(D));
  EXPECT_EQ(Snapshot(FromJson), Snapshot(D));

  // An export that fails leaves the previous file whole and no temporary file behind.
  file_test::WriteAll(Csv, "old csv");
  file_test::WriteAll(Json, "old json");
  D.Edit();
  EXPECT_THROW(ExportCsvFile(D, Csv), EDatabaseError);
  EXPECT_THROW(ExportJsonFile(D, Json), EDatabaseError);
  D.Cancel();
  EXPECT_EQ(file_test::ReadAll(Csv), "old csv");
  EXPECT_EQ(file_test::ReadAll(Json), "old json");
  EXPECT_EQ(Dir.Entries().size(), 2u);
}

} // namespace
} // namespace kelva::testing
