// A package's own property editor: registered for a descendant class, its dialog reached
// through the ellipsis button, and what it inherits from the base editor.
#include "DesignTestClasses.h"
#include "kelva/framework/design/DesignIntf.h"
#include "kelva/framework/design/DesignerHost.h"
#include "kelva/framework/rtl/Exceptions.h"

#include <gtest/gtest.h>

namespace kelva {
namespace {

using namespace designtest;

// Opens a "dialog" that puts one line into the edited widget's list.
class TLinesDialogEditor : public TPropertyEditor {
public:
  using TPropertyEditor::TPropertyEditor;
  void Edit() override {
    ++Opened;
    static_cast<TWidget*>(GetComponent(0))->Lines().Add("from the dialog");
  }
  TPropertyAttributes GetAttributes() override {
    return TPropertyEditor::GetAttributes() + TPropertyAttributes{paDialog};
  }
  std::string GetValue() override { return "(Lines)"; }

  static inline int Opened = 0;
};

class CustomEditor : public ::testing::Test {
protected:
  CustomEditor() {
    RegisterDesignTestClasses();
    RegisterComponents("Widgets", {ClassInfo<TWidget>(), ClassInfo<TFancyWidget>()});
    // Registered on every run of the fixture, as a package's Register may be.
    RegisterPropertyEditor(TypeInfoOfClass("TStrings"), ClassInfo<TFancyWidget>(), "Lines",
                           PropertyEditorClassOf<TLinesDialogEditor>("TLinesDialogEditor"));
    Form.SetName("Form1");
    Host = std::make_unique<TDesignerHost>(&Form);
    Plain = static_cast<TWidget*>(Host->DropComponent(ClassInfo<TWidget>()));
    Fancy = static_cast<TWidget*>(Host->DropComponent(ClassInfo<TFancyWidget>()));
  }

  TTestForm Form{nullptr};
  std::unique_ptr<TDesignerHost> Host;
  TWidget* Plain = nullptr;
  TWidget* Fancy = nullptr;
};

TEST_F(CustomEditor, ServesOnlyTheRegisteredClassAndItsDescendants) {
  TObjectInspector OI(*Host);
  Host->Select(Fancy);
  EXPECT_EQ(OI.EditorFor("Lines")->GetValue(), "(Lines)");
  EXPECT_EQ(OI.EditorFor("Lines")->GetAttributes(),
            (TPropertyAttributes{paRevertable, paMultiSelect, paDialog}));
  Host->Select(Plain);
  EXPECT_EQ(OI.EditorFor("Lines")->GetValue(), "(TStringList)");
}

TEST_F(CustomEditor, EllipsisButtonCallsTheEditorsEdit) {
  TObjectInspector OI(*Host);
  Host->Select(Fancy);
  const int Before = TLinesDialogEditor::Opened;
  OI.Edit("Lines");
  EXPECT_EQ(TLinesDialogEditor::Opened, Before + 1);
  EXPECT_EQ(Fancy->Lines().Text(), "from the dialog\r\n");

  Host->Select(Plain);
  EXPECT_THROW(OI.Edit("Lines"), EInvalidOperation);
  EXPECT_EQ(Plain->Lines().Count(), 0);
}

TEST_F(CustomEditor, InheritedOperationsOfTheBase) {
  TObjectInspector OI(*Host);
  Host->Select(Fancy);
  std::unique_ptr<TPropertyEditor> Editor = OI.EditorFor("lines");
  EXPECT_EQ(Editor->GetName(), "Lines");
  EXPECT_EQ(Editor->GetEditLimit(), 255);
  EXPECT_TRUE(Editor->AllEqual());
  EXPECT_EQ(Editor->GetComponent(0), Fancy);
  EXPECT_EQ(Editor->Designer(), Host.get());
  EXPECT_THROW(Editor->GetComponent(1), EListError);
  // Typing over a dialog property must not look as if it had been accepted.
  EXPECT_THROW(OI.SetValue("Lines", "text"), EInvalidOperation);
}

TEST_F(CustomEditor, UnfilledEditorsAreRefused) {
  EXPECT_THROW(TPropertyEditor(Host.get(), 0), EInvalidOperation);
  TPropertyEditor Editor(Host.get(), 2);
  EXPECT_THROW(Editor.GetComponent(1), EInvalidOperation);
  EXPECT_THROW(Editor.SetPropEntry(2, Fancy, nullptr), EListError);
}

} // namespace
} // namespace kelva
