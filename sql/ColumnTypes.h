// From a database column to a field description of the dataset: the type word its declared
// type maps to, and the description lines for a whole result.
#pragma once

#include "kelva/sql/SqlDriver.h"

#include <string>
#include <vector>

namespace kelva {

// The type word for a declared type ("VARCHAR(30)" is CHAR, "BIGINT" INTEGER, ...); CHAR for
// types the dataset has no closer word for, and for columns without a declared type.
std::string TypeWordOf(const std::string& DeclaredType);

// "FIELD=NAME,CHAR,30" for each column. A CHAR column is as wide as its declared length or
// its widest value in bytes (WidestValues[i], from the data), whichever is more (a declared
// length counts characters, which may take several bytes each), else DefaultCharWidth.
std::vector<std::string> DescribeColumns(const std::vector<TSqlColumn>& Columns,
                                         const std::vector<std::int32_t>& WidestValues,
                                         std::int32_t DefaultCharWidth);

} // namespace kelva
