// Component references and events in the object inspector: the names offered, resolving and
// binding by name, and the bound method of the form running when the event fires.
#include "DesignTestClasses.h"
#include "kelva/framework/design/DesignIntf.h"
#include "kelva/framework/design/DesignerHost.h"
#include "kelva/framework/rtl/Exceptions.h"

#include <gtest/gtest.h>

namespace kelva {
namespace {

using namespace designtest;

class References : public ::testing::Test {
protected:
  References() {
    RegisterDesignTestClasses();
    RegisterComponents("Widgets", {ClassInfo<TWidget>(), ClassInfo<TFancyWidget>()});
    RegisterComponents("Gadgets", {ClassInfo<TGadget>()});
    Form.SetName("Form1");
    Host = std::make_unique<TDesignerHost>(&Form);
    Host->DropComponent(ClassInfo<TGadget>());
    Fancy = static_cast<TWidget*>(Host->DropComponent(ClassInfo<TFancyWidget>()));
    Target = static_cast<TWidget*>(Host->DropComponent(ClassInfo<TWidget>()));
    Edited = static_cast<TWidget*>(Host->DropComponent(ClassInfo<TWidget>()));
    Host->Select(Edited);
  }

  TTestForm Form{nullptr};
  std::unique_ptr<TDesignerHost> Host;
  TWidget* Fancy = nullptr;
  TWidget* Target = nullptr;
  TWidget* Edited = nullptr;
};

TEST_F(References, OfferTheRootsComponentsOfAFittingClass) {
  TObjectInspector OI(*Host);
  EXPECT_EQ(OI.Values("Buddy"), (std::vector<std::string>{"FancyWidget1", "Widget1", "Widget2"}));
}

TEST_F(References, ResolveByNameAndClearWithEmptyText) {
  TObjectInspector OI(*Host);
  OI.SetValue("Buddy", "widget1");
  EXPECT_EQ(Edited->Buddy(), Target);
  EXPECT_EQ(OI.EditorFor("Buddy")->GetValue(), "Widget1");

  OI.SetValue("Buddy", "");
  EXPECT_EQ(Edited->Buddy(), nullptr);
}

TEST_F(References, RefuseUnknownNamesAndWrongClasses) {
  TObjectInspector OI(*Host);
  OI.SetValue("Buddy", "Widget1");
  try {
    OI.SetValue("Buddy", "Gadget1");
    FAIL() << "a gadget is not a widget";
  } catch (const EInvalidOperation& E) {
    EXPECT_EQ(E.Message(), "Component Gadget1 is not a TWidget");
  }
  try {
    OI.SetValue("Buddy", "Nobody");
    FAIL() << "no such component";
  } catch (const EInvalidOperation& E) {
    EXPECT_EQ(E.Message(), "No component named Nobody on Form1");
  }
  EXPECT_EQ(Edited->Buddy(), Target);
}

TEST_F(References, BoundEventRunsTheFormsMethod) {
  TObjectInspector OI(*Host);
  EXPECT_EQ(OI.Values("OnClick"), (std::vector<std::string>{"ButtonClick", "WidgetDblClick"}));
  OI.SetValue("OnClick", "buttonclick");
  EXPECT_EQ(OI.EditorFor("OnClick")->GetValue(), "ButtonClick");
  EXPECT_EQ(Edited->EventHandlerName("OnClick"), "ButtonClick");
  ASSERT_TRUE(Edited->OnClick);
  Edited->OnClick(Edited);
  EXPECT_EQ(Form.Clicks, 1);
  EXPECT_EQ(Form.LastSender, Edited);

  OI.SetValue("OnClick", "");
  EXPECT_FALSE(Edited->OnClick);
  EXPECT_EQ(OI.EditorFor("OnClick")->GetValue(), "");
}

TEST_F(References, EventsRefuseMissingAndMismatchedMethods) {
  TObjectInspector OI(*Host);
  OI.SetValue("OnClick", "ButtonClick");
  EXPECT_THROW(OI.SetValue("OnClick", "FormCloseQuery"), EInvalidOperation);
  EXPECT_THROW(OI.SetValue("OnClick", "NoSuchMethod"), EInvalidOperation);
  EXPECT_EQ(Edited->EventHandlerName("OnClick"), "ButtonClick");
}

TEST_F(References, OneEventBoundOnSeveralComponents) {
  Host->SelectMany({Edited, Target});
  TObjectInspector OI(*Host);
  OI.SetValue("OnClick", "ButtonClick");
  Target->OnClick(Target);
  Edited->OnClick(Edited);
  EXPECT_EQ(Form.Clicks, 2);
}

} // namespace
} // namespace kelva
