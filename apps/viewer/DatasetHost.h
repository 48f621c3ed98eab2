// What the parts of the viewer's window need from the window: the dataset on show, and a way
// to run a person's action on it with errors shown in a message box and every widget brought
// up to date afterwards.
#pragma once

#include <functional>
#include <string>

namespace kelva {
class TKelvaDataset;
}

namespace kelva::viewer {

class TDatasetHost {
public:
  using TAction = std::function<void(TKelvaDataset& Data)>;

  virtual ~TDatasetHost() = default;
  // The dataset on show, or null while no file is open.
  virtual TKelvaDataset* DataSet() const = 0;
  // Runs Action on the dataset on show (nothing while none is); its errors are shown, the
  // widgets follow the dataset afterwards.
  virtual void Run(const TAction& Action) = 0;
  // As Run, for an action that settles pending changes: the file on disk no longer matches
  // the dataset when something was pending before.
  virtual void RunSettling(const TAction& Action) = 0;
  // A short note on the status line (what a search found, for one).
  virtual void Note(const std::string& Text) = 0;
};

} // namespace kelva::viewer
