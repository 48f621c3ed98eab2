// The setting of the data-aware control tests: a shown form whose control follows a small
// text table (columns Name and Fruit) through a data source, and a button elsewhere on the
// form to move the focus to.
#pragma once

#include "FormsTestSupport.h"
#include "StringTable.h"

#include "kelva/framework/db/DataSource.h"
#include "kelva/framework/db/Fields.h"
#include "kelva/framework/forms/Forms.h"
#include "kelva/framework/forms/StdCtrls.h"

#include <gtest/gtest.h>

namespace kelva::formstest {

class DataFormTest : public ::testing::Test {
protected:
  DataFormTest() {
    Source.SetDataSet(&Table);
    Elsewhere->SetParent(&Form); // the first tab stop: it has the focus when the form shows
  }

  // Places Control on the form, bound to the table, then fills and opens the table.
  template <class TControlClass>
  TControlClass* Place(TControlClass* Control, std::vector<std::vector<std::string>> Rows) {
    Control->SetParent(&Form);
    Control->SetDataSource(&Source);
    for (auto& Row : Rows) Table.AddRow(std::move(Row));
    Table.Open();
    Form.Show();
    return Control;
  }

  std::string CurrentName() { return Table.FieldByName("Name")->AsString(); }
  std::vector<std::string> StoredNames() const { return Table.Column(0); }

  TStringTable Table{std::vector<std::string>{"Name", "Fruit"}};
  TDataSource Source{nullptr};
  TForm Form{nullptr};
  TButton* Elsewhere = new TButton(&Form);
};

using Texts = std::vector<std::string>;

} // namespace kelva::formstest
