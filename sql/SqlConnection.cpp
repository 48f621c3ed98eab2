// The connection component: driver choice, transactions and prepared queries.
#include "kelva/sql/SqlConnection.h"

#include "kelva/framework/db/DBConsts.h"
#include "kelva/framework/rtl/SysUtils.h"
#include "kelva/sql/SqlText.h"

namespace kelva {

bool TSqlQuery::BindByName(const std::string& Name, const Variant& Value) {
  const std::string Wanted = UpperCase(Name);
  bool Bound = false;
  for (std::size_t I = 0; I < FParamNames.size(); ++I)
    if (FParamNames[I] == Wanted) {
      FStatement->Bind(static_cast<std::int32_t>(I + 1), Value);
      Bound = true;
    }
  return Bound;
}

TSqlConnection::TSqlConnection(TComponent* AOwner) : TComponent(AOwner) {}

TSqlConnection::~TSqlConnection() {
  try {
    Close();
  } catch (...) {
    // A connection that cannot even roll back is gone either way.
  }
}

void TSqlConnection::CheckDisconnected() const {
  if (Connected()) DatabaseError("Cannot change the database of an open connection");
}

void TSqlConnection::SetDriverKind(TSqlDriverKind Value) {
  CheckDisconnected();
  FDriverKind = Value;
}

void TSqlConnection::SetDatabase(const std::string& Value) {
  CheckDisconnected();
  FDatabase = Value;
}

void TSqlConnection::SetConnected(bool Value) {
  if (Value == Connected()) return;
  if (Value) {
    if (FDatabase.empty()) DatabaseError("No database is named for connection " + Name());
    FDriver = FDriverKind == sdSQLite ? OpenSqliteDriver(FDatabase) : OpenPostgresDriver(FDatabase);
    return;
  }
  std::unique_ptr<TSqlDriver> Closing = std::move(FDriver);
  if (FInTransaction) {
    FInTransaction = false;
    Closing->Execute("ROLLBACK");
  }
}

std::string TSqlConnection::ByteLength(const std::string& Expression) const {
  return Driver().ByteLength(Expression);
}

TSqlDriver& TSqlConnection::Driver() const {
  if (!FDriver) DatabaseError("Connection " + Name() + " is not open");
  return *FDriver;
}

void TSqlConnection::StartTransaction() {
  if (FInTransaction) DatabaseError("A transaction is already active");
  Driver().Execute("BEGIN");
  FInTransaction = true;
}

void TSqlConnection::Commit() {
  if (!FInTransaction) DatabaseError("No transaction is active");
  Driver().Execute("COMMIT");
  FInTransaction = false;
}

void TSqlConnection::Rollback() {
  if (!FInTransaction) DatabaseError("No transaction is active");
  FInTransaction = false;
  Driver().Execute("ROLLBACK");
}

std::unique_ptr<TSqlQuery> TSqlConnection::Prepare(const std::string& SQL) {
  TSqlDriver& TheDriver = Driver();
  TSqlParsed Parsed = ParseSqlParameters(SQL, TheDriver.ParamPrefix());
  return std::make_unique<TSqlQuery>(TheDriver.Prepare(Parsed.SQL), std::move(Parsed.ParamNames));
}

void TSqlConnection::ExecuteDirect(const std::string& SQL) {
  Driver().Execute(SQL);
}

std::string TSqlConnection::NullSafeEquals(const std::string& Column,
                                           const std::string& Param) const {
  return Driver().NullSafeEquals(Column, Param);
}

} // namespace kelva
