// Writing a component tree and reading it back: the same components, tree and property values,
// events bound to the new root's methods, persistent fields inside their dataset, and a second
// write giving the identical text.
#include "StreamingFixtures.h"

#include "kelva/framework/db/DBClasses.h"
#include "kelva/framework/db/DataSource.h"
#include "kelva/framework/db/Fields.h"
#include "kelva/framework/rtl/FormReader.h"
#include "kelva/framework/rtl/FormWriter.h"
#include "kelva/framework/rtl/TypeInfo.h"

#include <gtest/gtest.h>

using namespace kelva;
using namespace kelva::test;

namespace {

void Bind(TComponent& Instance, const std::string& Event, TComponent& Root,
          const std::string& Method) {
  BindEventHandler(Instance, *ClassInfoOf(Instance)->FindProperty(Event), Root, Method);
}

TTestControl* AddControl(TTestForm& Form, TTestControl* Parent, const std::string& Name) {
  auto* Control = new TTestControl(&Form);
  Control->SetName(Name);
  Control->SetParent(Parent);
  return Control;
}

// A form using every kind of property: the fixture of the round-trip tests.
void BuildSampleForm(TTestForm& Form) {
  Form.SetName("FrmMain");
  Form.SetCaption("It's a caption");
  Form.SetWidth(437);
  Form.SetRatio(2.5);
  Form.SetVisible(false);
  Form.SetAlign(alClient);
  Form.SetOptions({toTitles, toIndicator});
  Form.Title().SetCaption("Names");
  Form.Title().SetHeight(18);
  TStringList Lines;
  for (const char* Line : {"FIELD=POS,FLOAT,0", "it's 'quoted'", "tab\there", "cr\r\nlf", "",
                           "Grüße – 日本語 🎉", "raw \xFF byte"})
    Lines.Add(Line);
  Lines.Add(std::string(150, 'x') + "é" + std::string(70, 'y'));
  Form.SetLines(Lines);

  auto* DataSet = new ProbeDataSet(&Form);
  DataSet->SetName("DataSet1");
  DataSet->SetAutoCalcFields(false);
  auto* Value = new TIntegerField(&Form);
  Value->SetName("DataSet1V");
  Value->SetFieldName("V");
  Value->SetDisplayLabel("Value");
  Value->SetDataSet(DataSet);
  auto* Label = new TStringField(&Form);
  Label->SetName("DataSet1Label");
  Label->SetFieldName("Label");
  Label->SetFieldKind(fkCalculated);
  Label->SetSize(30);
  Label->SetDisplayWidth(12);
  Label->SetDataSet(DataSet);
  Bind(*DataSet, "AfterOpen", Form, "DataSetOpened");
  auto* Source = new TDataSource(&Form);
  Source->SetName("DataSource1");
  Source->SetDataSet(DataSet);
  Source->SetAutoEdit(false);

  TTestControl* Panel = AddControl(Form, &Form, "Panel1");
  TTestControl* Button = AddControl(Form, Panel, "Button1");
  TTestControl* Edit = AddControl(Form, Panel, "Edit1");
  Panel->SetBuddy(Edit); // forward
  Panel->SetRatio(0.1);
  Button->SetBuddy(Panel); // backward
  Button->SetLink(&Form);  // the root
  Button->SetCaption("OK");
  Button->SetRatio(-1e-300);
  Bind(*Button, "OnClick", Form, "ButtonClick");
  Edit->SetLink(Source);
  Edit->SetOptions({toLines});
  Edit->SetAlign(alTop);

  auto* Name = static_cast<TTestColumn*>(Panel->Columns().Add());
  Name->SetFieldName("NAME");
  Name->SetWidth(214);
  Name->SetLink(Edit); // forward, from inside a collection item
  Panel->Columns().Add();
}

TEST(FormRoundTrip, ReadingTheWrittenTextRebuildsTheTree) {
  RegisterStreamingTestClasses();
  TTestForm Original;
  BuildSampleForm(Original);
  const std::string Text = WriteComponentToText(Original);

  TTestForm Copy;
  ReadComponentRes(Text, Copy);
  EXPECT_EQ(WriteComponentToText(Copy), Text);

  EXPECT_EQ(Copy.Name(), "FrmMain");
  ASSERT_EQ(Copy.ComponentCount(), Original.ComponentCount());
  for (std::int32_t I = 0; I < Copy.ComponentCount(); ++I) {
    EXPECT_EQ(Copy.Components(I)->Name(), Original.Components(I)->Name());
    EXPECT_EQ(ClassNameOf(*Copy.Components(I)), ClassNameOf(*Original.Components(I)));
  }
  EXPECT_EQ(Copy.Lines().Text(), Original.Lines().Text());
  EXPECT_EQ(Copy.LinesSetterCalls, 1) << "the list must reach the setter whole, once";
  EXPECT_EQ(Copy.Title().Caption(), "Names");
  EXPECT_EQ(Copy.Title().Height(), 18);
  EXPECT_EQ(Copy.Options(), (TTestOptions{toTitles, toIndicator}));
  EXPECT_EQ(Copy.Ratio(), 2.5);

  auto* Panel = static_cast<TTestControl*>(Copy.FindComponent("Panel1"));
  auto* Button = static_cast<TTestControl*>(Copy.FindComponent("Button1"));
  auto* Edit = static_cast<TTestControl*>(Copy.FindComponent("Edit1"));
  auto* Source = static_cast<TDataSource*>(Copy.FindComponent("DataSource1"));
  auto* DataSet = static_cast<ProbeDataSet*>(Copy.FindComponent("DataSet1"));
  ASSERT_TRUE(Panel && Button && Edit && Source && DataSet);
  EXPECT_EQ(Panel->Parent(), &Copy);
  EXPECT_EQ(Button->Parent(), Panel);
  EXPECT_EQ(Edit->Parent(), Panel);
  EXPECT_EQ(Panel->Buddy(), Edit);
  EXPECT_EQ(Button->Buddy(), Panel);
  EXPECT_EQ(Button->Link(), &Copy);
  EXPECT_EQ(Edit->Link(), Source);
  EXPECT_EQ(Button->Ratio(), -1e-300);
  EXPECT_EQ(Source->DataSet(), DataSet);
  EXPECT_FALSE(Source->AutoEdit());
  ASSERT_EQ(Panel->Columns().Count(), 2);
  EXPECT_EQ(static_cast<TTestColumn*>(Panel->Columns().Items(0))->Link(), Edit);
  EXPECT_EQ(static_cast<TTestColumn*>(Panel->Columns().Items(1))->Width(), 64);

  ASSERT_EQ(DataSet->FieldCount(), 2);
  TField* Label = DataSet->Fields()[1];
  EXPECT_EQ(Label->Owner(), &Copy);
  EXPECT_EQ(Label->FieldName(), "Label");
  EXPECT_EQ(Label->FieldKind(), fkCalculated);
  EXPECT_EQ(Label->Size(), 30);
  EXPECT_EQ(Label->DisplayWidth(), 12);
  EXPECT_EQ(DataSet->Fields()[0]->DisplayLabel(), "Value");
}

TEST(FormRoundTrip, EventsCallTheMethodsOfTheNewRoot) {
  RegisterStreamingTestClasses();
  TTestForm Original;
  BuildSampleForm(Original);
  TTestForm Copy;
  ReadComponentRes(WriteComponentToText(Original), Copy);

  auto* Button = static_cast<TTestControl*>(Copy.FindComponent("Button1"));
  ASSERT_TRUE(Button->OnClick);
  Button->OnClick(Button);
  EXPECT_EQ(Copy.Clicks, std::vector<TObject*>{Button});
  EXPECT_TRUE(Original.Clicks.empty());

  auto* DataSet = static_cast<ProbeDataSet*>(Copy.FindComponent("DataSet1"));
  DataSet->Open();
  EXPECT_EQ(Copy.OpenedDataSets, std::vector<TDataSet*>{DataSet});
}

TEST(FormRoundTrip, WritesTheDocumentedLayout) {
  RegisterStreamingTestClasses();
  TTestForm Form;
  Form.SetName("Form1");
  Form.SetCaption("a'b\r\nc");
  Form.SetOptions({toTitles, toLines});
  Form.SetRatio(3);
  Form.Lines().Add("one");
  Form.Lines().Add("two");
  TTestControl* Grid = AddControl(Form, &Form, "Grid1");
  Grid->Title().SetCaption("T");
  static_cast<TTestColumn*>(Grid->Columns().Add())->SetFieldName("NAME");
  Grid->Columns().Add();
  Bind(*Grid, "OnClick", Form, "ButtonClick");

  EXPECT_EQ(WriteComponentToText(Form), "object Form1: TTestForm\n"
                                        "  Caption = 'a''b'#13#10'c'\n"
                                        "  Ratio = 3.0\n"
                                        "  Options = [toTitles, toLines]\n"
                                        "  Lines = (\n"
                                        "    'one'\n"
                                        "    'two')\n"
                                        "  object Grid1: TTestControl\n"
                                        "    Title.Caption = 'T'\n"
                                        "    Columns = <\n"
                                        "      item\n"
                                        "        FieldName = 'NAME'\n"
                                        "      end\n"
                                        "      item\n"
                                        "      end>\n"
                                        "    OnClick = ButtonClick\n"
                                        "  end\n"
                                        "end\n");
}

TEST(FormRoundTrip, AnUntouchedPersistentFieldWritesOnlyItsFieldName) {
  RegisterStreamingTestClasses();
  TTestForm Form;
  Form.SetName("Form1");
  auto* DataSet = new ProbeDataSet(&Form);
  DataSet->SetName("DataSet1");
  auto* Field = new TStringField(&Form);
  Field->SetName("DataSet1Name");
  Field->SetFieldName("NAME");
  Field->SetDataSet(DataSet);
  EXPECT_EQ(WriteComponentToText(Form), "object Form1: TTestForm\n"
                                        "  object DataSet1: TProbeDataSet\n"
                                        "    object DataSet1Name: TStringField\n"
                                        "      FieldName = 'NAME'\n"
                                        "    end\n"
                                        "  end\n"
                                        "end\n");
}

TEST(FormRoundTrip, AFieldWithoutADataSetStaysUnderTheRoot) {
  RegisterStreamingTestClasses();
  TTestForm Form;
  Form.SetName("Form1");
  auto* Field = new TFloatField(&Form);
  Field->SetName("Loose");
  Field->SetFieldName("X");
  const std::string Text = WriteComponentToText(Form);
  TTestForm Copy;
  ReadComponentRes(Text, Copy);
  auto* Read = dynamic_cast<TFloatField*>(Copy.FindComponent("Loose"));
  ASSERT_NE(Read, nullptr);
  EXPECT_EQ(Read->DataSet(), nullptr);
  EXPECT_EQ(Read->FieldName(), "X");
}

TEST(FormRoundTrip, DefaultFieldsOfAnOpenDatasetAreNotStored) {
  RegisterStreamingTestClasses();
  TTestForm Form;
  Form.SetName("Form1");
  auto* DataSet = new ProbeDataSet(&Form);
  DataSet->SetName("DataSet1");
  DataSet->Open();
  ASSERT_EQ(DataSet->FieldCount(), 1);
  const std::string Text = WriteComponentToText(*DataSet);
  EXPECT_EQ(Text, "object DataSet1: TProbeDataSet\n  Active = True\nend\n");
}

TEST(FormWriterRefusals, WhatCouldNotBeReadBackIsNotWritten) {
  RegisterStreamingTestClasses();
  TTestForm Form;
  Form.SetName("Form1");
  TTestForm Elsewhere;
  Elsewhere.SetName("Other");
  TTestControl* Foreign = AddControl(Elsewhere, &Elsewhere, "Foreign");
  TTestControl* Panel = AddControl(Form, &Form, "Panel1");

  Panel->SetBuddy(Foreign);
  EXPECT_THROW(WriteComponentToText(Form), EWriteError);
  Panel->SetBuddy(AddControl(Form, &Form, ""));
  EXPECT_THROW(WriteComponentToText(Form), EWriteError) << "a reference to an unnamed component";
  Panel->SetBuddy(nullptr);
  Panel->SetAlign(static_cast<TTestAlign>(7));
  EXPECT_THROW(WriteComponentToText(Form), EWriteError) << "an enumeration value without a name";
  Panel->SetAlign(alNone);
  EXPECT_NO_THROW(WriteComponentToText(Form));
}

TEST(Collection, ItemsKnowTheirCollectionAndIndex) {
  TCollection Columns = TCollection::Of<TTestColumn>();
  Columns.Add();
  TCollectionItem* Second = Columns.Add();
  EXPECT_EQ(Second->Collection(), &Columns);
  EXPECT_EQ(Second->Index(), 1);
  Columns.Delete(0);
  EXPECT_EQ(Second->Index(), 0);
  EXPECT_EQ(Columns.Count(), 1);
  EXPECT_THROW(Columns.Items(1), EListError);
  EXPECT_THROW(Columns.Delete(-1), EListError);
}

} // namespace
