// Proves the PostgreSQL fixture: the tests reach this build's own throwaway server through
// its socket, and values bound to a prepared statement make the round trip unchanged.
#include "PgServer.h"

#include <libpq-fe.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kelva::pg_cluster_tests {
namespace {

using TRow = std::vector<std::optional<std::string>>; // nullopt is SQL NULL
using TResult = std::unique_ptr<PGresult, decltype(&PQclear)>;

class PgCluster : public kelva::testing::PgServerTest {
protected:
  void SetUp() override {
    PgServerTest::SetUp();
    if (HasFatalFailure()) return;
    Connection.reset(PQconnectdb(ConnectionString.c_str()));
    ASSERT_EQ(PQstatus(Connection.get()), CONNECTION_OK) << PQerrorMessage(Connection.get());
  }

  // The rows of a finished statement; the test fails with the server's message otherwise.
  static std::vector<TRow> RowsOf(PGresult* Raw) {
    TResult Result(Raw, &PQclear);
    ExecStatusType Status = PQresultStatus(Result.get());
    if (Status != PGRES_COMMAND_OK && Status != PGRES_TUPLES_OK) {
      ADD_FAILURE() << PQresStatus(Status) << ": " << PQresultErrorMessage(Result.get());
      return {};
    }
    std::vector<TRow> Rows(PQntuples(Result.get()));
    for (int R = 0; R < PQntuples(Result.get()); ++R)
      for (int C = 0; C < PQnfields(Result.get()); ++C)
        Rows[R].push_back(PQgetisnull(Result.get(), R, C)
                              ? std::nullopt
                              : std::optional<std::string>(PQgetvalue(Result.get(), R, C)));
    return Rows;
  }

  std::vector<TRow> Query(const char* Sql) { return RowsOf(PQexec(Connection.get(), Sql)); }

  std::unique_ptr<PGconn, decltype(&PQfinish)> Connection{nullptr, &PQfinish};
};

TEST_F(PgCluster, IsThisBuildsThrowawayServerReachedThroughItsSocket) {
  // inet_server_addr() is NULL on a Unix socket connection.
  std::vector<TRow> Expected = {{std::getenv("KELVA_PG_DATABASE"), std::getenv("KELVA_PG_USER"),
                                 std::getenv("KELVA_PG_SOCKET_DIR"), "", "off", std::nullopt}};
  EXPECT_EQ(Query("SELECT current_database(), current_user,"
                  " current_setting('unix_socket_directories'),"
                  " current_setting('listen_addresses'), current_setting('fsync'),"
                  " inet_server_addr()::text"),
            Expected);
}

TEST_F(PgCluster, BoundValuesRoundTripThroughAPreparedInsert) {
  // Inside a transaction that is rolled back, so that the test leaves nothing behind.
  Query("BEGIN");
  Query("CREATE TABLE pg_cluster_probe (id integer PRIMARY KEY, name text, note text)");
  RowsOf(PQprepare(Connection.get(), "insert_probe",
                   "INSERT INTO pg_cluster_probe VALUES ($1, $2, $3)", 3, nullptr));
  // Values that would break the statement, or be changed, if they were pasted into its text.
  const std::vector<TRow> Rows = {{"1", "O'Brien'); DROP TABLE pg_cluster_probe; --", std::nullopt},
                                  {"2", "Zo\xC3\xAB \xE2\x9C\x93", "two\nlines"},
                                  {"3", "", "back\\slash"}};
  for (const TRow& Row : Rows) {
    const char* Values[3];
    for (int C = 0; C < 3; ++C) Values[C] = Row[C] ? Row[C]->c_str() : nullptr;
    RowsOf(PQexecPrepared(Connection.get(), "insert_probe", 3, Values, nullptr, nullptr, 0));
  }
  EXPECT_EQ(Query("SELECT id, name, note FROM pg_cluster_probe ORDER BY id"), Rows);
  Query("ROLLBACK");
}

} // namespace
} // namespace kelva::pg_cluster_tests
