// The SQLite driver, through SQLite's C API.
#include "kelva/framework/db/DBConsts.h"
#include "kelva/framework/rtl/SysUtils.h"
#include "kelva/sql/SqlDriver.h"

#include <sqlite3.h>

#include <cctype>

namespace kelva {

namespace {

[[noreturn]] void Fail(sqlite3* Db, const std::string& What) {
  DatabaseError("SQLite: " + What + ": " + (Db ? sqlite3_errmsg(Db) : "out of memory"));
}

// "VARCHAR(30)" declares 30 characters; other types declare none.
std::int32_t LengthOf(const std::string& Declared) {
  const std::size_t Open = Declared.find('(');
  if (Open == std::string::npos) return 0;
  std::int32_t Length = 0;
  for (std::size_t I = Open + 1;
       I < Declared.size() && std::isdigit(static_cast<unsigned char>(Declared[I])); ++I) {
    Length = Length * 10 + (Declared[I] - '0');
    if (Length > 1000000) return 0;
  }
  return Length;
}

class TSqliteStatement : public TSqlStatement {
public:
  TSqliteStatement(sqlite3* Db, const std::string& SQL) : FDb(Db) {
    const char* Tail = nullptr;
    if (sqlite3_prepare_v2(Db, SQL.c_str(), static_cast<int>(SQL.size()) + 1, &FStatement, &Tail) !=
        SQLITE_OK)
      Fail(Db, "cannot prepare \"" + SQL + "\"");
    if (!FStatement) DatabaseError("SQLite: the statement is empty: \"" + SQL + "\"");
    const int Count = sqlite3_column_count(FStatement);
    for (int I = 0; I < Count; ++I) {
      TSqlColumn Column;
      Column.Name = sqlite3_column_name(FStatement, I);
      if (const char* Declared = sqlite3_column_decltype(FStatement, I)) {
        Column.DeclaredType = UpperCase(Declared);
        Column.DeclaredLength = LengthOf(Column.DeclaredType);
      }
      FColumns.push_back(std::move(Column));
    }
  }
  ~TSqliteStatement() override { sqlite3_finalize(FStatement); }

  std::int32_t ParamCount() const override { return sqlite3_bind_parameter_count(FStatement); }

  void Bind(std::int32_t Index, const Variant& Value) override {
    int Result = SQLITE_OK;
    switch (Value.VarType()) {
    case varEmpty:
    case varNull:
      Result = sqlite3_bind_null(FStatement, Index);
      break;
    case varSmallint:
    case varInteger:
    case varInt64:
      Result = sqlite3_bind_int64(FStatement, Index, Value.AsInt64());
      break;
    case varBoolean:
      Result = sqlite3_bind_int(FStatement, Index, Value.AsBoolean() ? 1 : 0);
      break;
    case varDouble:
      Result = sqlite3_bind_double(FStatement, Index, Value.AsFloat());
      break;
    default: {
      // Text, and the exact text of a currency or a date.
      const std::string Text = Value.AsString();
      Result = sqlite3_bind_text(FStatement, Index, Text.data(), static_cast<int>(Text.size()),
                                 SQLITE_TRANSIENT);
    }
    }
    if (Result != SQLITE_OK) Fail(FDb, "cannot bind parameter " + std::to_string(Index));
  }

  bool Step() override {
    const int Result = sqlite3_step(FStatement);
    if (Result == SQLITE_ROW) return true;
    if (Result == SQLITE_DONE) {
      FRowsAffected = sqlite3_changes64(FDb);
      return false;
    }
    const std::string Message = sqlite3_errmsg(FDb);
    sqlite3_reset(FStatement);
    DatabaseError("SQLite: " + Message);
  }

  void Reset() override { sqlite3_reset(FStatement); }
  std::int32_t ColumnCount() const override { return static_cast<std::int32_t>(FColumns.size()); }
  const TSqlColumn& Column(std::int32_t Index) const override {
    return FColumns.at(static_cast<std::size_t>(Index));
  }
  bool IsNull(std::int32_t Column) const override {
    return sqlite3_column_type(FStatement, Column) == SQLITE_NULL;
  }
  std::string Text(std::int32_t Column) const override {
    switch (sqlite3_column_type(FStatement, Column)) {
    case SQLITE_NULL:
      return {};
    case SQLITE_FLOAT:
      return FloatToStr(sqlite3_column_double(FStatement, Column));
    default: {
      const auto* Data = reinterpret_cast<const char*>(sqlite3_column_text(FStatement, Column));
      return Data ? std::string(Data,
                                static_cast<std::size_t>(sqlite3_column_bytes(FStatement, Column)))
                  : std::string();
    }
    }
  }
  bool ReadInteger(std::int32_t Column, std::int64_t& Value) const override {
    if (sqlite3_column_type(FStatement, Column) != SQLITE_INTEGER) return false;
    Value = sqlite3_column_int64(FStatement, Column);
    return true;
  }
  bool ReadReal(std::int32_t Column, double& Value) const override {
    const int Type = sqlite3_column_type(FStatement, Column);
    if (Type != SQLITE_FLOAT && Type != SQLITE_INTEGER) return false;
    Value = sqlite3_column_double(FStatement, Column);
    return true;
  }
  std::int64_t RowsAffected() const override { return FRowsAffected; }

private:
  sqlite3* FDb;
  sqlite3_stmt* FStatement = nullptr;
  std::vector<TSqlColumn> FColumns;
  std::int64_t FRowsAffected = 0;
};

class TSqliteDriver : public TSqlDriver {
public:
  explicit TSqliteDriver(const std::string& Database) : FName(Database) {
    const int Flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI;
    if (sqlite3_open_v2(Database.c_str(), &FDb, Flags, nullptr) != SQLITE_OK) {
      const std::string Message = FDb ? sqlite3_errmsg(FDb) : "out of memory";
      sqlite3_close(FDb);
      DatabaseError("Cannot open SQLite database '" + Database + "': " + Message);
    }
    // Another connection's write lock is waited for a while instead of failing at once.
    sqlite3_busy_timeout(FDb, 5000);
    sqlite3_extended_result_codes(FDb, 0);
  }
  ~TSqliteDriver() override { sqlite3_close_v2(FDb); }

  std::unique_ptr<TSqlStatement> Prepare(const std::string& SQL) override {
    return std::make_unique<TSqliteStatement>(FDb, SQL);
  }
  char ParamPrefix() const override { return '?'; }
  void Execute(const std::string& SQL) override {
    char* Error = nullptr;
    if (sqlite3_exec(FDb, SQL.c_str(), nullptr, nullptr, &Error) != SQLITE_OK) {
      const std::string Message = Error ? Error : sqlite3_errmsg(FDb);
      sqlite3_free(Error);
      DatabaseError("SQLite: " + Message);
    }
  }
  std::string NullSafeEquals(const std::string& Column, const std::string& Param) const override {
    return Column + " IS " + Param;
  }
  std::string ByteLength(const std::string& Expression) const override {
    return "length(CAST(" + Expression + " AS BLOB))";
  }
  std::string Name() const override { return FName; }

private:
  std::string FName;
  sqlite3* FDb = nullptr;
};

} // namespace

std::unique_ptr<TSqlDriver> OpenSqliteDriver(const std::string& Database) {
  return std::make_unique<TSqliteDriver>(Database);
}

} // namespace kelva
