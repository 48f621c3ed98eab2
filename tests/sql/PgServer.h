#pragma once
// How a test reaches the throwaway PostgreSQL server the test command starts for the suite
// (the PostgreSQL fixture of tests/CMakeLists.txt, through tests/sql/pg_cluster.sh): the libpq
// connection string, from the variables the fixture gives each test that requires it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace kelva::testing {

// A value for a libpq connection string, quoted so that blanks, quotes and backslashes in it
// survive.
inline std::string PgQuoted(const std::string& Value) {
  std::string Quoted = "'";
  for (char C : Value) {
    if (C == '\'' || C == '\\') Quoted += '\\';
    Quoted += C;
  }
  return Quoted + "'";
}

// Fills ConnectionString, or fails naming the variable that is missing: a test must never
// pass or skip quietly because the server was not started for it.
inline ::testing::AssertionResult ReadPgConnectionString(std::string& ConnectionString) {
  struct TSetting {
    const char* Variable;
    const char* Keyword;
  };
  static const TSetting Settings[] = {{"KELVA_PG_SOCKET_DIR", "host"},
                                      {"KELVA_PG_PORT", "port"},
                                      {"KELVA_PG_DATABASE", "dbname"},
                                      {"KELVA_PG_USER", "user"}};
  ConnectionString.clear();
  for (const TSetting& Setting : Settings) {
    const char* Value = std::getenv(Setting.Variable);
    if (Value == nullptr || *Value == '\0')
      return ::testing::AssertionFailure()
             << Setting.Variable
             << " is not set: the PostgreSQL fixture (test postgres_cluster_start) did not run "
                "for this test. Run it through ctest (e.g. ctest -R <test name>), which starts "
                "the server first.";
    if (!ConnectionString.empty()) ConnectionString += ' ';
    ConnectionString += std::string(Setting.Keyword) + '=' + PgQuoted(Value);
  }
  return ::testing::AssertionSuccess();
}

// Base of the tests that need the server: each fails in SetUp, before its body runs, when the
// server was not started for it.
class PgServerTest : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(ReadPgConnectionString(ConnectionString)); }

  std::string ConnectionString;
};

} // namespace kelva::testing
