// Loads and layouts at their limits: the highest record identifier, a slot length no record
// can hold, a file whose records would need more memory than a load may use, memory that
// runs out mid-load, and failed loads that must give back everything they replaced or let
// an application handler's own error through.
#include "OrderingSupport.h"
#include "TempDirectory.h"

#include <gtest/gtest.h>

#include <climits>
#include <new>
#include <unistd.h>

namespace kelva {
namespace {

using namespace ordering_test;
using namespace file_test;

std::string TextOf(const std::vector<std::string>& Fields, std::int32_t Committed,
                   const std::vector<std::string>& RecordLines) {
  std::string Text =
      "#VERSION=1\r\n#NAME=\r\n#PARAMS=0\r\n#FIELDS=" + std::to_string(Fields.size()) +
      "\r\n#COMMITED=" + std::to_string(Committed) + "\r\n#CACHED=0\r\n#DELETED=0\r\n";
  for (const std::string& Line : Fields) Text += Line + "\r\n";
  for (const std::string& Line : RecordLines) Text += Line + "\r\n";
  return Text;
}

void Load(TKelvaDataset& D, const std::string& Text) {
  TStringStream Stream(Text);
  D.LoadFromStream(Stream);
}

TEST(IdentifierLimits, TheHighestIdentifierLeavesNoRoomForANewRecord) {
  TEventDataset D(nullptr);
  int Reported = 0;
  D.OnUpdaterec = [&](TKelvaDataset*, TUpdateStatus) { ++Reported; };
  Load(D, TextOf({"FIELD=NAME,CHAR,5"}, 1, {"BOOK2147483647=ANN"}));
  ASSERT_EQ(D.LastRecId(), INT_MAX);
  const std::string Expected = Format(SKlvNoRecIdLeft, {INT_MAX});

  EXPECT_EQ(ErrorOf([&] { D.AppendRecord({"BOB"}); }), Expected);
  D.Cancel();
  EXPECT_EQ(Reported, 0); // the store refused before the change was reported anywhere
  EXPECT_EQ(ErrorOf([&] { D.AppendRawRecord({"RAW"}); }), Expected);
  EXPECT_EQ(D.State(), dsBrowse);
  D.SetCachedUpdates(true);
  EXPECT_EQ(ErrorOf([&] { D.InsertRecord({"NEW"}); }), Expected);
  D.Cancel();
  EXPECT_FALSE(D.UpDatesPending());
  EXPECT_EQ(Column(D, "NAME"), std::vector<std::string>{"ANN"});
  EXPECT_EQ(D.LastRecId(), INT_MAX);
}

TEST(IdentifierLimits, ACharLengthNoRecordCanHoldIsASchemaError) {
  for (const char* Length : {"2147483647", "2147483646", "65534", "-1"}) {
    SCOPED_TRACE(Length);
    TEventDataset D(nullptr);
    D.SetKLVFields(Lines({"FIELD=ID,INTEGER,0", std::string("FIELD=A,CHAR,") + Length}));
    EXPECT_EQ(ErrorOf([&] { D.Open(); }), Format(SKlvSchemaError, {"A"}));
    EXPECT_FALSE(D.Active());
  }
  // Eight of the widest text fields and one more fill a record to its last byte.
  TStringList Fields;
  for (int I = 1; I <= 8; ++I) Fields.Add("FIELD=T" + std::to_string(I) + ",CHAR,8000");
  Fields.Add("FIELD=LAST,CHAR,1525");
  TEventDataset Widest(nullptr);
  Widest.SetKLVFields(Fields);
  Widest.Open();
  EXPECT_EQ(Widest.DataSize(), MaxDataSize);
  Fields.SetStrings(8, "FIELD=LAST,CHAR,1526");
  Widest.SetKLVFields(Fields);
  EXPECT_EQ(ErrorOf([&] { Widest.Open(); }), Format(SKlvSchemaError, {"LAST"}));
}

// Sets the load ceiling for one test.
class TLoadLimit {
public:
  explicit TLoadLimit(std::uint64_t Bytes) : FOld(TKelvaDataset::LoadMemoryLimit()) {
    TKelvaDataset::SetLoadMemoryLimit(Bytes);
  }
  ~TLoadLimit() { TKelvaDataset::SetLoadMemoryLimit(FOld); }

private:
  std::uint64_t FOld;
};

// A small file whose short lines each become a 56 KB record.
std::string PaddedText(int Records) {
  std::vector<std::string> Lines;
  for (int I = 1; I <= Records; ++I) Lines.push_back("BOOK" + std::to_string(I) + "=x");
  std::vector<std::string> Fields;
  for (int I = 1; I <= 7; ++I) Fields.push_back("FIELD=W" + std::to_string(I) + ",CHAR,8000");
  return TextOf(Fields, Records, Lines);
}

TEST(LoadMemory, ALoadThatCannotFitIsRefusedBeforeItAllocates) {
  const auto Physical = static_cast<std::uint64_t>(::sysconf(_SC_PHYS_PAGES)) *
                        static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
  EXPECT_GE(TKelvaDataset::LoadMemoryLimit(), std::uint64_t{64} << 20);
  EXPECT_LE(TKelvaDataset::LoadMemoryLimit(), Physical);

  const std::string Text = PaddedText(300); // about 17 MB of records from 4 KB of text
  TEventDataset D(nullptr);
  D.SetKLVFields(Lines({"FIELD=KEPT,CHAR,3"}));
  {
    TLoadLimit Limit(8 << 20);
    const std::string Message = ErrorOf([&] { Load(D, Text); });
    EXPECT_NE(Message.find("8 MiB"), std::string::npos) << Message;
    EXPECT_FALSE(D.Active());
    EXPECT_EQ(D.MetaFields().Text(), "FIELD=KEPT,CHAR,3\r\n");
  }
  TLoadLimit Limit(64 << 20);
  Load(D, Text);
  EXPECT_EQ(D.RecordCount(), 300);
}

// Memory runs out once Limit bytes have been read.
class TExhaustingStream : public TStringStream {
public:
  TExhaustingStream(const std::string& Data, std::int64_t Limit)
      : TStringStream(Data), FLimit(Limit) {}
  std::int64_t Read(void* Buffer, std::int64_t Count) override {
    if (Count > FLimit) throw std::bad_alloc();
    FLimit -= Count;
    return TStringStream::Read(Buffer, Count);
  }

private:
  std::int64_t FLimit;
};

// A dataset opened once with FIELD=OLD and closed again, with parameters set.
void PrepareOld(TEventDataset& D) {
  D.SetFParamsDesc(Lines({"PARAM=KEPT,CHAR"}));
  D.ParamByName("KEPT")->SetAsString("value");
  OpenWith(D, {"FIELD=OLD,CHAR,3"}, {});
  D.Close();
}

void ExpectOld(TEventDataset& D) {
  EXPECT_FALSE(D.Active());
  EXPECT_EQ(D.MetaFields().Text(), "FIELD=OLD,CHAR,3\r\n");
  EXPECT_EQ(D.ParamsDesc().Text(), "PARAM=KEPT,CHAR\r\n");
  EXPECT_EQ(D.ParamByName("KEPT")->AsString(), "value");
  EXPECT_FALSE(D.CachedUpdates());
  ASSERT_EQ(D.FieldDefs().Count(), 1);
  EXPECT_EQ(D.FieldDefs()[0]->Name(), "OLD");
  EXPECT_EQ(D.FieldDefs()[0]->DataType(), ftString);
  EXPECT_EQ(D.FieldDefs()[0]->Size(), 3);
  EXPECT_EQ(D.DataSize(), 5);
}

TEST(FailedLoads, EverythingTheLoadReplacedIsGivenBack) {
  const std::vector<std::string> Broken = {
      TextOf({"FIELD=NEW,INTEGER,0"}, 2, {"BOOK1=1"}), // a record line short
      TextOf({"FIELD=NEW,CHAR,X"}, 0, {}),             // a description opening rejects
  };
  for (const std::string& Text : Broken) {
    TEventDataset D(nullptr);
    PrepareOld(D);
    EXPECT_EQ(ErrorOf([&] { Load(D, Text); }), SklvFicError);
    ExpectOld(D);
  }
  {
    // A close handler that refuses cannot keep a failed load open.
    TEventDataset D(nullptr);
    PrepareOld(D);
    D.BeforeClose = [](TDataSet*) { throw EDatabaseError("not now"); };
    EXPECT_EQ(ErrorOf([&] { Load(D, Broken[0]); }), SklvFicError);
    D.BeforeClose = nullptr;
    ExpectOld(D);
  }
  // Memory runs out at once, or once the dataset has opened and is storing records.
  std::vector<std::string> Many;
  for (int I = 1; I <= 40000; ++I)
    Many.push_back("BOOK" + std::to_string(I) + "=" + std::to_string(I));
  const std::string Large = TextOf({"FIELD=NEW,INTEGER,0"}, 40000, Many);
  ASSERT_GT(Large.size(), 300000u); // read in more than one piece
  for (std::int64_t Limit : {std::int64_t{0}, std::int64_t{300000}}) {
    SCOPED_TRACE(Limit);
    TEventDataset D(nullptr);
    PrepareOld(D);
    TExhaustingStream Stream(Large, Limit);
    EXPECT_EQ(ErrorOf([&] { D.LoadFromStream(Stream); }), SKlvLoadOutOfMemory);
    ExpectOld(D);
  }
}

TEST(FailedLoads, ALoadHandlersOwnErrorReachesTheCaller) {
  const std::string Valid = TextOf({"FIELD=NEW,INTEGER,0"}, 1, {"BOOK1=1"});
  TEventDataset D(nullptr);
  PrepareOld(D);
  D.OnLoad = [](TKelvaDataset*, TKlvLoadAction) { throw EDatabaseError("source offline"); };
  EXPECT_EQ(ErrorOf([&] { Load(D, Valid); }), "source offline");
  ExpectOld(D);

  D.OnLoad = [](TKelvaDataset*, TKlvLoadAction) { Abort(); };
  EXPECT_THROW(Load(D, Valid), EAbort);
  ExpectOld(D);

  D.OnLoad = nullptr;
  Load(D, Valid);
  EXPECT_EQ(Column(D, "NEW"), std::vector<std::string>{"1"});
}

} // namespace
} // namespace kelva
