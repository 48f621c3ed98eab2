// The same workload on SQLite's in-memory database through its C API.
#include "Measure.h"
#include "Workload.h"

#include <sqlite3.h>

#include <filesystem>
#include <stdexcept>

namespace kelva::bench {

namespace {

volatile double Sink;

void Check(int Code, sqlite3* Db) {
  if (Code != SQLITE_OK && Code != SQLITE_DONE && Code != SQLITE_ROW)
    throw std::runtime_error(sqlite3_errmsg(Db));
}

void Exec(sqlite3* Db, const char* Sql) {
  Check(sqlite3_exec(Db, Sql, nullptr, nullptr, nullptr), Db);
}

// A prepared statement that finalizes itself.
class TStatement {
public:
  TStatement(sqlite3* Db, const char* Sql) : FDb(Db) {
    Check(sqlite3_prepare_v2(Db, Sql, -1, &FStatement, nullptr), Db);
  }
  ~TStatement() { sqlite3_finalize(FStatement); }
  sqlite3_stmt* operator*() const { return FStatement; }
  bool Step() {
    const int Code = sqlite3_step(FStatement);
    Check(Code, FDb);
    return Code == SQLITE_ROW;
  }
  void Reset() { sqlite3_reset(FStatement); }

private:
  sqlite3* FDb;
  sqlite3_stmt* FStatement = nullptr;
};

double WalkRows(TStatement& Select) {
  double Total = 0;
  while (Select.Step()) {
    const auto* Name = sqlite3_column_text(*Select, 0);
    const auto* City = sqlite3_column_text(*Select, 1);
    Total += sqlite3_column_int(*Select, 2) + sqlite3_column_double(*Select, 3) +
             DayFromIso(reinterpret_cast<const char*>(sqlite3_column_text(*Select, 4))) +
             (Name ? Name[0] : 0) + (City ? City[0] : 0);
  }
  return Total;
}

double LocateAll(sqlite3* Db, const std::vector<std::string>& Keys) {
  TStatement Find(Db, "SELECT NAME, CITY, AGE, SALARY, HIRED FROM T WHERE NAME = ? LIMIT 1");
  return TimeMs([&] {
    std::size_t Found = 0;
    for (const std::string& Key : Keys) {
      sqlite3_bind_text(*Find, 1, Key.c_str(), -1, SQLITE_STATIC);
      if (Find.Step()) Found += static_cast<std::size_t>(sqlite3_column_bytes(*Find, 0));
      Find.Reset();
    }
    Sink = static_cast<double>(Found);
  });
}

} // namespace

TResults RunSqlite(std::int32_t Count, const std::string& Directory, bool LocateWithoutIndex) {
  TResults Results;
  const std::vector<std::string> Keys = NamesAt(LocateIndices(Count));
  sqlite3* Db = nullptr;
  sqlite3_open(":memory:", &Db);
  Exec(Db, "CREATE TABLE T (NAME TEXT, CITY TEXT, AGE INTEGER, SALARY REAL, HIRED TEXT)");

  Results.emplace_back("load", TimeMs([&] {
                         Exec(Db, "BEGIN");
                         TStatement Insert(Db, "INSERT INTO T VALUES (?, ?, ?, ?, ?)");
                         TRecordStream Stream;
                         TRecord Record;
                         for (std::int32_t I = 0; I < Count; ++I) {
                           Stream.Next(Record);
                           const std::string Hired = IsoDate(Record.HiredDay);
                           sqlite3_bind_text(*Insert, 1, Record.Name.c_str(), -1, SQLITE_STATIC);
                           sqlite3_bind_text(*Insert, 2, Record.City.c_str(), -1, SQLITE_STATIC);
                           sqlite3_bind_int(*Insert, 3, Record.Age);
                           sqlite3_bind_double(*Insert, 4, Record.Salary);
                           sqlite3_bind_text(*Insert, 5, Hired.c_str(), -1, SQLITE_TRANSIENT);
                           Insert.Step();
                           Insert.Reset();
                         }
                         Exec(Db, "COMMIT");
                       }));
  Results.emplace_back("mem_after_load", PeakMemoryMb());

  Results.emplace_back("scan", TimeMs([&] {
                         TStatement Select(
                             Db, "SELECT NAME, CITY, AGE, SALARY, HIRED FROM T ORDER BY rowid");
                         Sink = WalkRows(Select);
                       }));
  Results.emplace_back("sort", TimeMs([&] {
                         TStatement Select(
                             Db, "SELECT NAME, CITY, AGE, SALARY, HIRED FROM T ORDER BY NAME");
                         Sink = WalkRows(Select);
                       }));

  if (LocateWithoutIndex) Results.emplace_back("locate", LocateAll(Db, Keys));
  Results.emplace_back("index_create", TimeMs([&] { Exec(Db, "CREATE INDEX T_NAME ON T(NAME)"); }));
  Results.emplace_back("locate_indexed", LocateAll(Db, Keys));
  Exec(Db, "DROP INDEX T_NAME");

  Results.emplace_back("edit", TimeMs([&] {
                         Exec(Db, "BEGIN");
                         TStatement Update(Db, "UPDATE T SET AGE = AGE + 1 WHERE rowid = ?");
                         for (std::int32_t Row = 1; Row <= Count; Row += 10) {
                           sqlite3_bind_int(*Update, 1, Row);
                           Update.Step();
                           Update.Reset();
                         }
                         Exec(Db, "COMMIT");
                       }));

  const std::vector<std::int32_t> Positions = RecNoPositions(Count);
  Results.emplace_back("recno", TimeMs([&] {
                         TStatement Select(Db, "SELECT NAME FROM T WHERE rowid = ?");
                         std::size_t Total = 0;
                         for (std::int32_t Position : Positions) {
                           sqlite3_bind_int(*Select, 1, Position);
                           if (Select.Step())
                             Total += static_cast<std::size_t>(sqlite3_column_bytes(*Select, 0));
                           Select.Reset();
                         }
                         Sink = static_cast<double>(Total);
                       }));

  const std::string FileName = Directory + "/sqlite.db";
  std::filesystem::remove(FileName);
  Results.emplace_back("save",
                       TimeMs([&] { Exec(Db, ("VACUUM INTO '" + FileName + "'").c_str()); }));
  Results.emplace_back("file_size",
                       static_cast<double>(std::filesystem::file_size(FileName)) / (1024 * 1024));
  Results.emplace_back("reload", TimeMs([&] {
                         sqlite3 *File = nullptr, *Memory = nullptr;
                         sqlite3_open(FileName.c_str(), &File);
                         sqlite3_open(":memory:", &Memory);
                         sqlite3_backup* Backup = sqlite3_backup_init(Memory, "main", File, "main");
                         sqlite3_backup_step(Backup, -1);
                         sqlite3_backup_finish(Backup);
                         sqlite3_close(File);
                         sqlite3_close(Memory);
                       }));
  std::filesystem::remove(FileName);

  Results.emplace_back("delete", TimeMs([&] {
                         Exec(Db, "BEGIN");
                         TStatement Delete(Db, "DELETE FROM T WHERE rowid = ?");
                         const std::int32_t Step = Count / 100;
                         for (std::int32_t I = 0; I < 100 && Step > 0; ++I) {
                           sqlite3_bind_int(*Delete, 1, Count - I * Step);
                           Delete.Step();
                           Delete.Reset();
                         }
                         Exec(Db, "COMMIT");
                       }));
  sqlite3_close(Db);
  return Results;
}

} // namespace kelva::bench
