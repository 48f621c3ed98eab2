// Reading and writing the viewer's data files: a file is read into a fresh dataset, so that a
// file that cannot be read leaves the dataset already shown untouched.
#pragma once

#include "kelva/dataset/KelvaDataset.h"

#include <memory>
#include <string>

namespace kelva::viewer {

// Reads FileName into a new open dataset with cached updates on, so that every edit stays
// pending until it is committed. Raises the loader's own error when the file cannot be read.
std::unique_ptr<TEventDataset> LoadDatasetFile(const std::string& FileName);

// Posts an edit in progress (a half-typed record is part of what the person sees) and writes
// the dataset, pending changes included, to FileName.
void SaveDatasetFile(TKelvaDataset& Data, const std::string& FileName);

} // namespace kelva::viewer
