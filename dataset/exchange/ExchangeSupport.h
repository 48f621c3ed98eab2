// What the exchange formats share: rows of values checked in full before the first one is
// stored in a Kelva dataset (so a bad input loads nothing), a walk over the visible
// records of any dataset, and buffered stream input and output.
#pragma once

#include "kelva/framework/rtl/Variant.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kelva {

class TDataSet;
class TField;
class TKelvaDataset;
class TStream;

// The fields of DataSet that hold stored data (no calculated or lookup fields), in order.
std::vector<TField*> DataFields(TDataSet& DataSet);

// Opens Target when it is closed and makes sure it can take raw records now: it must be
// browsing its standard view. Raises EDatabaseError otherwise.
void PrepareImportTarget(TKelvaDataset& Target);

// Rows bound for a dataset. Every value is converted and checked as it is added; nothing
// reaches the dataset until LoadInto, which stores them all.
class TKlvStagedRows {
public:
  explicit TKlvStagedRows(std::vector<TField*> Columns) : FColumns(std::move(Columns)) {}

  const std::vector<TField*>& Columns() const { return FColumns; }
  std::size_t Count() const { return FColumns.empty() ? 0 : FValues.size() / FColumns.size(); }

  // Adds a row of one value per column (null for a column the input does not give).
  // A value that does not fit its field raises "<Where>: field 'NAME': <reason>".
  void AddRow(std::vector<Variant> Row, const std::string& Where);

  // Appends every row to Target by raw loading, keeping their order. Raises before storing
  // anything when Target has too few record identifiers left for them all.
  void LoadInto(TKelvaDataset& Target) const;

private:
  std::vector<TField*> FColumns;
  std::vector<Variant> FValues; // row after row
};

// Calls Visit with every record of DataSet's current view that is visible (filter
// included), first to last, then returns to the record that was current. DataSet must be
// open and browsing; its controls are not repainted during the walk.
void ForEachVisibleRecord(TDataSet& DataSet, const std::function<void()>& Visit);

// Reads Stream from its position to its end.
std::string ReadWholeStream(TStream& Stream);

// Collects text and writes it to a stream in large pieces.
class TKlvTextOutput {
public:
  explicit TKlvTextOutput(TStream& Stream) : FStream(Stream) {}
  void Append(std::string_view Text);
  void Flush();

private:
  TStream& FStream;
  std::string FPending;
};

// Writes a file through a replacement: the old file stays until Write has finished.
void WriteFileReplacing(const std::string& FileName, const std::function<void(TStream&)>& Write);

} // namespace kelva
