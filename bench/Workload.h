// The standard benchmark workload: five-field records from a 64-bit linear congruential
// generator, the locate keys and the record-number positions, the same for every system.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kelva::bench {

class TGenerator {
public:
  explicit TGenerator(std::uint64_t Seed) : FState(Seed) {}
  // The top 31 bits of the next state.
  std::uint32_t Draw() {
    FState = FState * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<std::uint32_t>(FState >> 33);
  }

private:
  std::uint64_t FState;
};

struct TRecord {
  std::string Name;
  std::string City;
  std::int32_t Age;
  double Salary;
  std::int32_t HiredDay; // days after 1990-01-01
};

// Generates the Count records one after another (no record is kept, so that peak memory
// measures the system under test, not the workload).
class TRecordStream {
public:
  TRecordStream() : FRandom(20240601) {}
  void Next(TRecord& Record);

private:
  TGenerator FRandom;
};
// The names of the records at Indices, in that order.
std::vector<std::string> NamesAt(const std::vector<std::int32_t>& Indices);
std::vector<std::int32_t> LocateIndices(std::int32_t Count);  // 1,000 record indices
std::vector<std::int32_t> RecNoPositions(std::int32_t Count); // 10,000 1-based numbers
// 1990-01-01 plus Day days as "yyyy-mm-dd".
std::string IsoDate(std::int32_t Day);
// The inverse of IsoDate, as the scan of the SQL side needs it.
std::int32_t DayFromIso(const char* Text);

inline const char* const FieldDescriptions[] = {"FIELD=NAME,CHAR,25", "FIELD=CITY,CHAR,20",
                                                "FIELD=AGE,INTEGER,0", "FIELD=SALARY,FLOAT,0",
                                                "FIELD=HIRED,DATE,0"};

} // namespace kelva::bench
