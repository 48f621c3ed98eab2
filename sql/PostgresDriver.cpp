// The PostgreSQL driver, through libpq. Statements are prepared on the server; results are
// read a row at a time (single-row mode), so a large result is never held twice.
#include "kelva/framework/db/DBConsts.h"
#include "kelva/framework/rtl/SysUtils.h"
#include "kelva/sql/SqlDriver.h"

#include <libpq-fe.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <optional>

namespace kelva {

namespace {

std::string Trimmed(const char* Message) {
  std::string Text = Message ? Message : "";
  while (!Text.empty() && (Text.back() == '\n' || Text.back() == ' ')) Text.pop_back();
  return Text;
}

// The type names the bridge maps to its type words, by the server's type identifiers.
std::string TypeName(Oid Type) {
  switch (Type) {
  case 16:
    return "BOOLEAN";
  case 20:
    return "BIGINT";
  case 21:
    return "SMALLINT";
  case 23:
    return "INTEGER";
  case 700:
    return "REAL";
  case 701:
    return "DOUBLE PRECISION";
  case 1700:
    return "NUMERIC";
  case 1042:
    return "CHAR";
  case 1043:
    return "VARCHAR";
  case 25:
    return "TEXT";
  case 1082:
    return "DATE";
  case 1083:
    return "TIME";
  case 1114:
    return "TIMESTAMP";
  case 1184:
    return "TIMESTAMPTZ";
  default:
    return "";
  }
}

class TPostgresStatement : public TSqlStatement {
public:
  TPostgresStatement(PGconn* Connection, const std::string& SQL, std::int64_t Number)
      : FConnection(Connection), FName("kelva_" + std::to_string(Number)) {
    PGresult* Prepared = PQprepare(Connection, FName.c_str(), SQL.c_str(), 0, nullptr);
    Check(Prepared, "cannot prepare \"" + SQL + "\"");
    PQclear(Prepared);
    PGresult* Described = PQdescribePrepared(Connection, FName.c_str());
    Check(Described, "cannot describe \"" + SQL + "\"");
    FParams.resize(static_cast<std::size_t>(PQnparams(Described)));
    for (int I = 0; I < PQnfields(Described); ++I) {
      TSqlColumn Column;
      Column.Name = PQfname(Described, I);
      Column.DeclaredType = TypeName(PQftype(Described, I));
      const int Modifier = PQfmod(Described, I);
      if ((PQftype(Described, I) == 1043 || PQftype(Described, I) == 1042) && Modifier > 4)
        Column.DeclaredLength = Modifier - 4;
      FTypes.push_back(PQftype(Described, I));
      FColumns.push_back(std::move(Column));
    }
    PQclear(Described);
  }
  ~TPostgresStatement() override {
    Drain();
    if (PQstatus(FConnection) == CONNECTION_OK) {
      PGresult* Result = PQexec(FConnection, ("DEALLOCATE " + FName).c_str());
      PQclear(Result);
    }
  }

  std::int32_t ParamCount() const override { return static_cast<std::int32_t>(FParams.size()); }

  void Bind(std::int32_t Index, const Variant& Value) override {
    if (Index < 1 || Index > ParamCount())
      DatabaseError("PostgreSQL: no parameter " + std::to_string(Index));
    std::optional<std::string>& Param = FParams[static_cast<std::size_t>(Index - 1)];
    switch (Value.VarType()) {
    case varEmpty:
    case varNull:
      Param.reset();
      break;
    case varBoolean:
      Param = Value.AsBoolean() ? "true" : "false";
      break;
    case varDouble: {
      char Text[32];
      std::snprintf(Text, sizeof Text, "%.17g", Value.AsFloat());
      Param = Text;
      break;
    }
    default:
      Param = Value.AsString();
    }
  }

  bool Step() override {
    if (!FRunning) Start();
    if (FDone) return false;
    ClearRow();
    FRow = PQgetResult(FConnection);
    if (!FRow) {
      FDone = true;
      return false;
    }
    switch (PQresultStatus(FRow)) {
    case PGRES_SINGLE_TUPLE:
      return true;
    case PGRES_TUPLES_OK:
    case PGRES_COMMAND_OK: {
      const char* Tuples = PQcmdTuples(FRow);
      FRowsAffected = Tuples && *Tuples ? std::stoll(Tuples) : 0;
      ClearRow();
      Drain();
      FDone = true;
      return false;
    }
    default: {
      const std::string Message = Trimmed(PQresultErrorMessage(FRow));
      ClearRow();
      Drain();
      FDone = true;
      DatabaseError("PostgreSQL: " + Message);
    }
    }
  }

  void Reset() override {
    Drain();
    ClearRow();
    FRunning = false;
    FDone = false;
  }

  std::int32_t ColumnCount() const override { return static_cast<std::int32_t>(FColumns.size()); }
  const TSqlColumn& Column(std::int32_t Index) const override {
    return FColumns.at(static_cast<std::size_t>(Index));
  }
  bool IsNull(std::int32_t Column) const override { return !FRow || PQgetisnull(FRow, 0, Column); }
  std::string Text(std::int32_t Column) const override {
    if (IsNull(Column)) return {};
    std::string Value(PQgetvalue(FRow, 0, Column),
                      static_cast<std::size_t>(PQgetlength(FRow, 0, Column)));
    const Oid Type = FTypes[static_cast<std::size_t>(Column)];
    // Times carry microseconds; the dataset keeps milliseconds.
    if (Type == 1083 || Type == 1114 || Type == 1184) {
      const std::size_t Dot = Value.find('.', Value.find(':'));
      if (Dot != std::string::npos) {
        std::size_t End = Dot + 1;
        while (End < Value.size() && std::isdigit(static_cast<unsigned char>(Value[End]))) ++End;
        const std::string Fraction = Value.substr(Dot + 1, std::min<std::size_t>(3, End - Dot - 1));
        Value = Value.substr(0, Dot) + (Fraction.empty() ? "" : "." + Fraction) + Value.substr(End);
      }
    }
    return Value;
  }
  std::int64_t RowsAffected() const override { return FRowsAffected; }

private:
  void Check(PGresult* Result, const std::string& What) {
    const ExecStatusType Status = Result ? PQresultStatus(Result) : PGRES_FATAL_ERROR;
    if (Status == PGRES_COMMAND_OK || Status == PGRES_TUPLES_OK) return;
    const std::string Message =
        Trimmed(Result ? PQresultErrorMessage(Result) : PQerrorMessage(FConnection));
    PQclear(Result);
    DatabaseError("PostgreSQL: " + What + ": " + Message);
  }
  void Start() {
    std::vector<const char*> Values;
    for (const auto& Param : FParams) Values.push_back(Param ? Param->c_str() : nullptr);
    if (!PQsendQueryPrepared(FConnection, FName.c_str(), static_cast<int>(Values.size()),
                             Values.data(), nullptr, nullptr, 0))
      DatabaseError("PostgreSQL: " + Trimmed(PQerrorMessage(FConnection)));
    PQsetSingleRowMode(FConnection);
    FRunning = true;
    FDone = false;
  }
  // Reads what is left of a running statement's results, so the connection is free again.
  void Drain() {
    if (!FRunning || FDone) return;
    while (PGresult* Rest = PQgetResult(FConnection)) PQclear(Rest);
    FDone = true;
  }
  void ClearRow() {
    PQclear(FRow);
    FRow = nullptr;
  }

  PGconn* FConnection;
  std::string FName;
  std::vector<std::optional<std::string>> FParams;
  std::vector<TSqlColumn> FColumns;
  std::vector<Oid> FTypes;
  PGresult* FRow = nullptr;
  bool FRunning = false;
  bool FDone = false;
  std::int64_t FRowsAffected = 0;
};

class TPostgresDriver : public TSqlDriver {
public:
  explicit TPostgresDriver(const std::string& Database) : FName(Database) {
    FConnection = PQconnectdb(Database.c_str());
    if (PQstatus(FConnection) != CONNECTION_OK) {
      const std::string Message = Trimmed(PQerrorMessage(FConnection));
      PQfinish(FConnection);
      DatabaseError("Cannot connect to PostgreSQL database '" + Database + "': " + Message);
    }
    // Dates and times are read and written in ISO form whatever the server's settings.
    Execute("SET DateStyle = ISO, YMD");
    Execute("SET client_encoding = 'UTF8'");
  }
  ~TPostgresDriver() override { PQfinish(FConnection); }

  std::unique_ptr<TSqlStatement> Prepare(const std::string& SQL) override {
    CheckConnection();
    return std::make_unique<TPostgresStatement>(FConnection, SQL, ++FStatements);
  }
  char ParamPrefix() const override { return '$'; }
  void Execute(const std::string& SQL) override {
    CheckConnection();
    PGresult* Result = PQexec(FConnection, SQL.c_str());
    const ExecStatusType Status = Result ? PQresultStatus(Result) : PGRES_FATAL_ERROR;
    if (Status != PGRES_COMMAND_OK && Status != PGRES_TUPLES_OK) {
      const std::string Message =
          Trimmed(Result ? PQresultErrorMessage(Result) : PQerrorMessage(FConnection));
      PQclear(Result);
      DatabaseError("PostgreSQL: " + Message);
    }
    PQclear(Result);
  }
  std::string NullSafeEquals(const std::string& Column, const std::string& Param) const override {
    return Column + " IS NOT DISTINCT FROM " + Param;
  }
  std::string ByteLength(const std::string& Expression) const override {
    return "octet_length(CAST(" + Expression + " AS TEXT))";
  }
  std::string Name() const override { return FName; }

private:
  // A lost connection is never quietly opened again: a transaction running on it is gone,
  // and what follows must fail rather than run outside it.
  void CheckConnection() {
    if (PQstatus(FConnection) != CONNECTION_OK)
      DatabaseError("PostgreSQL: the connection to '" + FName +
                    "' is lost: " + Trimmed(PQerrorMessage(FConnection)));
  }

  std::string FName;
  PGconn* FConnection = nullptr;
  std::int64_t FStatements = 0;
};

} // namespace

std::unique_ptr<TSqlDriver> OpenPostgresDriver(const std::string& Database) {
  return std::make_unique<TPostgresDriver>(Database);
}

} // namespace kelva
