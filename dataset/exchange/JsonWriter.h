// Writing a Kelva dataset as JSON: an array with one flat object per visible record of the
// current view, keyed by field name, one object per line.
#pragma once

#include <string>

namespace kelva {

class TKelvaDataset;
class TStream;

// Nulls are null, numbers and booleans are bare JSON numbers and true/false, text and
// dates (ISO 8601) are strings. The text is UTF-8; only what JSON requires is escaped.
void ExportJson(TKelvaDataset& DataSet, TStream& Stream);
// Replaces FileName only once the whole file is written: a failure leaves the old one.
void ExportJsonFile(TKelvaDataset& DataSet, const std::string& FileName);

// Text as a JSON string literal, quotes included.
std::string JsonStringLiteral(const std::string& Text);

} // namespace kelva
