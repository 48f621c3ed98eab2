// Generating the benchmark workload.
#include "Workload.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace kelva::bench {

namespace {
const char* const Cities[50] = {
    "Amsterdam", "Athens",    "Barcelona", "Berlin",     "Bern",      "Bratislava", "Brussels",
    "Bucharest", "Budapest",  "Cologne",   "Copenhagen", "Dublin",    "Edinburgh",  "Florence",
    "Frankfurt", "Geneva",    "Genoa",     "Hamburg",    "Helsinki",  "Kiev",       "Krakow",
    "Lisbon",    "Ljubljana", "London",    "Luxembourg", "Lyon",      "Madrid",     "Marseille",
    "Milan",     "Minsk",     "Monaco",    "Moscow",     "Munich",    "Naples",     "Nice",
    "Oslo",      "Paris",     "Porto",     "Prague",     "Reykjavik", "Riga",       "Rome",
    "Seville",   "Sofia",     "Stockholm", "Tallinn",    "Turin",     "Valencia",   "Vienna",
    "Warsaw"};

constexpr std::chrono::sys_days Epoch{std::chrono::year{1990} / 1 / 1};
} // namespace

void TRecordStream::Next(TRecord& Record) {
  char Name[16];
  std::snprintf(Name, sizeof Name, "N%08u", FRandom.Draw() % 100000000u);
  Record.Name = Name;
  Record.City = Cities[FRandom.Draw() % 50];
  Record.Age = 18 + static_cast<std::int32_t>(FRandom.Draw() % 63);
  Record.Salary = (2000000 + FRandom.Draw() % 18000000) / 100.0;
  Record.HiredDay = static_cast<std::int32_t>(FRandom.Draw() % 13149);
}

std::vector<std::string> NamesAt(const std::vector<std::int32_t>& Indices) {
  const std::int32_t Last =
      Indices.empty() ? -1 : *std::max_element(Indices.begin(), Indices.end());
  std::vector<std::string> ByIndex(static_cast<std::size_t>(Last + 1));
  std::vector<bool> Wanted(ByIndex.size(), false);
  for (std::int32_t Index : Indices) Wanted[static_cast<std::size_t>(Index)] = true;
  TRecordStream Stream;
  TRecord Record;
  for (std::int32_t I = 0; I <= Last; ++I) {
    Stream.Next(Record);
    if (Wanted[static_cast<std::size_t>(I)]) ByIndex[static_cast<std::size_t>(I)] = Record.Name;
  }
  std::vector<std::string> Names;
  for (std::int32_t Index : Indices) Names.push_back(ByIndex[static_cast<std::size_t>(Index)]);
  return Names;
}

std::vector<std::int32_t> LocateIndices(std::int32_t Count) {
  TGenerator Random(777);
  std::vector<std::int32_t> Indices(1000);
  for (std::int32_t& Index : Indices)
    Index = static_cast<std::int32_t>(Random.Draw() % static_cast<std::uint32_t>(Count));
  return Indices;
}

std::vector<std::int32_t> RecNoPositions(std::int32_t Count) {
  TGenerator Random(4242);
  std::vector<std::int32_t> Positions(10000);
  for (std::int32_t& Position : Positions)
    Position = static_cast<std::int32_t>(Random.Draw() % static_cast<std::uint32_t>(Count)) + 1;
  return Positions;
}

std::string IsoDate(std::int32_t Day) {
  const std::chrono::year_month_day Date{Epoch + std::chrono::days{Day}};
  char Text[16];
  std::snprintf(Text, sizeof Text, "%04d-%02u-%02u", static_cast<int>(Date.year()),
                static_cast<unsigned>(Date.month()), static_cast<unsigned>(Date.day()));
  return Text;
}

std::int32_t DayFromIso(const char* Text) {
  int Year = 0;
  unsigned Month = 0, Day = 0;
  std::sscanf(Text, "%d-%u-%u", &Year, &Month, &Day);
  const std::chrono::sys_days Date{std::chrono::year{Year} / Month / Day};
  return static_cast<std::int32_t>((Date - Epoch).count());
}

} // namespace kelva::bench
