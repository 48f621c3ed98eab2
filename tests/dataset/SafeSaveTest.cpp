// Saving to a file without exposing anything: the temporary file is a fresh one that no
// planted link can redirect, it has the target's permissions and owner before the first
// byte is written, a file its user may not write is refused, and a target that is no
// regular file (a pipe) is written in place instead of being replaced.
#include "OrderingSupport.h"
#include "TempDirectory.h"
#include "kelva/framework/rtl/RtlConsts.h"

#include "kelva/dataset/persistence/FileReplacement.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelva {
namespace {

using namespace ordering_test;
using namespace file_test;

void OpenSmall(TEventDataset& D) {
  OpenWith(D, {"FIELD=NAME,CHAR,5", "FIELD=AGE,INTEGER,0"}, {{"ANN", 1}, {"BOB", 2}});
}

struct stat StatOf(const fs::path& Path) {
  struct stat Info {};
  EXPECT_EQ(::lstat(Path.c_str(), &Info), 0) << Path;
  return Info;
}

// Sets the process's file mode mask for one test.
class TUmask {
public:
  explicit TUmask(mode_t Mask) : FOld(::umask(Mask)) {}
  ~TUmask() { ::umask(FOld); }

private:
  mode_t FOld;
};

TEST(SafeSave, LinksPlantedWhereATemporaryFileCouldGoAreNeverFollowed) {
  TTempDir Dir;
  const fs::path Victim = Dir / "victim", Target = Dir / "data.kds";
  WriteAll(Victim, "not yours");
  WriteAll(Target, "old");
  // Every name a temporary file made from the process id and a counter could take.
  for (int N = 0; N < 4096; ++N)
    fs::create_symlink(
        Victim, Dir / (".kelva-" + std::to_string(::getpid()) + "-" + std::to_string(N) + ".tmp"));
  TEventDataset D(nullptr);
  OpenSmall(D);
  D.SaveTofile(Target.string());
  EXPECT_EQ(ReadAll(Victim), "not yours");
  EXPECT_FALSE(fs::is_symlink(Target));
  EXPECT_EQ(ReadAll(Target), SavedText(D));
}

TEST(SafeSave, AFreshFileIsOnlyEverMadeWhereNothingStands) {
  TTempDir Dir;
  WriteAll(Dir / "victim", "keep me");
  WriteAll(Dir / "taken.tmp", "taken");
  fs::create_symlink(Dir / "victim", Dir / "link.tmp");
  fs::create_symlink(Dir / "nowhere", Dir / "dangling.tmp");
  const std::vector<std::string> Names = {"link.tmp", "dangling.tmp", "taken.tmp", "fresh.tmp"};
  std::size_t Offered = 0;
  std::string Created;
  const int Handle = CreateFreshFile(
      Dir.Path().string(), 0600, [&] { return Names.at(Offered++); }, Created);
  ASSERT_GE(Handle, 0);
  EXPECT_EQ(::write(Handle, "new", 3), 3);
  ::close(Handle);
  EXPECT_EQ(Created, (Dir / "fresh.tmp").string());
  EXPECT_EQ(ReadAll(Dir / "victim"), "keep me");
  EXPECT_EQ(ReadAll(Dir / "taken.tmp"), "taken");
  EXPECT_FALSE(fs::exists(Dir / "nowhere"));
  EXPECT_EQ(ReadAll(Dir / "fresh.tmp"), "new");
  EXPECT_EQ(StatOf(Dir / "fresh.tmp").st_mode & 07777, 0600u);
}

// Looks at every other file of the directory when saving starts, before anything is
// written: the temporary file is the only one.
class TPeekingDataset : public TEventDataset {
public:
  using TEventDataset::TEventDataset;
  fs::path Directory;
  std::string TargetName;
  std::vector<struct stat> Temporaries;

  void SaveToStream(TStream& Stream) override {
    for (const auto& Entry : fs::directory_iterator(Directory))
      if (Entry.path().filename() != TargetName) Temporaries.push_back(StatOf(Entry.path()));
    TEventDataset::SaveToStream(Stream);
  }
};

TEST(SafeSave, TheNewContentIsNeverReadableByMoreThanTheOldFile) {
  TUmask Mask(022);
  TTempDir Dir;
  const fs::path Target = Dir / "private.kds";
  WriteAll(Target, "secret");
  ASSERT_EQ(::chmod(Target.c_str(), 0600), 0);
  const bool Root = ::geteuid() == 0;
  if (Root) {
    ASSERT_EQ(::chown(Target.c_str(), 4321, 4322), 0);
  }

  TPeekingDataset D(nullptr);
  D.Directory = Dir.Path();
  D.TargetName = "private.kds";
  OpenSmall(D);
  D.SaveTofile(Target.string());
  ASSERT_EQ(D.Temporaries.size(), 1u);
  EXPECT_EQ(D.Temporaries[0].st_size, 0);
  EXPECT_EQ(D.Temporaries[0].st_mode & 07777, 0600u);
  const struct stat After = StatOf(Target);
  EXPECT_EQ(After.st_mode & 07777, 0600u);
  if (Root) {
    EXPECT_EQ(D.Temporaries[0].st_uid, 4321u);
    EXPECT_EQ(After.st_uid, 4321u);
    EXPECT_EQ(After.st_gid, 4322u);
  }
  EXPECT_EQ(ReadAll(Target), SavedText(D));

  // A new file gets what a plain create gives it.
  TUmask Group(027);
  const fs::path Fresh = Dir / "fresh.kds";
  D.TargetName = "fresh.kds";
  D.SaveTofile(Fresh.string());
  EXPECT_EQ(StatOf(Fresh).st_mode & 07777, 0640u);
}

TEST(SafeSave, AFileNobodyMayWriteIsRefusedAndKept) {
  TTempDir Dir;
  const fs::path Target = Dir / "frozen.kds";
  WriteAll(Target, "frozen");
  ASSERT_EQ(::chmod(Target.c_str(), 0444), 0);
  TEventDataset D(nullptr);
  OpenSmall(D);
  const std::string Message = ErrorOf<EFCreateError>([&] { D.SaveTofile(Target.string()); });
  EXPECT_EQ(Message, Format(SFCreateError, {Target.string()}));
  EXPECT_EQ(ReadAll(Target), "frozen");
  EXPECT_EQ(StatOf(Target).st_mode & 07777, 0444u);
  EXPECT_EQ(Dir.Entries(), std::vector<std::string>{"frozen.kds"});
}

// Run in a child process: the identity change must not outlive the test.
TEST(SafeSaveDeathTest, AFileTheUserMayNotWriteIsRefusedInAWritableDirectory) {
  if (::geteuid() != 0) GTEST_SKIP() << "acting as another user needs root";
  TTempDir Dir;
  ASSERT_EQ(::chmod(Dir.Path().c_str(), 0777), 0);
  const fs::path Target = Dir / "roots.kds";
  WriteAll(Target, "root's");
  ASSERT_EQ(::chmod(Target.c_str(), 0644), 0);
  TEventDataset D(nullptr);
  OpenSmall(D);
  EXPECT_EXIT(
      {
        if (::setegid(65534) != 0 || ::seteuid(65534) != 0) std::_Exit(3);
        try {
          D.SaveTofile(Target.string());
        } catch (const EFCreateError& E) {
          std::_Exit(E.Message() == Format(SFCreateError, {Target.string()}) ? 0 : 2);
        }
        std::_Exit(1);
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(ReadAll(Target), "root's");
}

TEST(SafeSave, APipeIsWrittenInPlaceAndNeverReplaced) {
  TEventDataset D(nullptr);
  OpenSmall(D);
  const std::string Expected = SavedText(D); // far less than a pipe holds

  int Ends[2];
  ASSERT_EQ(::pipe(Ends), 0);
  D.SaveTofile("/proc/self/fd/" + std::to_string(Ends[1]));
  ::close(Ends[1]);
  std::string Received(Expected.size() + 16, '\0');
  const ssize_t Got = ::read(Ends[0], Received.data(), Received.size());
  ::close(Ends[0]);
  ASSERT_GE(Got, 0);
  Received.resize(static_cast<std::size_t>(Got));
  EXPECT_EQ(Received, Expected);

  // Nobody reads this one: waiting for a reader would hang the save.
  TTempDir Dir;
  const fs::path Fifo = Dir / "fifo";
  ASSERT_EQ(::mkfifo(Fifo.c_str(), 0600), 0);
  const std::string Message = ErrorOf<EFCreateError>([&] { D.SaveTofile(Fifo.string()); });
  EXPECT_EQ(Message, Format(SFCreateError, {Fifo.string()}));
  EXPECT_TRUE(S_ISFIFO(StatOf(Fifo).st_mode));
  EXPECT_EQ(Dir.Entries(), std::vector<std::string>{"fifo"});
}

} // namespace
} // namespace kelva
