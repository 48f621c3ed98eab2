// Loading from files that are not plain files: a pipe is read to its end whatever size it
// reports, a FIFO nobody writes to ends the load instead of hanging it, and directories and
// empty devices are refused with a clear error.
#include "OrderingSupport.h"
#include "TempDirectory.h"
#include "kelva/framework/rtl/RtlConsts.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kelva {
namespace {

using namespace ordering_test;
using namespace file_test;

TEST(LoadSources, APipeIsReadToItsEnd) {
  TEventDataset Source(nullptr);
  TRows Rows;
  for (int I = 0; I < 20000; ++I) Rows.push_back({"NAME" + std::to_string(I), I});
  Fill(Source, {"FIELD=NAME,CHAR,40", "FIELD=AGE,INTEGER,0"}, std::move(Rows));
  Source.Open();
  const std::string Text = SavedText(Source);
  ASSERT_GT(Text.size(), 1u << 20); // many times what a pipe holds and a read asks for

  int Ends[2];
  ASSERT_EQ(::pipe(Ends), 0);
  const pid_t Writer = ::fork();
  ASSERT_GE(Writer, 0);
  if (Writer == 0) {
    ::close(Ends[0]);
    for (std::size_t Done = 0; Done < Text.size();) {
      const ssize_t N = ::write(Ends[1], Text.data() + Done, Text.size() - Done);
      if (N <= 0) std::_Exit(1);
      Done += static_cast<std::size_t>(N);
    }
    std::_Exit(0);
  }
  ::close(Ends[1]);
  TEventDataset D(nullptr);
  try {
    D.LoadFromFile("/proc/self/fd/" + std::to_string(Ends[0]));
  } catch (const Exception& E) {
    ADD_FAILURE() << E.Message();
  }
  ::close(Ends[0]);
  int Status = 0;
  ::waitpid(Writer, &Status, 0);
  ASSERT_TRUE(D.Active());
  EXPECT_EQ(D.RecordCount(), 20000);
  EXPECT_EQ(SavedText(D), Text);
}

TEST(LoadSourcesDeathTest, AFifoNobodyWritesToEndsTheLoad) {
  TTempDir Dir;
  const fs::path Fifo = Dir / "fifo";
  ASSERT_EQ(::mkfifo(Fifo.c_str(), 0600), 0);
  // A load that waits for a writer is killed by the alarm.
  EXPECT_EXIT(
      {
        ::alarm(10);
        TEventDataset D(nullptr);
        try {
          D.LoadFromFile(Fifo.string());
        } catch (const EDatabaseError& E) {
          std::_Exit(E.Message() == SklvFicError && !D.Active() ? 0 : 2);
        }
        std::_Exit(1);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST(LoadSources, DirectoriesAndEmptyDevicesAreRefusedClearly) {
  TTempDir Dir;
  TEventDataset D(nullptr);
  D.SetKLVFields(Lines({"FIELD=KEPT,CHAR,3"}));
  EXPECT_EQ(ErrorOf<EFOpenError>([&] { D.LoadFromFile(Dir.Path().string()); }),
            Format(SFOpenError, {Dir.Path().string()}));
  EXPECT_EQ(ErrorOf([&] { D.LoadFromFile("/dev/null"); }), SklvFicError);
  EXPECT_FALSE(D.Active());
  EXPECT_EQ(D.MetaFields().Text(), "FIELD=KEPT,CHAR,3\r\n");
}

} // namespace
} // namespace kelva
