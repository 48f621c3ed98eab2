// TComponent: ownership and destruction order, notifications reaching every sibling (also
// when a handler destroys components meanwhile), free notifications across owners, names,
// the designing flag and the loading protocol.
#include "kelva/framework/rtl/Component.h"
#include "kelva/framework/rtl/Exceptions.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace kelva;

namespace {

// Components are logged by name: several tests read the log after the components in it are gone.
struct Heard {
  std::string Receiver;
  std::string Component;
  TOperation Operation;
  bool operator==(const Heard&) const = default;
};

// A component that logs what it hears and when it dies, and can run a hook on notification.
class Probe : public TComponent {
public:
  Probe(TComponent* AOwner, std::vector<Heard>& Log, std::vector<std::string>* Deaths = nullptr)
      : TComponent(AOwner), FLog(Log), FDeaths(Deaths) {}
  ~Probe() override {
    if (FDeaths) FDeaths->push_back(Name());
    WasDestroyingAtDeath = ComponentState().Contains(csDestroying);
    if (DestroyingFlag) *DestroyingFlag = WasDestroyingAtDeath;
  }

  std::function<void(TComponent*, TOperation)> OnNotify;
  bool WasDestroyingAtDeath = false;
  bool* DestroyingFlag = nullptr;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override {
    FLog.push_back({Name(), AComponent->Name(), Operation});
    if (OnNotify) OnNotify(AComponent, Operation);
    TComponent::Notification(AComponent, Operation);
  }

private:
  std::vector<Heard>& FLog;
  std::vector<std::string>* FDeaths;
};

Probe* NamedProbe(TComponent* Owner, std::vector<Heard>& Log, const std::string& Name,
                  std::vector<std::string>* Deaths = nullptr) {
  auto* P = new Probe(Owner, Log, Deaths);
  P->SetName(Name);
  return P;
}

// The receivers, in order, of the notifications about one component and operation.
using Names = std::vector<std::string>;

Names ReceiversOf(const std::vector<Heard>& Log, const std::string& Component,
                  TOperation Operation) {
  Names Result;
  for (const Heard& H : Log)
    if (H.Component == Component && H.Operation == Operation) Result.push_back(H.Receiver);
  return Result;
}

std::string ComponentErrorOf(const std::function<void()>& Call) {
  try {
    Call();
  } catch (const EComponentError& E) {
    return E.Message();
  }
  return "<no EComponentError>";
}

// ---- Ownership and destruction

TEST(ComponentOwnershipTest, OwnerDestroysChildrenLastFirstTellingTheRest) {
  std::vector<Heard> Log;
  std::vector<std::string> Deaths;
  auto* Owner = new TComponent(nullptr);
  Probe* A = NamedProbe(Owner, Log, "A", &Deaths);
  NamedProbe(Owner, Log, "B", &Deaths);
  NamedProbe(Owner, Log, "C", &Deaths);
  bool ADestroying = false;
  A->DestroyingFlag = &ADestroying;
  Log.clear();

  delete Owner;

  EXPECT_EQ(Deaths, (std::vector<std::string>{"C", "B", "A"}));
  const std::vector<Heard> Expected = {
      {"C", "C", opRemove}, {"B", "C", opRemove}, {"A", "C", opRemove},
      {"B", "B", opRemove}, {"A", "B", opRemove}, {"A", "A", opRemove},
  };
  EXPECT_EQ(Log, Expected);
  EXPECT_TRUE(ADestroying);
}

TEST(ComponentOwnershipTest, InsertionIsAnnouncedToOwnerAndSiblings) {
  std::vector<Heard> Log;
  TComponent Owner(nullptr);
  NamedProbe(&Owner, Log, "A");
  Probe* B = NamedProbe(&Owner, Log, "B");
  // B's own override is not reached while B is still being constructed, nor is its name set.
  EXPECT_EQ(ReceiversOf(Log, "", opInsert), Names{"A"});
  EXPECT_EQ(Owner.ComponentCount(), 2);
  EXPECT_EQ(Owner.Components(1), B);
  EXPECT_EQ(B->ComponentIndex(), 1);
  EXPECT_EQ(Owner.ComponentIndex(), -1);
  EXPECT_THROW(Owner.Components(2), EListError);
}

TEST(ComponentOwnershipTest, DeletingAChildRemovesItFromItsOwner) {
  std::vector<Heard> Log;
  TComponent Owner(nullptr);
  Probe* A = NamedProbe(&Owner, Log, "A");
  Probe* B = NamedProbe(&Owner, Log, "B");
  Probe* C = NamedProbe(&Owner, Log, "C");
  Log.clear();
  delete B;
  EXPECT_EQ(ReceiversOf(Log, "B", opRemove), (Names{"C", "A"}));
  EXPECT_EQ(Owner.ComponentCount(), 2);
  EXPECT_EQ(Owner.FindComponent("B"), nullptr);
  EXPECT_EQ(A->ComponentIndex(), 0);
  EXPECT_EQ(C->ComponentIndex(), 1);
}

TEST(ComponentOwnershipTest, InsertComponentMovesBetweenOwners) {
  std::vector<Heard> Log;
  TComponent First(nullptr);
  TComponent Second(nullptr);
  NamedProbe(&First, Log, "Stay");
  Probe* Mover = NamedProbe(&First, Log, "Mover");
  NamedProbe(&Second, Log, "There");
  Log.clear();

  Second.InsertComponent(Mover);

  EXPECT_EQ(Mover->Owner(), &Second);
  EXPECT_EQ(First.ComponentCount(), 1);
  EXPECT_EQ(Second.ComponentCount(), 2);
  // The old tree forgets it, the new one learns of it.
  EXPECT_EQ(ReceiversOf(Log, "Mover", opRemove), (Names{"Mover", "Stay"}));
  EXPECT_EQ(ReceiversOf(Log, "Mover", opInsert), (Names{"Mover", "There"}));
}

TEST(ComponentOwnershipTest, OwnershipCyclesAreRefused) {
  TComponent Root(nullptr);
  auto* Child = new TComponent(&Root);
  auto* Grandchild = new TComponent(Child);
  EXPECT_THROW(Root.InsertComponent(&Root), EComponentError);
  EXPECT_THROW(Grandchild->InsertComponent(&Root), EComponentError);
  EXPECT_THROW(Grandchild->InsertComponent(Child), EComponentError);
  EXPECT_EQ(Child->Owner(), &Root);
  EXPECT_EQ(Grandchild->Owner(), Child);
}

// ---- Components removed while notifications run

TEST(ComponentNotificationTest, AComponentDestroyedByAHandlerIsSkipped) {
  struct Case {
    const char* Description;
    std::vector<int> Victims; // indexes of A, B, C, D that C's handler deletes
    std::vector<int> Told;    // who hears about Z, besides Z itself
  };
  const std::vector<Case> Cases = {
      {"a sibling not told yet", {1}, {3, 2, 0}},
      {"one before and one already told", {0, 3}, {3, 2, 1}},
      {"everyone else", {0, 1, 3}, {3, 2}},
  };
  for (const Case& Test : Cases) {
    SCOPED_TRACE(Test.Description);
    std::vector<Heard> Log;
    TComponent Owner(nullptr);
    std::vector<Probe*> Children;
    for (const char* Name : {"A", "B", "C", "D"}) Children.push_back(NamedProbe(&Owner, Log, Name));
    Probe* Z = NamedProbe(&Owner, Log, "Z");
    Children[2]->OnNotify = [&](TComponent* AComponent, TOperation Operation) {
      if (AComponent != Z || Operation != opRemove) return;
      for (int Victim : Test.Victims) delete Children[static_cast<std::size_t>(Victim)];
    };
    Names Expected = {"Z"};
    for (int Index : Test.Told)
      Expected.push_back(Children[static_cast<std::size_t>(Index)]->Name());
    Log.clear();

    Owner.RemoveComponent(Z);
    delete Z;

    EXPECT_EQ(ReceiversOf(Log, "Z", opRemove), Expected);
    EXPECT_EQ(Owner.ComponentCount(), 4 - static_cast<std::int32_t>(Test.Victims.size()));
    // The handler reads locals that end before Owner does, which then destroys C.
    Children[2]->OnNotify = nullptr;
  }
}

TEST(ComponentNotificationTest, NotificationsToAnOwnerReachOwnedComponents) {
  std::vector<Heard> Log;
  TComponent Root(nullptr);
  Probe* Middle = NamedProbe(&Root, Log, "Middle");
  NamedProbe(Middle, Log, "Leaf");
  Probe* Other = NamedProbe(&Root, Log, "Other");
  Log.clear();
  delete Other;
  EXPECT_EQ(ReceiversOf(Log, "Other", opRemove), (Names{"Middle", "Leaf"}));
}

// ---- Free notifications

TEST(ComponentFreeNotificationTest, ADyingComponentTellsItsPartnerInAnotherOwner) {
  for (bool DeleteTarget : {true, false}) {
    std::vector<Heard> Log;
    TComponent FormA(nullptr);
    TComponent FormB(nullptr);
    Probe* Link = NamedProbe(&FormA, Log, "Link");
    Probe* Target = NamedProbe(&FormB, Log, "Target");
    Link->FreeNotification(Target);
    EXPECT_TRUE(Link->ComponentState().Contains(csFreeNotification));
    EXPECT_TRUE(Target->ComponentState().Contains(csFreeNotification));
    Log.clear();

    Probe* Dying = DeleteTarget ? Target : Link;
    Probe* Survivor = DeleteTarget ? Link : Target;
    const std::string DyingName = Dying->Name();
    delete Dying; // its own override is gone by the time its owner announces the removal
    EXPECT_EQ(ReceiversOf(Log, DyingName, opRemove), Names{Survivor->Name()});
    EXPECT_FALSE(Survivor->ComponentState().Contains(csFreeNotification));
  }
}

TEST(ComponentFreeNotificationTest, RemovedLinksAreSilent) {
  std::vector<Heard> Log;
  Probe Link(nullptr, Log);
  auto Target = std::make_unique<Probe>(nullptr, Log);
  Link.FreeNotification(Target.get());
  Link.FreeNotification(Target.get()); // linked once only
  Target->RemoveFreeNotification(&Link);
  EXPECT_FALSE(Link.ComponentState().Contains(csFreeNotification));
  Target.reset();
  EXPECT_TRUE(Log.empty());
}

TEST(ComponentFreeNotificationTest, HearingARemovalDropsTheLinkOnBothSides) {
  // A linked pair that later shares an owner: when the owner removes one of them, the other
  // hears it and forgets it. Destroying them afterwards, in either order, must not reach the
  // other through a stale link (the sanitizer build checks this).
  std::vector<Heard> Log;
  TComponent FormA(nullptr);
  TComponent FormB(nullptr);
  Probe* Link = NamedProbe(&FormA, Log, "Link");
  auto* Target = NamedProbe(&FormB, Log, "Target");
  Link->FreeNotification(Target);
  FormA.InsertComponent(Target);
  FormA.RemoveComponent(Target);
  EXPECT_FALSE(Target->ComponentState().Contains(csFreeNotification));
  Log.clear();
  delete Link;
  delete Target;
  EXPECT_TRUE(ReceiversOf(Log, "Link", opRemove).empty());
}

// ---- Names

TEST(ComponentNameTest, OnlyIdentifiersAreValidNames) {
  const std::vector<std::string> Valid = {"", "Button1", "_x", "a_1", "Z"};
  const std::vector<std::string> Invalid = {"1abc", "a b", "a-b", "\xC3\xA9t\xC3\xA9", " x", "x."};
  TComponent C(nullptr);
  for (const std::string& Name : Valid) {
    EXPECT_NO_THROW(C.SetName(Name)) << Name;
    EXPECT_EQ(C.Name(), Name);
  }
  C.SetName("Kept");
  for (const std::string& Name : Invalid) {
    EXPECT_EQ(ComponentErrorOf([&] { C.SetName(Name); }),
              "'" + Name + "' is not a valid component name");
    EXPECT_EQ(C.Name(), "Kept");
  }
}

TEST(ComponentNameTest, SiblingNamesAreUniqueIgnoringCase) {
  TComponent Owner(nullptr);
  auto* First = new TComponent(&Owner);
  auto* Second = new TComponent(&Owner);
  First->SetName("Edit1");
  EXPECT_EQ(ComponentErrorOf([&] { Second->SetName("EDIT1"); }),
            "A component named EDIT1 already exists");
  EXPECT_EQ(Second->Name(), "");
  First->SetName("EDIT1"); // a component may change the case of its own name
  EXPECT_EQ(Owner.FindComponent("edit1"), First);
  EXPECT_EQ(Owner.FindComponent(""), nullptr);
  EXPECT_EQ(Owner.FindComponent("Edit2"), nullptr);

  // Components in different owners, or without owners, may share names.
  TComponent Loose1(nullptr), Loose2(nullptr);
  Loose1.SetName("Same");
  EXPECT_NO_THROW(Loose2.SetName("Same"));
}

TEST(ComponentNameTest, InsertingANameClashIsRefused) {
  TComponent Owner(nullptr);
  TComponent Elsewhere(nullptr);
  (new TComponent(&Owner))->SetName("Table1");
  auto* Clash = new TComponent(&Elsewhere);
  Clash->SetName("table1");
  EXPECT_EQ(ComponentErrorOf([&] { Owner.InsertComponent(Clash); }),
            "A component named table1 already exists");
  EXPECT_EQ(Clash->Owner(), &Elsewhere);
  EXPECT_EQ(Owner.ComponentCount(), 1);
}

// ---- Designing and loading

TEST(ComponentStateTest, DesigningSpreadsToOwnedComponents) {
  TComponent Root(nullptr);
  auto* Child = new TComponent(&Root);
  auto* Grandchild = new TComponent(Child);
  Root.SetDesigning(true);
  EXPECT_TRUE(Grandchild->ComponentState().Contains(csDesigning));
  Root.SetDesigning(false, false);
  EXPECT_FALSE(Root.ComponentState().Contains(csDesigning));
  EXPECT_TRUE(Child->ComponentState().Contains(csDesigning));

  Root.SetDesigning(true);
  auto* Late = new TComponent(&Root);
  EXPECT_TRUE(Late->ComponentState().Contains(csDesigning));
  Root.RemoveComponent(Late);
  EXPECT_FALSE(Late->ComponentState().Contains(csDesigning));
  EXPECT_EQ(Late->Owner(), nullptr);
  delete Late;
}

TEST(ComponentStateTest, LoadedEndsLoading) {
  class Recorder : public TComponent {
  public:
    using TComponent::TComponent;
    void Loaded() override {
      TComponent::Loaded();
      LoadingAfterBase = ComponentState().Contains(csLoading);
      ++Calls;
    }
    bool LoadingAfterBase = true;
    int Calls = 0;
  };
  Recorder R(nullptr);
  R.Loading();
  EXPECT_TRUE(R.ComponentState().Contains(csLoading));
  R.Loaded();
  EXPECT_EQ(R.Calls, 1);
  EXPECT_FALSE(R.LoadingAfterBase);
  EXPECT_FALSE(R.ComponentState().Contains(csLoading));
}

} // namespace
