// TEventDataset: a TKelvaDataset whose three hooks are events, so that an application
// supplies where records come from (OnLoad) and where changes go (OnUpdaterec per record,
// OnUpdate for pending cached updates) with handlers instead of a subclass.
#pragma once

#include "kelva/dataset/KelvaDataset.h"

#include <functional>

namespace kelva {

using TKlvLoadNotifyEvent = std::function<void(TKelvaDataset* DataSet, TKlvLoadAction Action)>;
using TklvUpdateRecNotifyEvent = std::function<void(TKelvaDataset* DataSet, TUpdateStatus Action)>;
using TklvUpdateNotifyEvent = std::function<void(TKelvaDataset* DataSet)>;

class TEventDataset : public TKelvaDataset {
public:
  explicit TEventDataset(TComponent* AOwner);
  ~TEventDataset() override;

  TKlvLoadNotifyEvent OnLoad;
  bool FireOnLoad = true;
  TklvUpdateNotifyEvent OnUpdate;
  bool FireOnUpdate = true;
  TklvUpdateRecNotifyEvent OnUpdaterec;
  bool FireOnUpdaterec = true;

protected:
  void DoOnUpdate() override;
  void DoOnUpdateRec(TUpdateStatus Action) override;
  void DoOnLoad(TKlvLoadAction Action) override;
};

} // namespace kelva
