// A connection that dies in the middle of an apply: the server ends the bridge's session while
// it writes the second record. The apply fails, the server keeps nothing of it and every
// change stays pending in the dataset.
#include "sql/BridgeFixture.h"

namespace kelva::sql_test {
namespace {

using LostConnection = BridgeTest;

TEST_P(LostConnection, AnApplyWhoseConnectionDiesFailsAndLosesNothing) {
  // Updating a customer to the name KILL makes the server end the writing session.
  Other->ExecuteDirect("CREATE OR REPLACE FUNCTION kelva_kill() RETURNS trigger AS $$ BEGIN "
                       "IF NEW.name = 'KILL' THEN PERFORM pg_terminate_backend(pg_backend_pid()); "
                       "END IF; RETURN NEW; END $$ LANGUAGE plpgsql");
  Other->ExecuteDirect("CREATE TRIGGER kelva_kill BEFORE UPDATE ON customers FOR EACH ROW "
                       "EXECUTE FUNCTION kelva_kill()");
  Bridge->SetMaxErrors(-1); // even a bridge that tolerates any failed record fails here
  OpenCached();
  Locate(1);
  Data->Edit();
  Data->FieldByName("NAME")->SetAsString("Anna");
  Data->Post();
  Locate(3);
  Data->Edit();
  Data->FieldByName("NAME")->SetAsString("KILL");
  Data->Post();
  bool Failed = false;
  try {
    Bridge->ApplyUpdates();
  } catch (const EDatabaseError& E) {
    Failed = true;
    EXPECT_NE(std::string(E.Message()).find("PostgreSQL"), std::string::npos) << E.Message();
  }
  EXPECT_TRUE(Failed);
  EXPECT_EQ(Names(), (Rows{"1|Ann|Oslo", "2|O'Brien \"Bob\"|Zürich", "3|Cleo|null"}));
  Data->SetBrowseBuffer(brModified);
  EXPECT_EQ(Data->RecordCount(), 2);
  Data->SetBrowseBuffer(brStandard);
  Other->ExecuteDirect("DROP TRIGGER kelva_kill ON customers");
}

INSTANTIATE_TEST_SUITE_P(Drivers, LostConnection, ::testing::Values(sdPostgreSQL), DriverName);

} // namespace
} // namespace kelva::sql_test
