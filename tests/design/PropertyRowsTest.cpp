// The object inspector with the default editors: rows for each kind of property, typed values
// good and bad, sub-properties, the value-list button, and selections of several objects.
#include "DesignTestClasses.h"
#include "kelva/framework/design/DesignIntf.h"
#include "kelva/framework/design/DesignerHost.h"
#include "kelva/framework/rtl/Exceptions.h"

#include <gtest/gtest.h>

#include <map>

namespace kelva {
namespace {

using namespace designtest;

class Inspector : public ::testing::Test {
protected:
  Inspector() {
    RegisterDesignTestClasses();
    RegisterComponents("Widgets", {ClassInfo<TWidget>(), ClassInfo<TFancyWidget>()});
    RegisterComponents("Gadgets", {ClassInfo<TGadget>()});
    Form.SetName("Form1");
    Host = std::make_unique<TDesignerHost>(&Form);
    Widget = static_cast<TWidget*>(Host->DropComponent(ClassInfo<TWidget>()));
    Widget->SetStyles({stBold, stUnderline});
    Widget->SetCaption("Hello");
    Widget->SetRatio(1.5);
    Widget->SetShape(shSquare);
  }

  std::map<std::string, TInspectorRow> RowsByName() {
    std::map<std::string, TInspectorRow> Rows;
    for (TInspectorRow& Row : TObjectInspector(*Host).Rows()) Rows[Row.Name] = Row;
    return Rows;
  }

  TTestForm Form{nullptr};
  std::unique_ptr<TDesignerHost> Host;
  TWidget* Widget = nullptr;
};

TEST_F(Inspector, RowsShowEveryKindInDeclarationOrder) {
  const std::vector<TInspectorRow> Rows = TObjectInspector(*Host).Rows();
  std::vector<std::string> Names, Values;
  for (const TInspectorRow& Row : Rows) {
    Names.push_back(Row.Name);
    Values.push_back(Row.Value);
  }
  EXPECT_EQ(Names,
            (std::vector<std::string>{"Name", "Width", "Visible", "Shape", "Styles", "Caption",
                                      "Ratio", "Lines", "Margins", "Buddy", "OnClick"}));
  EXPECT_EQ(Values,
            (std::vector<std::string>{"Widget1", "10", "True", "shSquare", "[stBold, stUnderline]",
                                      "Hello", "1.5", "(TStringList)", "(TMargins)", "", ""}));

  auto R = RowsByName();
  EXPECT_TRUE(R["Visible"].Attributes.Contains(paValueList));
  EXPECT_TRUE(R["Styles"].Attributes.Contains(paSubProperties));
  EXPECT_TRUE(R["Lines"].Attributes.Contains(paReadOnly));
  EXPECT_TRUE(R["Margins"].Attributes.Contains(paSubProperties));
  EXPECT_FALSE(R["Caption"].Attributes.Contains(paReadOnly));
  EXPECT_FALSE(R["Name"].Attributes.Contains(paMultiSelect));
}

TEST_F(Inspector, SettingGoodValuesWritesThePropertyAndTellsTheDesigner) {
  TObjectInspector OI(*Host);
  const std::int32_t Before = Host->ModifiedCount();
  int Notices = 0;
  Host->OnModified = [&Notices] { ++Notices; };
  OI.SetValue("width", "42");
  OI.SetValue("Visible", "false");
  OI.SetValue("Shape", "SHTRIANGLE");
  OI.SetValue("Styles", "[stItalic]");
  OI.SetValue("Caption", "Bye");
  OI.SetValue("Ratio", "-2.25");
  OI.SetValue("Name", "OkButton");
  EXPECT_EQ(Widget->Width(), 42);
  EXPECT_FALSE(Widget->Visible());
  EXPECT_EQ(Widget->Shape(), shTriangle);
  EXPECT_EQ(Widget->Styles(), TStyles{stItalic});
  EXPECT_EQ(Widget->Caption(), "Bye");
  EXPECT_EQ(Widget->Ratio(), -2.25);
  EXPECT_EQ(Widget->Name(), "OkButton");
  EXPECT_EQ(Host->ModifiedCount(), Before + 7);
  EXPECT_EQ(Notices, 7);

  OI.SetValue("Styles", "[]");
  EXPECT_TRUE(Widget->Styles().Empty());
}

TEST_F(Inspector, BadValuesRaiseWithClearTextAndChangeNothing) {
  TObjectInspector OI(*Host);
  const std::int32_t Before = Host->ModifiedCount();
  auto MessageOf = [&OI](const std::string& Prop, const std::string& Text) -> std::string {
    try {
      OI.SetValue(Prop, Text);
    } catch (const Exception& E) {
      return E.Message();
    }
    return "(accepted)";
  };
  EXPECT_EQ(MessageOf("Width", "abc"), "'abc' is not a valid integer value");
  EXPECT_EQ(MessageOf("Width", "99999999999"), "'99999999999' is not a valid integer value");
  EXPECT_EQ(MessageOf("Visible", "maybe"), "'maybe' is not a valid Boolean value");
  EXPECT_EQ(MessageOf("Shape", "shOval"), "'shOval' is not a valid TShape value");
  EXPECT_EQ(MessageOf("Styles", "[stBold, stNope]"), "'stNope' is not a valid TStyles value");
  EXPECT_EQ(MessageOf("Styles", "[stBold,,stItalic]"),
            "'[stBold,,stItalic]' is not a valid TStyles value");
  EXPECT_EQ(MessageOf("Ratio", "1,5"), "'1,5' is not a valid floating point value");
  EXPECT_EQ(MessageOf("Lines", "text"), "Property Lines is read-only");
  EXPECT_EQ(MessageOf("Nothing", "1"), "The selection has no property Nothing");
  EXPECT_THROW(OI.SetValue("Width", "abc"), EConvertError);

  EXPECT_EQ(Widget->Width(), 10);
  EXPECT_TRUE(Widget->Visible());
  EXPECT_EQ(Widget->Styles(), (TStyles{stBold, stUnderline}));
  EXPECT_EQ(Host->ModifiedCount(), Before);
}

TEST_F(Inspector, SetElementsAreTrueFalseSubProperties) {
  TObjectInspector OI(*Host);
  std::vector<std::string> Shown;
  OI.EditorFor("Styles")->GetProperties([&Shown](std::unique_ptr<TPropertyEditor> Element) {
    Shown.push_back(Element->GetName() + "=" + Element->GetValue());
  });
  EXPECT_EQ(Shown, (std::vector<std::string>{"stBold=True", "stItalic=False", "stUnderline=True"}));

  OI.SetValue("Styles.stItalic", "True");
  OI.SetValue("Styles.stBold", "False");
  EXPECT_EQ(Widget->Styles(), (TStyles{stItalic, stUnderline}));
  EXPECT_EQ(OI.Values("Styles.stBold"), (std::vector<std::string>{"False", "True"}));
  EXPECT_THROW(OI.SetValue("Styles.stItalic", "yes"), EConvertError);
}

TEST_F(Inspector, OwnedSubObjectShowsItsOwnProperties) {
  TObjectInspector OI(*Host);
  OI.SetValue("Margins.Left", "7");
  EXPECT_EQ(Widget->Margins().Left(), 7);
  EXPECT_EQ(OI.EditorFor("Margins.Left")->GetValue(), "7");
  EXPECT_THROW(OI.EditorFor("Margins.Right"), EInvalidOperation);
  EXPECT_THROW(OI.EditorFor("Width.Left"), EInvalidOperation);
}

TEST_F(Inspector, ValueListButtonCyclesThroughTheSortedValues) {
  TObjectInspector OI(*Host);
  EXPECT_EQ(OI.Values("Shape"), (std::vector<std::string>{"shCircle", "shSquare", "shTriangle"}));
  OI.Edit("Shape");
  EXPECT_EQ(Widget->Shape(), shTriangle);
  OI.Edit("Shape");
  EXPECT_EQ(Widget->Shape(), shCircle);
  OI.Edit("Visible");
  EXPECT_FALSE(Widget->Visible());

  try {
    OI.Edit("Caption");
    FAIL() << "a plain text property has no button";
  } catch (const EInvalidOperation& E) {
    EXPECT_EQ(E.Message(), "Property Caption has no editor to open");
  }
}

TEST_F(Inspector, SeveralObjectsShowCommonPropertiesAndAgreedValues) {
  auto* Other = static_cast<TWidget*>(Host->DropComponent(ClassInfo<TWidget>()));
  Other->SetCaption("Hello");
  Other->SetWidth(20);
  Other->SetStyles({stItalic});
  Host->SelectMany({Widget, Other});
  TObjectInspector OI(*Host);

  auto R = RowsByName();
  EXPECT_EQ(R.count("Name"), 0U);
  EXPECT_EQ(R["Caption"].Value, "Hello");
  EXPECT_EQ(R["Width"].Value, "");

  OI.SetValue("Width", "30");
  EXPECT_EQ(Widget->Width(), 30);
  EXPECT_EQ(Other->Width(), 30);
  // Each object keeps its own other elements.
  OI.SetValue("Styles.stUnderline", "False");
  EXPECT_EQ(Widget->Styles(), TStyles{stBold});
  EXPECT_EQ(Other->Styles(), TStyles{stItalic});
  EXPECT_THROW(OI.SetValue("Name", "Same"), EInvalidOperation);

  auto* Gadget = static_cast<TGadget*>(Host->DropComponent(ClassInfo<TGadget>()));
  Host->SelectMany({Widget, Gadget});
  std::vector<std::string> Names;
  for (const TInspectorRow& Row : OI.Rows()) Names.push_back(Row.Name);
  EXPECT_EQ(Names, std::vector<std::string>{"Width"});
}

TEST_F(Inspector, NothingSelected) {
  Host->Select(nullptr);
  TObjectInspector OI(*Host);
  EXPECT_TRUE(OI.Rows().empty());
  EXPECT_THROW(OI.SetValue("Width", "1"), EInvalidOperation);
}

} // namespace
} // namespace kelva
