// TComponent: ownership (an owner destroys what it owns), names unique among siblings,
// the component state, removal notifications and the loading protocol.
#pragma once

#include "kelva/framework/rtl/Types.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace kelva {

enum TOperation : std::uint8_t { opInsert, opRemove };
enum TComponentStateItem : std::uint8_t {
  csLoading,
  csReading,
  csWriting,
  csDestroying,
  csDesigning,
  csAncestor,
  csUpdating,
  csFixups,
  csFreeNotification,
  csInline,
  csDesignInstance
};
using TComponentState = TSet<TComponentStateItem>;

class TComponent : public TPersistent {
public:
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return FOwner; }
  const std::string& Name() const { return FName; }
  virtual void SetName(const std::string& NewName);
  TComponentState ComponentState() const { return FComponentState; }

  std::int32_t ComponentCount() const { return static_cast<std::int32_t>(FComponents.size()); }
  TComponent* Components(std::int32_t Index) const;
  std::int32_t ComponentIndex() const;
  TComponent* FindComponent(const std::string& AName) const;
  void InsertComponent(TComponent* AComponent);
  void RemoveComponent(TComponent* AComponent);

  void FreeNotification(TComponent* AComponent);
  void RemoveFreeNotification(TComponent* AComponent);

  void Loading();
  virtual void Loaded();
  // Set while a form reader assigns the component's properties; cleared before Loaded.
  void SetReading(bool Value);

  // The tree a form file shows: a control's parent is the control it is drawn in. Components
  // without a parent hang directly under the root of their form file.
  virtual TComponent* GetParentComponent() const { return nullptr; }
  virtual void SetParentComponent(TComponent* Value);
  // The components a form file writes directly inside this one, in order. The default: for
  // the root, every owned component without a parent component.
  virtual void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) const;

  // The names of the published methods bound to this component's events by a form file or the
  // designer, so that they can be written back. An empty name removes the entry.
  void SetEventHandlerName(const std::string& EventName, const std::string& MethodName);
  std::string EventHandlerName(const std::string& EventName) const;
  void SetDesigning(bool Value, bool SetChildren = true);
  void Destroying();

protected:
  virtual void Notification(TComponent* AComponent, TOperation Operation);

private:
  // Raises EComponentError when another owned component than AComponent is named NewName.
  void ValidateRename(const TComponent* AComponent, const std::string& NewName) const;
  // Takes AComponent out of this component's list and clears its owner; false when it is no
  // longer in the list (a notification handler removed or destroyed it meanwhile).
  bool DetachComponent(TComponent* AComponent);
  // Drops the free-notification link between this component and AComponent, on both sides.
  void UnlinkFreeNotification(TComponent* AComponent);
  void DropFreeNotify(TComponent* AComponent);

  TComponent* FOwner = nullptr;
  std::string FName;
  TComponentState FComponentState;
  // The owned components, in insertion order. The owner deletes them: every entry was created
  // with new and is removed from here before it is deleted.
  std::vector<TComponent*> FComponents;
  // Mutual links: A is in B's list exactly when B is in A's.
  std::vector<TComponent*> FFreeNotifies;
  // The positions of the Notification loops now walking FComponents (nested loops stack up);
  // removing an entry shifts those beyond it, so that no component is skipped or told twice.
  std::vector<std::int32_t*> FNotifyCursors;
  std::vector<std::pair<std::string, std::string>> FEventHandlerNames;
};

} // namespace kelva
