// Components restricted to links: their owner tells them only of the removal of components
// they are linked with, in the order every sibling is told, so that owning thousands of
// them costs notifications in proportion to their number.
#include "kelva/framework/rtl/Component.h"
#include "support/Joined.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace kelva;

using kelva::testing::Joined;

namespace {

// Logs every notification it hears (once built and until destroyed); one made by the tests
// below may promise to react only to linked components, as it reacts to nothing.
class Listener : public TComponent {
public:
  Listener(TComponent* AOwner, std::vector<std::string>& Log, std::string Tag)
      : TComponent(AOwner), FLog(Log), FTag(std::move(Tag)) {}
  std::function<void(TComponent*, TOperation)> OnNotify;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override {
    FLog.push_back(FTag + (Operation == opInsert ? "+" : "-") + AComponent->Name());
    if (OnNotify) OnNotify(AComponent, Operation);
    TComponent::Notification(AComponent, Operation);
  }

private:
  std::vector<std::string>& FLog;
  std::string FTag;
};

Listener* Make(TComponent* Owner, std::vector<std::string>& Log, const std::string& Name,
               bool Restricted) {
  auto* L = new Listener(Owner, Log, Name + ":");
  L->SetName(Name);
  if (Restricted) L->RestrictNotificationsToLinks();
  return L;
}

TEST(ComponentLinksTest, OwningManyRestrictedComponentsCostsLinearNotifications) {
  constexpr int Count = 2000;
  std::vector<std::string> Log;
  {
    TComponent Owner(nullptr);
    Listener* Previous = nullptr;
    for (int I = 0; I < Count; ++I) {
      // Appended: g++ 12 at -O3 reports a false overlap for a literal + a temporary string.
      Listener* Next = Make(&Owner, Log, std::string("C").append(std::to_string(I)), true);
      if (Previous) Next->FreeNotification(Previous);
      Previous = Next;
    }
  } // destroyed, last first: each removal is heard by the one linked with it
  EXPECT_EQ(Log.size(), static_cast<std::size_t>(Count - 1));
  EXPECT_EQ(Log.front(), Joined("C", std::to_string(Count - 2), ":-C", std::to_string(Count - 1)));
}

TEST(ComponentLinksTest, ALinkedRemovalReachesTheRestrictedInSiblingOrder) {
  std::vector<std::string> Log;
  TComponent Owner(nullptr), Elsewhere(nullptr);
  Make(&Owner, Log, "First", false);
  Listener* Watcher = Make(&Owner, Log, "Watcher", true);
  Make(&Owner, Log, "Deaf", true);
  Listener* Target = Make(&Owner, Log, "Target", false);
  Make(&Owner, Log, "Last", false);
  Target->FreeNotification(Watcher); // as a label does for its focus control
  Log.clear();

  Elsewhere.InsertComponent(Target);
  EXPECT_EQ(Log, (std::vector<std::string>{"Last:-Target", "Target:-Target", "Watcher:-Target",
                                           "First:-Target", "Target:+Target"}));

  // Hearing it dropped the link: the next removal is not the watcher's concern.
  Owner.InsertComponent(Target);
  Log.clear();
  delete Target;
  EXPECT_EQ(Log, (std::vector<std::string>{"Last:-Target", "First:-Target"}));
}

TEST(ComponentLinksTest, ARestrictedOwnerPassesNotificationsOnWhileItOwnsAny) {
  std::vector<std::string> Log;
  TComponent Owner(nullptr);
  Listener* Holder = Make(&Owner, Log, "Holder", true);
  Listener* Inner = Make(Holder, Log, "Inner", false);
  Listener* Gone = Make(&Owner, Log, "Gone", false);
  Log.clear();
  delete Gone;
  EXPECT_EQ(Log, (std::vector<std::string>{"Holder:-Gone", "Inner:-Gone"}));

  delete Inner;
  Listener* Other = Make(&Owner, Log, "Other", false);
  Log.clear();
  TComponent Elsewhere(nullptr);
  Elsewhere.InsertComponent(Other);
  EXPECT_EQ(Log, (std::vector<std::string>{"Other:-Other", "Other:+Other"}))
      << "the holder owns nothing any more";
}

TEST(ComponentLinksTest, ARestrictedComponentDestroyedByAnEarlierListenerIsSkipped) {
  std::vector<std::string> Log;
  TComponent Owner(nullptr);
  Listener* Watcher = Make(&Owner, Log, "Watcher", true);
  Listener* Target = Make(&Owner, Log, "Target", false);
  Listener* Killer = Make(&Owner, Log, "Killer", false);
  Target->FreeNotification(Watcher);
  Killer->OnNotify = [&](TComponent* AComponent, TOperation Operation) {
    if (AComponent == Target && Operation == opRemove) delete Watcher;
  };
  Log.clear();
  delete Target;
  EXPECT_EQ(Log, (std::vector<std::string>{"Killer:-Target", "Killer:-Watcher"}));
  EXPECT_EQ(Owner.ComponentCount(), 1);
  // The handler reads locals that end before Owner does, which then destroys Killer.
  Killer->OnNotify = nullptr;
}

} // namespace
