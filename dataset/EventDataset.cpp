// TEventDataset: the hooks call their events when assigned and switched on.
#include "kelva/dataset/EventDataset.h"

namespace kelva {

TEventDataset::TEventDataset(TComponent* AOwner) : TKelvaDataset(AOwner) {}

TEventDataset::~TEventDataset() {
  Destroying();
  Close();
}

void TEventDataset::DoOnUpdate() {
  if (OnUpdate && FireOnUpdate) OnUpdate(this);
}

void TEventDataset::DoOnUpdateRec(TUpdateStatus Action) {
  if (OnUpdaterec && FireOnUpdaterec) OnUpdaterec(this, Action);
}

void TEventDataset::DoOnLoad(TKlvLoadAction Action) {
  if (OnLoad && FireOnLoad) OnLoad(this, Action);
}

} // namespace kelva
