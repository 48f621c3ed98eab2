// Helpers for tests of saved files: the text a dataset saves, loading a text and reporting
// its error, and files written by hand from record lists.
#pragma once

#include "OrderingSupport.h"

#include <string>
#include <utility>
#include <vector>

namespace kelva::file_test {

inline std::string Saved(TKelvaDataset& D) {
  TStringStream Stream;
  D.SaveToStream(Stream);
  return Stream.DataString();
}

// "" when Text loads into D, else the message of the load's error.
inline std::string LoadError(TKelvaDataset& D, const std::string& Text) {
  TStringStream Stream(Text);
  try {
    D.LoadFromStream(Stream);
  } catch (const EDatabaseError& E) {
    return E.Message();
  }
  return "";
}

using TRecords = std::vector<std::pair<int, std::string>>; // identifier and image

// A file with these field descriptions and record lists; a working copy exists when Cached
// or Deleted holds records.
inline std::string FileText(const std::vector<std::string>& Fields, const TRecords& Committed,
                            const TRecords& Cached = {}, const TRecords& Deleted = {}) {
  std::string Text =
      "#VERSION=1\r\n#NAME=\r\n#PARAMS=0\r\n#FIELDS=" + std::to_string(Fields.size()) +
      "\r\n#COMMITED=" + std::to_string(Committed.size()) +
      "\r\n#CACHED=" + std::to_string(Cached.size()) +
      "\r\n#DELETED=" + std::to_string(Deleted.size()) + "\r\n";
  for (const std::string& Field : Fields) Text += Field + "\r\n";
  for (const TRecords* List : {&Committed, &Cached, &Deleted})
    for (const auto& [RecId, Image] : *List)
      Text += "BOOK" + std::to_string(RecId) + "=" + Image + "\r\n";
  return Text;
}

// The images as records 1, 2, ...
inline TRecords Numbered(const std::vector<std::string>& Images) {
  TRecords Records;
  for (const std::string& Image : Images)
    Records.emplace_back(static_cast<int>(Records.size()) + 1, Image);
  return Records;
}

} // namespace kelva::file_test
