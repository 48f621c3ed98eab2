// TComponent: the ownership tree, removal notifications that reach every sibling, mutual free
// notifications across owners, component names and the component state flags.
#include "kelva/framework/rtl/Component.h"

#include "kelva/framework/rtl/Exceptions.h"
#include "kelva/framework/rtl/RtlConsts.h"
#include "kelva/framework/rtl/SysUtils.h"

#include <algorithm>
#include <cassert>

namespace kelva {

namespace {

inline constexpr const char* SOwnerCycle = "A component cannot own itself or one of its owners";

bool IsAsciiLetter(char C) {
  return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z');
}
bool IsAsciiDigit(char C) {
  return C >= '0' && C <= '9';
}

// A letter or '_' first, then letters, digits and '_'.
bool IsValidIdent(const std::string& S) {
  if (S.empty() || !(IsAsciiLetter(S[0]) || S[0] == '_')) return false;
  return std::all_of(S.begin() + 1, S.end(),
                     [](char C) { return IsAsciiLetter(C) || IsAsciiDigit(C) || C == '_'; });
}

// Removes Item from List, searching from the end: links and components mostly go in the
// reverse order of their making. False when it is not there.
bool EraseFromBack(std::vector<TComponent*>& List, const TComponent* Item) {
  const auto It = std::find(List.rbegin(), List.rend(), Item);
  if (It == List.rend()) return false;
  List.erase(std::next(It).base());
  return true;
}

// Makes the mutual link between A and B in their lists (once). Each list holds the other
// exactly when the other holds it, so the shorter one is searched.
void LinkMutually(TComponent* A, std::vector<TComponent*>& ListOfA, TComponent* B,
                  std::vector<TComponent*>& ListOfB) {
  const bool Linked = ListOfA.size() <= ListOfB.size()
                          ? std::find(ListOfA.rbegin(), ListOfA.rend(), B) != ListOfA.rend()
                          : std::find(ListOfB.rbegin(), ListOfB.rend(), A) != ListOfB.rend();
  if (Linked) return;
  ListOfB.push_back(A);
  try {
    ListOfA.push_back(B);
  } catch (...) {
    ListOfB.pop_back();
    throw;
  }
}

// Removes the mutual link between A and B, if there is one; found through the shorter list.
bool UnlinkMutually(TComponent* A, std::vector<TComponent*>& ListOfA, TComponent* B,
                    std::vector<TComponent*>& ListOfB) {
  if (ListOfA.size() <= ListOfB.size()) {
    if (!EraseFromBack(ListOfA, B)) return false;
    EraseFromBack(ListOfB, A);
  } else {
    if (!EraseFromBack(ListOfB, A)) return false;
    EraseFromBack(ListOfA, B);
  }
  return true;
}

} // namespace

TComponent::TComponent(TComponent* AOwner) {
  if (!AOwner) return;
  try {
    AOwner->InsertComponent(this);
  } catch (...) {
    // A throwing opInsert handler must not leave the owner holding a component whose
    // construction failed.
    if (FOwner) FOwner->DetachComponent(this);
    throw;
  }
}

TComponent::~TComponent() {
  Destroying();

  // A destructor cannot pass exceptions on: Notification overrides must not throw from here.
  // Unlink before telling, so that the loop ends even if an override skips the base call.
  while (!FFreeNotifies.empty()) {
    TComponent* Other = FFreeNotifies.back();
    UnlinkFreeNotification(Other);
    Other->Notification(this, opRemove);
  }

  while (!FComponents.empty()) {
    TComponent* Child = FComponents.back();
    Notification(Child, opRemove);
    // A handler may have destroyed the child or moved it to another owner meanwhile; only a
    // child this component still holds is deleted here.
    if (DetachComponent(Child)) delete Child;
  }

  if (FOwner) FOwner->RemoveComponent(this);

  // Only now: until its owner has told everyone, a sibling restricted to links must hear.
  while (!FSiblingLinks.empty()) {
    TComponent* Other = FSiblingLinks.back();
    FSiblingLinks.pop_back();
    EraseFromBack(Other->FSiblingLinks, this);
  }
}

TComponent* TComponent::Components(std::int32_t Index) const {
  if (Index < 0 || Index >= ComponentCount()) throw EListError(Format(SListIndexError, {Index}));
  return FComponents[static_cast<std::size_t>(Index)];
}

std::int32_t TComponent::ComponentIndex() const {
  if (!FOwner) return -1;
  const auto& Siblings = FOwner->FComponents;
  const auto It =
      std::lower_bound(Siblings.begin(), Siblings.end(), FOrder,
                       [](const TComponent* C, std::uint64_t Order) { return C->FOrder < Order; });
  return static_cast<std::int32_t>(It - Siblings.begin());
}

TComponent* TComponent::FindComponent(const std::string& AName) const {
  if (AName.empty()) return nullptr;
  const auto It = FNames.find(std::string_view(AName));
  return It == FNames.end() ? nullptr : It->second;
}

void TComponent::InsertComponent(TComponent* AComponent) {
  if (!AComponent || AComponent->FOwner == this) return;
  // Ownership must stay a tree: destroying a cycle would never end.
  for (const TComponent* O = this; O; O = O->FOwner)
    if (O == AComponent) throw EComponentError(SOwnerCycle);
  ValidateRename(AComponent, AComponent->FName);

  // The previous owner's tree is told, so that nothing there keeps a pointer it will no longer
  // hear about.
  if (AComponent->FOwner) AComponent->FOwner->RemoveComponent(AComponent);
  const bool WasReceiving = !FOwner || Receives(this);
  AComponent->FOrder = FNextOrder++;
  FComponents.push_back(AComponent);
  try {
    if (Receives(AComponent)) FReceivers.push_back(AComponent);
    if (!AComponent->FName.empty()) FNames.emplace(AComponent->FName, AComponent);
  } catch (...) {
    EraseFromBack(FReceivers, AComponent);
    FComponents.pop_back();
    throw;
  }
  AComponent->FOwner = this;
  if (!WasReceiving) FOwner->AddReceiver(this);
  AssertOwnedInvariants();
  if (FComponentState.Contains(csDesigning)) AComponent->SetDesigning(true);
  Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
  if (!AComponent || AComponent->FOwner != this) return;
  Notification(AComponent, opRemove);
  DetachComponent(AComponent);
}

bool TComponent::DetachComponent(TComponent* AComponent) {
  // Found by address alone: a component no longer in the list may no longer exist.
  if (!EraseFromBack(FComponents, AComponent)) return false;
  if (Receives(AComponent)) EraseFromBack(FReceivers, AComponent);
  if (!AComponent->FName.empty()) FNames.erase(AComponent->FName);
  for (std::vector<TComponent*>* Receivers : FSending)
    std::replace(Receivers->begin(), Receivers->end(), AComponent,
                 static_cast<TComponent*>(nullptr));
  AComponent->FOwner = nullptr;
  AComponent->SetDesigning(false);
  if (FOwner && !Receives(this)) FOwner->DropReceiver(this);
  AssertOwnedInvariants();
  return true;
}

void TComponent::AssertOwnedInvariants() const {
#ifndef NDEBUG
  if (FComponents.size() > 64) return;
  std::vector<TComponent*> Receivers;
  std::size_t Named = 0;
  for (std::size_t I = 0; I < FComponents.size(); ++I) {
    const TComponent* C = FComponents[I];
    assert(C->FOwner == this);
    assert(I == 0 || FComponents[I - 1]->FOrder < C->FOrder);
    if (Receives(C)) Receivers.push_back(FComponents[I]);
    if (!C->FName.empty()) ++Named;
  }
  assert(Receivers == FReceivers);
  assert(Named == FNames.size());
#endif
}

void TComponent::AddReceiver(TComponent* Owned) {
  const auto At =
      std::upper_bound(FReceivers.begin(), FReceivers.end(), Owned->FOrder,
                       [](std::uint64_t Order, const TComponent* C) { return Order < C->FOrder; });
  FReceivers.insert(At, Owned);
}

void TComponent::DropReceiver(TComponent* Owned) {
  EraseFromBack(FReceivers, Owned);
}

void TComponent::RestrictNotificationsToLinks() {
  if (FRestrictedToLinks) return;
  const bool WasReceiving = FOwner && Receives(this);
  FRestrictedToLinks = true;
  if (WasReceiving && !Receives(this)) FOwner->DropReceiver(this);
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove && AComponent) UnlinkFreeNotification(AComponent);
  NotifyOwned(AComponent, Operation);
}

void TComponent::NotifyOwned(TComponent* AComponent, TOperation Operation) {
  if (FComponents.empty()) return;
  // The receivers, and of the components restricted to links those linked with the one
  // removed, told in list order from last to first.
  std::vector<TComponent*> Told = FReceivers;
  if (Operation == opRemove && AComponent) {
    std::vector<TComponent*> Linked;
    for (const auto* Links : {&AComponent->FFreeNotifies, &AComponent->FSiblingLinks})
      for (TComponent* Other : *Links)
        if (Other->FOwner == this && !Receives(Other)) Linked.push_back(Other);
    if (!Linked.empty()) {
      const auto ByOrder = [](const TComponent* A, const TComponent* B) {
        return A->FOrder < B->FOrder;
      };
      std::sort(Linked.begin(), Linked.end(), ByOrder);
      Linked.erase(std::unique(Linked.begin(), Linked.end()), Linked.end());
      const auto Middle = Told.insert(Told.end(), Linked.begin(), Linked.end());
      std::inplace_merge(Told.begin(), Middle, Told.end(), ByOrder);
    }
  }
  FSending.push_back(&Told);
  struct SendingGuard {
    std::vector<std::vector<TComponent*>*>& Sending;
    ~SendingGuard() { Sending.pop_back(); }
  } Guard{FSending};
  for (std::size_t I = Told.size(); I-- > 0;)
    if (TComponent* Receiver = Told[I]) Receiver->Notification(AComponent, Operation);
}

void TComponent::FreeNotification(TComponent* AComponent) {
  if (!AComponent || AComponent == this) return;
  // Siblings already hear about each other through their owner: the link only lets the
  // owner's notifications reach one restricted to links.
  if (FOwner && FOwner == AComponent->FOwner) {
    LinkMutually(this, FSiblingLinks, AComponent, AComponent->FSiblingLinks);
    return;
  }
  LinkMutually(this, FFreeNotifies, AComponent, AComponent->FFreeNotifies);
  FComponentState.Include(csFreeNotification);
  AComponent->FComponentState.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
  if (AComponent) UnlinkFreeNotification(AComponent);
}

void TComponent::UnlinkFreeNotification(TComponent* AComponent) {
  if (UnlinkMutually(this, FFreeNotifies, AComponent, AComponent->FFreeNotifies)) {
    if (FFreeNotifies.empty()) FComponentState.Exclude(csFreeNotification);
    if (AComponent->FFreeNotifies.empty()) AComponent->FComponentState.Exclude(csFreeNotification);
  }
  UnlinkMutually(this, FSiblingLinks, AComponent, AComponent->FSiblingLinks);
}

void TComponent::SetName(const std::string& NewName) {
  if (NewName == FName) return;
  if (!NewName.empty() && !IsValidIdent(NewName))
    throw EComponentError(Format(SInvalidName, {NewName}));
  if (FOwner) {
    FOwner->ValidateRename(this, NewName);
    FOwner->RenameOwned(this, FName, NewName);
  }
  FName = NewName;
}

void TComponent::RenameOwned(TComponent* AComponent, const std::string& OldName,
                             const std::string& NewName) {
  // A change of case only keeps the entry: names are looked up ignoring case.
  if (TNameEqual()(OldName, NewName)) return;
  if (!NewName.empty()) FNames.emplace(NewName, AComponent);
  if (!OldName.empty()) FNames.erase(OldName);
}

void TComponent::ValidateRename(const TComponent* AComponent, const std::string& NewName) const {
  // A component may change the case of its own name: only another holder is a duplicate.
  const TComponent* Holder = FindComponent(NewName);
  if (Holder && Holder != AComponent) throw EComponentError(Format(SDuplicateName, {NewName}));
}

void TComponent::Loading() {
  FComponentState.Include(csLoading);
}

void TComponent::Loaded() {
  FComponentState.Exclude(csLoading);
}

void TComponent::SetReading(bool Value) {
  if (Value)
    FComponentState.Include(csReading);
  else
    FComponentState.Exclude(csReading);
}

void TComponent::SetParentComponent(TComponent* Value) {
  if (Value && Value != FOwner) throw EComponentError(Format(SNoParentAllowed, {FName}));
}

void TComponent::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) const {
  if (Root != this) return;
  for (TComponent* C : FComponents)
    if (!C->GetParentComponent()) Proc(C);
}

void TComponent::SetEventHandlerName(const std::string& EventName, const std::string& MethodName) {
  for (auto It = FEventHandlerNames.begin(); It != FEventHandlerNames.end(); ++It) {
    if (CompareText(It->first, EventName) != 0) continue;
    if (MethodName.empty())
      FEventHandlerNames.erase(It);
    else
      It->second = MethodName;
    return;
  }
  if (!MethodName.empty()) FEventHandlerNames.emplace_back(EventName, MethodName);
}

std::string TComponent::EventHandlerName(const std::string& EventName) const {
  for (const auto& Entry : FEventHandlerNames)
    if (CompareText(Entry.first, EventName) == 0) return Entry.second;
  return {};
}

void TComponent::SetDesigning(bool Value, bool SetChildren) {
  if (Value)
    FComponentState.Include(csDesigning);
  else
    FComponentState.Exclude(csDesigning);
  if (SetChildren)
    for (TComponent* C : FComponents) C->SetDesigning(Value, true);
}

void TComponent::Destroying() {
  if (FComponentState.Contains(csDestroying)) return;
  FComponentState.Include(csDestroying);
  for (TComponent* C : FComponents) C->Destroying();
}

} // namespace kelva
