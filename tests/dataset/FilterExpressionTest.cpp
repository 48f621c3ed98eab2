// Filter expressions in the Filter text: each operator on each type, nulls, prefixes and the
// filter options, precedence, errors that keep the previous filter, the combination with
// the filter event, and everything that honours the filter (navigation, searches, views).
#include "OrderingSupport.h"

namespace kelva {
namespace {

using namespace ordering_test;
using Ids = std::vector<std::string>;

Variant Null() {
  return Variant::MakeNull();
}
Variant Date(int Y, int M, int D) {
  return Variant::FromDateTime(EncodeDate(Y, M, D));
}
Variant Time(int H, int N, int S, int Ms = 0) {
  return Variant::FromDateTime(EncodeTime(H, N, S, Ms));
}
Variant Stamp(int Y, int M, int D, int H, int N, int S = 0) {
  return Variant::FromDateTime(EncodeDate(Y, M, D) + EncodeTime(H, N, S, 0));
}

// Six records over every type; record 5 is null in every field but ID.
void OpenAllTypes(TEventDataset& D) {
  OpenWith(
      D,
      {"FIELD=ID,INTEGER,0", "FIELD=NAME,CHAR,10", "FIELD=S,SMALLINT,0", "FIELD=F,FLOAT,0",
       "FIELD=C,BCD,0", "FIELD=D,DATE,0", "FIELD=T,TIME,0", "FIELD=DT,DATETIME,0",
       "FIELD=B,BOOLEAN,0"},
      {{1, "Anna", -5, 0.1, "12.5", Date(2000, 1, 1), Time(6, 0, 0), Stamp(2000, 1, 1, 12, 0),
        true},
       {2, "anders", 100, 2.5, "3", Date(1999, 12, 31), Time(23, 59, 59), Stamp(2001, 6, 15, 8, 30),
        false},
       {3, "Bob*", 7, 1e20, "0.0001", Date(2010, 5, 5), Time(12, 30, 0),
        Stamp(2000, 1, 1, 12, 0, 1), true},
       {4, "Zoë", 0, 0.0, "-7.25", Date(2000, 1, 1), Time(0, 0, 0), Stamp(1999, 1, 1, 0, 0), false},
       {5, Null(), Null(), Null(), Null(), Null(), Null(), Null(), Null()},
       {6, "O'Neil", 32767, -2.75, "922337203685477", Date(2000, 1, 2), Time(6, 0, 0, 500),
        Stamp(2000, 1, 1, 12, 0), true}});
}

// The IDs visible through Filter with the given options.
Ids Visible(TEventDataset& D, const std::string& Filter, TFilterOptions Options = {}) {
  D.SetFilterOptions(Options);
  D.SetFilterText(Filter);
  D.SetFiltered(true);
  return Column(D, "ID");
}

struct TCase {
  const char* Filter;
  Ids Expected;
};

void CheckCases(TEventDataset& D, const std::vector<TCase>& Cases, TFilterOptions Options = {}) {
  for (const TCase& Case : Cases)
    EXPECT_EQ(Visible(D, Case.Filter, Options), Case.Expected) << Case.Filter;
}

TEST(FilterExpression, EveryOperatorOnEveryTypeAndNullsNeverCompare) {
  TEventDataset D(nullptr);
  OpenAllTypes(D);
  CheckCases(D, {
                    // whole numbers, a literal on either side, a fraction against whole numbers
                    {"S = -5", {"1"}},
                    {"S <> -5", {"2", "3", "4", "6"}},
                    {"S < 7", {"1", "4"}},
                    {"S <= 7", {"1", "3", "4"}},
                    {"S > 7", {"2", "6"}},
                    {"S >= 100", {"2", "6"}},
                    {"100 < S", {"6"}},
                    {"-5 = S", {"1"}},
                    {"S = 0", {"4"}},
                    {"S > 6.5", {"2", "3", "6"}},
                    {"ID in (2, 6)", {"2", "6"}},
                    // floating point: a literal equals the stored value of the same number
                    {"F = 0.1", {"1"}},
                    {"F = 0", {"4"}},
                    {"F > 1e19", {"3"}},
                    {"F < 0", {"6"}},
                    {"F >= 2.5", {"2", "3"}},
                    // BCD amounts, however the literal writes them
                    {"C = 12.5", {"1"}},
                    {"C = 12.50", {"1"}},
                    {"C = 0.0001", {"3"}},
                    {"C = 3", {"2"}},
                    {"C < 0", {"4"}},
                    {"C > 1000", {"6"}},
                    // dates, times and date-times from quoted texts
                    {"D = '2000-01-01'", {"1", "4"}},
                    {"D > '2000-01-01'", {"3", "6"}},
                    {"D <= '1999-12-31'", {"2"}},
                    {"D in ('2000-01-02', '1999-12-31')", {"2", "6"}},
                    {"T = '06:00:00'", {"1"}},
                    {"T = '00:00:00'", {"4"}},
                    {"T > '06:00:00'", {"2", "3", "6"}},
                    {"T < '06:00:01'", {"1", "4", "6"}},
                    {"DT = '2000-01-01 12:00:00'", {"1", "6"}},
                    {"DT > '2000-01-01 12:00:00'", {"2", "3"}},
                    {"DT < '2000-01-01'", {"4"}},
                    // booleans, False before True
                    {"B = true", {"1", "3", "6"}},
                    {"B = FALSE", {"2", "4"}},
                    {"B <> true", {"2", "4"}},
                    {"B = 'T'", {"1", "3", "6"}},
                    {"B < true", {"2", "4"}},
                    // nulls: only "is null" finds them; a null is neither 0 nor ''
                    {"NAME is null", {"5"}},
                    {"NAME IS NOT NULL", {"1", "2", "3", "4", "6"}},
                    {"S is null and F is null and C is null and D is null and T is null and "
                     "DT is null and B is null",
                     {"5"}},
                    {"NAME = ''", {}},
                    {"not (S = -5)", {"2", "3", "4", "6"}},
                    {"not (S > 1000)", {"1", "2", "3", "4"}},
                    {"NAME not in ('Anna', 'Zoë')", {"2", "3", "6"}},
                    {"S > 1000 or S is null", {"5", "6"}},
                    // two fields of the number kind
                    {"S < F", {"1", "3"}},
                });
}

TEST(FilterExpression, TextComparisonsPrefixesAndOptions) {
  TEventDataset D(nullptr);
  OpenAllTypes(D);
  CheckCases(D, {
                    {"NAME = 'Anna'", {"1"}},
                    {"NAME = 'anna'", {}},
                    {"NAME <> 'Anna'", {"2", "3", "4", "6"}},
                    {"NAME = 'O''Neil'", {"6"}},
                    {"[NAME] = 'Anna'", {"1"}},
                    {"name = 'Anna'", {"1"}},
                    // the locale's collation, as sorting orders: "anders" comes before "B"
                    {"NAME > 'B'", {"3", "4", "6"}},
                    {"NAME < 'b'", {"1", "2"}},
                    // a trailing '*' matches the texts it begins, with = <> and in
                    {"NAME = 'An*'", {"1"}},
                    {"NAME = 'Bob*'", {"3"}},
                    {"NAME <> 'An*'", {"2", "3", "4", "6"}},
                    {"NAME in ('Z*', 'an*')", {"2", "4"}},
                    {"NAME in ('Anna', 'Zoë', 'nobody')", {"1", "4"}},
                });
  CheckCases(D,
             {
                 {"NAME = 'anna'", {"1"}},
                 {"NAME = 'AN*'", {"1", "2"}},
                 {"NAME in ('ZOË')", {"4"}},
                 {"NAME = 'zo*'", {"4"}},
                 {"NAME >= 'anna'", {"1", "3", "4", "6"}},
                 {"NAME < 'B'", {"1", "2"}},
             },
             {foCaseInsensitive});
  CheckCases(D,
             {{"NAME = 'Bob*'", {"3"}},
              {"NAME = 'An*'", {}},
              {"NAME <> 'Bo*'", {"1", "2", "3", "4", "6"}}},
             {foNoPartialCompare});
  CheckCases(D, {{"NAME = 'BOB*'", {"3"}}, {"NAME = 'bo*'", {}}},
             {foCaseInsensitive, foNoPartialCompare});
}

TEST(FilterExpression, TextOrderAgreesWithTheSort) {
  const std::vector<std::string> Names = {"b", "B", "a",  "A", "ab", "Ab", "a-b",
                                          "Å", "z", "10", "9", "é",  "E",  "e"};
  for (const bool CaseInsensitive : {false, true}) {
    TEventDataset D(nullptr);
    TRows Rows;
    for (const std::string& Name : Names) Rows.push_back({Name});
    OpenWith(D, {"FIELD=NAME,CHAR,5"}, Rows);
    D.SortOn("NAME", CaseInsensitive, false);
    const std::vector<std::string> Sorted = Column(D, "NAME");
    const TFilterOptions Options =
        CaseInsensitive ? TFilterOptions{foCaseInsensitive} : TFilterOptions{};
    for (std::size_t I = 0; I < Sorted.size(); ++I) {
      // Records equal to Sorted[I] ignoring case may stand before it in the sort.
      std::vector<std::string> Expected(Sorted.begin() + static_cast<std::ptrdiff_t>(I),
                                        Sorted.end());
      for (std::size_t J = 0; J < I; ++J)
        if (CaseInsensitive && AnsiCompareText(Sorted[J], Sorted[I]) == 0)
          Expected.insert(Expected.begin(), Sorted[J]);
      std::vector<std::string> Got = [&] {
        D.SetFilterOptions(Options);
        D.SetFilterText("NAME >= '" + Sorted[I] + "'");
        D.SetFiltered(true);
        return Column(D, "NAME");
      }();
      std::sort(Expected.begin(), Expected.end());
      std::sort(Got.begin(), Got.end());
      EXPECT_EQ(Got, Expected) << Sorted[I] << (CaseInsensitive ? " ignoring case" : "");
      D.SetFiltered(false);
    }
  }
}

TEST(FilterExpression, PrecedenceIsNotThenAndThenOr) {
  TEventDataset D(nullptr);
  OpenAllTypes(D);
  CheckCases(D, {
                    {"S = -5 or S = 7 and B = false", {"1"}},
                    {"(S = -5 or S = 7) and B = true", {"1", "3"}},
                    {"not S = -5 and B = true", {"3", "6"}},
                    {"not (S = -5 and B = true)", {"2", "3", "4", "6"}},
                    {"not not B = true", {"1", "3", "6"}},
                    {"B = true and not (NAME = 'B*') OR ID = 2", {"1", "2", "6"}},
                    {"((ID = 1)) or (ID = 2 or (ID = 3 and (S = 7)))", {"1", "2", "3"}},
                });
}

TEST(FilterExpression, ErrorsNameThePositionAndKeepThePreviousFilter) {
  TEventDataset D(nullptr);
  OpenAllTypes(D);
  const std::vector<std::pair<const char*, const char*>> Cases = {
      {"S = ", "Filter expression error at position 5: field name or value expected (end of text)"},
      {"NAME = 'abc", "Filter expression error at position 8: unterminated text"},
      {"XYZ = 1", "Filter expression error at position 1: unknown field 'XYZ'"},
      {"S = 1 and XYZ > 2", "Filter expression error at position 11: unknown field 'XYZ'"},
      {"S = 'abc'", "Filter expression error at position 5: number value expected"},
      {"(S = 1", "Filter expression error at position 7: ')' expected (end of text)"},
      {"S = 1 S = 2", "Filter expression error at position 7: unexpected 'S'"},
      {"D = 'not a date'", "Filter expression error at position 5: date value expected"},
      {"NAME = 5", "Filter expression error at position 8: text value expected"},
      {"S = NAME", "Filter expression error at position 5: cannot compare number with text"},
      {"S # 1", "Filter expression error at position 3: unexpected character '#'"},
      {"1 = 2", "Filter expression error at position 1: field name expected"},
      {"S is 1", "Filter expression error at position 6: 'null' expected"},
      {"S in 1", "Filter expression error at position 6: '(' expected"},
      {"S = 12x", "Filter expression error at position 7: invalid number"},
      {"B = 1", "Filter expression error at position 5: boolean value expected"},
  };
  EXPECT_EQ(Visible(D, "S = -5"), Ids{"1"});
  for (const auto& Case : Cases) {
    EXPECT_EQ(ErrorOf([&] { D.SetFilterText(Case.first); }), Case.second) << Case.first;
    EXPECT_EQ(D.Filter(), "S = -5");
    EXPECT_EQ(Column(D, "ID"), Ids{"1"}) << Case.first;
  }
  // Options that would need a recompile keep the filter too when it fails.
  D.SetFilterText("NAME = 'anna'");
  EXPECT_EQ(Column(D, "ID"), Ids{});
  D.SetFilterOptions({foCaseInsensitive});
  EXPECT_EQ(Column(D, "ID"), Ids{"1"});
}

TEST(FilterExpression, ClosedDatasetChecksSyntaxAtOnceAndFieldsAtOpen) {
  TEventDataset D(nullptr);
  OpenAllTypes(D);
  D.Close();
  EXPECT_EQ(ErrorOf([&] { D.SetFilterText("S = = 1"); }),
            "Filter expression error at position 5: field name or value expected");
  EXPECT_EQ(D.Filter(), "");
  D.SetFilterText("NOSUCH = 1");
  D.SetFiltered(true);
  EXPECT_EQ(ErrorOf([&] { D.Open(); }),
            "Filter expression error at position 1: unknown field 'NOSUCH'");
  EXPECT_FALSE(D.Active());
  D.SetFilterText("B = true and S > 0");
  D.Open();
  EXPECT_EQ(Column(D, "ID"), (Ids{"3", "6"}));
  // A blank text is no expression.
  D.SetFilterText("   ");
  EXPECT_EQ(Column(D, "ID"), (Ids{"1", "2", "3", "4", "5", "6"}));
}

TEST(FilterExpression, FieldsWithoutStoredValuesAreRefused) {
  TEventDataset D(nullptr);
  AddTwiceField(D);
  D.Open();
  EXPECT_EQ(ErrorOf([&] { D.SetFilterText("AGE > 1 or TWICE > 2"); }),
            "Filter expression error at position 12: field 'TWICE' holds no stored value a "
            "filter can read");
  EXPECT_EQ(D.Filter(), "");
}

TEST(FilterExpression, FilterTextIsNeverSilentlyIgnored) {
  TEventDataset D(nullptr);
  OpenWith(D, {"FIELD=NAME,CHAR,10", "FIELD=CITY,CHAR,10"},
           {{"A", "Oslo"}, {"B", "Bergen"}, {"C", "Oslo"}});
  D.SetFilterText("CITY = 'Oslo'");
  EXPECT_EQ(Column(D, "NAME"), (Ids{"A", "B", "C"})); // not Filtered yet
  D.SetFiltered(true);
  EXPECT_EQ(Column(D, "NAME"), (Ids{"A", "C"}));
  // Changing the text or the options while Filtered re-reads the view from its first record.
  D.Last();
  D.SetFilterText("CITY = 'bergen'");
  EXPECT_TRUE(D.Eof() && D.Bof());
  D.SetFilterOptions({foCaseInsensitive});
  EXPECT_EQ(D.FieldByName("NAME")->AsString(), "B");
}

TEST(FilterExpression, CombinesWithTheFilterEvent) {
  TEventDataset D(nullptr);
  OpenAllTypes(D);
  D.OnFilterRecord = [](TDataSet* Self, bool& Accept) {
    Accept = Self->FieldByName("ID")->AsInteger() != 3;
  };
  EXPECT_EQ(Visible(D, "B = true"), (Ids{"1", "6"}));
  EXPECT_EQ(Visible(D, ""), (Ids{"1", "2", "4", "5", "6"}));
}

TEST(FilterExpression, NavigationSearchesAndViewsHonourIt) {
  TEventDataset D(nullptr);
  OpenAllTypes(D);
  D.Locate("ID", 2, {});
  TBookmark Hidden = D.GetBookmark();
  EXPECT_EQ(Visible(D, "B = true"), (Ids{"1", "3", "6"}));
  D.First();
  D.Next();
  EXPECT_EQ(D.FieldByName("ID")->AsInteger(), 3);
  D.Last();
  D.Prior();
  EXPECT_EQ(D.FieldByName("ID")->AsInteger(), 3);
  // Record counts and numbers are those of the whole list, as with the filter event.
  EXPECT_EQ(D.RecordCount(), 6);
  EXPECT_EQ(D.RecNo(), 3);
  EXPECT_EQ(ErrorOf([&] { D.SetRecNo(2); }), SKlvInvalidNumRec);
  EXPECT_EQ(ErrorOf([&] { D.GotoBookmark(Hidden); }), SKlvInvalidBookMark);
  EXPECT_FALSE(D.BookmarkValid(Hidden));
  EXPECT_FALSE(D.Locate("ID", 2, {}));
  EXPECT_TRUE(D.Locate("NAME", "o'n", {loCaseInsensitive, loPartialKey}));
  EXPECT_EQ(D.FieldByName("ID")->AsInteger(), 6);
  EXPECT_TRUE(VarIsNull(D.Lookup("ID", 4, "NAME")));
  EXPECT_EQ(D.Lookup("ID", 3, "NAME").AsString(), "Bob*");
  D.FreeBookmark(Hidden);

  // The views of pending changes show all their records, as with the filter event.
  D.SetCachedUpdates(true);
  D.SetFiltered(false);
  D.Locate("ID", 2, {});
  D.Edit();
  D.FieldByName("S")->SetAsInteger(101);
  D.Post();
  D.SetFiltered(true);
  D.SetBrowseBuffer(brModified);
  EXPECT_EQ(Column(D, "ID"), Ids{"2"});
  D.SetBrowseBuffer(brStandard);
  EXPECT_EQ(Column(D, "ID"), (Ids{"1", "3", "6"}));
}

} // namespace
} // namespace kelva
