// TSqlConnection: a connection to a database, SQLite (a file, or ":memory:") or PostgreSQL
// (a libpq connection string), with transactions and prepared statements. Values only ever
// reach the database as bound parameters; SQL text may name them "?" or ":name".
#pragma once

#include "kelva/framework/rtl/Component.h"
#include "kelva/sql/SqlDriver.h"

#include <memory>
#include <string>

namespace kelva {

enum TSqlDriverKind : std::uint8_t { sdSQLite, sdPostgreSQL };

// A prepared statement with the parameter names of its text.
class TSqlQuery {
public:
  TSqlQuery(std::unique_ptr<TSqlStatement> Statement, std::vector<std::string> ParamNames)
      : FStatement(std::move(Statement)), FParamNames(std::move(ParamNames)) {}
  TSqlStatement& Statement() { return *FStatement; }
  const std::vector<std::string>& ParamNames() const { return FParamNames; }
  // Binds Value to every parameter named Name (case-insensitive); false when none is.
  bool BindByName(const std::string& Name, const Variant& Value);

private:
  std::unique_ptr<TSqlStatement> FStatement;
  std::vector<std::string> FParamNames;
};

class TSqlConnection : public TComponent {
public:
  explicit TSqlConnection(TComponent* AOwner);
  ~TSqlConnection() override;

  TSqlDriverKind DriverKind() const { return FDriverKind; }
  void SetDriverKind(TSqlDriverKind Value);
  // The file name for SQLite, the connection string for PostgreSQL.
  const std::string& Database() const { return FDatabase; }
  void SetDatabase(const std::string& Value);

  bool Connected() const { return FDriver != nullptr; }
  void SetConnected(bool Value);
  void Open() { SetConnected(true); }
  // Closing rolls back a transaction that is still open.
  void Close() { SetConnected(false); }

  void StartTransaction();
  void Commit();
  void Rollback();
  bool InTransaction() const { return FInTransaction; }

  std::unique_ptr<TSqlQuery> Prepare(const std::string& SQL);
  // Runs SQL that takes no parameters and returns no rows (DDL, for instance).
  void ExecuteDirect(const std::string& SQL);
  // "Column = Param" that is also true when both are null.
  std::string NullSafeEquals(const std::string& Column, const std::string& Param) const;
  // The length in bytes of Expression's text.
  std::string ByteLength(const std::string& Expression) const;

  TSqlDriver& Driver() const;

private:
  void CheckDisconnected() const;

  TSqlDriverKind FDriverKind = sdSQLite;
  std::string FDatabase;
  std::unique_ptr<TSqlDriver> FDriver;
  bool FInTransaction = false;
};

} // namespace kelva
