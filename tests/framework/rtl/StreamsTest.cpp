// The streams: reading and writing at and past the end, SetSize, the buffer helpers and
// their errors, CopyFrom, and file streams (modes, errors, binary round trips) in a
// temporary directory that is removed afterwards.
#include "kelva/framework/rtl/Streams.h"
#include "kelva/framework/rtl/Exceptions.h"
#include "kelva/framework/rtl/Strings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>

using namespace kelva;

namespace {

std::string ReadAll(TStream& Stream) {
  std::string Bytes(static_cast<std::size_t>(Stream.Size() - Stream.Position()), '\0');
  Stream.ReadBuffer(Bytes.data(), static_cast<std::int64_t>(Bytes.size()));
  return Bytes;
}

// ---- In-memory streams: the memory stream and the string stream behave alike.

template <class StreamType>
class InMemoryStreamTest : public testing::Test {};
using InMemoryStreamTypes = testing::Types<TMemoryStream, TStringStream>;
TYPED_TEST_SUITE(InMemoryStreamTest, InMemoryStreamTypes);

TYPED_TEST(InMemoryStreamTest, ReadsStopAtTheEnd) {
  TypeParam Stream;
  Stream.WriteBuffer(std::string("abcdef"));
  EXPECT_EQ(Stream.Position(), 6);
  EXPECT_EQ(Stream.Seek(-4, soEnd), 2);
  char Buffer[8] = {};
  EXPECT_EQ(Stream.Read(Buffer, 3), 3);
  EXPECT_EQ(std::string(Buffer, 3), "cde");
  EXPECT_EQ(Stream.Read(Buffer, 8), 1);
  EXPECT_EQ(Buffer[0], 'f');
  EXPECT_EQ(Stream.Read(Buffer, 8), 0);
  EXPECT_EQ(Stream.Seek(-1, soCurrent), 5);
}

TYPED_TEST(InMemoryStreamTest, PositionPastTheEnd) {
  TypeParam Stream;
  Stream.WriteBuffer(std::string("ab"));
  Stream.SetPosition(10);
  char Byte = 0;
  EXPECT_EQ(Stream.Read(&Byte, 1), 0);
  EXPECT_EQ(Stream.Size(), 2); // reading there does not grow the stream
  Stream.WriteBuffer(std::string("z"));
  EXPECT_EQ(Stream.Size(), 11);
  Stream.SetPosition(0);
  EXPECT_EQ(ReadAll(Stream), std::string("ab\0\0\0\0\0\0\0\0z", 11));
}

TYPED_TEST(InMemoryStreamTest, SetSizeTruncatesExtendsAndClampsThePosition) {
  TypeParam Stream;
  Stream.WriteBuffer(std::string("abcdef"));
  Stream.SetSize(3);
  EXPECT_EQ(Stream.Position(), 3);
  Stream.SetSize(5);
  EXPECT_EQ(Stream.Position(), 3);
  Stream.SetPosition(0);
  EXPECT_EQ(ReadAll(Stream), std::string("abc\0\0", 5));
  EXPECT_THROW(Stream.SetSize(-1), EStreamError);
}

TYPED_TEST(InMemoryStreamTest, PositionsBeforeTheStartAreRefused) {
  TypeParam Stream;
  Stream.WriteBuffer(std::string("abc"));
  EXPECT_THROW(Stream.Seek(-1, soBeginning), EStreamError);
  EXPECT_THROW(Stream.Seek(-4, soEnd), EStreamError);
  EXPECT_EQ(Stream.Position(), 3);
}

TYPED_TEST(InMemoryStreamTest, ShortReadsAndWritesRaise) {
  TypeParam Stream;
  Stream.WriteBuffer(std::string("abc"));
  Stream.SetPosition(1);
  char Buffer[4];
  try {
    Stream.ReadBuffer(Buffer, 4);
    ADD_FAILURE() << "no EReadError";
  } catch (const EReadError& E) {
    EXPECT_EQ(E.Message(), "Stream read error");
  }
  EXPECT_THROW(Stream.ReadBuffer(Buffer, -1), EReadError);
  Stream.ReadBuffer(Buffer, 0); // nothing asked, nothing missing
}

// ---- TMemoryStream

TEST(MemoryStreamTest, LoadAndSaveUseTheWholeOtherStream) {
  TStringStream Source("0123456789");
  Source.SetPosition(7);
  TMemoryStream Memory;
  Memory.WriteBuffer(std::string("old content"));
  Memory.LoadFromStream(Source);
  EXPECT_EQ(std::string(Memory.Memory(), static_cast<std::size_t>(Memory.Size())), "0123456789");
  EXPECT_EQ(Memory.Position(), 0);

  TStringStream Target("head|");
  Target.SetPosition(5);
  Memory.SaveToStream(Target);
  EXPECT_EQ(Target.DataString(), "head|0123456789");

  Memory.Clear();
  EXPECT_EQ(Memory.Size(), 0);
  EXPECT_EQ(Memory.Position(), 0);
}

TEST(MemoryStreamTest, SavingOntoItselfDuplicatesTheContent) {
  TMemoryStream Memory;
  Memory.WriteBuffer(std::string("abc"));
  Memory.SaveToStream(Memory);
  Memory.SetPosition(0);
  EXPECT_EQ(ReadAll(Memory), "abcabc");
}

// ---- CopyFrom

TEST(StreamCopyTest, CopiesFromThePositionOrEverything) {
  TStringStream Source("abcdef");
  Source.SetPosition(2);
  TMemoryStream Target;
  EXPECT_EQ(Target.CopyFrom(Source, 3), 3);
  EXPECT_EQ(Source.Position(), 5);

  Source.SetPosition(4);
  EXPECT_EQ(Target.CopyFrom(Source, 0), 6); // 0: all of the source, from its start
  Target.SetPosition(0);
  EXPECT_EQ(ReadAll(Target), "cdeabcdef");

  Source.SetPosition(5);
  EXPECT_THROW(Target.CopyFrom(Source, 2), EReadError);
  EXPECT_THROW(Target.CopyFrom(Source, -1), EReadError);
}

TEST(StreamCopyTest, CopiesMoreThanOneChunk) {
  std::string Big(3 * 1024 * 1024 + 17, '\0');
  std::mt19937 Random(7);
  for (char& C : Big) C = static_cast<char>(Random());
  TStringStream Source(Big);
  TStringStream Target;
  EXPECT_EQ(Target.CopyFrom(Source, 0), static_cast<std::int64_t>(Big.size()));
  EXPECT_EQ(Target.DataString(), Big);
}

// ---- TFileStream

class FileStreamTest : public testing::Test {
protected:
  void SetUp() override {
    const auto* Info = testing::UnitTest::GetInstance()->current_test_info();
    Dir = std::filesystem::temp_directory_path() /
          (std::string("kelva-streams-") + Info->name() + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(Dir);
    std::filesystem::create_directories(Dir);
  }
  void TearDown() override { std::filesystem::remove_all(Dir); }

  std::string PathOf(const std::string& Name) const { return (Dir / Name).string(); }

  static std::string FileContent(const std::string& Path) {
    std::ifstream In(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
  }

  std::filesystem::path Dir;
};

TEST_F(FileStreamTest, BinaryRoundTripWithoutLineEndTranslation) {
  const std::string Bytes("line\r\nnext\nlast\r\0\xff\x01", 19);
  const std::string Path = PathOf("data.bin");
  {
    TFileStream Out(Path, fmCreate);
    EXPECT_EQ(Out.FileName(), Path);
    Out.WriteBuffer(Bytes);
    Out.Flush();
    EXPECT_EQ(Out.Size(), 19);
  }
  EXPECT_EQ(FileContent(Path), Bytes);

  TFileStream In(Path, fmOpenRead | fmShareDenyWrite);
  EXPECT_EQ(In.Position(), 0);
  EXPECT_EQ(In.Size(), 19);
  EXPECT_EQ(ReadAll(In), Bytes);
  char Byte = 0;
  EXPECT_EQ(In.Read(&Byte, 1), 0);
}

// Writing behind only asks the device to store earlier: what is written, including over a
// stretch already handed to the device, reads back exactly.
TEST_F(FileStreamTest, WriteBehindKeepsEveryByteInPlace) {
  const std::string Path = PathOf("behind.bin");
  std::string Expected(20 << 20, '\0');
  for (std::size_t I = 0; I < Expected.size(); ++I) Expected[I] = static_cast<char>(I * 31 / 7);
  {
    TFileStream Out(Path, fmCreate);
    Out.SetWriteBehind(true);
    for (std::size_t At = 0; At < Expected.size(); At += 3 << 20)
      Out.WriteBuffer(Expected.data() + At, static_cast<std::int64_t>(std::min<std::size_t>(
                                                3 << 20, Expected.size() - At)));
    Out.Seek(5, soBeginning);
    Out.WriteBuffer(std::string("rewritten"));
    Expected.replace(5, 9, "rewritten");
    Out.Flush();
  }
  EXPECT_EQ(FileContent(Path), Expected);
}

TEST_F(FileStreamTest, CreateTruncatesAndOpenKeeps) {
  const std::string Path = PathOf("f.txt");
  {
    TFileStream Out(Path, fmCreate);
    Out.WriteBuffer(std::string("a long first content"));
  }
  {
    TFileStream Update(Path, fmOpenReadWrite);
    Update.WriteBuffer(std::string("A"));
    Update.Seek(0, soEnd);
    Update.WriteBuffer(std::string("!"));
  }
  EXPECT_EQ(FileContent(Path), "A long first content!");
  {
    TFileStream Again(Path, fmCreate);
    Again.WriteBuffer(std::string("new"));
  }
  EXPECT_EQ(FileContent(Path), "new");
}

TEST_F(FileStreamTest, OpenErrorsNameTheFile) {
  const std::string Missing = PathOf("missing.txt");
  for (std::uint16_t Mode : {fmOpenRead, fmOpenWrite, fmOpenReadWrite}) {
    try {
      TFileStream Stream(Missing, Mode);
      ADD_FAILURE() << "opened a missing file with mode " << Mode;
    } catch (const EFOpenError& E) {
      EXPECT_EQ(E.Message(), "Cannot open file \"" + Missing + "\"");
    }
  }
  EXPECT_THROW(TFileStream(Dir.string(), fmOpenRead), EFOpenError);

  const std::string Unreachable = PathOf("no/such/dir/file.txt");
  try {
    TFileStream Stream(Unreachable, fmCreate);
    ADD_FAILURE() << "created a file in a missing directory";
  } catch (const EFCreateError& E) {
    EXPECT_EQ(E.Message(), "Cannot create file \"" + Unreachable + "\"");
  }
}

TEST_F(FileStreamTest, AccessModesLimitReadingAndWriting) {
  const std::string Path = PathOf("modes.txt");
  { TFileStream(Path, fmCreate).WriteBuffer(std::string("abc")); }

  TFileStream ReadOnly(Path, fmOpenRead);
  EXPECT_EQ(ReadOnly.Write("x", 1), 0);
  EXPECT_THROW(ReadOnly.WriteBuffer(std::string("x")), EWriteError);
  EXPECT_THROW(ReadOnly.SetSize(1), EWriteError);

  TFileStream WriteOnly(Path, fmOpenWrite);
  char Byte = 0;
  EXPECT_EQ(WriteOnly.Read(&Byte, 1), 0);
  EXPECT_THROW(WriteOnly.ReadBuffer(&Byte, 1), EReadError);
  EXPECT_EQ(FileContent(Path), "abc");
}

TEST_F(FileStreamTest, SeekPastTheEndAndSetSize) {
  const std::string Path = PathOf("sparse.bin");
  TFileStream Stream(Path, fmCreate);
  Stream.WriteBuffer(std::string("ab"));
  EXPECT_EQ(Stream.Seek(3, soCurrent), 5);
  EXPECT_EQ(Stream.Size(), 2);
  Stream.WriteBuffer(std::string("z"));
  EXPECT_EQ(Stream.Size(), 6);
  Stream.SetSize(4);
  EXPECT_EQ(Stream.Position(), 4);
  EXPECT_THROW(Stream.Seek(-1, soBeginning), EStreamError);
  Stream.SetPosition(0);
  EXPECT_EQ(ReadAll(Stream), std::string("ab\0\0", 4));
}

TEST_F(FileStreamTest, MemoryStreamAndStringListFilesRoundTrip) {
  TMemoryStream Memory;
  Memory.WriteBuffer(std::string("x\r\ny"));
  Memory.SaveToFile(PathOf("memory.bin"));
  TMemoryStream Loaded;
  Loaded.LoadFromFile(PathOf("memory.bin"));
  EXPECT_EQ(std::string(Loaded.Memory(), 4), "x\r\ny");

  TStringList Lines;
  Lines.LoadFromFile(PathOf("memory.bin"));
  Lines.Add("z");
  Lines.SaveToFile(PathOf("lines.txt"));
  EXPECT_EQ(FileContent(PathOf("lines.txt")), "x\r\ny\r\nz\r\n");
  EXPECT_THROW(Lines.LoadFromFile(PathOf("absent.txt")), EFOpenError);
  EXPECT_EQ(Lines.Count(), 3); // a failed load leaves the list as it was
}

TEST_F(FileStreamTest, FailedOpensLeaveNoDescriptorBehind) {
  // A directory opens at the operating-system level and is refused afterwards: that
  // descriptor must be closed again, as must the one of every stream that is destroyed.
  auto OpenDescriptors = [] {
    std::size_t Count = 0;
    for ([[maybe_unused]] const auto& Entry : std::filesystem::directory_iterator("/proc/self/fd"))
      ++Count;
    return Count;
  };
  if (!std::filesystem::exists("/proc/self/fd")) GTEST_SKIP() << "no /proc/self/fd here";
  const std::size_t Before = OpenDescriptors();
  for (int I = 0; I < 20; ++I) {
    EXPECT_THROW(TFileStream(Dir.string(), fmOpenRead), EFOpenError);
    EXPECT_THROW(TFileStream(PathOf("missing"), fmOpenRead), EFOpenError);
    { TFileStream Stream(PathOf("ok"), fmCreate); }
  }
  EXPECT_EQ(OpenDescriptors(), Before);
}

} // namespace
