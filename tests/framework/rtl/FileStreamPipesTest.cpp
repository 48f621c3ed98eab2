// File streams over what is not a regular file: opening a FIFO never waits for its other
// end and it cannot tell its size, and an adopted descriptor follows its own access mode and
// is the stream's to close. (Reading a pipe to its end is tested where files are loaded.)
#include "kelva/framework/rtl/Exceptions.h"
#include "kelva/framework/rtl/Streams.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace kelva;

namespace {

class FileStreamPipesTest : public testing::Test {
protected:
  void SetUp() override {
    Dir = std::filesystem::temp_directory_path() /
          ("kelva-pipes-" + std::to_string(std::random_device()()));
    std::filesystem::create_directories(Dir);
  }
  void TearDown() override { std::filesystem::remove_all(Dir); }

  std::filesystem::path Dir;
};

TEST_F(FileStreamPipesTest, OpeningAFifoNeverWaitsForItsOtherEnd) {
  const std::string Fifo = (Dir / "fifo").string();
  ASSERT_EQ(::mkfifo(Fifo.c_str(), 0600), 0);
  {
    TFileStream Reader(Fifo, fmOpenRead); // nobody writes: it reads as empty
    EXPECT_FALSE(Reader.HasKnownSize());
    char Byte;
    EXPECT_EQ(Reader.Read(&Byte, 1), 0);
  }
  EXPECT_THROW(TFileStream(Fifo, fmOpenWrite), EFOpenError); // nobody reads

  TFileStream Regular((Dir / "plain").string(), fmCreate);
  EXPECT_TRUE(Regular.HasKnownSize());
}

TEST_F(FileStreamPipesTest, AnAdoptedDescriptorFollowsItsModeAndIsClosed) {
  const std::string Path = (Dir / "adopted").string();
  const int Handle = ::open(Path.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK, 0600);
  ASSERT_GE(Handle, 0);
  {
    std::unique_ptr<TFileStream> Stream = TFileStream::FromHandle(Handle, Path);
    EXPECT_EQ(Stream->FileName(), Path);
    EXPECT_EQ(Stream->Write("ab", 2), 2);
    char Byte;
    EXPECT_EQ(Stream->Read(&Byte, 1), 0); // opened for writing only
    EXPECT_EQ(::fcntl(Handle, F_GETFL) & O_NONBLOCK, 0);
  }
  EXPECT_EQ(::fcntl(Handle, F_GETFD), -1);
  EXPECT_EQ(std::filesystem::file_size(Path), 2u);
  EXPECT_THROW(TFileStream::FromHandle(-1, Path), EFOpenError);
}

} // namespace
