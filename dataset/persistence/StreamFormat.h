// The line-oriented text format a dataset saves itself in: seven header lines, the
// parameter and field description lines, then one "BOOK<id>=<image>" line per record of
// the committed list, the working copy and the deleted list. Every line ends with CR LF.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelva {

class TStrings;
class TKlvRecordList;

struct TKlvStreamRecord {
  std::int32_t RecId;
  std::string_view Image; // as it stands in the text; not yet fitted to the record size
};

// What a stream holds, with record images pointing into the parsed text.
struct TKlvStreamContent {
  std::vector<std::string> ParamsDesc;
  std::vector<std::string> MetaFields;
  std::vector<TKlvStreamRecord> Committed;
  std::vector<TKlvStreamRecord> Cached;
  std::vector<TKlvStreamRecord> Deleted;
  bool HasWorkingCopy = false; // the cached or deleted count was not 0
};

// Reads the text. Anything malformed (version other than 1, a missing or non-numeric
// header value, a negative count, too few lines, an identifier that is not an integer)
// raises EDatabaseError with "invalid file format".
TKlvStreamContent ParseStreamText(std::string_view Text);

// Appends the whole text of a dataset to Out. Cached and Deleted may be null (no working
// copy).
void WriteStreamText(std::string& Out, const std::string& Name, const TStrings& ParamsDesc,
                     const TStrings& MetaFields, const TKlvRecordList& Committed,
                     const TKlvRecordList* Cached, const TKlvRecordList* Deleted);

} // namespace kelva
