// Form files holding the package's dataset with the forms' controls: written and read back,
// and a dataset stored open comes back open with its parameters built.
#include "kelva/dataset/KelvaClasses.h"
#include "kelva/editors/EditorClasses.h"
#include "kelva/editors/FormResources.h"
#include "kelva/editors/MetaFieldsForm.h"
#include "kelva/framework/forms/DBGrids.h"
#include "kelva/framework/rtl/FormParser.h"
#include "kelva/framework/rtl/FormReader.h"
#include "kelva/framework/rtl/FormWriter.h"

#include <gtest/gtest.h>

#include <memory>

namespace kelva {
namespace {

const char* const CustomerForm = R"(object Customers: TForm
  Caption = 'Customers'
  ClientWidth = 300
  ClientHeight = 200
  object Data: TEventDataset
    Active = True
    MetaFields = (
      'FIELD=NAME,CHAR,20'
      'FIELD=CITY,CHAR,12')
    ParamsDesc = (
      'PARAM=CITY,CHAR')
    CachedUpdates = True
    MasterSource = Source
    object DataNAME: TStringField
      FieldName = 'NAME'
      Size = 20
    end
  end
  object Source: TDataSource
    DataSet = Master
  end
  object Master: TEventDataset
    MetaFields = (
      'FIELD=CITY,CHAR,12')
  end
  object Grid: TDBGrid
    Height = 90
    DataSource = Source
    Columns = <
      item
        FieldName = 'CITY'
        Width = 120
        Title.Caption = 'Town'
      end>
    Options = [dgTitles, dgRowSelect]
  end
end
)";

std::unique_ptr<TComponent> ReadForm(const std::string& Text) {
  RegisterEditorClasses();
  return std::unique_ptr<TComponent>(ReadComponentFromText(Text, nullptr));
}

TEST(PackageFormFile, DatasetStoredOpenComesBackOpenWithItsParameters) {
  std::unique_ptr<TComponent> Form = ReadForm(CustomerForm);
  auto* Data = dynamic_cast<TEventDataset*>(Form->FindComponent("Data"));
  auto* Master = dynamic_cast<TEventDataset*>(Form->FindComponent("Master"));
  ASSERT_TRUE(Data && Master);
  EXPECT_TRUE(Data->Active());
  EXPECT_FALSE(Master->Active());
  EXPECT_TRUE(Data->CachedUpdates());
  EXPECT_NE(Data->Params().FindParam("CITY"), nullptr);
  EXPECT_EQ(Data->MasterSource(), Form->FindComponent("Source"));
  // The persistent field is the dataset's only field.
  ASSERT_EQ(Data->FieldCount(), 1);
  EXPECT_EQ(Data->Fields()[0], Form->FindComponent("DataNAME"));
  auto* Grid = dynamic_cast<TDBGrid*>(Form->FindComponent("Grid"));
  ASSERT_NE(Grid, nullptr);
  EXPECT_EQ(Grid->Columns().Items(0)->Title().Caption(), "Town");
  EXPECT_EQ(Grid->VisibleRowCount(), 4); // 90 pixels: a title row and four rows of 18
}

// The controls and fields a form file makes are told only of what they are linked with:
// a grid still lets go of its data source when that goes.
TEST(PackageFormFile, ReadControlsStillHearOfTheirDataSourceGoing) {
  std::unique_ptr<TComponent> Form = ReadForm(CustomerForm);
  auto* Data = dynamic_cast<TEventDataset*>(Form->FindComponent("Data"));
  auto* Grid = dynamic_cast<TDBGrid*>(Form->FindComponent("Grid"));
  ASSERT_TRUE(Data && Grid);
  EXPECT_TRUE(Grid->NotificationsRestrictedToLinks());
  EXPECT_TRUE(Form->FindComponent("DataNAME")->NotificationsRestrictedToLinks());
  EXPECT_FALSE(Data->NotificationsRestrictedToLinks()) << "not registered as keeping the promise";
  delete Form->FindComponent("Source");
  EXPECT_EQ(Grid->DataSource(), nullptr);
  EXPECT_EQ(Data->MasterSource(), nullptr);
}

TEST(PackageFormFile, WrittenTextReadsBackToTheSameText) {
  std::unique_ptr<TComponent> Form = ReadForm(CustomerForm);
  const std::string Written = WriteComponentToText(*Form);
  std::unique_ptr<TComponent> Again = ReadForm(Written);
  EXPECT_EQ(WriteComponentToText(*Again), Written);
  EXPECT_NE(Written.find("'PARAM=CITY,CHAR'"), std::string::npos);
  EXPECT_NE(Written.find("Active = True"), std::string::npos);
}

TEST(PackageFormFile, DialogWrittenBackHoldsItsWholeDescription) {
  TFrmMetaFields Dialog(nullptr);
  const std::string Written = WriteComponentToText(Dialog);
  for (const char* Expected :
       {"object FrmMetaFields: TFrmMetaFields", "Caption = 'Meta Fields Definition'",
        "OnCloseQuery = FormCloseQuery", "AfterScroll = KelvaDS1AfterScroll",
        "object KelvaDS1LENGTH: TSmallintField", "DataSet = KelvaDS1",
        "OnChanging = PageControl1Changing", "Style = csDropDownList", "Default = True",
        "ModalResult = 2"})
    EXPECT_NE(Written.find(Expected), std::string::npos) << Expected;
  // The resource and the text written from it describe the same tree of components.
  TFormObject Resource = ParseFormText(FrmMetaFieldsFormText());
  TFormObject Rewritten = ParseFormText(Written);
  std::function<std::size_t(const TFormObject&)> CountObjects = [&](const TFormObject& Node) {
    std::size_t Count = 1;
    for (const TFormObject& Child : Node.Children) Count += CountObjects(Child);
    return Count;
  };
  EXPECT_EQ(CountObjects(Rewritten), CountObjects(Resource));
}

TEST(PackageFormFile, MalformedFileNamesTheLineAndLeavesNothing) {
  RegisterEditorClasses();
  TComponent Owner(nullptr);
  const std::string Broken = "object F: TForm\n  object D: TEventDataset\n    Active = Maybe\n"
                             "  end\nend\n";
  try {
    ReadComponentFromText(Broken, &Owner);
    FAIL() << "a bad value was accepted";
  } catch (const Exception& E) {
    EXPECT_NE(E.Message().find("Line 3"), std::string::npos) << E.Message();
  }
  EXPECT_EQ(Owner.ComponentCount(), 0);
}

} // namespace
} // namespace kelva
