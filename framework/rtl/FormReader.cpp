// The form reader: walks a parsed form tree, creates and names the components, assigns their
// properties, resolves component references at the end, runs Loaded, and on any failure
// destroys whatever the read created.
#include "kelva/framework/rtl/FormReader.h"

#include "kelva/framework/rtl/Component.h"
#include "kelva/framework/rtl/FormParser.h"
#include "kelva/framework/rtl/FormPropertyReader.h"
#include "kelva/framework/rtl/SysUtils.h"
#include "kelva/framework/rtl/TypeInfo.h"

#include <memory>
#include <unordered_set>
#include <vector>

namespace kelva {

namespace {

// Hears of the destruction of the components a read made: a setter or a Loaded override may
// destroy one, and the reader must not touch it afterwards.
class TDestructionWatch final : public TComponent {
public:
  TDestructionWatch() : TComponent(nullptr) {}
  ~TDestructionWatch() override {
    // Last first: each link is then the last of this component's, found at once.
    for (auto It = FWatched.rbegin(); It != FWatched.rend(); ++It)
      if (Alive(*It)) (*It)->RemoveFreeNotification(this);
  }

  void Watch(TComponent* C) {
    FGone.erase(C); // the address of a destroyed component may come back for a new one
    FWatched.push_back(C);
    C->FreeNotification(this);
  }
  bool Alive(TComponent* C) const { return !FGone.contains(C); }

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove) FGone.insert(AComponent);
  }

private:
  std::vector<TComponent*> FWatched;
  std::unordered_set<TComponent*> FGone;
};

class TFormReader final : private TFormReaderHost {
public:
  explicit TFormReader(TComponent& Root) : FRoot(Root), FProperties(*this) {}

  // Reads Node (the top object) into the root, which the caller created or supplied.
  void Read(const TFormObject& Node) {
    FRoot.Loading();
    FRoot.SetReading(true);
    FLoaded.push_back(&FRoot);
    ReportAt(Node.Line, "", [&] { FRoot.SetName(Node.Name); });
    ReadBody(FRoot, Node);
  }

  void Finish() {
    FProperties.ResolveFixups();
    for (TComponent* C : FLoaded)
      if (IsAlive(C)) C->SetReading(false);
    for (TComponent* C : FLoaded)
      if (IsAlive(C)) C->Loaded();
  }

  // Destroys every component the read created that still exists, the last made first.
  void DiscardCreated() {
    for (auto It = FCreated.rbegin(); It != FCreated.rend(); ++It)
      if (FWatch.Alive(*It)) delete *It;
    FCreated.clear();
  }

  // After a failed ReadComponentRes: the root leaves the loading state under its old name.
  void ReleaseRoot(const std::string& OldName) {
    FRoot.SetReading(false);
    // Only the base part: the root's own Loaded must not act on a half-read state.
    if (FRoot.ComponentState().Contains(csLoading)) FRoot.TComponent::Loaded();
    try {
      FRoot.SetName(OldName);
    } catch (const Exception&) {
      // The old name was valid before the read and the root's owner is unchanged.
    }
  }

private:
  // TFormReaderHost
  TComponent& Root() override { return FRoot; }
  bool IsAlive(TComponent* C) const override { return C == &FRoot || FWatch.Alive(C); }

  static std::string DisplayName(const TComponent& C, const std::string& ClassName) {
    return C.Name().empty() ? ClassName : C.Name();
  }

  void ReadBody(TComponent& C, const TFormObject& Node) {
    const TClassInfo* Class = ClassInfoOf(C);
    const std::string Where = DisplayName(C, Node.ClassName);
    for (const TFormProperty& Property : Node.Properties)
      FProperties.ReadComponentProperty(C, Class, Where, Property);
    for (const TFormObject& Child : Node.Children) ReadChild(C, Child);
  }

  void ReadChild(TComponent& Parent, const TFormObject& Node) {
    const TClassInfo* Class = FindClass(Node.ClassName);
    if (!Class) FormReadError(Node.Line, "Class " + Node.ClassName + " not found");
    if (!Class->IsComponentClass() || !Class->Create)
      FormReadError(Node.Line, "Class " + Node.ClassName + " cannot be created by a form file");

    TComponent* C = nullptr;
    ReportAt(Node.Line, "Creating " + Node.ClassName, [&] { C = Class->Create(&FRoot); });
    if (!C) FormReadError(Node.Line, "Class " + Node.ClassName + " made no component");
    FCreated.push_back(C);
    FWatch.Watch(C);
    if (C->Owner() != &FRoot)
      FormReadError(Node.Line, "Class " + Node.ClassName + " refused the form as its owner");

    C->Loading();
    C->SetReading(true);
    FLoaded.push_back(C);
    ReportAt(Node.Line, "", [&] { C->SetName(Node.Name); });
    ReportAt(Node.Line, DisplayName(*C, Node.ClassName), [&] { C->SetParentComponent(&Parent); });
    ReadBody(*C, Node);
  }

  TComponent& FRoot;
  TFormPropertyReader FProperties;
  TDestructionWatch FWatch;
  std::vector<TComponent*> FCreated; // not the root, in creation order
  std::vector<TComponent*> FLoaded;  // the root first, then reading order
};

} // namespace

void ReadComponentRes(const std::string& Text, TComponent& Root) {
  const TFormObject Tree = ParseFormText(Text);
  const std::string RootClass = ClassNameOf(Root);
  if (RootClass.empty() || CompareText(Tree.ClassName, RootClass) != 0)
    FormReadError(Tree.Line,
                  "The text describes a " + Tree.ClassName + ", not a " +
                      (RootClass.empty() ? "component of an unregistered class" : RootClass));
  const std::string OldName = Root.Name();
  TFormReader Reader(Root);
  try {
    Reader.Read(Tree);
    Reader.Finish();
  } catch (...) {
    Reader.DiscardCreated();
    Reader.ReleaseRoot(OldName);
    throw;
  }
}

TComponent* ReadComponentFromText(const std::string& Text, TComponent* Owner) {
  const TFormObject Tree = ParseFormText(Text);
  const TClassInfo* Class = FindClass(Tree.ClassName);
  if (!Class) FormReadError(Tree.Line, "Class " + Tree.ClassName + " not found");
  if (!Class->IsComponentClass() || !Class->Create)
    FormReadError(Tree.Line, "Class " + Tree.ClassName + " cannot be created by a form file");
  TComponent* Made = nullptr;
  ReportAt(Tree.Line, "Creating " + Tree.ClassName, [&] { Made = Class->Create(Owner); });
  if (!Made) FormReadError(Tree.Line, "Class " + Tree.ClassName + " made no component");
  // Destroying the root destroys everything the read made: all of it is owned by the root.
  std::unique_ptr<TComponent> Root(Made);
  TFormReader Reader(*Root);
  try {
    Reader.Read(Tree);
    Reader.Finish();
  } catch (...) {
    // Also what a setter may have moved to another owner meanwhile.
    Reader.DiscardCreated();
    throw;
  }
  return Root.release();
}

} // namespace kelva
