// The designer of one form: it keeps the root in design mode, names and selects the components
// dropped from the palette, and forgets components that are destroyed while it refers to them.
#include "kelva/framework/design/DesignerHost.h"

#include "kelva/framework/design/DesignIntf.h"
#include "kelva/framework/rtl/Exceptions.h"
#include "kelva/framework/rtl/SysUtils.h"
#include "kelva/framework/rtl/TypeInfo.h"

#include <algorithm>

namespace kelva {

// A component without an owner, linked by free notification to the root and to the selected
// components, so that the designer never keeps a pointer to a destroyed one.
class TDesignerHost::TWatcher : public TComponent {
public:
  explicit TWatcher(TDesignerHost& Host) : TComponent(nullptr), FHost(Host) {}

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove) FHost.Forget(AComponent);
  }

private:
  TDesignerHost& FHost;
};

TDesignerHost::TDesignerHost(TComponent* Root)
    : FRoot(Root), FWatcher(std::make_unique<TWatcher>(*this)) {
  if (!Root) throw EInvalidOperation("A designer needs a root component");
  FRoot->SetDesigning(true);
  FWatcher->FreeNotification(FRoot);
}

TDesignerHost::~TDesignerHost() {
  // The watcher's own destruction unlinks it from everything it watches.
  if (FRoot) FRoot->SetDesigning(false);
}

void TDesignerHost::Forget(TComponent* Component) {
  if (Component == FRoot) FRoot = nullptr;
  std::erase(FSelection, static_cast<TPersistent*>(Component));
}

TComponent* TDesignerHost::DropComponent(const TClassInfo* Class) {
  if (!FRoot) throw EInvalidOperation("The designed form no longer exists");
  if (!Class || !IsPaletteClass(Class))
    throw EInvalidOperation("Class " + (Class ? Class->Name : std::string("(none)")) +
                            " is not on the component palette");

  // Classes are named TSomething; the component is Something1, Something2, ...
  std::string Base = Class->Name;
  if (Base.size() > 1 && (Base[0] == 'T' || Base[0] == 't')) Base.erase(0, 1);
  std::string Name;
  for (std::int32_t Number = 1;; ++Number) {
    Name = Base + IntToStr(Number);
    if (!FRoot->FindComponent(Name) && CompareText(FRoot->Name(), Name) != 0) break;
  }

  TComponent* Created = Class->Create(FRoot);
  if (!Created) throw EInvalidOperation("Class " + Class->Name + " created no component");
  try {
    Created->SetName(Name);
  } catch (...) {
    delete Created; // it is ours until it is named and selected
    throw;
  }
  Select(Created);
  Modified();
  return Created;
}

void TDesignerHost::Select(TPersistent* Instance) {
  SetSelection(Instance ? std::vector<TPersistent*>{Instance} : std::vector<TPersistent*>{});
}

void TDesignerHost::SelectMany(const std::vector<TPersistent*>& Instances) {
  std::vector<TPersistent*> Unique;
  for (TPersistent* Instance : Instances)
    if (Instance && std::find(Unique.begin(), Unique.end(), Instance) == Unique.end())
      Unique.push_back(Instance);
  SetSelection(std::move(Unique));
}

void TDesignerHost::SetSelection(std::vector<TPersistent*> Instances) {
  auto AsComponent = [](TPersistent* P) { return dynamic_cast<TComponent*>(P); };
  for (TPersistent* Old : FSelection)
    if (TComponent* C = AsComponent(Old);
        C && C != FRoot && std::find(Instances.begin(), Instances.end(), Old) == Instances.end())
      FWatcher->RemoveFreeNotification(C);
  FSelection = std::move(Instances);
  for (TPersistent* New : FSelection)
    if (TComponent* C = AsComponent(New)) FWatcher->FreeNotification(C);
}

void TDesignerHost::Modified() {
  ++FModifiedCount;
  if (OnModified) OnModified();
}

} // namespace kelva
