// Reading CSV (RFC 4180) into a Kelva dataset with its MetaFields already given.
#pragma once

#include "kelva/dataset/exchange/CsvOptions.h"

#include <string>

namespace kelva {

class TKelvaDataset;
class TStream;

// The first row names the columns: each must be a stored field of the dataset (letter case
// aside, in any order); fields not named stay null. Every record is read and checked before
// any is stored, then all are appended by raw loading (the dataset is opened if closed).
// A bad input loads nothing and raises EDatabaseError "line N: <reason>", N being the line
// where the bad record starts. An empty field is null; booleans read as True or False in
// any letter case. A UTF-8 byte order mark at the start is skipped.
void ImportCsv(TKelvaDataset& DataSet, TStream& Stream, const TCsvOptions& Options = {});
void ImportCsvFile(TKelvaDataset& DataSet, const std::string& FileName,
                   const TCsvOptions& Options = {});

} // namespace kelva
