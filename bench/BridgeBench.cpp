// The database bridge against hand-written code on the same database: opening a dataset on
// the standard workload's table against a loop that steps the same query into a vector of
// structs, and applying 100,000 modified records against a loop of one prepared UPDATE in
// one transaction. SQLite in a file always; PostgreSQL when --pg names a server.
//
//   kelva_bridge_bench [--n N] [--runs R] [--pg "host=... dbname=..."]
#include "Measure.h"
#include "Workload.h"

#include "kelva/sql/SqlDatasetBridge.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <unistd.h>

namespace kelva::bench {
namespace {

struct TRow {
  std::int64_t Id;
  std::string Name;
  std::string City;
  std::int32_t Age;
  double Salary;
  std::string Hired;
};

std::unique_ptr<TSqlConnection> Connect(TSqlDriverKind Kind, const std::string& Database) {
  auto Connection = std::make_unique<TSqlConnection>(nullptr);
  Connection->SetDriverKind(Kind);
  Connection->SetDatabase(Database);
  Connection->Open();
  return Connection;
}

void FillTable(TSqlConnection& Connection, std::int32_t Count) {
  Connection.ExecuteDirect("DROP TABLE IF EXISTS people");
  Connection.ExecuteDirect("CREATE TABLE people (id INTEGER PRIMARY KEY, name VARCHAR(25), "
                           "city VARCHAR(20), age INTEGER, salary DOUBLE PRECISION, hired DATE)");
  Connection.StartTransaction();
  auto Insert = Connection.Prepare("INSERT INTO people VALUES (?, ?, ?, ?, ?, ?)");
  TRecordStream Stream;
  TRecord Record;
  for (std::int32_t I = 1; I <= Count; ++I) {
    Stream.Next(Record);
    TSqlStatement& S = Insert->Statement();
    S.Reset();
    S.Bind(1, I);
    S.Bind(2, Record.Name);
    S.Bind(3, Record.City);
    S.Bind(4, Record.Age);
    S.Bind(5, Record.Salary);
    S.Bind(6, IsoDate(Record.HiredDay));
    S.Step();
  }
  Connection.Commit();
}

double PlainLoad(TSqlConnection& Connection, std::int32_t Count) {
  std::vector<TRow> Rows;
  return TimeMs([&] {
    Rows.reserve(static_cast<std::size_t>(Count));
    auto Select = Connection.Prepare("SELECT id, name, city, age, salary, hired FROM people");
    TSqlStatement& S = Select->Statement();
    while (S.Step())
      Rows.push_back({std::stoll(S.Text(0)), S.Text(1), S.Text(2), std::stoi(S.Text(3)),
                      std::stod(S.Text(4)), S.Text(5)});
  });
}

void Describe(TEventDataset& Data) {
  TStringList Lines;
  Lines.Add("FIELD=ID,INTEGER,0");
  for (const char* Line : FieldDescriptions) Lines.Add(Line);
  Data.SetKLVFields(Lines);
}

double BridgeLoad(TSqlConnection& Connection, TEventDataset& Data, TSqlDatasetBridge& Bridge) {
  Bridge.SetConnection(&Connection);
  Bridge.SetDataSet(&Data);
  Bridge.SetTableName("people");
  Bridge.SetKeyFields("ID");
  Describe(Data);
  return TimeMs([&] { Bridge.Open(); });
}

// Every tenth record gets a new salary: 100,000 of a million.
double PlainUpdate(TSqlConnection& Connection, std::int32_t Count) {
  return TimeMs([&] {
    Connection.StartTransaction();
    auto Update = Connection.Prepare("UPDATE people SET salary = ? WHERE id = ?");
    for (std::int32_t Id = 1; Id <= Count; Id += 10) {
      TSqlStatement& S = Update->Statement();
      S.Reset();
      S.Bind(1, 1000.5 + Id);
      S.Bind(2, Id);
      S.Step();
    }
    Connection.Commit();
  });
}

double BridgeApply(TEventDataset& Data, TSqlDatasetBridge& Bridge) {
  Data.SetCachedUpdates(true);
  TField* Id = Data.FieldByName("ID");
  TField* Salary = Data.FieldByName("SALARY");
  Data.DisableControls();
  for (Data.First(); !Data.Eof(); Data.MoveBy(10)) {
    Data.Edit();
    Salary->SetAsFloat(2000.5 + Id->AsInteger());
    Data.Post();
  }
  Data.EnableControls();
  return TimeMs([&] { Bridge.ApplyUpdates(); });
}

struct TFigures {
  std::vector<double> PlainLoad, BridgeLoad, PlainUpdate, BridgeApply;
};

double Median(std::vector<double> Values) {
  std::sort(Values.begin(), Values.end());
  return Values[Values.size() / 2];
}

void Report(const char* Database, std::int32_t Count, const TFigures& F) {
  const auto Line = [&](const char* Op, const std::vector<double>& Bridge,
                        const std::vector<double>& Plain) {
    std::printf("%-10s %-8s %9d %12.1f %12.1f %8.3f   bridge %.1f..%.1f\n", Database, Op, Count,
                Median(Bridge), Median(Plain), Median(Bridge) / Median(Plain),
                *std::min_element(Bridge.begin(), Bridge.end()),
                *std::max_element(Bridge.begin(), Bridge.end()));
  };
  Line("open", F.BridgeLoad, F.PlainLoad);
  Line("apply", F.BridgeApply, F.PlainUpdate);
}

void Run(const char* Label, TSqlDriverKind Kind, const std::string& Database, std::int32_t Count,
         int Runs) {
  TFigures Figures;
  for (int Run = 0; Run < Runs; ++Run) {
    auto Connection = Connect(Kind, Database);
    FillTable(*Connection, Count);
    Figures.PlainLoad.push_back(PlainLoad(*Connection, Count));
    Figures.PlainUpdate.push_back(PlainUpdate(*Connection, Count));
    TEventDataset Data(nullptr);
    TSqlDatasetBridge Bridge(nullptr);
    Figures.BridgeLoad.push_back(BridgeLoad(*Connection, Data, Bridge));
    Figures.BridgeApply.push_back(BridgeApply(Data, Bridge));
    if (Data.UpDatesPending()) throw std::runtime_error("the apply left changes pending");
  }
  Report(Label, Count, Figures);
}

} // namespace
} // namespace kelva::bench

int main(int argc, char** argv) {
  using namespace kelva::bench;
  try {
    std::int32_t Count = 1000000;
    std::int32_t PgCount = 100000;
    int Runs = 3;
    std::string Pg;
    for (int I = 1; I + 1 < argc; I += 2) {
      if (!std::strcmp(argv[I], "--n"))
        Count = PgCount = std::stoi(argv[I + 1]);
      else if (!std::strcmp(argv[I], "--runs"))
        Runs = std::stoi(argv[I + 1]);
      else if (!std::strcmp(argv[I], "--pg"))
        Pg = argv[I + 1];
      else
        throw std::runtime_error(std::string("unknown option ") + argv[I]);
    }
    const auto Folder = std::filesystem::temp_directory_path() /
                        ("kelva-bridge-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(Folder);
    std::printf("%-10s %-8s %9s %12s %12s %8s   (ms, medians of %d runs)\n", "database", "op", "N",
                "bridge", "plain", "ratio", Runs);
    Run("sqlite", kelva::sdSQLite, (Folder / "bench.db").string(), Count, Runs);
    std::filesystem::remove_all(Folder);
    if (!Pg.empty()) Run("postgresql", kelva::sdPostgreSQL, Pg, PgCount, Runs);
    return 0;
  } catch (const std::exception& E) {
    std::cerr << "kelva_bridge_bench: " << E.what() << "\n";
    return 1;
  }
}
