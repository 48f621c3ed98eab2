// TDesignerHost: the form designer of one root component: design mode, dropping components
// from the palette, the selection, and the modified notice that property editors send.
#pragma once

#include "kelva/framework/design/PropertyRows.h" // the inspector comes with its designer
#include "kelva/framework/rtl/Component.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace kelva {

class TClassInfo;

class TDesignerHost {
public:
  // Root and its components are put in design mode for the designer's lifetime. Root must
  // outlive the designer or be destroyed while the designer watches it (Root() is then null).
  explicit TDesignerHost(TComponent* Root);
  ~TDesignerHost();
  TDesignerHost(const TDesignerHost&) = delete;
  TDesignerHost& operator=(const TDesignerHost&) = delete;

  TComponent* Root() const { return FRoot; }

  // Creates a component of the palette class Class, owned by the root and named after its class
  // ("TEventDataset" gives "EventDataset1", or the lowest free number), and selects it.
  TComponent* DropComponent(const TClassInfo* Class);

  // Null selects nothing. A selected component that is destroyed leaves the selection.
  void Select(TPersistent* Instance);
  void SelectMany(const std::vector<TPersistent*>& Instances);
  const std::vector<TPersistent*>& Selection() const { return FSelection; }

  // Called by property editors after they changed the edited objects.
  void Modified();
  std::int32_t ModifiedCount() const { return FModifiedCount; }
  std::function<void()> OnModified;

private:
  class TWatcher;
  void Forget(TComponent* Component);
  void SetSelection(std::vector<TPersistent*> Instances);

  TComponent* FRoot;
  // Hears of the destruction of the root and of selected components.
  std::unique_ptr<TWatcher> FWatcher;
  std::vector<TPersistent*> FSelection;
  std::int32_t FModifiedCount = 0;
};

} // namespace kelva
