// Saving to and loading from the line-oriented text stream: the all-or-nothing load of a
// malformed stream, what a good load rebuilds, the reader's tolerances, and what is written.
#include "FileTextSupport.h"
#include "OrderingSupport.h"

namespace kelva {
namespace {

using namespace ordering_test;

// Seven header lines with the given values, "#VERSION=1" first.
std::string HeaderText(const std::string& Params, const std::string& Fields,
                       const std::string& Committed, const std::string& Cached = "0",
                       const std::string& Deleted = "0") {
  return "#VERSION=1\r\n#NAME=X\r\n#PARAMS=" + Params + "\r\n#FIELDS=" + Fields +
         "\r\n#COMMITED=" + Committed + "\r\n#CACHED=" + Cached + "\r\n#DELETED=" + Deleted +
         "\r\n";
}

std::string Header(int Params, int Fields, int Committed, int Cached = 0, int Deleted = 0) {
  return HeaderText(std::to_string(Params), std::to_string(Fields), std::to_string(Committed),
                    std::to_string(Cached), std::to_string(Deleted));
}

// NAME CHAR 5 (slot 6) and AGE INTEGER (slot 12): images of 19 characters.
const std::string Fields2 = "FIELD=NAME,CHAR,5\r\nFIELD=AGE,INTEGER,0\r\n";

std::string Image(const std::string& Name, const std::string& Age) {
  return Name + std::string(6 - Name.size(), ' ') + std::string(12 - Age.size(), ' ') + Age + " ";
}

std::string Saved(TKelvaDataset& D) {
  TStringStream Stream;
  D.SaveToStream(Stream);
  return Stream.DataString();
}

std::string Load(TKelvaDataset& D, const std::string& Text) {
  return file_test::LoadError(D, Text);
}

struct MalformedCase {
  const char* What;
  std::string Text;
  bool HandlerRaises = false;
};

TEST(StreamLoad, MalformedStreamChangesNothing) {
  const std::string Good = Header(0, 2, 1) + Fields2 + "BOOK1=" + Image("ANN", "3") + "\r\n";
  const MalformedCase Cases[] = {
      {"empty stream", ""},
      {"binary garbage", std::string("\x01\xff\xfe=\x00\x13#VERSION=1", 16)},
      {"truncated header", "#VERSION=1\r\n#NAME=X\r\n#PARAMS=0\r\n"},
      {"version 2", "#VERSION=2" + Good.substr(10)},
      {"version 1.0", "#VERSION=1.0" + Good.substr(10)},
      {"no version line", "#REMARK=1" + Good.substr(10)},
      {"count not a number", HeaderText("0", "two", "0") + Fields2},
      {"empty count", HeaderText("", "2", "0") + Fields2},
      {"negative count", Header(0, 2, -1) + Fields2},
      {"identifier not a number", Header(0, 2, 1) + Fields2 + "BOOKx=" + Image("ANN", "3")},
      {"key too short for an identifier", Header(0, 2, 1) + Fields2 + "BK=" + Image("ANN", "3")},
      {"too few record lines",
       Header(0, 2, 2) + Fields2 + "BOOK1=" + Image("ANN", "3") + "\r\nno record here\r\n"},
      {"too few description lines", Header(0, 3, 0) + Fields2},
      {"description that does not open", Header(0, 1, 0) + "FIELD=NAME,CHAR,ten\r\n"},
      {"no description at all", Header(0, 0, 0)},
      {"same identifier twice", Header(0, 2, 2) + Fields2 + "BOOK4=" + Image("ANN", "3") +
                                    "\r\nBOOK4=" + Image("BOB", "4") + "\r\n"},
      {"same identifier twice in the deleted list",
       Header(0, 2, 1, 1, 2) + Fields2 + "BOOK1=" + Image("ANN", "3") +
           "\r\nBOOK1=" + Image("ANN", "3") + "\r\nBOOK2=" + Image("BOB", "1") +
           "\r\nBOOK2=" + Image("BOB", "1") + "\r\n"},
      {"load handler raises", Good, true},
  };
  {
    TEventDataset Probe(nullptr); // the cases below spoil this good stream
    ASSERT_EQ(Load(Probe, Good), "");
  }
  for (const MalformedCase& Case : Cases) {
    SCOPED_TRACE(Case.What);
    TEventDataset D(nullptr);
    D.SetFParamsDesc(Lines({"PARAM=OLD,INTEGER"}));
    D.ParamByName("OLD")->SetAsInteger(41);
    D.SetKLVFields(Lines({"FIELD=OLD,CHAR,5"}));
    if (Case.HandlerRaises)
      D.OnLoad = [](TKelvaDataset* Self, TKlvLoadAction) {
        Self->SetCachedUpdates(true);
        throw EDatabaseError("no connection");
      };
    // A load handler's own error is no fault of the file: it reaches the caller as raised.
    EXPECT_EQ(Load(D, Case.Text), Case.HandlerRaises ? "no connection" : "invalid file format");
    EXPECT_FALSE(D.Active());
    EXPECT_EQ(D.ParamsDesc().Text(), "PARAM=OLD,INTEGER\r\n");
    EXPECT_EQ(D.MetaFields().Text(), "FIELD=OLD,CHAR,5\r\n");
    ASSERT_EQ(D.GetParamsCount(), 1);
    EXPECT_EQ(D.Params()[0]->Name(), "OLD");
    EXPECT_EQ(D.Params()[0]->AsInteger(), 41);
    EXPECT_FALSE(D.CachedUpdates());
  }
}

TEST(StreamLoad, AnnouncedCountIsNotTrustedForMemory) {
  // Two thousand million records announced, one present: refused like any short file, and
  // without first setting memory aside for what the header claims.
  TEventDataset D(nullptr);
  const std::string Text =
      Header(0, 2, 2000000000) + Fields2 + "BOOK1=" + Image("ANN", "3") + "\r\n";
  EXPECT_EQ(Load(D, Text), "invalid file format");
  EXPECT_FALSE(D.Active());
}

TEST(StreamLoad, SucceedsWithParametersIdentifiersAndFittedImages) {
  const std::string Text = Header(1, 2, 3) + "PARAM=CUSTNO,INTEGER\r\n" + Fields2 +
                           "BOOK9=" + Image("ANN", "3") +
                           "TRAILING JUNK\r\nBOOK5=BOB\r\nBOOK7=\r\n";
  TListedDataset D(nullptr);
  D.SetFParamsDesc(Lines({"PARAM=OLD,CHAR"}));
  ASSERT_EQ(Load(D, Text), "");
  ASSERT_TRUE(D.Active());
  ASSERT_EQ(D.GetParamsCount(), 1);
  EXPECT_EQ(D.Params()[0]->Name(), "CUSTNO");
  EXPECT_EQ(D.Params()[0]->DataType(), ftInteger);
  EXPECT_TRUE(D.Bof());
  EXPECT_EQ(D.FieldByName("NAME")->AsString(), "ANN");
  D.Next();
  EXPECT_EQ(D.FieldByName("NAME")->AsString(), "BOB");
  EXPECT_TRUE(D.FieldByName("AGE")->IsNull());
  // Short images are padded with blanks, long ones cut to the record.
  EXPECT_EQ(D.CommittedBuf()->ImageView(0), Image("ANN", "3"));
  EXPECT_EQ(D.CommittedBuf()->ImageView(1), Image("BOB", ""));
  EXPECT_EQ(D.CommittedBuf()->ImageView(2), Image("", ""));
  D.AppendRecord({"CAT", 1});
  EXPECT_EQ(D.LastRecId(), 10);
}

TEST(StreamLoad, ReaderTolerances) {
  // Header keys in any case and order; lines without '=' skipped among the records; any
  // four characters before the identifier; lines after the last record ignored.
  const std::string Text = "#deleted=0\r\n#Fields=2\r\n#cached=0\r\n#NAME=\r\n#version=1\r\n"
                           "#commited=2\r\n#Params=0\r\n" +
                           Fields2 + "\r\nnothing to see\r\nXXXX5=" + Image("ANN", "1") +
                           "\r\n\r\nBOOK6=" + Image("BOB", "2") + "\r\nBOOK7=" + Image("CAT", "3") +
                           "\r\nnot=a record\r\n";
  TListedDataset D(nullptr);
  ASSERT_EQ(Load(D, Text), "");
  EXPECT_EQ(Column(D, "NAME"), (std::vector<std::string>{"ANN", "BOB"}));
  EXPECT_EQ(D.CommittedBuf()->RecId(0), 5);
  EXPECT_EQ(D.CommittedBuf()->RecId(1), 6);
}

TEST(StreamLoad, WorkingCopyOnlyWhenCachedOrDeletedCounted) {
  const std::string Committed = "BOOK1=" + Image("ANN", "1") + "\r\nBOOK2=" + Image("BOB", "2");
  {
    // The one committed record is deleted, so the working copy is empty.
    TListedDataset D(nullptr);
    ASSERT_EQ(Load(D, Header(0, 2, 1, 0, 1) + Fields2 + "BOOK2=" + Image("BOB", "2") +
                          "\r\nBOOK2=" + Image("BOB", "2") + "\r\n"),
              "");
    EXPECT_TRUE(D.CachedUpdates());
    EXPECT_TRUE(D.CachedBufActive());
    EXPECT_EQ(D.RecordCount(), 0);
    EXPECT_EQ(D.DeletedBuf()->Count(), 1);
    EXPECT_TRUE(D.UpDatesPending());
    D.SetBrowseBuffer(brDeleted);
    EXPECT_EQ(Column(D, "NAME"), std::vector<std::string>{"BOB"});
  }
  for (const bool Cached : {false, true}) {
    SCOPED_TRACE(Cached);
    TListedDataset D(nullptr);
    D.SetCachedUpdates(Cached);
    ASSERT_EQ(Load(D, Header(0, 2, 2) + Fields2 + Committed), "");
    EXPECT_EQ(D.CachedUpdates(), Cached);
    EXPECT_FALSE(D.CachedBufActive());
    EXPECT_EQ(D.RecordCount(), 2);
  }
}

TEST(StreamSave, WritesSlotTextsExactly) {
  TEventDataset D(nullptr);
  OpenWith(D, {"FIELD=N,INTEGER,0", "FIELD=B,BOOLEAN,0"}, {});
  EXPECT_EQ(Saved(D), "#VERSION=1\r\n#NAME=\r\n#PARAMS=0\r\n#FIELDS=2\r\n#COMMITED=0\r\n"
                      "#CACHED=0\r\n#DELETED=0\r\nFIELD=N,INTEGER,0\r\nFIELD=B,BOOLEAN,0\r\n");
  D.AppendRecord({5, true});
  D.AppendRecord({Null(), false});
  const std::string Text = Saved(D);
  EXPECT_NE(Text.find("BOOK1=" + std::string(11, ' ') + "5T \r\nBOOK2=" + std::string(12, ' ') +
                      "F \r\n"),
            std::string::npos)
      << Text;
}

TEST(StreamSave, WritesEveryListWhateverIsShown) {
  TEventDataset D(nullptr);
  D.SetFParamsDesc(Lines({"PARAM=CUSTNO,INTEGER"}));
  OpenWith(D, {"FIELD=NAME,CHAR,5", "FIELD=AGE,INTEGER,0"}, {{"ANN", 1}, {"BOB", 2}, {"CAT", 3}});
  D.SetCachedUpdates(true);
  D.First();
  D.Edit();
  D.FieldByName("AGE")->SetAsInteger(10);
  D.Post();
  D.Next();
  D.Delete();
  D.AppendRecord({"DAN", 4});
  const std::string Plain = Saved(D);
  EXPECT_NE(Plain.find("#COMMITED=3\r\n#CACHED=3\r\n#DELETED=1\r\n"), std::string::npos);

  D.OnFilterRecord = [](TDataSet*, bool& Accept) { Accept = false; };
  D.SetFiltered(true);
  EXPECT_EQ(Saved(D), Plain);
  D.SetBrowseBuffer(brDeleted);
  EXPECT_EQ(Saved(D), Plain);

  // What was written reads back into the same three lists.
  TEventDataset Copy(nullptr);
  ASSERT_EQ(Load(Copy, Plain), "");
  EXPECT_EQ(Saved(Copy), Plain);
  EXPECT_EQ(Column(Copy, "NAME"), (std::vector<std::string>{"ANN", "CAT", "DAN"}));
}

TEST(StreamSave, RefusesDescriptionLinesWithLineBreaksBeforeWritingAnything) {
  const char* const Broken[] = {"REMARK=one\r\ntwo", "REMARK=one\rtwo", "REMARK=one\ntwo"};
  for (int I = 0; I < 6; ++I) {
    SCOPED_TRACE(I);
    TEventDataset D(nullptr);
    // A field list ignores lines that describe no field, so both lists can carry one.
    (I < 3 ? D.ParamsDesc() : D.MetaFields()).Add(Broken[I % 3]);
    D.MetaFields().Add("FIELD=NAME,CHAR,5");
    D.Open();
    TStringStream Stream;
    EXPECT_THROW(D.SaveToStream(Stream), EDatabaseError);
    EXPECT_EQ(Stream.DataString(), "");
  }
}

} // namespace
} // namespace kelva
