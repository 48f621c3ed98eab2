// Design time without a screen: the package registers itself, a dataset is selected in the
// object inspector, and its field descriptions are edited in the dialog by a scripted
// "developer". The form holding the dataset is then written as a form file.
#include "kelva/editors/KelvaReg.h"
#include "kelva/editors/MetaFieldsForm.h"
#include "kelva/framework/design/DesignerHost.h"
#include "kelva/framework/rtl/FormWriter.h"

#include <iostream>

using namespace kelva;

int main() {
  Register();
  TForm Module(nullptr);
  Module.SetName("PeopleForm");
  auto* People = new TEventDataset(&Module); // owned by the form
  People->SetName("People");

  TDesignerHost Designer(&Module);
  Designer.Select(People);
  TObjectInspector Inspector(Designer);
  for (const TInspectorRow& Row : Inspector.Rows())
    if (Row.Name == "MetaFields" || Row.Name == "ParamsDesc")
      std::cout << Row.Name << " = " << Row.Value << "\n";

  // What the developer does in the dialog: type the lines on the text page, press OK.
  TScriptedDriver Developer{[](TForm& Form) {
    auto& Dialog = dynamic_cast<TFrmMetaFields&>(Form);
    Dialog.PageControl1->SelectPage(Dialog.TextPage);
    Dialog.mmoFields->TypeText("FIELD=NAME,CHAR,25\nFIELD=AGE,INTEGER,0");
    Dialog.PageControl1->SelectPage(Dialog.FieldsPage); // checked and shown in the grid
    Dialog.Button1->Click();                            // OK
  }};
  TModalDriverScope Scope(Developer);
  Inspector.Edit("MetaFields"); // the ellipsis button

  std::cout << "\nMetaFields now:\n" << People->MetaFields().Text() << "\n";
  std::cout << WriteComponentToText(Module);
  return 0;
}
