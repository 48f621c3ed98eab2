// Writing a Kelva dataset as CSV (RFC 4180): a header row of field names, then one record
// per visible record of the current view, lines ended by CRLF, UTF-8 text.
#pragma once

#include "kelva/dataset/exchange/CsvOptions.h"

#include <string>

namespace kelva {

class TKelvaDataset;
class TStream;

// A field is quoted when it holds the separator, a quote or a line break; quotes inside
// are doubled. Null is an empty unquoted field; booleans are True and False, numbers use
// '.', dates ISO 8601.
void ExportCsv(TKelvaDataset& DataSet, TStream& Stream, const TCsvOptions& Options = {});
// Replaces FileName only once the whole file is written: a failure leaves the old one.
void ExportCsvFile(TKelvaDataset& DataSet, const std::string& FileName,
                   const TCsvOptions& Options = {});

} // namespace kelva
