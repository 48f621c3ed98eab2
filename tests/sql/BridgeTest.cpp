// The database bridge against real databases, the same tests for SQLite and PostgreSQL:
// loading with described or given fields, every type both ways, applying changes under each
// update mode against another user's change, the error limits and the failed-record answers,
// generated keys, paging and master/detail parameters.
#include "sql/BridgeFixture.h"

#include "kelva/framework/rtl/SysUtils.h"
#include "support/Joined.h"

namespace kelva::sql_test {
namespace {

std::vector<std::string> LinesOf(const TStrings& Lines) {
  std::vector<std::string> Result;
  for (std::int32_t I = 0; I < Lines.Count(); ++I) Result.push_back(Lines[I]);
  return Result;
}

std::string ErrorOf(const std::function<void()>& Action) {
  try {
    Action();
  } catch (const Exception& E) {
    return E.Message();
  }
  return "";
}

TEST_P(BridgeTest, OpensWithDescribedFieldsAndEveryTypeRead) {
  Bridge->Open();
  // "Zürich" takes seven bytes: a text column is as wide as its widest value in bytes.
  EXPECT_EQ(LinesOf(Data->MetaFields()),
            (std::vector<std::string>{"FIELD=id,INTEGER,0", "FIELD=name,CHAR,20",
                                      "FIELD=city,CHAR,7", "FIELD=balance,BCD,0",
                                      "FIELD=born,DATE,0", "FIELD=active,BOOLEAN,0",
                                      "FIELD=score,FLOAT,0", "FIELD=seen,DATETIME,0",
                                      "FIELD=alarm,TIME,0", "FIELD=rank,SMALLINT,0"}));
  ASSERT_EQ(Data->RecordCount(), 3);
  Locate(1);
  EXPECT_EQ(Data->FieldByName("NAME")->AsString(), "Ann");
  EXPECT_EQ(Data->FieldByName("BALANCE")->AsCurrency(), Currency::FromScaled(125000));
  EXPECT_EQ(Data->FieldByName("BORN")->AsDateTime(), EncodeDate(1990, 2, 3));
  EXPECT_TRUE(Data->FieldByName("ACTIVE")->AsBoolean());
  EXPECT_EQ(Data->FieldByName("SCORE")->AsFloat(), 1.5);
  EXPECT_EQ(Data->FieldByName("SEEN")->AsDateTime(),
            EncodeDate(2024, 1, 2) + EncodeTime(3, 4, 5, 0));
  EXPECT_EQ(Data->FieldByName("ALARM")->AsDateTime(), EncodeTime(6, 7, 8, 0));
  EXPECT_EQ(Data->FieldByName("RANK")->AsInteger(), 3);
  Locate(2);
  EXPECT_EQ(Data->FieldByName("NAME")->AsString(), "O'Brien \"Bob\"");
  EXPECT_EQ(Data->FieldByName("CITY")->AsString(), "Zürich"); // six characters, seven bytes
  EXPECT_FALSE(Data->FieldByName("ACTIVE")->AsBoolean());
  EXPECT_TRUE(Data->FieldByName("BORN")->IsNull());
  Locate(3);
  for (const char* Name : {"CITY", "BALANCE", "BORN", "ACTIVE", "SCORE", "SEEN", "ALARM", "RANK"})
    EXPECT_TRUE(Data->FieldByName(Name)->IsNull()) << Name;
}

TEST_P(BridgeTest, GivenFieldsMustBeColumnsOfTheQuery) {
  Data->MetaFields().Add("FIELD=ID,INTEGER,0");
  Data->MetaFields().Add("FIELD=NAME,CHAR,10");
  Bridge->Open();
  EXPECT_EQ(Data->RecordCount(), 3);
  Data->Close();
  Data->MetaFields().Add("FIELD=PHONE,CHAR,10");
  EXPECT_EQ(ErrorOf([&] { Bridge->Open(); }),
            "Field PHONE of Customers is not a column of the query");
  EXPECT_FALSE(Data->Active());
}

TEST_P(BridgeTest, EveryTypeIsWrittenBackAsItWasRead) {
  OpenCached();
  Locate(3);
  Data->Edit();
  Data->FieldByName("CITY")->SetAsString("Łódź");
  Data->FieldByName("BALANCE")->SetAsCurrency(Currency::FromScaled(-12345600));
  Data->FieldByName("BORN")->SetAsDateTime(EncodeDate(2001, 12, 31));
  Data->FieldByName("ACTIVE")->SetAsBoolean(true);
  Data->FieldByName("SCORE")->SetAsFloat(0.1);
  Data->FieldByName("SEEN")->SetAsDateTime(EncodeDate(2020, 2, 29) + EncodeTime(12, 0, 1, 250));
  Data->FieldByName("ALARM")->SetAsDateTime(EncodeTime(23, 59, 59, 999));
  Data->FieldByName("RANK")->SetAsInteger(-32768);
  Data->Post();
  EXPECT_EQ(Bridge->ApplyUpdates(), 0);
  EXPECT_FALSE(Data->UpDatesPending());
  // A second dataset reading the table sees exactly the values written.
  TEventDataset Again(nullptr);
  TSqlDatasetBridge Reader(nullptr);
  Reader.SetConnection(Other.get());
  Reader.SetDataSet(&Again);
  Reader.SetSelectSQL("SELECT * FROM customers WHERE id = 3");
  Reader.Open();
  for (const char* Name : {"CITY", "BALANCE", "BORN", "ACTIVE", "SCORE", "SEEN", "ALARM", "RANK"})
    EXPECT_EQ(Again.FieldByName(Name)->AsString(), Data->FieldByName(Name)->AsString()) << Name;
}

TEST_P(BridgeTest, AppliesInsertsUpdatesAndDeletesAndReadsGeneratedKeysBack) {
  OpenCached();
  SetCity(1, "Rome");
  Locate(2);
  Data->Delete();
  Data->Append();
  Data->FieldByName("NAME")->SetAsString("Dan");
  Data->FieldByName("CITY")->SetAsString("Lima");
  Data->Post();
  EXPECT_EQ(Bridge->ApplyUpdates(), 0);
  EXPECT_EQ(Names(), (Rows{"1|Ann|Rome", "3|Cleo|null", "4|Dan|Lima"}));
  EXPECT_FALSE(Data->UpDatesPending());
  ASSERT_TRUE(Data->Locate("NAME", "Dan", {}));
  EXPECT_EQ(Data->FieldByName("ID")->AsInteger(), 4); // the key the database generated
  EXPECT_FALSE(Data->UpDatesPending());
  // A record inserted and deleted again before applying never reaches the table.
  Data->Append();
  Data->FieldByName("NAME")->SetAsString("Eve");
  Data->Post();
  Data->Delete();
  EXPECT_EQ(Bridge->ApplyUpdates(), 0);
  EXPECT_EQ(Names().size(), 3u);
}

// Another user changes Ann's city; this dataset then changes her name (and, in the last
// case, her city too). Which applies depends on what the WHERE clause compares.
TEST_P(BridgeTest, UpdateModesDecideWhatCountsAsAConflict) {
  struct TCase {
    TSqlUpdateMode Mode;
    bool ChangeCityToo;
    bool Applies;
  };
  for (const TCase Case : {TCase{upWhereKeyOnly, true, true}, TCase{upWhereChanged, false, true},
                           TCase{upWhereChanged, true, false}, TCase{upWhereAll, false, false}}) {
    SCOPED_TRACE(std::to_string(Case.Mode) + (Case.ChangeCityToo ? " with city" : ""));
    Other->ExecuteDirect("UPDATE customers SET name = 'Ann', city = 'Oslo' WHERE id = 1");
    Bridge->SetUpdateMode(Case.Mode);
    OpenCached();
    Other->ExecuteDirect("UPDATE customers SET city = 'Bergen' WHERE id = 1");
    Locate(1);
    Data->Edit();
    Data->FieldByName("NAME")->SetAsString("Anna");
    if (Case.ChangeCityToo) Data->FieldByName("CITY")->SetAsString("Paris");
    Data->Post();
    std::string Error = ErrorOf([&] { Bridge->ApplyUpdates(); });
    if (Case.Applies) {
      EXPECT_EQ(Error, "");
      EXPECT_FALSE(Data->UpDatesPending());
      EXPECT_EQ(Names()[0], Case.ChangeCityToo ? "1|Anna|Paris" : "1|Anna|Bergen");
    } else {
      EXPECT_EQ(Error, "The record was changed or deleted by another user");
      EXPECT_TRUE(Data->UpDatesPending());
      EXPECT_EQ(Names()[0], "1|Ann|Bergen");
    }
    Data->Close();
  }
}

// Comparing every original value finds the record again when nobody else changed it: dates
// and times are compared in the form the table holds them.
TEST_P(BridgeTest, ComparingAllOriginalValuesFindsAnUnchangedRecord) {
  Bridge->SetUpdateMode(upWhereAll);
  OpenCached();
  SetCity(1, "Rome");
  EXPECT_EQ(Bridge->ApplyUpdates(), 0);
  EXPECT_EQ(Names()[0], "1|Ann|Rome");
}

// Ann and Cleo are changed here; another user deletes Ann first. Each limit on errors.
TEST_P(BridgeTest, MaxErrorsDecidesBetweenRollingBackAndApplyingTheRest) {
  for (std::int32_t MaxErrors : {0, 1, -1}) {
    SCOPED_TRACE(MaxErrors);
    Connection->ExecuteDirect("DELETE FROM customers WHERE id > 3");
    Bridge->SetMaxErrors(MaxErrors);
    OpenCached();
    SetCity(1, "Rome");
    SetCity(3, "Nice");
    Other->ExecuteDirect("DELETE FROM customers WHERE id = 1");
    std::int32_t Failed = -1;
    const std::string Error = ErrorOf([&] { Failed = Bridge->ApplyUpdates(); });
    if (MaxErrors == 0) {
      EXPECT_EQ(Error, "The record was changed or deleted by another user");
      EXPECT_EQ(Names(), (Rows{"2|O'Brien \"Bob\"|Zürich", "3|Cleo|null"})); // rolled back
      Data->SetBrowseBuffer(brModified);
      EXPECT_EQ(Data->RecordCount(), 2); // both changes still pending
      Data->SetBrowseBuffer(brStandard);
    } else {
      EXPECT_EQ(Error, "");
      EXPECT_EQ(Failed, 1);
      EXPECT_EQ(Names(), (Rows{"2|O'Brien \"Bob\"|Zürich", "3|Cleo|Nice"}));
      Data->SetBrowseBuffer(brModified);
      ASSERT_EQ(Data->RecordCount(), 1); // Ann's change stays pending, Cleo's is committed
      EXPECT_EQ(Data->FieldByName("ID")->AsInteger(), 1);
      Data->SetBrowseBuffer(brStandard);
    }
    Data->Close();
    AddCustomer(
        {1, "Ann", "Oslo", "12.50", "1990-02-03", true, 1.5, "2024-01-02 03:04:05", "06:07:08", 3});
    Other->ExecuteDirect("UPDATE customers SET city = NULL WHERE id = 3");
  }
}

TEST_P(BridgeTest, TheFailedRecordEventSkipsAbortsOrRetries) {
  Bridge->SetMaxErrors(-1);
  std::vector<std::string> Heard;
  TSqlErrorAction Answer = eaSkip;
  Bridge->OnApplyError = [&](TSqlDatasetBridge*, TKelvaDataset* DataSet, TSqlUpdateKind Kind,
                             const std::string& Message, TSqlErrorAction& Action) {
    Heard.push_back(std::to_string(Kind) + ":" + DataSet->FieldByName("ID")->AsString() + ":" +
                    Message);
    Action = Answer;
    // Retrying: the handler puts the other user's row back first (inside the apply's own
    // transaction), so the second attempt finds it.
    if (Answer == eaRetry) {
      AddCustomer({1, "Ann", "Oslo", "12.50", "1990-02-03", true, 1.5, "2024-01-02 03:04:05",
                   "06:07:08", 3},
                  Connection.get());
      Answer = eaSkip;
    }
  };
  for (TSqlErrorAction First : {eaSkip, eaAbort, eaRetry}) {
    SCOPED_TRACE(First);
    Heard.clear();
    Answer = First;
    OpenCached();
    SetCity(1, "Rome");
    SetCity(3, "Nice");
    Other->ExecuteDirect("DELETE FROM customers WHERE id = 1");
    const std::string Error = ErrorOf([&] { Bridge->ApplyUpdates(); });
    ASSERT_EQ(Heard.size(), 1u);
    EXPECT_EQ(Heard[0], "1:1:The record was changed or deleted by another user");
    if (First == eaAbort) {
      EXPECT_EQ(Error, "Applying the changes was aborted: The record was changed or deleted by "
                       "another user");
      EXPECT_EQ(Query("SELECT city FROM customers WHERE id = 3"), Rows{"null"});
    } else {
      EXPECT_EQ(Error, "");
      EXPECT_EQ(Query("SELECT city FROM customers WHERE id = 3"), Rows{"Nice"});
    }
    EXPECT_EQ(Query("SELECT city FROM customers WHERE id = 1"),
              First == eaRetry ? Rows{"Rome"} : Rows{});
    EXPECT_EQ(Data->UpDatesPending(), First != eaRetry);
    Data->Close();
    Other->ExecuteDirect("DELETE FROM customers WHERE id = 1");
    Other->ExecuteDirect("UPDATE customers SET city = NULL WHERE id = 3");
    AddCustomer(
        {1, "Ann", "Oslo", "12.50", "1990-02-03", true, 1.5, "2024-01-02 03:04:05", "06:07:08", 3});
  }
}

TEST_P(BridgeTest, LoadsAPageAtATimeWhenAskedForMore) {
  for (int I = 10; I < 17; ++I)
    AddCustomer({I, testing::Joined("P", std::to_string(I)), Null(), Null(), Null(), Null(), Null(),
                 Null(), Null(), Null()});
  Bridge->SetSelectSQL("SELECT id, name FROM customers ORDER BY id");
  Bridge->SetPageSize(4);
  Bridge->Open();
  EXPECT_EQ(Data->RecordCount(), 4);
  Data->FetchMoreData(false);
  EXPECT_EQ(Data->RecordCount(), 8);
  Data->FetchAll();
  EXPECT_EQ(Data->RecordCount(), 10);
  Data->FetchMoreData(false); // nothing is left: nothing happens
  EXPECT_EQ(Data->RecordCount(), 10);
  Data->Last();
  EXPECT_EQ(Data->FieldByName("NAME")->AsString(), "P16");
}

TEST_P(BridgeTest, ADetailQueryTakesItsMastersKeyThroughParameters) {
  for (const auto& [Customer, Item] :
       std::vector<std::pair<int, const char*>>{{1, "apples"}, {1, "pears"}, {2, "nuts"}}) {
    auto Insert = Other->Prepare("INSERT INTO orders (customer, item) VALUES (?, ?)");
    Insert->Statement().Bind(1, Customer);
    Insert->Statement().Bind(2, Item);
    Insert->Statement().Step();
  }
  Bridge->Open(); // the master: customers
  TDataSource MasterSource(nullptr);
  MasterSource.SetDataSet(Data);
  TEventDataset Orders(nullptr);
  TStringList ParamLines;
  ParamLines.Add("PARAM=ID,INTEGER");
  Orders.SetFParamsDesc(ParamLines);
  Orders.SetMasterSource(&MasterSource);
  TSqlDatasetBridge Detail(nullptr);
  Detail.SetConnection(Connection.get());
  Detail.SetDataSet(&Orders);
  Detail.SetSelectSQL("SELECT item FROM orders WHERE customer = :id ORDER BY item");
  const auto Items = [&] {
    Rows Result;
    for (Orders.First(); !Orders.Eof(); Orders.Next())
      Result.push_back(Orders.FieldByName("ITEM")->AsString());
    return Result;
  };
  Locate(1);
  Orders.Prepare();
  Detail.Open();
  EXPECT_EQ(Items(), (Rows{"apples", "pears"}));
  Locate(2);
  Orders.Prepare();
  Detail.Refresh();
  EXPECT_EQ(Items(), (Rows{"nuts"}));
  Orders.Close();
}

TEST_P(BridgeTest, BadSettingsAndAFailingConnectionSayWhatIsWrong) {
  Bridge->SetTableName("");
  EXPECT_EQ(ErrorOf([&] { Bridge->Open(); }), "Bridge  has neither a table nor a query");
  Bridge->SetTableName("no_such_table");
  EXPECT_NE(ErrorOf([&] { Bridge->Open(); }), "");
  EXPECT_FALSE(Data->Active());
  Bridge->SetSelectSQL("SELECT * FROM customers WHERE id = ?");
  EXPECT_NE(ErrorOf([&] { Bridge->Open(); }).find("name its parameters"), std::string::npos);
  TSqlConnection Broken(nullptr);
  Broken.SetDriverKind(GetParam());
  Broken.SetDatabase(GetParam() == sdSQLite ? (Folder / "missing" / "x.db").string()
                                            : Database + " dbname=no_such_database");
  const std::string Error = ErrorOf([&] { Broken.Open(); });
  EXPECT_NE(Error.find(GetParam() == sdSQLite ? "Cannot open SQLite database"
                                              : "Cannot connect to PostgreSQL database"),
            std::string::npos)
      << Error;
  EXPECT_EQ(QuoteIdentifier("a\"b"), "\"a\"\"b\"");
}

INSTANTIATE_TEST_SUITE_P(Drivers, BridgeTest, ::testing::Values(sdSQLite, sdPostgreSQL),
                         DriverName);

} // namespace
} // namespace kelva::sql_test
