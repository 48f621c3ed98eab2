// Timing and memory readings for the benchmark: a monotonic stopwatch, the process's peak
// resident memory, and the list of (operation, value) results one run produces.
#pragma once

#include <chrono>
#include <cstdint>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace kelva::bench {

using TResults = std::vector<std::pair<std::string, double>>;

// Runs Body and returns the milliseconds it took.
template <class Body>
double TimeMs(Body&& Run) {
  const auto Start = std::chrono::steady_clock::now();
  Run();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - Start)
      .count();
}

// Peak resident memory of this process (VmHWM), in MB.
inline double PeakMemoryMb() {
  std::ifstream Status("/proc/self/status");
  std::string Line;
  while (std::getline(Status, Line))
    if (Line.rfind("VmHWM:", 0) == 0) return std::stod(Line.substr(6)) / 1024.0;
  return 0;
}

TResults RunKelva(std::int32_t Count, const std::string& Directory);
TResults RunSqlite(std::int32_t Count, const std::string& Directory, bool LocateWithoutIndex);

} // namespace kelva::bench
