// Mapping declared column types to the dataset's type words.
#include "kelva/sql/ColumnTypes.h"

#include <algorithm>

namespace kelva {

namespace {

bool Has(const std::string& Text, const char* Part) {
  return Text.find(Part) != std::string::npos;
}

} // namespace

std::string TypeWordOf(const std::string& DeclaredType) {
  const std::string& T = DeclaredType;
  if (T.empty()) return "CHAR";
  if (Has(T, "BOOL")) return "BOOLEAN";
  if (Has(T, "SMALLINT") || Has(T, "INT2") || Has(T, "TINYINT")) return "SMALLINT";
  if (Has(T, "INT")) return "INTEGER";
  if (Has(T, "NUMERIC") || Has(T, "DECIMAL") || Has(T, "MONEY")) return "BCD";
  if (Has(T, "REAL") || Has(T, "FLOA") || Has(T, "DOUB")) return "FLOAT";
  if (Has(T, "TIMESTAMP") || Has(T, "DATETIME")) return "DATETIME";
  if (Has(T, "DATE")) return "DATE";
  if (Has(T, "TIME")) return "TIME";
  return "CHAR";
}

std::vector<std::string> DescribeColumns(const std::vector<TSqlColumn>& Columns,
                                         const std::vector<std::int32_t>& WidestValues,
                                         std::int32_t DefaultCharWidth) {
  std::vector<std::string> Lines;
  for (std::size_t I = 0; I < Columns.size(); ++I) {
    const TSqlColumn& Column = Columns[I];
    const std::string Word = TypeWordOf(Column.DeclaredType);
    std::int32_t Length = 0;
    if (Word == "CHAR") {
      Length = Column.DeclaredLength;
      if (I < WidestValues.size()) Length = std::max(Length, WidestValues[I]);
      if (Length <= 0) Length = DefaultCharWidth;
    }
    Lines.push_back("FIELD=" + Column.Name + "," + Word + "," + std::to_string(Length));
  }
  return Lines;
}

} // namespace kelva
