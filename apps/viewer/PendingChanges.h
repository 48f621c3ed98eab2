// Whether a dataset holds changes that are not committed yet: pending cached updates, or an
// edit that has been typed but not posted.
#pragma once

#include "kelva/dataset/KelvaDataset.h"

namespace kelva::viewer {

inline bool EditInProgress(const TKelvaDataset& Data) {
  return (Data.State() == dsEdit || Data.State() == dsInsert) && Data.Modified();
}

inline bool ChangesPending(TKelvaDataset& Data) {
  return Data.Active() && (Data.UpDatesPending() || EditInProgress(Data));
}

} // namespace kelva::viewer
