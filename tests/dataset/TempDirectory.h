// Helpers for the tests that save and load real files: a fresh directory removed with its
// content, whole-file reads and writes, and the text a dataset saves.
#pragma once

#include "kelva/dataset/KelvaDataset.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace kelva::file_test {

namespace fs = std::filesystem;

class TTempDir {
public:
  TTempDir() {
    std::random_device Random;
    FPath = fs::temp_directory_path() / ("kelva-files-" + std::to_string(Random()));
    fs::create_directory(FPath);
  }
  ~TTempDir() {
    std::error_code Ignored;
    fs::remove_all(FPath, Ignored);
  }
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;

  const fs::path& Path() const { return FPath; }
  fs::path operator/(const std::string& Name) const { return FPath / Name; }
  std::vector<std::string> Entries() const {
    std::vector<std::string> Names;
    for (const auto& Entry : fs::directory_iterator(FPath))
      Names.push_back(Entry.path().filename().string());
    return Names;
  }

private:
  fs::path FPath;
};

inline std::string ReadAll(const fs::path& Path) {
  std::ifstream In(Path, std::ios::binary);
  std::ostringstream Text;
  Text << In.rdbuf();
  return Text.str();
}

inline void WriteAll(const fs::path& Path, const std::string& Text) {
  std::ofstream(Path, std::ios::binary) << Text;
}

inline std::string SavedText(TKelvaDataset& Data) {
  TStringStream Stream;
  Data.SaveToStream(Stream);
  return Stream.DataString();
}

} // namespace kelva::file_test
