// The interface every database driver gives the bridge: a connection that prepares
// statements, and statements whose values are bound, never pasted into the SQL text.
#pragma once

#include "kelva/framework/rtl/Variant.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kelva {

// A column of a result as the database declares it.
struct TSqlColumn {
  std::string Name;
  std::string DeclaredType;        // as written in the table's definition, upper case; may be empty
  std::int32_t DeclaredLength = 0; // a declared text length (VARCHAR(30) gives 30), else 0
};

class TSqlStatement {
public:
  virtual ~TSqlStatement() = default;
  // Parameters are numbered from 1 in the order they appear in the text.
  virtual std::int32_t ParamCount() const = 0;
  // A value of any kind but an array; a boolean, a date or a currency is written the way
  // the database stores it. Binding keeps no reference to Value.
  virtual void Bind(std::int32_t Index, const Variant& Value) = 0;
  // Runs the statement the first time, then moves to the next row: false when there is no
  // (further) row. A statement that returns no rows is done after the first call.
  virtual bool Step() = 0;
  // Makes the statement ready to run again, keeping its bound values.
  virtual void Reset() = 0;
  virtual std::int32_t ColumnCount() const = 0;
  virtual const TSqlColumn& Column(std::int32_t Index) const = 0;
  virtual bool IsNull(std::int32_t Column) const = 0;
  // The value of a column of the current row as text ('.' as the decimal point; dates as
  // YYYY-MM-DD, times as HH:MM:SS[.fff]); empty for a null.
  virtual std::string Text(std::int32_t Column) const = 0;
  // The column as a number when the database holds one there (not as text): the loader
  // then skips a round trip through text. False leaves the caller to read Text.
  virtual bool ReadInteger(std::int32_t, std::int64_t&) const { return false; }
  virtual bool ReadReal(std::int32_t, double&) const { return false; }
  // The rows the last run of an INSERT, UPDATE or DELETE touched.
  virtual std::int64_t RowsAffected() const = 0;
};

class TSqlDriver {
public:
  virtual ~TSqlDriver() = default;
  // Prepares SQL whose parameters are numbered with ParamPrefix ($1, $2, ... or ?1, ?2, ...;
  // the connection rewrites ? and :name into that form).
  virtual std::unique_ptr<TSqlStatement> Prepare(const std::string& SQL) = 0;
  virtual char ParamPrefix() const = 0;
  virtual void Execute(const std::string& SQL) = 0;
  // "Column = Param" that is also true when both are null, in this database's words.
  virtual std::string NullSafeEquals(const std::string& Column, const std::string& Param) const = 0;
  // The length in bytes of Expression's text, in this database's words.
  virtual std::string ByteLength(const std::string& Expression) const = 0;
  virtual std::string Name() const = 0;
};

// The drivers, opened on Database (a file name or ":memory:"; a libpq connection string).
std::unique_ptr<TSqlDriver> OpenSqliteDriver(const std::string& Database);
std::unique_ptr<TSqlDriver> OpenPostgresDriver(const std::string& Database);

} // namespace kelva
