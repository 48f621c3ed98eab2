// Writing and reading the text format. Both work on one string in memory: saving builds
// the text and writes it in one piece, loading splits the text into line views without
// copying the record lines.
#include "dataset/persistence/StreamFormat.h"

#include "dataset/messages.h"
#include "dataset/store/RecordList.h"
#include "framework/db/DBConsts.h"
#include "framework/rtl/Strings.h"
#include "framework/rtl/SysUtils.h"

#include <algorithm>
#include <cstring>

namespace kelva {

namespace {

constexpr std::size_t HeaderLines = 7;

[[noreturn]] void FormatError() {
  DatabaseError(SklvFicError);
}

// Splits Text into lines the way string lists do: CR LF, a lone CR and a lone LF each end
// a line, a final line end adds no empty line, and a NUL byte ends the text.
std::vector<std::string_view> SplitLines(std::string_view Text) {
  if (const std::size_t Nul = Text.find('\0'); Nul != std::string_view::npos)
    Text = Text.substr(0, Nul);
  const char* const Begin = Text.data();
  const char* const End = Begin + Text.size();
  // The next CR and the next LF, each found once with memchr and kept until passed.
  auto Next = [End](const char* From, char C) {
    const void* Found = std::memchr(From, C, static_cast<std::size_t>(End - From));
    return Found ? static_cast<const char*>(Found) : End;
  };
  const char* NextCR = Next(Begin, '\r');
  const char* NextLF = Next(Begin, '\n');
  std::vector<std::string_view> Lines;
  for (const char* Start = Begin; Start < End;) {
    if (NextCR < Start) NextCR = Next(Start, '\r');
    if (NextLF < Start) NextLF = Next(Start, '\n');
    const char* LineEnd = std::min(NextCR, NextLF);
    Lines.emplace_back(Start, static_cast<std::size_t>(LineEnd - Start));
    Start = LineEnd;
    if (Start < End && *Start == '\r') ++Start;
    if (Start < End && *Start == '\n') ++Start;
  }
  return Lines;
}

std::int32_t ReadInteger(std::string_view Text) {
  std::int32_t Value;
  if (!TryStrToInt(Text.data(), Text.size(), Value)) FormatError();
  return Value;
}

// The value of the first line whose part before its first '=' equals Key, compared
// without regard to letter case; a missing key is not a number, so it is refused.
std::int32_t HeaderValue(const std::vector<std::string_view>& Lines, std::string_view Key) {
  for (std::string_view Line : Lines) {
    const std::size_t Equals = Line.find('=');
    if (Equals != Key.size()) continue;
    bool Same = true;
    for (std::size_t I = 0; I < Key.size() && Same; ++I)
      Same = (Line[I] >= 'a' && Line[I] <= 'z' ? Line[I] - 'a' + 'A' : Line[I]) == Key[I];
    if (Same) return ReadInteger(Line.substr(Equals + 1));
  }
  FormatError();
}

std::int32_t HeaderCount(const std::vector<std::string_view>& Lines, std::string_view Key) {
  const std::int32_t Count = HeaderValue(Lines, Key);
  if (Count < 0) FormatError();
  return Count;
}

// Reads Count record lines from Cursor on. Lines without '=' are skipped and not counted.
void ReadRecords(const std::vector<std::string_view>& Lines, std::size_t& Cursor,
                 std::int32_t Count, std::vector<TKlvStreamRecord>& Out) {
  // The count comes from the file: never reserve more than the lines that are there.
  Out.reserve(
      std::min(static_cast<std::size_t>(Count), Lines.size() - std::min(Cursor, Lines.size())));
  while (static_cast<std::int32_t>(Out.size()) < Count) {
    if (Cursor >= Lines.size()) FormatError();
    const std::string_view Line = Lines[Cursor++];
    const std::size_t Equals = Line.find('=');
    if (Equals == std::string_view::npos) continue;
    // The four characters before the identifier ("BOOK") are not checked.
    if (Equals < 4) FormatError();
    Out.push_back({ReadInteger(Line.substr(4, Equals - 4)), Line.substr(Equals + 1)});
  }
}

void AppendLine(std::string& Out, std::string_view Line) {
  Out.append(Line);
  Out.append("\r\n");
}

void AppendRecords(std::string& Out, const TKlvRecordList& List) {
  char Id[IntToStrBufSize];
  for (std::int32_t I = 0; I < List.Count(); ++I) {
    Out.append("BOOK");
    Out.append(Id, IntToStrBuf(List.RecId(I), Id));
    Out.push_back('=');
    AppendLine(Out, List.ImageView(I));
  }
}

} // namespace

TKlvStreamContent ParseStreamText(std::string_view Text) {
  const std::vector<std::string_view> Lines = SplitLines(Text);
  if (HeaderValue(Lines, "#VERSION") != 1) FormatError();
  const std::int32_t ParamCount = HeaderCount(Lines, "#PARAMS");
  const std::int32_t FieldCount = HeaderCount(Lines, "#FIELDS");
  const std::int32_t Committed = HeaderCount(Lines, "#COMMITED");
  const std::int32_t Cached = HeaderCount(Lines, "#CACHED");
  const std::int32_t Deleted = HeaderCount(Lines, "#DELETED");

  TKlvStreamContent Content;
  std::size_t Cursor = HeaderLines;
  auto TakeLines = [&](std::int32_t Count, std::vector<std::string>& Out) {
    if (Lines.size() < Cursor || Lines.size() - Cursor < static_cast<std::size_t>(Count))
      FormatError();
    for (std::int32_t I = 0; I < Count; ++I) Out.emplace_back(Lines[Cursor++]);
  };
  TakeLines(ParamCount, Content.ParamsDesc);
  TakeLines(FieldCount, Content.MetaFields);
  ReadRecords(Lines, Cursor, Committed, Content.Committed);
  Content.HasWorkingCopy = Cached != 0 || Deleted != 0;
  ReadRecords(Lines, Cursor, Cached, Content.Cached);
  ReadRecords(Lines, Cursor, Deleted, Content.Deleted);
  return Content;
}

void WriteStreamText(std::string& Out, const std::string& Name, const TStrings& ParamsDesc,
                     const TStrings& MetaFields, const TKlvRecordList& Committed,
                     const TKlvRecordList* Cached, const TKlvRecordList* Deleted) {
  const std::int32_t CachedCount = Cached ? Cached->Count() : 0;
  const std::int32_t DeletedCount = Deleted ? Deleted->Count() : 0;
  const std::size_t RecordCount =
      static_cast<std::size_t>(Committed.Count()) + CachedCount + DeletedCount;
  Out.reserve(Out.size() + RecordCount * (Committed.ImageSize() + 20) + 256);
  AppendLine(Out, "#VERSION=" + FloatToStr(1));
  AppendLine(Out, "#NAME=" + Name);
  AppendLine(Out, "#PARAMS=" + IntToStr(ParamsDesc.Count()));
  AppendLine(Out, "#FIELDS=" + IntToStr(MetaFields.Count()));
  AppendLine(Out, "#COMMITED=" + IntToStr(Committed.Count()));
  AppendLine(Out, "#CACHED=" + IntToStr(CachedCount));
  AppendLine(Out, "#DELETED=" + IntToStr(DeletedCount));
  for (std::int32_t I = 0; I < ParamsDesc.Count(); ++I) AppendLine(Out, ParamsDesc[I]);
  for (std::int32_t I = 0; I < MetaFields.Count(); ++I) AppendLine(Out, MetaFields[I]);
  AppendRecords(Out, Committed);
  if (Cached) AppendRecords(Out, *Cached);
  if (Deleted) AppendRecords(Out, *Deleted);
}

} // namespace kelva
