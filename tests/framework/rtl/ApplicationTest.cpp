// Application->HandleException: the silent abort, the OnException handler, standard
// exceptions and unknown ones, the standard-error fallback, and the application object being
// usable before main() runs.
#include "kelva/framework/rtl/Application.h"
#include "kelva/framework/rtl/Exceptions.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

using namespace kelva;

namespace {

// Evaluated during static initialisation of this file, before main().
const bool ApplicationReadyBeforeMain =
    Application != nullptr && Application->ComponentCount() == 0 && !Application->OnException;

// Restores the global handler a test assigns.
struct HandlerGuard {
  TExceptionEvent Saved = Application->OnException;
  ~HandlerGuard() { Application->OnException = Saved; }
};

struct Report {
  TObject* Sender;
  std::string Message;
};

// Throws Raise() and hands it to HandleException with Sender; returns what OnException got.
template <class F>
std::vector<Report> HandleThrown(TObject* Sender, F&& Raise) {
  HandlerGuard Guard;
  std::vector<Report> Reports;
  Application->OnException = [&](TObject* S, const Exception& E) {
    Reports.push_back({S, E.Message()});
  };
  try {
    Raise();
  } catch (...) {
    Application->HandleException(Sender);
  }
  return Reports;
}

// Throws Raise() and hands it to HandleException without a handler; returns standard error.
template <class F>
std::string StderrOfHandled(F&& Raise) {
  HandlerGuard Guard;
  Application->OnException = nullptr;
  testing::internal::CaptureStderr();
  try {
    Raise();
  } catch (...) {
    Application->HandleException(nullptr);
  }
  return testing::internal::GetCapturedStderr();
}

TEST(ApplicationTest, ExistsBeforeMain) {
  EXPECT_TRUE(ApplicationReadyBeforeMain);
}

TEST(ApplicationTest, AbortIsSilent) {
  TObject Sender;
  EXPECT_TRUE(HandleThrown(&Sender, [] { Abort(); }).empty());
  EXPECT_EQ(StderrOfHandled([] { throw EAbort("stop"); }), "");
}

TEST(ApplicationTest, HandlerReceivesSenderAndMessage) {
  TObject Sender;
  struct Case {
    const char* Description;
    std::function<void()> Raise;
    std::string Message;
  };
  const std::vector<Case> Cases = {
      {"framework exception", [] { throw EDatabaseError("Record not found"); }, "Record not found"},
      {"standard exception", [] { throw std::runtime_error("disk on fire"); }, "disk on fire"},
      {"unknown exception", [] { throw 42; }, "Unknown exception"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Description);
    const std::vector<Report> Reports = HandleThrown(&Sender, C.Raise);
    ASSERT_EQ(Reports.size(), 1u);
    EXPECT_EQ(Reports[0].Sender, &Sender);
    EXPECT_EQ(Reports[0].Message, C.Message);
  }
}

TEST(ApplicationTest, WithoutHandlerTheMessageGoesToStandardError) {
  EXPECT_EQ(StderrOfHandled([] { throw EConvertError("'x' is not a valid integer value"); }),
            "'x' is not a valid integer value\n");
  EXPECT_EQ(StderrOfHandled([] { throw std::logic_error("bad"); }), "bad\n");
  EXPECT_EQ(StderrOfHandled([] { throw "text"; }), "Unknown exception\n");
}

TEST(ApplicationTest, AnExceptionFromTheHandlerPropagates) {
  HandlerGuard Guard;
  Application->OnException = [](TObject*, const Exception&) {
    throw std::runtime_error("from handler");
  };
  try {
    try {
      throw EDatabaseError("original");
    } catch (...) {
      Application->HandleException(nullptr);
    }
    ADD_FAILURE() << "the handler's exception did not propagate";
  } catch (const std::runtime_error& E) {
    EXPECT_STREQ(E.what(), "from handler");
  }
}

TEST(ApplicationTest, OutsideACatchBlockNothingHappens) {
  HandlerGuard Guard;
  bool Called = false;
  Application->OnException = [&](TObject*, const Exception&) { Called = true; };
  Application->HandleException(nullptr);
  EXPECT_FALSE(Called);
}

} // namespace
