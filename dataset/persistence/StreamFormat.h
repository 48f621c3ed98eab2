// The line-oriented text format a dataset saves itself in: seven header lines, the
// parameter and field description lines, then one "BOOK<id>=<image>" line per record of
// the committed list, the working copy and the deleted list. Every line ends with CR LF.
// Both directions stream: a save composes its text a buffer at a time, a load parses the
// lines as they are read, so neither holds the whole text of a large dataset.
#pragma once

#include "kelva/dataset/persistence/LineReader.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kelva {

class TStream;
class TStringStream;
class TStrings;
class TKlvRecordList;

// Reads a stream in the text format. Constructing it reads the header and the description
// lines; the record lines are then read group by group with ReadRecords. Anything
// malformed (version other than 1, a missing or non-numeric header value, a negative count,
// too few lines, an identifier that is not an integer) raises EDatabaseError with "invalid
// file format"; a failing stream raises its own error.
class TKlvStreamReader {
public:
  explicit TKlvStreamReader(TStream& Stream);
  ~TKlvStreamReader();

  const std::vector<std::string>& ParamsDesc() const { return FParamsDesc; }
  const std::vector<std::string>& MetaFields() const { return FMetaFields; }
  std::int32_t CommittedCount() const { return FCommitted; }
  std::int32_t CachedCount() const { return FCached; }
  std::int32_t DeletedCount() const { return FDeleted; }
  bool HasWorkingCopy() const { return FCached != 0 || FDeleted != 0; }
  // The records the header announces, but never more than the text has room for lines
  // (when the stream can tell its size): what a loader may set memory aside for without
  // trusting the header.
  std::size_t MostRecords() const;

  // Hands the next Count record lines to Take(RecId, Image), the image as it stands in the
  // text (not yet fitted to the record size, valid only during the call). Lines without '='
  // are skipped and not counted.
  template <class Visit>
  void ReadRecords(std::int32_t Count, Visit&& Take) {
    std::string_view Line;
    for (std::int32_t Done = 0; Done < Count;) {
      if (!FLines->Next(Line)) TooFewLines();
      std::int32_t RecId;
      std::string_view Image;
      if (!SplitRecordLine(Line, RecId, Image)) continue;
      Take(RecId, Image);
      ++Done;
    }
  }

  // Reads the rest of the stream (lines after the last record are ignored, but a stream
  // that ends before its announced size is refused).
  void Finish();

private:
  // False for a line without '='; raises for one whose identifier is not an integer.
  static bool SplitRecordLine(std::string_view Line, std::int32_t& RecId, std::string_view& Image);
  [[noreturn]] static void TooFewLines();
  void ReadHeader();
  void TakeLines(std::int32_t Count, std::vector<std::string>& Out);

  TKlvLineReader FStreamLines;
  // When a header key is not among the first seven lines, the whole text has to be searched
  // before the descriptions can be read: the rest is then kept in memory and read from there.
  std::unique_ptr<TStringStream> FRestText;
  std::unique_ptr<TKlvLineReader> FRestLines;
  TKlvLineReader* FLines; // FStreamLines or FRestLines, whichever the lines come from
  std::vector<std::string> FParamsDesc;
  std::vector<std::string> FMetaFields;
  std::int32_t FCommitted = 0;
  std::int32_t FCached = 0;
  std::int32_t FDeleted = 0;
};

// Writes the whole text of a dataset at the stream's position. Cached and Deleted may be
// null (no working copy). A text that fits the write buffer, or any text for an in-memory
// stream, reaches the stream in one write; a longer one in buffer-sized pieces.
void WriteStreamText(TStream& Stream, const std::string& Name, const TStrings& ParamsDesc,
                     const TStrings& MetaFields, const TKlvRecordList& Committed,
                     const TKlvRecordList* Cached, const TKlvRecordList* Deleted);

} // namespace kelva
