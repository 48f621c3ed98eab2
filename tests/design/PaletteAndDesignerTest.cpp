// The palette registry and the designer host: pages, repeated registration, dropping
// components with generated names, the selection, and the designer outliving its objects.
#include "DesignTestClasses.h"
#include "kelva/framework/design/DesignIntf.h"
#include "kelva/framework/design/DesignerHost.h"
#include "kelva/framework/rtl/Exceptions.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kelva {
namespace {

using namespace designtest;

class Palette : public ::testing::Test {
protected:
  void SetUp() override {
    RegisterDesignTestClasses();
    RegisterComponents("Widgets", {ClassInfo<TWidget>(), ClassInfo<TFancyWidget>()});
    RegisterComponents("Gadgets", {ClassInfo<TGadget>()});
  }
};

TEST_F(Palette, PagesKeepTheirOrderAndRepeatedRegistrationIsIgnored) {
  RegisterComponents("widgets", {ClassInfo<TWidget>()});
  const std::vector<std::string> Pages = PalettePages();
  const auto Widgets = std::find(Pages.begin(), Pages.end(), "Widgets");
  const auto Gadgets = std::find(Pages.begin(), Pages.end(), "Gadgets");
  ASSERT_NE(Widgets, Pages.end());
  ASSERT_NE(Gadgets, Pages.end());
  EXPECT_LT(Widgets, Gadgets);
  EXPECT_EQ(std::count(Pages.begin(), Pages.end(), "widgets"), 0);
  EXPECT_EQ(PaletteClasses("WIDGETS"),
            (std::vector<const TClassInfo*>{ClassInfo<TWidget>(), ClassInfo<TFancyWidget>()}));
  EXPECT_TRUE(PaletteClasses("No such page").empty());
}

TEST_F(Palette, RefusesClassesTheDesignerCannotCreate) {
  EXPECT_THROW(RegisterComponents("Bad", {ClassInfo<TStringList>()}), EComponentError);
  EXPECT_THROW(RegisterComponents("Bad", {ClassInfo<TTestForm>()}), EComponentError);
  EXPECT_THROW(RegisterComponents("Bad", {nullptr}), EComponentError);
  EXPECT_THROW(RegisterComponents("", {ClassInfo<TWidget>()}), EComponentError);
  const std::vector<std::string> Pages = PalettePages();
  EXPECT_EQ(std::count(Pages.begin(), Pages.end(), "Bad"), 0);
}

class Designer : public Palette {
protected:
  Designer() { Form.SetName("Form1"); }
  TTestForm Form{nullptr};
};

TEST_F(Designer, DropNamesAfterTheClassWithTheLowestFreeNumber) {
  TDesignerHost Host(&Form);
  TComponent* First = Host.DropComponent(ClassInfo<TWidget>());
  TComponent* Second = Host.DropComponent(ClassInfo<TWidget>());
  EXPECT_EQ(First->Name(), "Widget1");
  EXPECT_EQ(Second->Name(), "Widget2");
  EXPECT_EQ(First->Owner(), &Form);
  EXPECT_TRUE(Second->ComponentState().Contains(csDesigning));
  EXPECT_EQ(Host.Selection(), std::vector<TPersistent*>{Second});

  delete First;
  EXPECT_EQ(Host.DropComponent(ClassInfo<TWidget>())->Name(), "Widget1");
  EXPECT_EQ(Host.DropComponent(ClassInfo<TFancyWidget>())->Name(), "FancyWidget1");
}

TEST_F(Designer, DropSkipsTheRootsOwnName) {
  Form.SetName("Gadget1");
  TDesignerHost Host(&Form);
  EXPECT_EQ(Host.DropComponent(ClassInfo<TGadget>())->Name(), "Gadget2");
}

TEST_F(Designer, DropRefusesClassesNotOnThePalette) {
  TDesignerHost Host(&Form);
  EXPECT_THROW(Host.DropComponent(ClassInfo<TTestForm>()), EInvalidOperation);
  EXPECT_THROW(Host.DropComponent(nullptr), EInvalidOperation);
  EXPECT_EQ(Form.ComponentCount(), 0);
}

TEST_F(Designer, DesignModeLastsAsLongAsTheDesigner) {
  auto* Existing = new TWidget(&Form);
  {
    TDesignerHost Host(&Form);
    EXPECT_TRUE(Form.ComponentState().Contains(csDesigning));
    EXPECT_TRUE(Existing->ComponentState().Contains(csDesigning));
  }
  EXPECT_FALSE(Form.ComponentState().Contains(csDesigning));
  EXPECT_FALSE(Existing->ComponentState().Contains(csDesigning));
}

TEST_F(Designer, SelectionDropsDuplicatesNullsAndDestroyedComponents) {
  TDesignerHost Host(&Form);
  auto* A = new TWidget(&Form);
  auto* B = new TWidget(&Form);
  Host.SelectMany({A, nullptr, B, A});
  EXPECT_EQ(Host.Selection(), (std::vector<TPersistent*>{A, B}));
  delete A;
  EXPECT_EQ(Host.Selection(), std::vector<TPersistent*>{B});
  Host.Select(nullptr);
  EXPECT_TRUE(Host.Selection().empty());
}

TEST_F(Designer, RootDestroyedBeforeTheDesigner) {
  auto* Root = new TTestForm(nullptr);
  TDesignerHost Host(Root);
  Host.Select(Root);
  delete Root;
  EXPECT_EQ(Host.Root(), nullptr);
  EXPECT_TRUE(Host.Selection().empty());
  EXPECT_THROW(Host.DropComponent(ClassInfo<TWidget>()), EInvalidOperation);
}

} // namespace
} // namespace kelva
