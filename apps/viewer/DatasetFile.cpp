// Loading into a fresh dataset, and saving after posting what is being edited.
#include "kelva/apps/viewer/DatasetFile.h"

#include <fstream>

namespace kelva::viewer {

namespace {

// The "#NAME=" header value of the file, or "" when there is none among the header lines.
// The loader ignores it, but saving writes the dataset's name there: keeping it means a file
// opened and saved again still names what it held.
std::string HeaderName(const std::string& FileName) {
  constexpr int HeaderLines = 7;
  constexpr std::string_view Key = "#NAME=";
  std::ifstream File(FileName, std::ios::binary);
  std::string Line;
  for (int I = 0; I < HeaderLines && std::getline(File, Line); ++I) {
    if (!Line.empty() && Line.back() == '\r') Line.pop_back();
    if (Line.size() < Key.size()) continue;
    if (AnsiUpperCase(Line.substr(0, Key.size())) == Key) return Line.substr(Key.size());
  }
  return {};
}

} // namespace

std::unique_ptr<TEventDataset> LoadDatasetFile(const std::string& FileName) {
  auto Data = std::make_unique<TEventDataset>(nullptr);
  Data->SetCachedUpdates(true);
  Data->LoadFromFile(FileName);
  try {
    Data->SetName(HeaderName(FileName));
  } catch (const EComponentError&) {
    // A name that is no identifier cannot be a component's: the data matters, not the name.
  }
  return Data;
}

void SaveDatasetFile(TKelvaDataset& Data, const std::string& FileName) {
  Data.CheckBrowseMode();
  Data.SaveTofile(FileName);
}

} // namespace kelva::viewer
