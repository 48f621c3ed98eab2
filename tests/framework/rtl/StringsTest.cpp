// TStringList: line splitting and joining, sorted lists and duplicates, case sensitivity,
// name=value entries, change events and update nesting, index errors and stream round trips.
#include "kelva/framework/rtl/Strings.h"
#include "kelva/framework/rtl/Exceptions.h"
#include "kelva/framework/rtl/Streams.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kelva;

namespace {

std::vector<std::string> Entries(const TStrings& List) {
  std::vector<std::string> Result;
  for (std::int32_t I = 0; I < List.Count(); ++I) Result.push_back(List[I]);
  return Result;
}

TStringList ListOf(std::initializer_list<const char*> Items) {
  TStringList List;
  for (const char* S : Items) List.Add(S);
  return List;
}

// The message of the EListError Call raises, or a marker when it raises none.
template <class F>
std::string ListErrorOf(F&& Call) {
  try {
    Call();
  } catch (const EListError& E) {
    return E.Message();
  }
  return "<no EListError>";
}

// Records the change events of a list as a string: '<' for OnChanging, '>' for OnChange.
struct EventLog {
  std::string Events;
  explicit EventLog(TStringList& List) {
    List.OnChanging = [this, &List](TObject* Sender) {
      EXPECT_EQ(Sender, &List);
      Events += '<';
    };
    List.OnChange = [this, &List](TObject* Sender) {
      EXPECT_EQ(Sender, &List);
      Events += '>';
    };
  }
};

// ---- Text and SetText

TEST(StringListTextTest, SetTextSplitsLines) {
  struct Case {
    std::string Text;
    std::vector<std::string> Lines;
  };
  const std::vector<Case> Cases = {
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb\rc", {"a", "b", "c"}},
      {"a\n\rb", {"a", "", "b"}},
      {"a\r\n\r\n", {"a", ""}},
      {"\r\n", {""}},
      {"", {}},
      {std::string("a\0b\r\nc", 6), {"a"}},
      {std::string("\0abc", 4), {}},
      {"\r\r", {"", ""}},
      {"no line end", {"no line end"}},
      {"x\r\n\ny", {"x", "", "y"}},
  };
  for (const Case& C : Cases) {
    TStringList List;
    List.Add("old");
    List.SetText(C.Text);
    EXPECT_EQ(Entries(List), C.Lines) << "text: " << testing::PrintToString(C.Text);
  }
}

TEST(StringListTextTest, TextEndsEveryLineWithCrLf) {
  EXPECT_EQ(TStringList().Text(), "");
  EXPECT_EQ(ListOf({""}).Text(), "\r\n");
  EXPECT_EQ(ListOf({"a", "", "b"}).Text(), "a\r\n\r\nb\r\n");
}

// ---- Index errors

TEST(StringListIndexTest, OutOfRangeIndexesNameTheIndex) {
  TStringList List = ListOf({"a", "b"});
  EXPECT_EQ(ListErrorOf([&] { (void)List[2]; }), "List index out of bounds (2)");
  EXPECT_EQ(ListErrorOf([&] { (void)List.Strings(-1); }), "List index out of bounds (-1)");
  EXPECT_EQ(ListErrorOf([&] { (void)List.Objects(5); }), "List index out of bounds (5)");
  EXPECT_EQ(ListErrorOf([&] { List.SetStrings(2, "x"); }), "List index out of bounds (2)");
  EXPECT_EQ(ListErrorOf([&] { List.SetObjects(-3, nullptr); }), "List index out of bounds (-3)");
  EXPECT_EQ(ListErrorOf([&] { List.Delete(2); }), "List index out of bounds (2)");
  EXPECT_EQ(ListErrorOf([&] { List.Insert(3, "x"); }), "List index out of bounds (3)");
  EXPECT_EQ(ListErrorOf([&] { List.Exchange(0, 7); }), "List index out of bounds (7)");
  EXPECT_EQ(ListErrorOf([&] { List.Move(-1, 0); }), "List index out of bounds (-1)");
  EXPECT_EQ(ListErrorOf([&] { (void)List.Names(9); }), "List index out of bounds (9)");
  EXPECT_EQ(Entries(List), (std::vector<std::string>{"a", "b"}));
}

TEST(StringListIndexTest, InsertAcceptsTheEndPosition) {
  TStringList List = ListOf({"a"});
  List.Insert(1, "c");
  List.Insert(0, "start");
  List.Insert(2, "b");
  EXPECT_EQ(Entries(List), (std::vector<std::string>{"start", "a", "b", "c"}));
}

// ---- Editing an unsorted list

TEST(StringListEditTest, ObjectsTravelWithTheirStrings) {
  TObject One, Two, Three;
  TStringList List;
  List.AddObject("one", &One);
  List.AddObject("two", &Two);
  List.AddObject("three", &Three);

  List.Exchange(0, 2);
  EXPECT_EQ(Entries(List), (std::vector<std::string>{"three", "two", "one"}));
  EXPECT_EQ(List.Objects(0), &Three);
  EXPECT_EQ(List.Objects(2), &One);

  List.Move(0, 2);
  EXPECT_EQ(Entries(List), (std::vector<std::string>{"two", "one", "three"}));
  EXPECT_EQ(List.Objects(2), &Three);
  List.Move(2, 0);
  EXPECT_EQ(Entries(List), (std::vector<std::string>{"three", "two", "one"}));

  EXPECT_EQ(List.IndexOfObject(&Two), 1);
  List.Delete(1);
  EXPECT_EQ(List.IndexOfObject(&Two), -1);
  EXPECT_EQ(List.Objects(1), &One);
}

TEST(StringListEditTest, IndexOfFindsTheFirstEqualEntry) {
  TStringList List = ListOf({"b", "Abc", "abc"});
  EXPECT_EQ(List.IndexOf("ABC"), 1);
  EXPECT_EQ(List.IndexOf("zzz"), -1);
  List.SetCaseSensitive(true);
  EXPECT_EQ(List.IndexOf("abc"), 2);
  EXPECT_EQ(List.IndexOf("ABC"), -1);
}

TEST(StringListEditTest, AddingAnEntryOfTheListItselfIsSafe) {
  TStringList List = ListOf({"a long enough entry to live on the heap", "b"});
  for (int I = 0; I < 20; ++I) List.Add(List[0]);
  EXPECT_EQ(List[21], "a long enough entry to live on the heap");
  List.AddStrings(List);
  EXPECT_EQ(List.Count(), 44);
}

// ---- Sorted lists

TEST(StringListSortedTest, AddKeepsOrderAndHandlesDuplicates) {
  struct Case {
    TDuplicates Duplicates;
    std::vector<std::string> Expected;
    std::int32_t SecondBIndex;
  };
  const std::vector<Case> Cases = {
      {dupIgnore, {"a", "b", "c"}, 1},
      {dupAccept, {"a", "b", "b", "c"}, 1},
  };
  for (const Case& C : Cases) {
    TStringList List;
    List.SetSorted(true);
    List.SetDuplicates(C.Duplicates);
    List.Add("c");
    List.Add("a");
    EXPECT_EQ(List.Add("b"), 1);
    EXPECT_EQ(List.Add("b"), C.SecondBIndex);
    EXPECT_EQ(Entries(List), C.Expected);
  }

  TStringList Strict;
  Strict.SetSorted(true);
  Strict.SetDuplicates(dupError);
  Strict.Add("x");
  EXPECT_EQ(ListErrorOf([&] { Strict.Add("X"); }), "String list does not allow duplicates");
  EXPECT_EQ(Strict.Count(), 1);
}

TEST(StringListSortedTest, PositionalOperationsAreRefused) {
  TStringList List = ListOf({"b", "a"});
  List.SetSorted(true);
  EXPECT_EQ(Entries(List), (std::vector<std::string>{"a", "b"}));
  const std::string Refused = "Operation not allowed on sorted list";
  EXPECT_EQ(ListErrorOf([&] { List.Insert(0, "z"); }), Refused);
  EXPECT_EQ(ListErrorOf([&] { List.SetStrings(0, "z"); }), Refused);
  EXPECT_EQ(ListErrorOf([&] { List.Exchange(0, 1); }), Refused);
  EXPECT_EQ(ListErrorOf([&] { List.Move(0, 1); }), Refused);
  EXPECT_EQ(Entries(List), (std::vector<std::string>{"a", "b"}));
}

TEST(StringListSortedTest, FindReportsHitsAndInsertionPoints) {
  TStringList List = ListOf({"delta", "alpha", "charlie"});
  List.SetSorted(true);
  std::int32_t Index = -1;
  EXPECT_TRUE(List.Find("CHARLIE", Index));
  EXPECT_EQ(Index, 1);
  EXPECT_FALSE(List.Find("bravo", Index));
  EXPECT_EQ(Index, 1);
  EXPECT_FALSE(List.Find("echo", Index));
  EXPECT_EQ(Index, 3);
  EXPECT_EQ(List.IndexOf("Delta"), 2);
  EXPECT_EQ(List.IndexOf("bravo"), -1);
}

TEST(StringListSortedTest, OrderFollowsTheLocaleAwareComparison) {
  TStringList List = ListOf({"b", "B", "a", "A", "10", "9"});
  List.SetCaseSensitive(true);
  List.SetSorted(true);
  // Lower case before upper case, letters not in byte order, digits as text.
  EXPECT_EQ(Entries(List), (std::vector<std::string>{"10", "9", "a", "A", "b", "B"}));

  // Case-insensitively, "a" and "A" are the same entry for duplicate handling.
  TStringList Folded;
  Folded.SetSorted(true);
  Folded.Add("a");
  Folded.Add("A");
  EXPECT_EQ(Folded.Count(), 1);
}

TEST(StringListSortedTest, ChangingCaseSensitivityResorts) {
  TStringList List;
  List.SetSorted(true);
  List.SetDuplicates(dupAccept);
  for (const char* S : {"b", "A", "a", "B"}) List.Add(S);
  List.SetCaseSensitive(true);
  EXPECT_EQ(Entries(List), (std::vector<std::string>{"a", "A", "b", "B"}));
  std::int32_t Index = -1;
  EXPECT_TRUE(List.Find("B", Index));
  EXPECT_EQ(Index, 3);
}

// ---- Name=value entries

TEST(StringListNameValueTest, NamesAndValues) {
  TStringList List = ListOf({"plain", "Key=value", "empty=", "=noname", "a=b=c"});
  EXPECT_EQ(List.Names(0), "");
  EXPECT_EQ(List.Names(1), "Key");
  EXPECT_EQ(List.Names(3), "");
  EXPECT_EQ(List.ValueFromIndex(0), "");
  EXPECT_EQ(List.ValueFromIndex(4), "b=c");
  EXPECT_EQ(List.Values("key"), "value");
  EXPECT_EQ(List.Values("a"), "b=c");
  EXPECT_EQ(List.Values("missing"), "");
  EXPECT_EQ(List.IndexOfName("plain"), -1); // an entry without '=' has no name
  EXPECT_EQ(List.IndexOfName("EMPTY"), 2);
  EXPECT_EQ(List.IndexOfName(""), 3);
  List.SetCaseSensitive(true);
  EXPECT_EQ(List.IndexOfName("key"), -1);
}

TEST(StringListNameValueTest, SetValuesReplacesAddsAndDeletes) {
  TStringList List = ListOf({"a=1", "b=2"});
  List.SetValues("B", "20");
  List.SetValues("c", "3");
  List.SetValues("a", "");
  List.SetValues("nothing", "");
  EXPECT_EQ(Entries(List), (std::vector<std::string>{"B=20", "c=3"}));
}

// ---- Change events and updates

TEST(StringListEventsTest, EachModificationFiresOnePair) {
  TObject Object;
  TStringList List = ListOf({"a", "b"});
  EventLog Log(List);
  List.Add("c");
  List.Insert(0, "z");
  List.SetStrings(0, "y");
  List.SetObjects(0, &Object);
  List.Exchange(0, 1);
  List.Move(0, 1);
  List.Delete(0);
  List.Sort();
  EXPECT_EQ(Log.Events, "<><><><><><><><>");
}

TEST(StringListEventsTest, FailedOrEmptyOperationsFireNothing) {
  TStringList List = ListOf({"a"});
  List.SetSorted(true);
  EventLog Log(List);
  List.Add("a"); // ignored duplicate
  EXPECT_THROW(List.Delete(3), EListError);
  EXPECT_THROW(List.Insert(0, "b"), EListError);
  EXPECT_EQ(Log.Events, "");
}

TEST(StringListEventsTest, BulkOperationsFireOnce) {
  TStringList List = ListOf({"x"});
  EventLog Log(List);
  List.SetText("a\r\nb\r\nc");
  EXPECT_EQ(Log.Events, "<>");
  Log.Events.clear();
  List.Assign(ListOf({"1", "2", "3"}));
  EXPECT_EQ(Log.Events, "<>");
  Log.Events.clear();
  List.AddStrings(ListOf({"4", "5"}));
  EXPECT_EQ(Log.Events, "<>");
  Log.Events.clear();
  List.Clear();
  EXPECT_EQ(Log.Events, "<>");
}

TEST(StringListEventsTest, NestedUpdatesFireAtTheOutermostLevel) {
  TStringList List;
  EventLog Log(List);
  List.BeginUpdate();
  EXPECT_EQ(Log.Events, "<");
  List.BeginUpdate();
  List.Add("a");
  List.SetText("b\nc");
  List.EndUpdate();
  EXPECT_EQ(Log.Events, "<");
  List.EndUpdate();
  EXPECT_EQ(Log.Events, "<>");
  List.EndUpdate(); // unbalanced: the counter stays at 0 and nothing fires
  List.Add("d");
  EXPECT_EQ(Log.Events, "<><>");
}

TEST(StringListEventsTest, AFailedBulkOperationEndsItsUpdate) {
  TStringList List;
  List.SetSorted(true);
  List.SetDuplicates(dupError);
  EventLog Log(List);
  EXPECT_THROW(List.SetText("a\nb\na"), EListError);
  EXPECT_EQ(Log.Events, "<>");
  List.Add("z");
  EXPECT_EQ(Log.Events, "<><>");
}

// ---- Assign and copies

TEST(StringListCopyTest, AssignCopiesEntriesButKeepsTargetSettings) {
  TObject Object;
  TStringList Source;
  Source.AddObject("b", &Object);
  Source.Add("a");
  TStringList Target;
  Target.SetSorted(true);
  Target.Add("old");
  Target.Assign(Source);
  EXPECT_TRUE(Target.Sorted());
  EXPECT_EQ(Entries(Target), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(Target.Objects(1), &Object);

  Target.Assign(Target);
  EXPECT_EQ(Target.Count(), 2);
}

TEST(StringListCopyTest, CopiesTakeSettingsButNotEvents) {
  TStringList Source = ListOf({"b", "a"});
  Source.SetSorted(true);
  Source.SetCaseSensitive(true);
  Source.SetDuplicates(dupError);
  int Fired = 0;
  Source.OnChange = [&](TObject*) { ++Fired; };

  TStringList Copy(Source);
  EXPECT_EQ(Entries(Copy), Entries(Source));
  EXPECT_TRUE(Copy.Sorted());
  EXPECT_TRUE(Copy.CaseSensitive());
  EXPECT_EQ(Copy.Duplicates(), dupError);
  EXPECT_FALSE(Copy.OnChange);
  Copy.Add("c");
  EXPECT_EQ(Fired, 0);

  TStringList Assigned;
  int AssignedFired = 0;
  Assigned.OnChange = [&](TObject*) { ++AssignedFired; };
  Assigned = Source;
  EXPECT_EQ(AssignedFired, 1); // the target keeps its own handler and hears the change
  EXPECT_TRUE(Assigned.Sorted());
  EXPECT_EQ(Entries(Assigned), Entries(Source));
}

// ---- Streams

TEST(StringListStreamTest, LoadReadsFromThePositionToTheEnd) {
  TStringStream Stream("skip\r\none\ntwo");
  Stream.SetPosition(6);
  TStringList List;
  List.LoadFromStream(Stream);
  EXPECT_EQ(Entries(List), (std::vector<std::string>{"one", "two"}));
  EXPECT_EQ(Stream.Position(), Stream.Size());
}

TEST(StringListStreamTest, SaveWritesTextAtThePosition) {
  TStringStream Stream("head:");
  Stream.SetPosition(5);
  ListOf({"a", "b"}).SaveToStream(Stream);
  EXPECT_EQ(Stream.DataString(), "head:a\r\nb\r\n");
}

} // namespace
