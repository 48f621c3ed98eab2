// A TKelvaDataset descendant for tests: its three hooks call optional lambdas and log
// every call, so tests can fill the dataset on open and watch what the store reports.
#pragma once

#include "kelva/dataset/KelvaDataset.h"

#include <functional>
#include <string>
#include <vector>

namespace kelva::testing {

class THookedDataset : public TKelvaDataset {
public:
  explicit THookedDataset(TComponent* AOwner = nullptr) : TKelvaDataset(AOwner) {}
  ~THookedDataset() override {
    Destroying();
    Close();
  }

  std::function<void(THookedDataset&, TKlvLoadAction)> OnLoadHook;
  std::function<void(THookedDataset&, TUpdateStatus)> OnUpdateRecHook;
  std::function<void(THookedDataset&)> OnUpdateHook;
  std::vector<std::string> HookLog;

  // Sets the description lines, e.g. {"FIELD=NAME,CHAR,25", "FIELD=POS,FLOAT,0"}.
  void Describe(std::initializer_list<std::string> Lines) {
    TStringList List;
    for (const std::string& Line : Lines) List.Add(Line);
    SetKLVFields(List);
  }

  using TKelvaDataset::ActiveBuffer;
  using TKelvaDataset::BufferedRecordCount;
  using TKelvaDataset::InternalBuf;

protected:
  void DoOnLoad(TKlvLoadAction Action) override {
    HookLog.push_back("load " + std::to_string(Action));
    if (OnLoadHook) OnLoadHook(*this, Action);
  }
  void DoOnUpdateRec(TUpdateStatus Action) override {
    HookLog.push_back("updaterec " + std::to_string(Action));
    if (OnUpdateRecHook) OnUpdateRecHook(*this, Action);
  }
  void DoOnUpdate() override {
    HookLog.push_back("update");
    if (OnUpdateHook) OnUpdateHook(*this);
  }
};

} // namespace kelva::testing
