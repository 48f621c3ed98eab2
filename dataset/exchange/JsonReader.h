// Reading JSON into a Kelva dataset with its MetaFields already given: an array of flat
// objects whose keys are field names.
#pragma once

#include <string>

namespace kelva {

class TKelvaDataset;
class TStream;

// Values may be strings, numbers, true, false and null; nested arrays or objects are
// refused. Keys name stored fields (letter case aside); fields an object leaves out stay
// null. Numbers go to FLOAT, INTEGER, SMALLINT and BCD fields, true/false to BOOLEAN,
// strings to CHAR and (ISO 8601) to DATE, TIME and DATETIME. Every object is read and
// checked before any is stored, then all are appended by raw loading (the dataset is
// opened if closed). A bad input loads nothing and raises EDatabaseError "line N:
// <reason>", N being the line where the bad object starts (or of the fault outside one).
void ImportJson(TKelvaDataset& DataSet, TStream& Stream);
void ImportJsonFile(TKelvaDataset& DataSet, const std::string& FileName);

} // namespace kelva
