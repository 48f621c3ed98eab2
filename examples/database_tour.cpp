// A dataset on a SQLite table: open it in three lines, edit with cached updates, write the
// changes back in one transaction, and see a conflict with another user reported per record.
#include <kelva/sql/SqlDatasetBridge.h>

#include <cstdio>
#include <filesystem>

using namespace kelva;

int main() {
  const std::string File =
      (std::filesystem::temp_directory_path() / "kelva-database-tour.db").string();
  std::filesystem::remove(File);
  TSqlConnection Db(nullptr);
  Db.SetDatabase(File);
  Db.Open();
  Db.ExecuteDirect("CREATE TABLE customers (id INTEGER PRIMARY KEY, name VARCHAR(25), "
                   "city VARCHAR(20))");
  Db.ExecuteDirect("INSERT INTO customers (name, city) VALUES ('Ann', 'Oslo'), "
                   "('Bob', 'Lima'), ('Cleo', 'Rome')");

  // The three lines: connect the bridge, name the table and its key, open.
  TEventDataset Customers(nullptr);
  TSqlDatasetBridge Bridge(nullptr);
  Bridge.SetConnection(&Db);
  Bridge.SetDataSet(&Customers);
  Bridge.SetTableName("customers");
  Bridge.SetKeyFields("ID");
  Bridge.Open();
  std::printf("Opened %d customers; fields:", Customers.RecordCount());
  for (std::int32_t I = 0; I < Customers.MetaFields().Count(); ++I)
    std::printf(" %s", Customers.MetaFields()[I].c_str());
  std::printf("\n");

  Customers.SetCachedUpdates(true);
  Customers.Locate("NAME", "Bob", {});
  Customers.Edit();
  Customers.FieldByName("CITY")->SetAsString("Quito");
  Customers.Post();
  Customers.Append();
  Customers.FieldByName("NAME")->SetAsString("Dan"); // the database gives him his key
  Customers.Post();
  Bridge.ApplyUpdates();
  Customers.Locate("NAME", "Dan", {});
  std::printf("Applied: Dan has the key %d, nothing is pending: %s\n",
              Customers.FieldByName("ID")->AsInteger(), Customers.UpDatesPending() ? "no" : "yes");

  // Another user changes Ann's city; this dataset changes her city too. Comparing the
  // changed fields' original values notices the other change.
  TSqlConnection Other(nullptr);
  Other.SetDatabase(File);
  Other.Open();
  Other.ExecuteDirect("UPDATE customers SET city = 'Bergen' WHERE name = 'Ann'");
  Bridge.SetUpdateMode(upWhereChanged);
  Bridge.SetMaxErrors(-1);
  Bridge.OnApplyError = [](TSqlDatasetBridge*, TKelvaDataset* Data, TSqlUpdateKind,
                           const std::string& Message, TSqlErrorAction& Action) {
    std::printf("Not applied: %s (%s)\n", Data->FieldByName("NAME")->AsString().c_str(),
                Message.c_str());
    Action = eaSkip;
  };
  Customers.Locate("NAME", "Ann", {});
  Customers.Edit();
  Customers.FieldByName("CITY")->SetAsString("Paris");
  Customers.Post();
  const std::int32_t Failed = Bridge.ApplyUpdates();
  std::printf("%d record failed and stays pending: %s\n", Failed,
              Customers.UpDatesPending() ? "yes" : "no");
  Other.Close();
  Customers.Close();
  Db.Close();
  std::filesystem::remove(File);
  return 0;
}
