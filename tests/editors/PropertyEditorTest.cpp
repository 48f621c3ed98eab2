// Registration and the two property editors, used from the object inspector.
#include "editors/DialogDriving.h"
#include "kelva/dataset/KelvaClasses.h"
#include "kelva/editors/KelvaReg.h"
#include "kelva/framework/design/DesignIntf.h"
#include "kelva/framework/design/DesignerHost.h"
#include "kelva/framework/rtl/ClassBuilder.h"

#include <gtest/gtest.h>

namespace kelva {

// A dataset class an application registers on its own.
class TAppDataset : public TEventDataset {
public:
  using TEventDataset::TEventDataset;
};

namespace {

using namespace editors_test;
using Lines = std::vector<std::string>;

Lines ListOf(const TStrings& List) {
  Lines Result;
  for (std::int32_t I = 0; I < List.Count(); ++I) Result.push_back(List[I]);
  return Result;
}

// A designed form holding one dataset, selected in the object inspector.
class DesignedDataset : public ::testing::Test {
protected:
  void SetUp() override {
    Register();
    Data = new TEventDataset(&Root);
    Data->SetName("Customers");
    Data->MetaFields().Add("FIELD=NAME,CHAR,20");
    Data->ParamsDesc().Add("PARAM=CITY,CHAR");
    Designer = std::make_unique<TDesignerHost>(&Root);
    Designer->Select(Data);
    Inspector = std::make_unique<TObjectInspector>(*Designer);
  }

  // Opens the editor of Property with the ellipsis button; the dialog gets Script.
  void EditWith(const std::string& Property, TScriptedDriver Script) {
    TModalDriverScope Scope(Script);
    Inspector->Edit(Property);
  }

  TComponent Root{nullptr};
  TEventDataset* Data = nullptr;
  std::unique_ptr<TDesignerHost> Designer;
  std::unique_ptr<TObjectInspector> Inspector;
};

TScriptedDriver TypeAndConfirm(const std::string& Text) {
  return TScriptedDriver{[Text](TForm& Form) {
    auto& Dialog = dynamic_cast<TDescriptionForm&>(Form);
    Dialog.PageControl1->SelectPage(Dialog.TextPage);
    Dialog.mmoFields->TypeText(Text);
    Dialog.Button1->Click();
  }};
}

TEST(KelvaRegistration, PutsOnlyTheEventDatasetOnItsPage) {
  Register();
  Register(); // a package may be loaded again
  EXPECT_EQ(PaletteClasses("ZUV"), (std::vector<const TClassInfo*>{ClassInfo<TEventDataset>()}));
}

TEST(KelvaRegistration, EditorsServeDescendantsAnApplicationRegisters) {
  Register();
  const TClassInfo* App =
      TClassBuilder<TAppDataset>("TAppDataset", ClassInfo<TEventDataset>()).Creatable().Register();
  const TPropInfo* Meta = App->FindProperty("MetaFields");
  const TPropInfo* Params = App->FindProperty("ParamsDesc");
  ASSERT_TRUE(Meta && Params);
  ASSERT_NE(FindPropertyEditorClass(*Meta, App), nullptr);
  EXPECT_EQ(FindPropertyEditorClass(*Meta, App)->Name, "TMetaFieldsEditor");
  EXPECT_EQ(FindPropertyEditorClass(*Params, App)->Name, "TklvParamEditor");
}

TEST_F(DesignedDataset, InspectorShowsPlaceholdersAndOffersTheDialog) {
  Data->MetaFields().Clear();
  bool SawMeta = false, SawParams = false;
  for (const TInspectorRow& Row : Inspector->Rows()) {
    if (Row.Name == "MetaFields") {
      SawMeta = true;
      EXPECT_EQ(Row.Value, "(Meta Fields)");
      EXPECT_TRUE(Row.Attributes.Contains(paDialog));
    }
    if (Row.Name == "ParamsDesc") {
      SawParams = true;
      EXPECT_EQ(Row.Value, "(Params)");
      EXPECT_TRUE(Row.Attributes.Contains(paDialog));
    }
  }
  EXPECT_TRUE(SawMeta);
  EXPECT_TRUE(SawParams);
}

TEST_F(DesignedDataset, ConfirmedFieldsReachAClosedDatasetThatStaysClosed) {
  EditWith("MetaFields", TypeAndConfirm("FIELD=NAME,CHAR,20\nFIELD=AGE,INTEGER,0"));
  EXPECT_EQ(ListOf(Data->MetaFields()), (Lines{"FIELD=NAME,CHAR,20", "FIELD=AGE,INTEGER,0"}));
  EXPECT_FALSE(Data->Active());
  EXPECT_EQ(FrmMetaFields, nullptr); // the dialog is gone
}

TEST_F(DesignedDataset, AnOpenDatasetReopensWithTheNewFields) {
  Data->Open();
  EditWith("MetaFields", TypeAndConfirm("FIELD=NAME,CHAR,20\nFIELD=AGE,INTEGER,0"));
  ASSERT_TRUE(Data->Active());
  EXPECT_NE(Data->FindField("AGE"), nullptr);
}

TEST_F(DesignedDataset, CancelLeavesTheDatasetUntouched) {
  Data->Open();
  EditWith("MetaFields", TScriptedDriver{[](TForm& Form) {
             auto& Dialog = dynamic_cast<TFrmMetaFields&>(Form);
             Dialog.DBNom->TypeText("CHANGED");
             Dialog.Button2->Click();
           }});
  EXPECT_EQ(ListOf(Data->MetaFields()), (Lines{"FIELD=NAME,CHAR,20"}));
  EXPECT_TRUE(Data->Active());
  EXPECT_EQ(Data->FindField("CHANGED"), nullptr);
}

TEST_F(DesignedDataset, DescriptionsTheDatasetRefusesStayButLeaveItClosed) {
  Data->Open();
  // The dialog accepts a duplicated name; the dataset refuses it when it opens.
  EXPECT_THROW(EditWith("MetaFields", TypeAndConfirm("FIELD=A,CHAR,5\nFIELD=A,CHAR,5")),
               EDatabaseError);
  EXPECT_EQ(ListOf(Data->MetaFields()), (Lines{"FIELD=A,CHAR,5", "FIELD=A,CHAR,5"}));
  EXPECT_FALSE(Data->Active());
  EXPECT_EQ(FrmMetaFields, nullptr);
}

TEST_F(DesignedDataset, ConfirmedParametersArePreparedAgain) {
  Data->Open();
  ASSERT_TRUE(Data->Prepared());
  EditWith("ParamsDesc", TypeAndConfirm("PARAM=CITY,CHAR\nPARAM=SINCE,DATE"));
  EXPECT_EQ(ListOf(Data->ParamsDesc()), (Lines{"PARAM=CITY,CHAR", "PARAM=SINCE,DATE"}));
  EXPECT_TRUE(Data->Active());
  EXPECT_TRUE(Data->Prepared());
  EXPECT_NE(Data->Params().FindParam("SINCE"), nullptr);
  EXPECT_EQ(FrmKlvParm, nullptr);
}

} // namespace
} // namespace kelva
