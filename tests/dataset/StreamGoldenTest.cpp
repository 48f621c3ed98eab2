// The bytes a save writes are fixed: stored files and peers read them. These texts were
// produced before the writer was rebuilt for speed and must not change.
#include "OrderingSupport.h"

namespace kelva {
namespace {

using namespace ordering_test;

std::string Saved(TKelvaDataset& D) {
  TStringStream Stream;
  D.SaveToStream(Stream);
  return Stream.DataString();
}

// Every type word, nulls, parameters, and pending insertions, modifications and deletions.
void OpenEveryKind(TEventDataset& D) {
  D.SetName("Golden");
  D.SetFParamsDesc(Lines({"PARAM=CUSTNO,INTEGER", "PARAM=SINCE,DATE"}));
  OpenWith(D,
           {"FIELD=NAME,CHAR,8", "FIELD=PRICE,FLOAT,0", "FIELD=OK,BOOLEAN,0", "FIELD=QTY,INTEGER,0",
            "FIELD=SMALL,SMALLINT,0", "FIELD=DAY,DATE,0", "FIELD=AT,TIME,0",
            "FIELD=STAMP,DATETIME,0", "FIELD=AMOUNT,BCD,0"},
           {{"ANN", 1.5, true, 42, 7, Null(), Null(), Null(), Null()},
            {"BOB", Null(), false, -3, Null(), Null(), Null(), Null(), Null()},
            {"CAT", 1e-7, Null(), Null(), -32768, Null(), Null(), Null(), Null()}});
  D.First();
  D.Edit();
  D.FieldByName("DAY")->SetAsDateTime(EncodeDate(2024, 2, 29));
  D.FieldByName("AT")->SetAsDateTime(EncodeTime(13, 45, 30, 250));
  D.FieldByName("STAMP")->SetAsDateTime(EncodeDate(1999, 12, 31) + EncodeTime(23, 59, 59, 0));
  D.FieldByName("AMOUNT")->SetAsCurrency(Currency::FromDouble(-1234.5678));
  D.Post();
  D.SetCachedUpdates(true);
  D.Next();
  D.Edit();
  D.FieldByName("NAME")->SetAsString("BOBBY");
  D.FieldByName("PRICE")->SetAsFloat(123456789.125);
  D.Post();
  D.Next();
  D.Delete();
  D.AppendRecord({"DAN", Null(), true, Null(), Null(), Null(), Null(), Null(), Null()});
}

const char* const EveryKindText =
    "#VERSION=1\r\n"
    "#NAME=Golden\r\n"
    "#PARAMS=2\r\n"
    "#FIELDS=9\r\n"
    "#COMMITED=3\r\n"
    "#CACHED=3\r\n"
    "#DELETED=1\r\n"
    "PARAM=CUSTNO,INTEGER\r\n"
    "PARAM=SINCE,DATE\r\n"
    "FIELD=NAME,CHAR,8\r\n"
    "FIELD=PRICE,FLOAT,0\r\n"
    "FIELD=OK,BOOLEAN,0\r\n"
    "FIELD=QTY,INTEGER,0\r\n"
    "FIELD=SMALL,SMALLINT,0\r\n"
    "FIELD=DAY,DATE,0\r\n"
    "FIELD=AT,TIME,0\r\n"
    "FIELD=STAMP,DATETIME,0\r\n"
    "FIELD=AMOUNT,BCD,0\r\n"
    "BOOK1=ANN                          1.5T          42     7                 45351     "
    "-693594.573266782        63082367999000-1234.5678                         \r\n"
    "BOOK2=BOB                             F          -3                                           "
    "                                                                \r\n"
    "BOOK3=CAT                         1E-7             -32768                                     "
    "                                                                \r\n"
    "BOOK1=ANN                          1.5T          42     7                 45351     "
    "-693594.573266782        63082367999000-1234.5678                         \r\n"
    "BOOK2=BOBBY              123456789.125F          -3                                           "
    "                                                                \r\n"
    "BOOK4=DAN                             T                                                       "
    "                                                                \r\n"
    "BOOK3=CAT                         1E-7             -32768                                     "
    "                                                                \r\n";

TEST(StreamGolden, EveryKindOfValueAndPendingChangeIsWrittenAsBefore) {
  TEventDataset D(nullptr);
  OpenEveryKind(D);
  const std::string Text = Saved(D);
  EXPECT_EQ(Text, EveryKindText);

  // And reading it back gives the same text again.
  TEventDataset Copy(nullptr);
  Copy.SetName("Golden");
  TStringStream Stream(Text);
  Copy.LoadFromStream(Stream);
  EXPECT_EQ(Saved(Copy), Text);
}

} // namespace
} // namespace kelva
