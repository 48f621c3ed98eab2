// The loading protocol seen from the components: Loaded once each, root first, after every
// property and reference is set; a dataset stored open opens in Loaded; a component made by
// ReadComponentFromText belongs to the given owner; failures in Loaded leave nothing behind.
#include "StreamingFixtures.h"

#include "kelva/framework/db/Fields.h"
#include "kelva/framework/rtl/FormReader.h"

#include <gtest/gtest.h>

using namespace kelva;
using namespace kelva::test;

namespace {

const char* const TreeText = "object Form1: TTestForm\n"
                             "  Caption = 'root'\n"
                             "  object Panel1: TTestControl\n"
                             "    Buddy = Button1\n"
                             "    Caption = 'panel'\n"
                             "    object Button1: TTestControl\n"
                             "      Buddy = Panel1\n"
                             "      Link = Form1\n"
                             "    end\n"
                             "  end\n"
                             "end\n";

TEST(FormLoading, LoadedRunsOnceEachRootFirstAfterAllReferences) {
  RegisterStreamingTestClasses();
  TTestForm Form;
  ReadComponentRes(TreeText, Form);
  EXPECT_EQ(Form.LoadLog, (std::vector<std::string>{
                              "Form1: buddy=- link=- caption=root",
                              "Panel1: buddy=Button1 link=- caption=panel",
                              "Button1: buddy=Panel1 link=Form1 caption=",
                          }));
  for (TComponent* C : OwnedComponents(Form)) {
    EXPECT_FALSE(C->ComponentState().Contains(csLoading)) << C->Name();
    EXPECT_FALSE(C->ComponentState().Contains(csReading)) << C->Name();
  }
}

TEST(FormLoading, ADatasetStoredOpenOpensInLoaded) {
  RegisterStreamingTestClasses();
  TTestForm Form;
  ReadComponentRes("object Form1: TTestForm\n"
                   "  object DataSet1: TProbeDataSet\n"
                   "    Active = True\n"
                   "    AfterOpen = DataSetOpened\n"
                   "    object DataSet1V: TIntegerField\n"
                   "      FieldName = 'V'\n"
                   "      Required = True\n"
                   "    end\n"
                   "  end\n"
                   "end\n",
                   Form);
  auto* DataSet = static_cast<ProbeDataSet*>(Form.FindComponent("DataSet1"));
  ASSERT_NE(DataSet, nullptr);
  EXPECT_TRUE(DataSet->Active());
  EXPECT_EQ(Form.OpenedDataSets, std::vector<TDataSet*>{DataSet});
  ASSERT_EQ(DataSet->FieldCount(), 1);
  EXPECT_EQ(DataSet->Fields()[0], Form.FindComponent("DataSet1V")) << "the persistent field";
  EXPECT_TRUE(DataSet->Fields()[0]->Required());
}

TEST(FormLoading, ReadComponentFromTextCreatesTheRootUnderTheOwner) {
  RegisterStreamingTestClasses();
  TComponent Owner(nullptr);
  TComponent* Made = ReadComponentFromText(TreeText, &Owner);
  ASSERT_NE(dynamic_cast<TTestForm*>(Made), nullptr);
  EXPECT_EQ(OwnedComponents(Owner), std::vector<TComponent*>{Made});
  EXPECT_EQ(Made->Name(), "Form1");
  EXPECT_EQ(Made->ComponentCount(), 2);
  EXPECT_EQ(static_cast<TTestForm*>(Made)->LoadLog.size(), 3u);
}

TEST(FormLoading, AFailingLoadedPropagatesAndLeavesNothing) {
  RegisterStreamingTestClasses();
  const std::string Text = "object Form1: TTestForm\n"
                           "  object Panel1: TTestControl\n"
                           "    FailLoaded = True\n"
                           "  end\n"
                           "  object Panel2: TTestControl\n"
                           "  end\n"
                           "end\n";
  TComponent Owner(nullptr);
  EXPECT_THROW(ReadComponentFromText(Text, &Owner), EComponentError);
  EXPECT_EQ(Owner.ComponentCount(), 0);

  TTestForm Form;
  Form.SetName("Before");
  auto* Existing = new TTestControl(&Form);
  EXPECT_THROW(ReadComponentRes(Text, Form), EComponentError);
  EXPECT_EQ(OwnedComponents(Form), std::vector<TComponent*>{Existing});
  EXPECT_EQ(Form.Name(), "Before");
  // Panel2 was never loaded: the failure stopped the Loaded calls.
  EXPECT_EQ(Form.LoadLog.size(), 2u);
}

TEST(FormLoading, ReassigningACollectionDropsTheReferencesOfItsOldItems) {
  RegisterStreamingTestClasses();
  TTestForm Form;
  ReadComponentRes("object Form1: TTestForm\n"
                   "  Columns = <\n"
                   "    item\n"
                   "      Link = Panel1\n"
                   "    end\n"
                   "    item\n"
                   "      Link = Panel1\n"
                   "    end>\n"
                   "  Columns = <\n"
                   "    item\n"
                   "      Width = 5\n"
                   "    end>\n"
                   "  object Panel1: TTestControl\n"
                   "  end\n"
                   "end\n",
                   Form);
  ASSERT_EQ(Form.Columns().Count(), 1);
  auto* Column = static_cast<TTestColumn*>(Form.Columns().Items(0));
  EXPECT_EQ(Column->Width(), 5);
  EXPECT_EQ(Column->Link(), nullptr);
}

} // namespace
