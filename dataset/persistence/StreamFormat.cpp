// Writing and reading the text format, a buffer at a time in both directions.
#include "kelva/dataset/persistence/StreamFormat.h"

#include "kelva/dataset/messages.h"
#include "kelva/dataset/store/RecordList.h"
#include "kelva/framework/db/DBConsts.h"
#include "kelva/framework/rtl/Streams.h"
#include "kelva/framework/rtl/Strings.h"
#include "kelva/framework/rtl/SysUtils.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace kelva {

namespace {

constexpr std::size_t HeaderLines = 7;

[[noreturn]] void FormatError() {
  DatabaseError(SklvFicError);
}

std::int32_t ReadInteger(std::string_view Text) {
  std::int32_t Value;
  if (!TryStrToInt(Text.data(), Text.size(), Value)) FormatError();
  return Value;
}

// The header keys in the order their values are kept in THeaderValues.
constexpr std::array<std::string_view, 6> HeaderKeys = {"#VERSION",  "#PARAMS", "#FIELDS",
                                                        "#COMMITED", "#CACHED", "#DELETED"};

// The value text of each key, once the first line carrying it has been seen.
struct THeaderValues {
  std::array<std::string, HeaderKeys.size()> Text;
  std::array<bool, HeaderKeys.size()> Found{};

  bool Complete() const {
    return std::all_of(Found.begin(), Found.end(), [](bool F) { return F; });
  }

  // Takes the value of Line if its part before its first '=' is a key not yet seen, compared
  // without regard to letter case.
  void Note(std::string_view Line) {
    const std::size_t Equals = Line.find('=');
    if (Equals == std::string_view::npos) return;
    for (std::size_t K = 0; K < HeaderKeys.size(); ++K) {
      const std::string_view Key = HeaderKeys[K];
      if (Found[K] || Equals != Key.size()) continue;
      bool Same = true;
      for (std::size_t I = 0; I < Key.size() && Same; ++I)
        Same = (Line[I] >= 'a' && Line[I] <= 'z' ? Line[I] - 'a' + 'A' : Line[I]) == Key[I];
      if (!Same) continue;
      Text[K] = Line.substr(Equals + 1);
      Found[K] = true;
      return;
    }
  }

  // A missing key is not a number, so it is refused.
  std::int32_t Value(std::size_t K) const {
    if (!Found[K]) FormatError();
    return ReadInteger(Text[K]);
  }
  std::int32_t Count(std::size_t K) const {
    const std::int32_t Count = Value(K);
    if (Count < 0) FormatError();
    return Count;
  }
};

// Collects the text and hands it to the stream a buffer at a time; a text that fits the
// buffer is written in one piece.
class TTextOut {
public:
  TTextOut(TStream& Stream, std::size_t Capacity)
      : FStream(Stream), FCapacity(std::max<std::size_t>(Capacity, 64)),
        FData(std::make_unique_for_overwrite<char[]>(FCapacity)) {}

  // Room for Count more bytes at the returned address; Commit says how many were used.
  char* Reserve(std::size_t Count) {
    if (Count > FCapacity - FUsed) MakeRoom(Count);
    return FData.get() + FUsed;
  }
  void Commit(std::size_t Count) { FUsed += Count; }

  void Append(std::string_view Bytes) {
    std::memcpy(Reserve(Bytes.size()), Bytes.data(), Bytes.size());
    Commit(Bytes.size());
  }
  void AppendLine(std::string_view Line) {
    Append(Line);
    Append("\r\n");
  }

  void Flush() {
    FStream.WriteBuffer(FData.get(), static_cast<std::int64_t>(FUsed));
    FUsed = 0;
  }

private:
  // Writes out what is collected, and grows the buffer for a line longer than all of it.
  void MakeRoom(std::size_t Count) {
    Flush();
    if (Count <= FCapacity) return;
    FData = std::make_unique_for_overwrite<char[]>(Count);
    FCapacity = Count;
  }

  TStream& FStream;
  std::size_t FCapacity;
  std::unique_ptr<char[]> FData;
  std::size_t FUsed = 0;
};

// The longest record line: "BOOK", an identifier, "=", the image and CR LF.
constexpr std::size_t RecordLineOverhead = 4 + IntToStrBufSize + 1 + 2;

void AppendRecords(TTextOut& Out, const TKlvRecordList& List) {
  const std::size_t ImageSize = static_cast<std::size_t>(List.ImageSize());
  List.ForEach([&](std::int32_t RecId, const char* Image) {
    char* const Start = Out.Reserve(RecordLineOverhead + ImageSize);
    char* At = Start;
    std::memcpy(At, "BOOK", 4);
    At += 4;
    At += IntToStrBuf(RecId, At);
    *At++ = '=';
    std::memcpy(At, Image, ImageSize);
    At += ImageSize;
    std::memcpy(At, "\r\n", 2);
    Out.Commit(static_cast<std::size_t>(At + 2 - Start));
  });
}

std::size_t LinesSize(const TStrings& Lines) {
  std::size_t Size = 0;
  for (std::int32_t I = 0; I < Lines.Count(); ++I) Size += Lines[I].size() + 2;
  return Size;
}

// Large enough for the pieces to cost few writes, small enough to stay in the cache.
constexpr std::size_t WriteChunkSize = 1024 * 1024;

} // namespace

// ---- Reading ---------------------------------------------------------------------------------

TKlvStreamReader::TKlvStreamReader(TStream& Stream) : FStreamLines(Stream), FLines(&FStreamLines) {
  ReadHeader();
}

TKlvStreamReader::~TKlvStreamReader() = default;

void TKlvStreamReader::ReadHeader() {
  THeaderValues Values;
  std::string_view Line;
  for (std::size_t I = 0; I < HeaderLines; ++I) {
    // The descriptions start on line 8 whatever the first seven lines hold.
    if (!FStreamLines.Next(Line)) FormatError();
    Values.Note(Line);
  }
  if (!Values.Complete()) {
    // A key may stand on any later line: search them all, keeping them to read again.
    std::string Rest;
    while (FStreamLines.Next(Line)) {
      Values.Note(Line);
      Rest.append(Line);
      Rest.push_back('\n');
    }
    FStreamLines.Finish();
    FRestText = std::make_unique<TStringStream>(Rest);
    FRestLines = std::make_unique<TKlvLineReader>(*FRestText);
    FLines = FRestLines.get();
  }
  if (Values.Value(0) != 1) FormatError();
  const std::int32_t Params = Values.Count(1);
  const std::int32_t Fields = Values.Count(2);
  FCommitted = Values.Count(3);
  FCached = Values.Count(4);
  FDeleted = Values.Count(5);
  TakeLines(Params, FParamsDesc);
  TakeLines(Fields, FMetaFields);
}

std::size_t TKlvStreamReader::MostRecords() const {
  const std::size_t Announced = static_cast<std::size_t>(FCommitted) +
                                static_cast<std::size_t>(FCached) +
                                static_cast<std::size_t>(FDeleted);
  // A stream that cannot tell its size (a pipe) leaves only the header to go by.
  if (FStreamLines.TextSize() < 0) return Announced;
  // The shortest record line, "BOOK1=" and its line end, takes seven bytes.
  const auto Lines = static_cast<std::size_t>(FStreamLines.TextSize() / 7 + 1);
  return std::min(Lines, Announced);
}

void TKlvStreamReader::TakeLines(std::int32_t Count, std::vector<std::string>& Out) {
  std::string_view Line;
  for (std::int32_t I = 0; I < Count; ++I) {
    if (!FLines->Next(Line)) FormatError();
    Out.emplace_back(Line);
  }
}

bool TKlvStreamReader::SplitRecordLine(std::string_view Line, std::int32_t& RecId,
                                       std::string_view& Image) {
  const std::size_t Equals = Line.find('=');
  if (Equals == std::string_view::npos) return false;
  // The four characters before the identifier ("BOOK") are not checked.
  if (Equals < 4) FormatError();
  RecId = ReadInteger(Line.substr(4, Equals - 4));
  Image = Line.substr(Equals + 1);
  return true;
}

void TKlvStreamReader::TooFewLines() {
  FormatError();
}

void TKlvStreamReader::Finish() {
  FLines->Finish();
  FStreamLines.Finish();
}

// ---- Writing ---------------------------------------------------------------------------------

void WriteStreamText(TStream& Stream, const std::string& Name, const TStrings& ParamsDesc,
                     const TStrings& MetaFields, const TKlvRecordList& Committed,
                     const TKlvRecordList* Cached, const TKlvRecordList* Deleted) {
  const std::int32_t CachedCount = Cached ? Cached->Count() : 0;
  const std::int32_t DeletedCount = Deleted ? Deleted->Count() : 0;
  const std::size_t RecordCount =
      static_cast<std::size_t>(Committed.Count()) + CachedCount + DeletedCount;
  // At least the whole text, so that a small one goes out in one write.
  const std::size_t MostBytes = 7 * (16 + IntToStrBufSize) + Name.size() + LinesSize(ParamsDesc) +
                                LinesSize(MetaFields) +
                                RecordCount * (RecordLineOverhead + Committed.ImageSize());
  // A stream in memory would grow by copying itself at every piece: it gets the whole
  // text in one write instead.
  const bool InMemory = dynamic_cast<TInMemoryStream*>(&Stream) != nullptr;
  TTextOut Out(Stream, InMemory ? MostBytes : std::min(MostBytes, WriteChunkSize));
  Out.AppendLine("#VERSION=" + FloatToStr(1));
  Out.AppendLine("#NAME=" + Name);
  Out.AppendLine("#PARAMS=" + IntToStr(ParamsDesc.Count()));
  Out.AppendLine("#FIELDS=" + IntToStr(MetaFields.Count()));
  Out.AppendLine("#COMMITED=" + IntToStr(Committed.Count()));
  Out.AppendLine("#CACHED=" + IntToStr(CachedCount));
  Out.AppendLine("#DELETED=" + IntToStr(DeletedCount));
  for (std::int32_t I = 0; I < ParamsDesc.Count(); ++I) Out.AppendLine(ParamsDesc[I]);
  for (std::int32_t I = 0; I < MetaFields.Count(); ++I) Out.AppendLine(MetaFields[I]);
  AppendRecords(Out, Committed);
  if (Cached) AppendRecords(Out, *Cached);
  if (Deleted) AppendRecords(Out, *Deleted);
  Out.Flush();
}

} // namespace kelva
