// The choices a CSV file is written and read with.
#pragma once

namespace kelva {

struct TCsvOptions {
  // Between the fields of a record; any character but a quote or a line break.
  char Separator = ',';
};

// Raises EDatabaseError when Options cannot describe a readable CSV file.
void CheckCsvOptions(const TCsvOptions& Options);

} // namespace kelva
