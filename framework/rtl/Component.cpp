// TComponent: the ownership tree, removal notifications that reach every sibling, mutual free
// notifications across owners, component names and the component state flags.
#include "kelva/framework/rtl/Component.h"

#include "kelva/framework/rtl/Exceptions.h"
#include "kelva/framework/rtl/RtlConsts.h"
#include "kelva/framework/rtl/SysUtils.h"

#include <algorithm>

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
}

TComponent* TComponent::Components(std::int32_t Index) const {
  if (Index < 0 || Index >= ComponentCount()) throw EListError(Format(SListIndexError, {Index}));
  return FComponents[static_cast<std::size_t>(Index)];
}

std::int32_t TComponent::ComponentIndex() const {
  if (!FOwner) return -1;
  const auto& Siblings = FOwner->FComponents;
  return static_cast<std::int32_t>(std::find(Siblings.begin(), Siblings.end(), this) -
                                   Siblings.begin());
}

TComponent* TComponent::FindComponent(const std::string& AName) const {
  if (AName.empty()) return nullptr;
  for (TComponent* C : FComponents)
    if (CompareText(C->FName, AName) == 0) return C;
  return nullptr;
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
  FComponents.push_back(AComponent);
  AComponent->FOwner = this;
  if (FComponentState.Contains(csDesigning)) AComponent->SetDesigning(true);
  Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
  if (!AComponent || AComponent->FOwner != this) return;
  Notification(AComponent, opRemove);
  DetachComponent(AComponent);
}

bool TComponent::DetachComponent(TComponent* AComponent) {
  const auto It = std::find(FComponents.begin(), FComponents.end(), AComponent);
  if (It == FComponents.end()) return false;
  const auto Index = static_cast<std::int32_t>(It - FComponents.begin());
  FComponents.erase(It);
  for (std::int32_t* Cursor : FNotifyCursors)
    if (Index < *Cursor) --*Cursor;
  AComponent->FOwner = nullptr;
  AComponent->SetDesigning(false);
  return true;
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove && AComponent) UnlinkFreeNotification(AComponent);

  // Last to first. Index always names the component being told; DetachComponent moves it
  // when an entry before it goes away.
  std::int32_t Index = ComponentCount() - 1;
  FNotifyCursors.push_back(&Index);
  struct CursorGuard {
    std::vector<std::int32_t*>& Cursors;
    ~CursorGuard() { Cursors.pop_back(); }
  } Guard{FNotifyCursors};
  while (Index >= 0) {
    FComponents[static_cast<std::size_t>(Index)]->Notification(AComponent, Operation);
    Index = std::min(Index, ComponentCount()) - 1;
  }
}

void TComponent::FreeNotification(TComponent* AComponent) {
  if (!AComponent || AComponent == this) return;
  // Siblings already hear about each other through their owner.
  if (FOwner && FOwner == AComponent->FOwner) return;
  if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end()) {
    FFreeNotifies.push_back(AComponent);
    AComponent->FFreeNotifies.push_back(this);
  }
  FComponentState.Include(csFreeNotification);
  AComponent->FComponentState.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
  if (AComponent) UnlinkFreeNotification(AComponent);
}

void TComponent::UnlinkFreeNotification(TComponent* AComponent) {
  DropFreeNotify(AComponent);
  AComponent->DropFreeNotify(this);
}

void TComponent::DropFreeNotify(TComponent* AComponent) {
  const auto It = std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent);
  if (It == FFreeNotifies.end()) return;
  FFreeNotifies.erase(It);
  if (FFreeNotifies.empty()) FComponentState.Exclude(csFreeNotification);
}

void TComponent::SetName(const std::string& NewName) {
  if (NewName == FName) return;
  if (!NewName.empty() && !IsValidIdent(NewName))
    throw EComponentError(Format(SInvalidName, {NewName}));
  if (FOwner) FOwner->ValidateRename(this, NewName);
  FName = NewName;
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
