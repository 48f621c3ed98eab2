// Locate, Lookup and the search by the filter event: key matching rules, scroll events,
// errors, records hidden by the filter, null keys, and searches repeated after the list
// changed (a repeated search is answered from an index that must follow the list).
#include "OrderingSupport.h"

#include <algorithm>

namespace kelva {
namespace {

using namespace ordering_test;
using Names = std::vector<std::string>;

void OpenSmiths(TEventDataset& D) {
  OpenWith(D, {"FIELD=NAME,CHAR,10", "FIELD=AGE,INTEGER,0"},
           {{"SMITH", 42}, {"JONES", 35}, {"SMITH", 50}});
  D.First();
}

struct LocateCase {
  const char* What;
  const char* Fields;
  Variant Key;
  TLocateOptions Options;
  std::vector<std::int32_t> AcceptableAges; // empty: nothing is found
};

TEST(Locate, MatchesKeysByTheOptions) {
  const LocateCase Cases[] = {
      {"exact", "NAME", "SMITH", {}, {42, 50}},
      {"case differs", "NAME", "smith", {}, {}},
      {"case ignored", "NAME", "smith", {loCaseInsensitive}, {42, 50}},
      {"prefix", "NAME", "SM", {loPartialKey}, {42, 50}},
      {"prefix without the option", "NAME", "SM", {}, {}},
      {"prefix ignoring case", "NAME", "jo", {loCaseInsensitive, loPartialKey}, {35}},
      {"two fields", "NAME;AGE", VarArrayOf({"SMITH", 50}), {}, {50}},
      {"two fields, second differs", "NAME;AGE", VarArrayOf({"SMITH", 35}), {}, {}},
      {"whole number, then prefix", "AGE;NAME", VarArrayOf({35, "JO"}), {loPartialKey}, {35}},
      {"number differs, prefix matches", "AGE;NAME", VarArrayOf({42, "JO"}), {loPartialKey}, {}},
      {"prefix on a number field", "AGE", 4, {loPartialKey}, {}},
      {"number given as text", "age", "42", {}, {42}},
  };
  for (const LocateCase& Case : Cases) {
    SCOPED_TRACE(Case.What);
    TEventDataset D(nullptr);
    OpenSmiths(D);
    D.Next();
    // The second search of the same key is answered the other way; both must agree.
    for (int Round = 0; Round < 2; ++Round) {
      const bool Found = D.Locate(Case.Fields, Case.Key, Case.Options);
      EXPECT_EQ(Found, !Case.AcceptableAges.empty());
      const std::int32_t Age = D.FieldByName("AGE")->AsInteger();
      if (Found)
        EXPECT_NE(std::find(Case.AcceptableAges.begin(), Case.AcceptableAges.end(), Age),
                  Case.AcceptableAges.end())
            << Age;
      else
        EXPECT_EQ(Age, 35);
    }
  }
}

TEST(Locate, ScrollEventsOnlyWhenLocateFindsARecord) {
  TEventDataset D(nullptr);
  OpenSmiths(D);
  std::vector<std::string> Log;
  D.BeforeScroll = [&](TDataSet*) { Log.push_back("before"); };
  D.AfterScroll = [&](TDataSet*) { Log.push_back("after"); };
  EXPECT_FALSE(D.Locate("NAME", "BROWN", {}));
  EXPECT_EQ(Log, Names{"before"});
  EXPECT_EQ(D.RecNo(), 1);
  Log.clear();
  EXPECT_TRUE(D.Locate("NAME", "JONES", {}));
  EXPECT_EQ(Log, (Names{"before", "after"}));
  EXPECT_EQ(D.RecNo(), 2);
  Log.clear();
  EXPECT_EQ(D.Lookup("NAME", "SMITH", "AGE").AsInteger() % 4, 2); // 42 or 50
  EXPECT_TRUE(Log.empty());
}

TEST(Lookup, ReadsTheFoundRecordWithoutMoving) {
  TEventDataset D(nullptr);
  OpenSmiths(D);
  for (int Round = 0; Round < 2; ++Round) {
    EXPECT_EQ(D.Lookup("NAME", "JONES", "AGE").AsInteger(), 35);
    const Variant Both = D.Lookup("NAME;AGE", VarArrayOf({"SMITH", 50}), "AGE;NAME");
    ASSERT_TRUE(VarIsArray(Both));
    EXPECT_EQ(Both[0].AsInteger(), 50);
    EXPECT_EQ(Both[1].AsString(), "SMITH");
    EXPECT_TRUE(VarIsNull(D.Lookup("NAME", "BROWN", "AGE")));
    EXPECT_TRUE(VarIsNull(D.Lookup("NAME", "jones", "AGE")));
    EXPECT_TRUE(VarIsNull(D.Lookup("NAME", "JO", "AGE")));
  }
  EXPECT_EQ(D.RecNo(), 1);
  EXPECT_EQ(D.FieldByName("AGE")->AsInteger(), 42);
  D.Next();
  EXPECT_EQ(D.FieldByName("NAME")->AsString(), "JONES");
}

TEST(Lookup, ComputesACalculatedResultForTheFoundRecord) {
  TEventDataset D(nullptr);
  AddTwiceField(D);
  Fill(D, {"FIELD=NAME,CHAR,10", "FIELD=AGE,INTEGER,0"}, {{"SMITH", 42}, {"JONES", 35}});
  D.Open();
  D.First();
  EXPECT_EQ(D.Lookup("NAME", "JONES", "TWICE").AsInteger(), 70);
  EXPECT_EQ(D.FieldByName("TWICE")->AsInteger(), 84);
  EXPECT_EQ(D.State(), dsBrowse);
  EXPECT_EQ(ErrorOf([&] { D.Locate("TWICE", 70, {}); }), SFieldIndexError);
}

TEST(Locate, EmptyDatasetFindsNothing) {
  TEventDataset D(nullptr);
  OpenWith(D, {"FIELD=NAME,CHAR,10"}, {});
  EXPECT_FALSE(D.Locate("NAME", "SMITH", {loPartialKey}));
  EXPECT_TRUE(VarIsNull(D.Lookup("NAME", "SMITH", "NAME")));
}

TEST(Locate, BadKeysRaiseAndLeaveTheCursor) {
  TEventDataset D(nullptr);
  OpenSmiths(D);
  D.Next();
  EXPECT_THROW(D.Locate("AGE", "forty", {}), EVariantError);
  EXPECT_THROW(D.Locate("NAME;AGE", "SMITH", {}), EVariantError);
  EXPECT_THROW(D.Locate("NAME;AGE", VarArrayOf({"SMITH"}), {}), EVariantError);
  EXPECT_EQ(ErrorOf([&] { D.Locate("NOPE", 1, {}); }), "Field 'NOPE' not found");
  EXPECT_EQ(D.State(), dsBrowse);
  EXPECT_EQ(D.FieldByName("NAME")->AsString(), "JONES");
  EXPECT_TRUE(D.Locate("AGE", 50, {}));
  D.Close();
  EXPECT_EQ(ErrorOf([&] { D.Locate("AGE", 50, {}); }), SDataSetClosed);
}

TEST(Locate, NeverFindsARecordTheFilterHides) {
  TEventDataset D(nullptr);
  OpenSmiths(D);
  int Hidden = 42;
  D.OnFilterRecord = [&](TDataSet* Self, bool& Accept) {
    Accept = Self->FieldByName("AGE")->AsInteger() != Hidden;
  };
  D.SetFiltered(true);
  for (int Round = 0; Round < 3; ++Round) {
    EXPECT_TRUE(D.Locate("NAME", "SMITH", {}));
    EXPECT_EQ(D.FieldByName("AGE")->AsInteger(), 50);
    EXPECT_EQ(D.Lookup("NAME", "SMITH", "AGE").AsInteger(), 50);
    EXPECT_FALSE(D.Locate("AGE", 42, {}));
  }
  Hidden = 50;
  D.SetFiltered(true);
  EXPECT_TRUE(D.Locate("NAME", "SMITH", {}));
  EXPECT_EQ(D.FieldByName("AGE")->AsInteger(), 42);
}

TEST(Locate, NullAndBooleanKeys) {
  TEventDataset D(nullptr);
  OpenWith(D, {"FIELD=ID,INTEGER,0", "FIELD=NAME,CHAR,10", "FIELD=OK,BOOLEAN,0"},
           {{Null(), "ANN", true}, {Null(), "BOB", false}, {1, "CAROL", Null()}});
  for (int Round = 0; Round < 2; ++Round) {
    EXPECT_TRUE(D.Locate("ID;NAME", VarArrayOf({Null(), "BOB"}), {}));
    EXPECT_EQ(D.FieldByName("NAME")->AsString(), "BOB");
    EXPECT_FALSE(D.Locate("ID;NAME", VarArrayOf({Null(), "CAROL"}), {}));
    EXPECT_FALSE(D.Lookup("ID;NAME", VarArrayOf({Null(), "BOB"}), "OK").AsBoolean());
    EXPECT_TRUE(D.Locate("ID", Null(), {}));
    EXPECT_TRUE(D.FieldByName("ID")->IsNull());
    EXPECT_TRUE(D.Locate("OK", false, {}));
    EXPECT_EQ(D.FieldByName("NAME")->AsString(), "BOB");
    EXPECT_TRUE(D.Locate("OK", Null(), {}));
    EXPECT_EQ(D.FieldByName("NAME")->AsString(), "CAROL");
  }
}

TEST(Locate, RepeatedSearchFollowsChangesToTheList) {
  TEventDataset D(nullptr);
  OpenSmiths(D);
  auto LocateTwice = [&](const char* Name) {
    const bool First = D.Locate("NAME", Name, {});
    const std::int32_t FirstRecNo = D.RecNo();
    const bool Second = D.Locate("NAME", Name, {});
    EXPECT_EQ(First, Second) << Name;
    EXPECT_EQ(FirstRecNo, D.RecNo()) << Name;
    return Second;
  };
  ASSERT_TRUE(LocateTwice("JONES"));
  D.Edit();
  D.FieldByName("NAME")->SetAsString("JONAS");
  D.Post();
  EXPECT_FALSE(LocateTwice("JONES"));
  EXPECT_TRUE(LocateTwice("JONAS"));
  D.AppendRecord({"JONES", 7});
  EXPECT_TRUE(LocateTwice("JONES"));
  EXPECT_EQ(D.FieldByName("AGE")->AsInteger(), 7);
  EXPECT_EQ(D.RecNo(), 4);
  D.SortOn("NAME", false, false);
  EXPECT_TRUE(LocateTwice("JONES"));
  EXPECT_EQ(D.RecNo(), 2);
  D.Delete();
  EXPECT_FALSE(LocateTwice("JONES"));
}

TEST(Locate, RepeatedSearchFollowsANewWorkingCopy) {
  TEventDataset D(nullptr);
  OpenWith(D, {"FIELD=NAME,CHAR,10", "FIELD=AGE,INTEGER,0"},
           {{"SMITH", 42}, {"JONES", 35}, {"BROWN", 50}});
  D.SetCachedUpdates(true);
  D.SetRecNo(2);
  D.Delete();
  D.SetBrowseBuffer(brDeleted);
  EXPECT_TRUE(D.Locate("AGE", 35, {}));
  EXPECT_TRUE(D.Locate("AGE", 35, {}));
  D.SetBrowseBuffer(brStandard);
  D.CancelUpdates();
  // The working copy made by this edit is a list of its own, not the deleted records' one.
  D.SetRecNo(3);
  D.Edit();
  D.FieldByName("AGE")->SetAsInteger(51);
  D.Post();
  EXPECT_TRUE(D.Locate("AGE", 35, {}));
  EXPECT_EQ(D.FieldByName("NAME")->AsString(), "JONES");
  EXPECT_EQ(D.FieldByName("AGE")->AsInteger(), 35);
}

TEST(FindRecord, SearchesByTheFilterEventWhileFilteringIsOff) {
  TEventDataset D(nullptr);
  OpenWith(D, {"FIELD=NAME,CHAR,10", "FIELD=AGE,INTEGER,0"},
           {{"A", 10}, {"B", 40}, {"C", 20}, {"D", 50}});
  EXPECT_TRUE(D.FindFirst()); // no handler: every record qualifies
  EXPECT_EQ(D.FieldByName("NAME")->AsString(), "A");
  EXPECT_TRUE(D.FindNext());
  EXPECT_EQ(D.FieldByName("NAME")->AsString(), "B");

  D.OnFilterRecord = [](TDataSet* Self, bool& Accept) {
    Accept = Self->FieldByName("AGE")->AsInteger() > 30;
  };
  EXPECT_TRUE(D.FindFirst());
  EXPECT_EQ(D.FieldByName("NAME")->AsString(), "B");
  EXPECT_TRUE(D.FindNext());
  EXPECT_EQ(D.FieldByName("NAME")->AsString(), "D");
  EXPECT_FALSE(D.FindNext());
  EXPECT_FALSE(D.Found());
  EXPECT_EQ(D.FieldByName("NAME")->AsString(), "D");
  EXPECT_TRUE(D.FindPrior());
  EXPECT_EQ(D.FieldByName("NAME")->AsString(), "B");
  EXPECT_TRUE(D.FindLast());
  EXPECT_EQ(D.FieldByName("NAME")->AsString(), "D");
  EXPECT_FALSE(D.Filtered());
  EXPECT_EQ(Column(D, "NAME"), (Names{"A", "B", "C", "D"}));
}

} // namespace
} // namespace kelva
