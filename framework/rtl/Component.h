// TComponent: ownership (an owner destroys what it owns), names unique among siblings,
// the component state, removal notifications and the loading protocol.
#pragma once

#include "kelva/framework/rtl/NameMap.h"
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

  // A promise about this component's Notification: it reacts only to being told of the
  // removal of a component it is linked with by FreeNotification (asked by either side,
  // between siblings too), and otherwise only passes notifications on to what it owns. Its
  // owner then tells it of nothing else, so that a form or dataset with thousands of
  // components does not tell each of them of every other one. Only the code that created
  // the component, and so knows its exact class, may make the promise: a descendant class
  // may react to more.
  void RestrictNotificationsToLinks();
  bool NotificationsRestrictedToLinks() const { return FRestrictedToLinks; }

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
  void RenameOwned(TComponent* AComponent, const std::string& OldName, const std::string& NewName);
  // Takes AComponent out of this component's list and clears its owner; false when it is no
  // longer in the list (a notification handler removed or destroyed it meanwhile).
  bool DetachComponent(TComponent* AComponent);
  // Drops the links (free notification and sibling) between this component and AComponent,
  // on both sides.
  void UnlinkFreeNotification(TComponent* AComponent);

  // Whether Owned, a component of this one, hears every notification this one passes on.
  static bool Receives(const TComponent* Owned) {
    return !Owned->FRestrictedToLinks || !Owned->FComponents.empty();
  }
  void AddReceiver(TComponent* Owned);
  void DropReceiver(TComponent* Owned);
  // Passes a notification on to the owned components that may react to it.
  void NotifyOwned(TComponent* AComponent, TOperation Operation);
  // Checks, in debug builds and for a few owned components, what the members below state.
  void AssertOwnedInvariants() const;

  TComponent* FOwner = nullptr;
  std::string FName;
  TComponentState FComponentState;
  bool FRestrictedToLinks = false;
  // Orders the owner's components: given at insertion from the owner's FNextOrder, so it
  // rises along the owner's list.
  std::uint64_t FOrder = 0;
  std::uint64_t FNextOrder = 0;
  // The owned components, in insertion order. The owner deletes them: every entry was created
  // with new and is removed from here before it is deleted.
  std::vector<TComponent*> FComponents;
  // The owned components for which Receives() holds, in list order.
  std::vector<TComponent*> FReceivers;
  // The named owned components by name (CompareText); names are unique among them.
  TNameMap<TComponent*> FNames;
  // Mutual links: A is in B's list exactly when B is in A's. FSiblingLinks holds the links
  // asked between components of one owner, which tell nothing on destruction: they only
  // let the owner's notifications reach a component restricted to links.
  std::vector<TComponent*> FFreeNotifies;
  std::vector<TComponent*> FSiblingLinks;
  // The receivers of the notifications this component is passing on now (nested ones stack
  // up); a component leaving this one is blanked out of them, so it is never told after.
  std::vector<std::vector<TComponent*>*> FSending;
  std::vector<std::pair<std::string, std::string>> FEventHandlerNames;
};

} // namespace kelva
