// kelva_bench: runs the standard workload on Kelva and on SQLite's in-memory database in
// the same program, each run in a child process of its own (so that peak memory is that
// run's), and prints "<system> <op> <N> <median>" lines and the Kelva / SQLite ratios.
//
//   kelva_bench [--n N]... [--runs R] [--skip-slow-sqlite-locate]
#include "Measure.h"
#include "Workload.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

using namespace kelva::bench;

namespace {

struct TOptions {
  std::vector<std::int32_t> Sizes;
  int Runs = 3;
  bool SqliteLocateWithoutIndex = true;
};

TOptions ParseOptions(int argc, char** argv) {
  TOptions Options;
  for (int I = 1; I < argc; ++I) {
    const std::string Arg = argv[I];
    if (Arg == "--n" && I + 1 < argc)
      Options.Sizes.push_back(std::stoi(argv[++I]));
    else if (Arg == "--runs" && I + 1 < argc)
      Options.Runs = std::max(1, std::stoi(argv[++I]));
    else if (Arg == "--skip-slow-sqlite-locate")
      Options.SqliteLocateWithoutIndex = false;
    else
      throw std::invalid_argument("unknown option " + Arg);
  }
  if (Options.Sizes.empty()) Options.Sizes = {100000, 1000000};
  return Options;
}

// Runs one system once in a child process and returns its results.
TResults RunInChild(const std::string& System, std::int32_t Size, const TOptions& Options,
                    const std::string& Directory) {
  int Pipe[2];
  if (::pipe(Pipe) != 0) throw std::runtime_error("pipe failed");
  const pid_t Child = ::fork();
  if (Child == 0) {
    ::close(Pipe[0]);
    int Code = 0;
    try {

      const TResults Results = System == "kelva"
                                   ? RunKelva(Size, Directory)
                                   : RunSqlite(Size, Directory, Options.SqliteLocateWithoutIndex);
      std::ostringstream Out;
      for (const auto& [Op, Value] : Results) Out << Op << ' ' << Value << '\n';
      const std::string Text = Out.str();
      if (::write(Pipe[1], Text.data(), Text.size()) < 0) Code = 1;
    } catch (const std::exception& E) {
      std::cerr << System << " failed: " << E.what() << "\n";
      Code = 1;
    }
    ::close(Pipe[1]);
    ::_exit(Code);
  }
  ::close(Pipe[1]);
  std::string Text;
  char Buffer[4096];
  for (ssize_t Got; (Got = ::read(Pipe[0], Buffer, sizeof Buffer)) > 0;) Text.append(Buffer, Got);
  ::close(Pipe[0]);
  int Status = 0;
  ::waitpid(Child, &Status, 0);
  if (!WIFEXITED(Status) || WEXITSTATUS(Status) != 0)
    throw std::runtime_error(System + " run failed");
  TResults Results;
  std::istringstream In(Text);
  std::string Op;
  double Value;
  while (In >> Op >> Value) Results.emplace_back(Op, Value);
  return Results;
}

struct TSummary {
  double Median, Min, Max;
};

TSummary Summarise(std::vector<double> Values) {
  std::sort(Values.begin(), Values.end());
  const std::size_t N = Values.size();
  const double Median = N % 2 ? Values[N / 2] : (Values[N / 2 - 1] + Values[N / 2]) / 2;
  return {Median, Values.front(), Values.back()};
}

} // namespace

int main(int argc, char** argv) {
  try {
    const TOptions Options = ParseOptions(argc, argv);
    const std::string Directory =
        (std::filesystem::temp_directory_path() / ("kelva-bench-" + std::to_string(::getpid())))
            .string();
    std::filesystem::create_directories(Directory);
    // Summaries[size][system][op]
    std::map<std::int32_t, std::map<std::string, std::map<std::string, TSummary>>> Summaries;
    std::vector<std::string> OpOrder;
    for (std::int32_t Size : Options.Sizes) {
      for (const std::string System : {"kelva", "sqlite"}) {
        std::map<std::string, std::vector<double>> Values;
        for (int Run = 0; Run < Options.Runs; ++Run)
          for (const auto& [Op, Value] : RunInChild(System, Size, Options, Directory)) {
            Values[Op].push_back(Value);
            if (std::find(OpOrder.begin(), OpOrder.end(), Op) == OpOrder.end())
              OpOrder.push_back(Op);
          }
        for (const auto& [Op, List] : Values) {
          const TSummary S = Summarise(List);
          Summaries[Size][System][Op] = S;
          std::printf("%s %s %d %.3f\n", System.c_str(), Op.c_str(), Size, S.Median);
          std::fflush(stdout);
        }
      }
    }
    std::filesystem::remove_all(Directory);

    std::printf("\n%-16s %10s %14s %14s %10s   %s\n", "op", "N", "kelva", "sqlite", "ratio",
                "kelva min..max");
    for (std::int32_t Size : Options.Sizes)
      for (const std::string& Op : OpOrder) {
        auto& Kelva = Summaries[Size]["kelva"];
        auto& Sqlite = Summaries[Size]["sqlite"];
        const bool HasK = Kelva.count(Op) != 0, HasS = Sqlite.count(Op) != 0;
        if (!HasK && !HasS) continue;
        std::printf("%-16s %10d %14.3f %14.3f %10s   ", Op.c_str(), Size,
                    HasK ? Kelva[Op].Median : 0.0, HasS ? Sqlite[Op].Median : 0.0,
                    HasK && HasS && Sqlite[Op].Median > 0
                        ? std::to_string(Kelva[Op].Median / Sqlite[Op].Median).substr(0, 6).c_str()
                        : "-");
        if (HasK) std::printf("%.3f..%.3f", Kelva[Op].Min, Kelva[Op].Max);
        std::printf("\n");
      }
    return 0;
  } catch (const std::exception& E) {
    std::cerr << "kelva_bench: " << E.what() << "\n";
    return 1;
  }
}
