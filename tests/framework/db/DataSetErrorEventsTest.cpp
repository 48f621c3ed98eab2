// The retry protocol of Post, Delete and Edit: the error events answering daRetry, daAbort
// or daFail for database errors, and every other exception passing them by; the dataset
// keeps its state and its record after a failure.
#include "ProbeRig.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace kelva {
namespace {

using Lines = std::vector<std::string>;
using Ids = std::vector<std::int32_t>;

enum class Operation { Post, Delete };
enum class Outcome { Succeeds, DatabaseError, Abort, RuntimeError };

struct ErrorCase {
  const char* Name;
  Operation What;
  std::int32_t Failures;
  ProbeFailure Kind;
  bool HasHandler;
  TDataAction Answer;
  Outcome Expected;
  std::int32_t HandlerCalls;
};

class ErrorEventTest : public testing::TestWithParam<ErrorCase> {};

TEST_P(ErrorEventTest, AnswersDecideWhatHappens) {
  const ErrorCase& Case = GetParam();
  ProbeRig Rig(5, 10);
  ProbeDataSet& Probe = Rig.DataSet;
  Probe.Open();
  Probe.MoveBy(2);
  const bool Posting = Case.What == Operation::Post;
  if (Posting) {
    Probe.Edit();
    Probe.FieldByName("V")->SetAsInteger(33);
  }
  std::int32_t HandlerCalls = 0;
  TDataSetErrorEvent Handler;
  if (Case.HasHandler)
    Handler = [&](TDataSet* DataSet, EDatabaseError& E, TDataAction& Action) {
      EXPECT_EQ(DataSet, &Probe);
      EXPECT_EQ(Action, daFail) << "the handler starts from daFail";
      EXPECT_EQ(E.Message(),
                Posting ? "Probe failure in InternalPost@2" : "Probe failure in InternalDelete@2");
      ++HandlerCalls;
      Probe.Note("OnError");
      Action = Case.Answer;
    };
  (Posting ? Probe.OnPostError : Probe.OnDeleteError) = Handler;
  (Posting ? Probe.FailPost(Case.Failures, Case.Kind) : Probe.FailDelete(Case.Failures, Case.Kind));
  Probe.LogDataSetEvents();
  Probe.ClearLog();

  auto Run = [&] { Posting ? Probe.Post() : Probe.Delete(); };
  switch (Case.Expected) {
  case Outcome::Succeeds:
    EXPECT_NO_THROW(Run());
    break;
  case Outcome::DatabaseError:
    EXPECT_THROW(Run(), EDatabaseError);
    break;
  case Outcome::Abort:
    EXPECT_THROW(Run(), EAbort);
    break;
  case Outcome::RuntimeError:
    EXPECT_THROW(Run(), std::runtime_error);
    break;
  }
  EXPECT_EQ(HandlerCalls, Case.HandlerCalls);

  // Every failed try is followed by the handler (when there is one), then the next try.
  const std::string Call = Posting ? "InternalPost@2" : "InternalDelete@2";
  Lines Expected{Posting ? "BeforePost" : "BeforeDelete"};
  if (!Posting) Expected.push_back("BeforeScroll");
  const std::int32_t FailedTries = Case.Expected == Outcome::Succeeds ? Case.Failures : 1;
  for (std::int32_t I = 0; I < FailedTries; ++I) {
    Expected.push_back(Call + " failed");
    if (Case.HandlerCalls > 0) Expected.push_back("OnError");
  }
  if (Case.Expected == Outcome::Succeeds) {
    Expected.push_back(Call);
    Expected.push_back(Posting ? "AfterPost" : "AfterDelete");
    if (!Posting) Expected.push_back("AfterScroll");
  }
  EXPECT_EQ(Probe.LogOf({"Before", "After", "InternalPost", "InternalDelete", "OnError"}),
            Expected);

  EXPECT_RING_OK(Probe);
  if (Case.Expected == Outcome::Succeeds) {
    EXPECT_EQ(Probe.State(), dsBrowse);
    const Ids Stored = Posting ? Ids{10, 20, 33, 40, 50} : Ids{10, 20, 40, 50};
    EXPECT_EQ(Probe.StoredValues(), Stored);
    return;
  }
  // A failure leaves the record as it was: still being edited, or still there.
  EXPECT_EQ(Probe.StoredValues(), (Ids{10, 20, 30, 40, 50}));
  EXPECT_EQ(Probe.ActiveId(), 3);
  if (Posting) {
    EXPECT_EQ(Probe.State(), dsEdit);
    EXPECT_EQ(Probe.FieldByName("V")->AsInteger(), 33);
    Probe.Post(); // the failures are used up: a second attempt stores the record
    EXPECT_EQ(Probe.StoredValues(), (Ids{10, 20, 33, 40, 50}));
  } else {
    EXPECT_EQ(Probe.State(), dsBrowse);
    EXPECT_EQ(Probe.RingIds(), (Ids{1, 2, 3, 4, 5}));
  }
  EXPECT_RING_OK(Probe);
}

const ErrorCase Cases[] = {
    {"PostRetriedTwice", Operation::Post, 2, ProbeFailure::DatabaseError, true, daRetry,
     Outcome::Succeeds, 2},
    {"PostAborted", Operation::Post, 1, ProbeFailure::DatabaseError, true, daAbort, Outcome::Abort,
     1},
    {"PostFailed", Operation::Post, 1, ProbeFailure::DatabaseError, true, daFail,
     Outcome::DatabaseError, 1},
    {"PostWithoutHandler", Operation::Post, 1, ProbeFailure::DatabaseError, false, daRetry,
     Outcome::DatabaseError, 0},
    {"PostRuntimeErrorBypassesHandler", Operation::Post, 1, ProbeFailure::RuntimeError, true,
     daRetry, Outcome::RuntimeError, 0},
    {"PostAbortBypassesHandler", Operation::Post, 1, ProbeFailure::Abort, true, daRetry,
     Outcome::Abort, 0},
    {"DeleteRetriedTwice", Operation::Delete, 2, ProbeFailure::DatabaseError, true, daRetry,
     Outcome::Succeeds, 2},
    {"DeleteAborted", Operation::Delete, 1, ProbeFailure::DatabaseError, true, daAbort,
     Outcome::Abort, 1},
    {"DeleteFailed", Operation::Delete, 1, ProbeFailure::DatabaseError, true, daFail,
     Outcome::DatabaseError, 1},
    {"DeleteWithoutHandler", Operation::Delete, 1, ProbeFailure::DatabaseError, false, daRetry,
     Outcome::DatabaseError, 0},
    {"DeleteRuntimeErrorBypassesHandler", Operation::Delete, 1, ProbeFailure::RuntimeError, true,
     daRetry, Outcome::RuntimeError, 0},
    {"DeleteAbortBypassesHandler", Operation::Delete, 1, ProbeFailure::Abort, true, daRetry,
     Outcome::Abort, 0},
};

INSTANTIATE_TEST_SUITE_P(Cases, ErrorEventTest, testing::ValuesIn(Cases),
                         [](const testing::TestParamInfo<ErrorCase>& Info) {
                           return std::string(Info.param.Name);
                         });

// The handler may repair the cause and retry; each try first puts the cursor back on the
// record when its position is no longer known.
TEST(DataSetErrorEvents, EachRetryRepositionsTheCursor) {
  ProbeRig Rig(25, 10);
  ProbeDataSet& Probe = Rig.DataSet;
  Probe.Open();
  Probe.MoveBy(3);
  Probe.Edit();
  Probe.FieldByName("V")->SetAsInteger(44);
  Probe.FailPost(1);
  Probe.OnPostError = [&](TDataSet*, EDatabaseError&, TDataAction& Action) {
    Probe.CursorPosChanged(); // as if the handler had used the cursor
    Action = daRetry;
  };
  Probe.ClearLog();
  Probe.Post();
  const Lines Calls = Probe.LogOf({"InternalSetToRecord", "InternalPost"});
  ASSERT_GE(Calls.size(), 3u);
  EXPECT_EQ(Lines(Calls.begin(), Calls.begin() + 3),
            (Lines{"InternalPost@3 failed", "InternalSetToRecord(id 4)", "InternalPost@3"}));
  EXPECT_EQ(Probe.StoredValues().at(3), 44);
  EXPECT_RING_OK(Probe);
}

TEST(DataSetErrorEvents, EditRetriesThroughOnEditError) {
  ProbeRig Rig(3, 10);
  ProbeDataSet& Probe = Rig.DataSet;
  Probe.Open();
  Probe.LogDataSetEvents();
  Probe.FailEdit(1);
  Probe.OnEditError = [](TDataSet*, EDatabaseError&, TDataAction& Action) { Action = daRetry; };
  Probe.Edit();
  EXPECT_EQ(Probe.State(), dsEdit);
  EXPECT_EQ(Probe.LogOf({"BeforeEdit", "InternalEdit", "AfterEdit"}),
            (Lines{"BeforeEdit", "InternalEdit@0 failed", "InternalEdit@0", "AfterEdit"}));
}

TEST(DataSetErrorEvents, AFailedEditStaysInBrowseMode) {
  ProbeRig Rig(3, 10);
  ProbeDataSet& Probe = Rig.DataSet;
  Probe.Open();
  Probe.LogDataSetEvents();
  Probe.FailEdit(1);
  EXPECT_THROW(Probe.Edit(), EDatabaseError);
  EXPECT_EQ(Probe.State(), dsBrowse);
  EXPECT_FALSE(Rig.Link.Editing());
  EXPECT_TRUE(Probe.LogOf({"AfterEdit"}).empty());
  EXPECT_RING_OK(Probe);
}

TEST(DataSetErrorEvents, AppendRecordRetriesThroughOnPostError) {
  ProbeRig Rig(3, 10);
  ProbeDataSet& Probe = Rig.DataSet;
  Probe.Open();
  Probe.FailPost(1);
  std::int32_t Calls = 0;
  Probe.OnPostError = [&](TDataSet*, EDatabaseError&, TDataAction& Action) {
    ++Calls;
    Action = daRetry;
  };
  Probe.ClearLog();
  Probe.AppendRecord({40});
  EXPECT_EQ(Calls, 1);
  EXPECT_EQ(Probe.LogOf({"InternalAddRecord"}),
            (Lines{"InternalAddRecord@3(append) failed", "InternalAddRecord@3(append)"}));
  EXPECT_EQ(Probe.StoredValues(), (Ids{10, 20, 30, 40}));
  EXPECT_RING_OK(Probe);
}

} // namespace
} // namespace kelva
