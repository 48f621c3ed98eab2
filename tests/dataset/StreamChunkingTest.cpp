// Texts larger than the buffers they pass through: lines split across refills, streams that
// deliver a few bytes per call or end early, header keys found past the first lines, saves
// that reach the stream in several pieces, and the memory a bulk load sets aside.
#include "OrderingSupport.h"
#include "kelva/dataset/persistence/LineReader.h"
#include "kelva/framework/rtl/RtlConsts.h"

#include <filesystem>

namespace kelva {
namespace {

using namespace ordering_test;

// Hands out at most PerCall bytes per read, and nothing after Limit bytes.
class TTrickleStream : public TStringStream {
public:
  TTrickleStream(const std::string& Data, std::int64_t PerCall, std::int64_t Limit = INT64_MAX)
      : TStringStream(Data), FPerCall(PerCall), FLimit(Limit) {}
  std::int64_t Read(void* Buffer, std::int64_t Count) override {
    const std::int64_t Allowed = std::max<std::int64_t>(0, std::min({Count, FPerCall, FLimit}));
    const std::int64_t Got = TStringStream::Read(Buffer, Allowed);
    FLimit -= Got;
    return Got;
  }

private:
  std::int64_t FPerCall;
  std::int64_t FLimit;
};

// Keeps what is written and counts the writes; not an in-memory stream to the writer.
class TCountingStream : public TStream {
public:
  std::int64_t Read(void*, std::int64_t) override { return 0; }
  std::int64_t Write(const void* Buffer, std::int64_t Count) override {
    ++Writes;
    Data.append(static_cast<const char*>(Buffer), static_cast<std::size_t>(Count));
    return Count;
  }
  std::int64_t Seek(std::int64_t, TSeekOrigin) override {
    return static_cast<std::int64_t>(Data.size());
  }
  std::string Data;
  int Writes = 0;
};

std::vector<std::string> ReadLines(TStream& Stream, std::size_t ChunkSize) {
  TKlvLineReader Reader(Stream, ChunkSize);
  std::vector<std::string> Lines;
  for (std::string_view Line; Reader.Next(Line);) Lines.emplace_back(Line);
  Reader.Finish();
  return Lines;
}

TEST(LineReader, SplitsAlikeWhateverTheBufferAndTheReadSizes) {
  const std::string Text = "one\r\ntwo\rthree\n\r\nfour\r\r\na longer line than the buffer\n\nlast";
  const std::vector<std::string> Expected = {
      "one", "two", "three", "", "four", "", "a longer line than the buffer", "", "last"};
  for (std::size_t Chunk = 1; Chunk <= Text.size() + 1; ++Chunk)
    for (std::int64_t PerCall : {1, 3, 1 << 20}) {
      SCOPED_TRACE(testing::Message() << "chunk " << Chunk << ", per call " << PerCall);
      TTrickleStream Stream(Text, PerCall);
      ASSERT_EQ(ReadLines(Stream, Chunk), Expected);
      TTrickleStream Ended(std::string("a\r\nb\r", 5), PerCall);
      ASSERT_EQ(ReadLines(Ended, Chunk), (std::vector<std::string>{"a", "b"}));
      TTrickleStream WithNul(std::string("a\r\nb\0c\r\nd\r\n", 11), PerCall);
      ASSERT_EQ(ReadLines(WithNul, Chunk), (std::vector<std::string>{"a", "b"}));
    }
}

TEST(LineReader, AStreamThatEndsEarlyFailsEvenWhereTheTextIsIgnored) {
  const std::string Text("a\r\nb\0ignored\r\n", 14);
  for (std::int64_t Limit : {2, 4, 6, 13}) {
    SCOPED_TRACE(Limit);
    TTrickleStream Stream(Text, 1 << 20, Limit);
    TKlvLineReader Reader(Stream, 4);
    EXPECT_THROW(
        {
          for (std::string_view Line; Reader.Next(Line);) {}
          Reader.Finish();
        },
        EReadError);
  }
}

std::string Saved(TKelvaDataset& D) {
  TStringStream Stream;
  D.SaveToStream(Stream);
  return Stream.DataString();
}

// Some 1.7 MB of text: several write pieces and many read buffers, with pending changes.
void OpenLarge(TEventDataset& D) {
  TRows Rows;
  for (int I = 0; I < 6000; ++I) Rows.push_back({std::string(200 + I % 50, 'a' + I % 26), I});
  OpenWith(D, {"FIELD=NAME,CHAR,250", "FIELD=N,INTEGER,0"}, std::move(Rows));
  D.SetCachedUpdates(true);
  for (int Number = 1; Number <= 5000; Number += 7) {
    D.SetRecNo(Number);
    D.Edit();
    D.FieldByName("N")->SetAsInteger(-Number);
    D.Post();
  }
  D.SetRecNo(3000);
  D.Delete();
  D.AppendRecord({"appended", 1});
}

TEST(StreamLargeText, PiecesMakeTheSameTextAndLoadBackFromAFile) {
  TEventDataset D(nullptr);
  OpenLarge(D);
  const std::string Text = Saved(D);
  TCountingStream Pieces;
  D.SaveToStream(Pieces);
  EXPECT_GT(Pieces.Writes, 1);
  ASSERT_EQ(Pieces.Data, Text);

  const auto File = std::filesystem::temp_directory_path() /
                    ("kelva-chunks-" + std::to_string(::getpid()) + ".txt");
  D.SaveTofile(File.string());
  TEventDataset Copy(nullptr);
  Copy.LoadFromFile(File.string());
  std::filesystem::remove(File);
  EXPECT_EQ(Saved(Copy), Text);
  EXPECT_EQ(Copy.RecordCount(), 6000);
  Copy.SetBrowseBuffer(brModified);
  EXPECT_EQ(Copy.RecordCount(), 715);
}

TEST(StreamLargeText, ALargeStreamCutAnywhereLoadsNothing) {
  TEventDataset Source(nullptr);
  OpenLarge(Source);
  const std::string Text = Saved(Source);
  for (std::int64_t Limit : {std::int64_t{1000}, static_cast<std::int64_t>(Text.size() / 2),
                             static_cast<std::int64_t>(Text.size() - 1)}) {
    SCOPED_TRACE(Limit);
    TEventDataset D(nullptr);
    D.SetKLVFields(Lines({"FIELD=OLD,CHAR,3"}));
    TTrickleStream Stream(Text, 1 << 20, Limit);
    EXPECT_EQ(ErrorOf([&] { D.LoadFromStream(Stream); }), SklvFicError);
    EXPECT_FALSE(D.Active());
    EXPECT_EQ(D.MetaFields().Text(), "FIELD=OLD,CHAR,3\r\n");
  }
}

TEST(StreamLoad, HeaderKeysAreFoundPastTheFirstSevenLines) {
  const std::string Head = "#VERSION=1\r\n#NAME=X\r\n#PARAMS=0\r\n#FIELDS=1\r\n#COMMITED=2\r\n"
                           "#REMARK=moved\r\n#DELETED=0\r\nFIELD=NAME,CHAR,3\r\n"
                           "BOOK1=ANN \r\nno record\r\nBOOK2=BOB \r\n";
  {
    TListedDataset D(nullptr);
    TStringStream Stream(Head + "#CACHED=0\r\n");
    D.LoadFromStream(Stream);
    EXPECT_EQ(Column(D, "NAME"), (std::vector<std::string>{"ANN", "BOB"}));
    EXPECT_FALSE(D.CachedBufActive());
  }
  for (const std::string& Tail : {std::string(), std::string("\0#CACHED=0\r\n", 12)}) {
    TEventDataset D(nullptr);
    TStringStream Stream(Head + Tail);
    EXPECT_EQ(ErrorOf([&] { D.LoadFromStream(Stream); }), SklvFicError);
  }
}

TEST(ImagePoolReserve, ReservedPagesKeepEveryImageApart) {
  constexpr std::int32_t Size = 33; // pages of odd byte sizes, cut one after another
  TKlvImagePool Pool(Size);
  Pool.Reserve(70000);
  std::vector<std::uint32_t> Slots;
  auto ImageOf = [](std::size_t I) {
    return std::string(Size, static_cast<char>('!' + I % 90)) + std::to_string(I);
  };
  for (std::size_t I = 0; I < 100000; ++I) { // past the reserved region
    if (I == 80000) Pool.Reserve(50000);
    Slots.push_back(Pool.Allocate(ImageOf(I).c_str()));
  }
  for (std::size_t I = 0; I < Slots.size(); ++I)
    ASSERT_EQ(std::string(Pool.Data(Slots[I]), Size), ImageOf(I).substr(0, Size)) << I;
}

} // namespace
} // namespace kelva
