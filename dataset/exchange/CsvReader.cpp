// CSV input: splits the text into records (quoted fields may hold separators, doubled
// quotes and line breaks), maps the header to fields, and stages every row before loading.
#include "kelva/dataset/exchange/CsvReader.h"

#include "kelva/dataset/KelvaDataset.h"
#include "kelva/dataset/exchange/ExchangeSupport.h"
#include "kelva/dataset/exchange/ExchangeValues.h"

namespace kelva {

namespace {

[[noreturn]] void LineError(std::int32_t Line, const std::string& Reason) {
  DatabaseError("line " + std::to_string(Line) + ": " + Reason);
}

struct TCsvRecord {
  std::vector<std::string> Cells;
  std::int32_t Line = 0; // where the record starts
};

// Cuts CSV text into records. CRLF, LF and a lone CR all end a line.
class TCsvSplitter {
public:
  TCsvSplitter(std::string_view Text, char Separator) : FText(Text), FSeparator(Separator) {
    if (FText.substr(0, 3) == "\xEF\xBB\xBF") FPos = 3;
  }

  bool Next(TCsvRecord& Record) {
    if (FPos >= FText.size()) return false;
    Record.Cells.clear();
    Record.Line = FLine;
    for (;;) {
      Record.Cells.push_back(At('"') ? QuotedCell(Record.Line) : PlainCell(Record.Line));
      if (FPos >= FText.size()) return true;
      if (FText[FPos] == FSeparator) {
        ++FPos;
        continue;
      }
      SkipLineEnd();
      return true;
    }
  }

private:
  bool At(char C) const { return FPos < FText.size() && FText[FPos] == C; }
  bool AtLineEnd() const { return At('\r') || At('\n'); }

  void SkipLineEnd() {
    if (At('\r')) ++FPos;
    if (At('\n')) ++FPos;
    ++FLine;
  }

  std::string PlainCell(std::int32_t RecordLine) {
    const std::size_t Start = FPos;
    while (FPos < FText.size() && FText[FPos] != FSeparator && !AtLineEnd()) {
      if (FText[FPos] == '"') LineError(RecordLine, "a quote inside an unquoted field");
      ++FPos;
    }
    return std::string(FText.substr(Start, FPos - Start));
  }

  std::string QuotedCell(std::int32_t RecordLine) {
    std::string Cell;
    ++FPos; // the opening quote
    for (;;) {
      if (FPos >= FText.size()) LineError(RecordLine, "a quoted field is not terminated");
      const char C = FText[FPos];
      if (C == '"') {
        ++FPos;
        if (!At('"')) break;
        Cell += '"';
        ++FPos;
      } else if (AtLineEnd()) {
        // The line break belongs to the value; the line count goes on.
        const std::size_t Start = FPos;
        SkipLineEnd();
        Cell.append(FText.substr(Start, FPos - Start));
      } else {
        Cell += C;
        ++FPos;
      }
    }
    if (FPos < FText.size() && FText[FPos] != FSeparator && !AtLineEnd())
      LineError(RecordLine, "text after the closing quote of a field");
    return Cell;
  }

  std::string_view FText;
  char FSeparator;
  std::size_t FPos = 0;
  std::int32_t FLine = 1;
};

// The field each column of the header names.
std::vector<std::size_t> MapHeader(const TCsvRecord& Header, const std::vector<TField*>& Fields) {
  std::vector<std::size_t> Columns;
  std::vector<bool> Taken(Fields.size(), false);
  for (std::size_t I = 0; I < Header.Cells.size(); ++I) {
    const std::string& Name = Header.Cells[I];
    if (Name.empty()) LineError(Header.Line, "column " + std::to_string(I + 1) + " has no name");
    std::size_t Found = Fields.size();
    for (std::size_t F = 0; F < Fields.size(); ++F)
      if (AnsiSameText(Fields[F]->FieldName(), Name)) Found = F;
    if (Found == Fields.size()) LineError(Header.Line, "unknown column '" + Name + "'");
    if (Taken[Found]) LineError(Header.Line, "column '" + Name + "' appears twice");
    Taken[Found] = true;
    Columns.push_back(Found);
  }
  return Columns;
}

} // namespace

void ImportCsv(TKelvaDataset& DataSet, TStream& Stream, const TCsvOptions& Options) {
  CheckCsvOptions(Options);
  const std::string Text = ReadWholeStream(Stream);
  PrepareImportTarget(DataSet);
  TKlvStagedRows Rows(DataFields(DataSet));
  TCsvSplitter Splitter(Text, Options.Separator);
  TCsvRecord Record;
  if (!Splitter.Next(Record)) LineError(1, "the header row naming the columns is missing");
  const std::vector<std::size_t> Columns = MapHeader(Record, Rows.Columns());
  while (Splitter.Next(Record)) {
    if (Record.Cells.size() != Columns.size())
      LineError(Record.Line, std::to_string(Record.Cells.size()) + " fields where the header has " +
                                 std::to_string(Columns.size()));
    std::vector<Variant> Row(Rows.Columns().size(), Null());
    for (std::size_t I = 0; I < Columns.size(); ++I) {
      const TField& Field = *Rows.Columns()[Columns[I]];
      std::string Reason;
      if (!Record.Cells[I].empty() &&
          !ParseExchangeText(Field, Record.Cells[I], Row[Columns[I]], Reason))
        LineError(Record.Line, "field '" + Field.FieldName() + "': " + Reason);
    }
    Rows.AddRow(std::move(Row), "line " + std::to_string(Record.Line));
  }
  Rows.LoadInto(DataSet);
}

void ImportCsvFile(TKelvaDataset& DataSet, const std::string& FileName,
                   const TCsvOptions& Options) {
  TFileStream File(FileName, fmOpenRead);
  ImportCsv(DataSet, File, Options);
}

} // namespace kelva
