// Sorting the current record list on fields: key order, case rules, nulls and booleans,
// ties, the current record, refusals before anything moves, and the record comparison.
#include "OrderingSupport.h"

#include <algorithm>
#include <random>

namespace kelva {
namespace {

using namespace ordering_test;
using Names = std::vector<std::string>;

void OpenPeople(TEventDataset& D) {
  OpenWith(D,
           {"FIELD=NAME,CHAR,10", "FIELD=AGE,INTEGER,0", "FIELD=CODE,CHAR,5", "FIELD=OK,BOOLEAN,0"},
           {{"smith", 42, "10", true},
            {"JONES", 9, "9", false},
            {"Brown", 42, "2", Null()},
            {"SMITH", Null(), "", true},
            {"adams", 9, "100", false}});
}

struct SortCase {
  const char* Fields;
  bool CaseInsensitive;
  bool Descending;
  Names Expected;
};

TEST(Sort, OrdersOnTheNamedFields) {
  const SortCase Cases[] = {
      // Numbers numerically, nulls first, equal keys in their previous order.
      {"AGE", false, false, {"SMITH", "JONES", "adams", "smith", "Brown"}},
      // The same digits as text: "10" before "9".
      {"CODE", false, false, {"SMITH", "smith", "adams", "Brown", "JONES"}},
      // Null, then False, then True.
      {"OK", false, false, {"Brown", "JONES", "adams", "smith", "SMITH"}},
      {"AGE;NAME", false, false, {"SMITH", "adams", "JONES", "Brown", "smith"}},
      {"AGE;NAME", false, true, {"smith", "Brown", "JONES", "adams", "SMITH"}},
      // Locale order, lower case first when only the case differs.
      {"NAME", false, false, {"adams", "Brown", "JONES", "smith", "SMITH"}},
      {"name", false, true, {"SMITH", "smith", "JONES", "Brown", "adams"}},
  };
  for (const SortCase& Case : Cases) {
    SCOPED_TRACE(std::string(Case.Fields) + (Case.Descending ? " descending" : ""));
    TEventDataset D(nullptr);
    OpenPeople(D);
    D.SortOn(Case.Fields, Case.CaseInsensitive, Case.Descending);
    EXPECT_EQ(Column(D, "NAME"), Case.Expected);
  }
}

TEST(Sort, IgnoringCaseKeepsTiesInTheirOrder) {
  TEventDataset D(nullptr);
  OpenPeople(D);
  D.SortOn("NAME", false, true);
  D.SortOn("NAME", true, false);
  EXPECT_EQ(Column(D, "NAME"), (Names{"adams", "Brown", "JONES", "SMITH", "smith"}));
  D.SortOn("NAME", true, true);
  EXPECT_EQ(Column(D, "NAME"), (Names{"SMITH", "smith", "JONES", "Brown", "adams"}));
}

TEST(Sort, KeepsTheCurrentRecordAtItsNewPosition) {
  TEventDataset D(nullptr);
  OpenPeople(D);
  D.First();
  D.Next();
  TBookmark Mark = D.GetBookmark();
  D.SortOn("NAME", false, false);
  EXPECT_EQ(D.FieldByName("NAME")->AsString(), "JONES");
  EXPECT_EQ(D.RecNo(), 3);
  D.Last();
  D.GotoBookmark(Mark);
  EXPECT_EQ(D.FieldByName("NAME")->AsString(), "JONES");
}

TEST(Sort, FewerThanTwoRecordsReturnAtOnce) {
  TEventDataset Empty(nullptr);
  OpenWith(Empty, {"FIELD=NAME,CHAR,10"}, {});
  EXPECT_NO_THROW(Empty.SortOn("NOSUCHFIELD", false, false));
  TEventDataset One(nullptr);
  OpenWith(One, {"FIELD=NAME,CHAR,10"}, {{"ANN"}});
  EXPECT_NO_THROW(One.SortOn("NOSUCHFIELD;OTHER", true, true));
  EXPECT_EQ(Column(One, "NAME"), Names{"ANN"});
}

TEST(Sort, RefusesUnknownAndCalculatedFieldsBeforeAnythingMoves) {
  TEventDataset D(nullptr);
  AddTwiceField(D);
  Fill(D, {"FIELD=NAME,CHAR,10", "FIELD=AGE,INTEGER,0"}, {{"B", 2}, {"A", 1}, {"C", 3}});
  D.Open();
  EXPECT_EQ(D.FieldByName("TWICE")->AsInteger(), 6);
  EXPECT_EQ(ErrorOf([&] { D.SortOn("NAME;NOPE", false, false); }), "Field 'NOPE' not found");
  EXPECT_EQ(ErrorOf([&] { D.SortOn("NAME;TWICE", false, false); }), SFieldIndexError);
  EXPECT_EQ(ErrorOf([&] { D.SortOn("TWICE", false, false); }), SFieldIndexError);
  EXPECT_EQ(Column(D, "NAME"), (Names{"B", "A", "C"}));
}

TEST(Sort, PostsAPendingEditAndCancelsAnEmptyInsert) {
  TEventDataset D(nullptr);
  OpenPeople(D);
  D.First();
  D.Next();
  D.Edit();
  D.FieldByName("NAME")->SetAsString("ZED");
  D.SortOn("NAME", false, false);
  EXPECT_EQ(D.State(), dsBrowse);
  EXPECT_EQ(D.FieldByName("NAME")->AsString(), "ZED");
  EXPECT_EQ(D.RecNo(), 5);
  D.Append();
  D.SortOn("AGE", false, false);
  EXPECT_EQ(D.RecordCount(), 5);
  D.Close();
  EXPECT_EQ(ErrorOf([&] { D.SortOn("NAME", false, false); }), SDataSetClosed);
}

TEST(Sort, HiddenRecordsAndTheCommittedListUnderCachedUpdates) {
  TEventDataset D(nullptr);
  OpenPeople(D);
  D.OnFilterRecord = [](TDataSet* Self, bool& Accept) {
    Accept = !Self->FieldByName("AGE")->IsNull();
  };
  D.SetFiltered(true);
  D.SortOn("NAME", false, true);
  EXPECT_EQ(Column(D, "NAME"), (Names{"smith", "JONES", "Brown", "adams"}));
  D.SetFiltered(false);
  EXPECT_EQ(Column(D, "NAME"), (Names{"SMITH", "smith", "JONES", "Brown", "adams"}));

  // With a working copy, the standard view sorts the copy and the old view the committed list.
  D.SetCachedUpdates(true);
  D.First();
  D.Edit();
  D.FieldByName("AGE")->SetAsInteger(1);
  D.Post();
  D.SortOn("AGE", false, false);
  EXPECT_EQ(Column(D, "NAME"), (Names{"SMITH", "JONES", "adams", "smith", "Brown"}));
  D.SetBrowseBuffer(brold);
  EXPECT_EQ(Column(D, "NAME"), (Names{"SMITH", "smith", "JONES", "Brown", "adams"}));
  D.SortOn("NAME", false, false);
  EXPECT_EQ(Column(D, "NAME"), (Names{"adams", "Brown", "JONES", "smith", "SMITH"}));
  D.SetBrowseBuffer(brStandard);
  EXPECT_EQ(Column(D, "NAME"), (Names{"SMITH", "JONES", "adams", "smith", "Brown"}));
}

// Texts of digits and ASCII letters may be sorted on their own bytes instead of collation
// keys; whichever way a column is sorted, the order must be the one the text comparisons
// give, with ties in their previous order. Each alphabet is tried alone and with one text
// that rules the shortcut out (a space, a hyphen, an accented letter, the other case).
TEST(Sort, TextOrderAgreesWithTheTextComparisonsForEveryAlphabet) {
  const std::string Alphabets[] = {"0123456789", "0123456789ABCXYZ", "019abcxyz", "0AaBbZz9", "AB"};
  const std::string Spoilers[] = {"",
                                  "A B",
                                  "A-1",
                                  "\xC3\xA9"
                                  "A",
                                  "aB",
                                  "Ab"};
  std::mt19937 Random(20241210);
  for (const std::string& Alphabet : Alphabets)
    for (const std::string& Spoiler : Spoilers)
      for (const bool CaseInsensitive : {false, true}) {
        SCOPED_TRACE(Alphabet + " with '" + Spoiler + "'" +
                     (CaseInsensitive ? " ignoring case" : ""));
        TRows Rows;
        Names Texts;
        for (int I = 0; I < 120; ++I) {
          std::string Text(Random() % 6, ' ');
          for (char& C : Text) C = Alphabet[Random() % Alphabet.size()];
          Texts.push_back(Text);
        }
        if (!Spoiler.empty()) Texts[Random() % Texts.size()] = Spoiler;
        for (std::size_t I = 0; I < Texts.size(); ++I)
          Rows.push_back({Texts[I], static_cast<std::int32_t>(I)});
        TEventDataset D(nullptr);
        OpenWith(D, {"FIELD=TEXT,CHAR,8", "FIELD=SEQ,INTEGER,0"}, Rows);
        D.SortOn("TEXT", CaseInsensitive, false);

        std::vector<std::size_t> Expected(Texts.size());
        for (std::size_t I = 0; I < Expected.size(); ++I) Expected[I] = I;
        std::stable_sort(Expected.begin(), Expected.end(), [&](std::size_t A, std::size_t B) {
          return (CaseInsensitive ? AnsiCompareText(Texts[A], Texts[B])
                                  : AnsiCompareStr(Texts[A], Texts[B])) < 0;
        });
        Names Want;
        for (const std::size_t I : Expected) Want.push_back(std::to_string(I));
        EXPECT_EQ(Column(D, "SEQ"), Want);
      }
}

TEST(Sort, RecordComparisonAppliesThePartialLengthToTheLastFieldOnly) {
  TListedDataset D(nullptr);
  OpenWith(D, {"FIELD=NAME,CHAR,10", "FIELD=AGE,INTEGER,0"},
           {{"SMI", 5}, {"SMITH", 5}, {"SMITH", 7}, {"", Null()}});
  const TKlvRecordList& List = *D.CommittedBuf();
  const char *Smi = List.Image(0), *Smith5 = List.Image(1), *Smith7 = List.Image(2),
             *Blank = List.Image(3);
  TField* Name = D.FieldByName("NAME");
  TField* Age = D.FieldByName("AGE");
  EXPECT_EQ(D.CompareFields(Smi, Smith5, {Name}, 0, 3, false), 0);
  EXPECT_LT(D.CompareFields(Smi, Smith5, {Name}, 0, 0, false), 0);
  EXPECT_LT(D.CompareFields(Smi, Smith5, {Name, Age}, 0, 3, false), 0);
  EXPECT_EQ(D.CompareFields(Smi, Smith5, {Age, Name}, 0, 3, false), 0);
  EXPECT_LT(D.CompareFields(Smi, Smith7, {Age, Name}, 0, 3, false), 0);
  EXPECT_GT(D.CompareFields(Smith7, Smi, {Age, Name}, 0, 3, false), 0);
  EXPECT_GT(D.CompareFields(Smith7, Smith5, {Name, Age}, 1, 0, false), 0);
  // A null value comes before every value and equals another null.
  EXPECT_LT(D.CompareOneField(Blank, Smi, Age, 0, false), 0);
  EXPECT_EQ(D.CompareOneField(Blank, Blank, Age, 0, false), 0);
  EXPECT_LT(D.CompareOneField(Blank, Smi, Name, 0, false), 0);
  EXPECT_EQ(D.State(), dsBrowse);
}

} // namespace
} // namespace kelva
