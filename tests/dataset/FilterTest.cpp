// Filtering through the filter event: re-reading the view when Filtered is assigned, a
// handler that fails, and writes made from inside a handler.
#include "OrderingSupport.h"

#include <algorithm>

namespace kelva {
namespace {

using namespace ordering_test;
using Names = std::vector<std::string>;

void OpenAges(TEventDataset& D) {
  OpenWith(D, {"FIELD=NAME,CHAR,10", "FIELD=AGE,INTEGER,0"},
           {{"ONE", 1}, {"TWO", 2}, {"THREE", 3}, {"FOUR", 4}});
}

TEST(Filter, AssigningFilteredAgainRereadsFromTheFirstVisibleRecord) {
  TEventDataset D(nullptr);
  OpenAges(D);
  int Minimum = 2; // outside state the handler depends on, like a search text
  D.OnFilterRecord = [&](TDataSet* Self, bool& Accept) {
    Accept = Self->FieldByName("AGE")->AsInteger() >= Minimum;
  };
  D.SetFiltered(true);
  D.Last();
  EXPECT_EQ(D.FieldByName("NAME")->AsString(), "FOUR");
  D.SetFiltered(true);
  EXPECT_EQ(D.FieldByName("NAME")->AsString(), "TWO");
  Minimum = 3;
  D.SetFiltered(true);
  EXPECT_EQ(D.FieldByName("NAME")->AsString(), "THREE");
  D.Last();
  D.SetFiltered(false);
  EXPECT_EQ(D.FieldByName("NAME")->AsString(), "ONE");
}

TEST(Filter, FailingHandlerIsReportedAndItsRecordShownUnlessRefusedFirst) {
  TEventDataset D(nullptr);
  OpenAges(D);
  TReportedErrors Reported;
  D.OnFilterRecord = [](TDataSet* Self, bool& Accept) {
    const std::int32_t Age = Self->FieldByName("AGE")->AsInteger();
    if (Age == 2) {
      Accept = false;
      throw EDatabaseError("refused, then failed");
    }
    if (Age == 3) throw EDatabaseError("failed on three");
  };
  D.SetFiltered(true);
  EXPECT_EQ(Column(D, "NAME"), (Names{"ONE", "THREE", "FOUR"}));
  EXPECT_NE(std::find(Reported.Messages.begin(), Reported.Messages.end(), "failed on three"),
            Reported.Messages.end());
  EXPECT_NE(std::find(Reported.Messages.begin(), Reported.Messages.end(), "refused, then failed"),
            Reported.Messages.end());
}

TEST(Filter, WritesFromTheHandlerNeverReachTheStoredRecords) {
  TListedDataset D(nullptr);
  OpenAges(D);
  const std::string Before(D.CommittedBuf()->ImageView(1));
  std::vector<std::int32_t> AgesSeen;
  D.OnFilterRecord = [&](TDataSet* Self, bool& Accept) {
    try {
      Self->FieldByName("NAME")->SetAsString("HACKED");
    } catch (const EDatabaseError&) {
      // refusing the write is as good as making it harmless
    }
    AgesSeen.push_back(Self->FieldByName("AGE")->AsInteger());
    Accept = true;
  };
  D.SetFiltered(true);
  EXPECT_EQ(Column(D, "NAME"), (Names{"ONE", "TWO", "THREE", "FOUR"}));
  D.SetFiltered(false);
  EXPECT_EQ(Column(D, "NAME"), (Names{"ONE", "TWO", "THREE", "FOUR"}));
  EXPECT_EQ(D.CommittedBuf()->ImageView(1), Before);
  // After the write the handler still reads each candidate's own values.
  std::sort(AgesSeen.begin(), AgesSeen.end());
  AgesSeen.erase(std::unique(AgesSeen.begin(), AgesSeen.end()), AgesSeen.end());
  EXPECT_EQ(AgesSeen, (std::vector<std::int32_t>{1, 2, 3, 4}));
}

} // namespace
} // namespace kelva
