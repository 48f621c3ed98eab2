// CSV output: the header row, then the visible records, each field in its exchange text.
#include "kelva/dataset/exchange/CsvWriter.h"

#include "kelva/dataset/KelvaDataset.h"
#include "kelva/dataset/exchange/ExchangeSupport.h"
#include "kelva/dataset/exchange/ExchangeValues.h"

namespace kelva {

void CheckCsvOptions(const TCsvOptions& Options) {
  const char S = Options.Separator;
  if (S == '"' || S == '\r' || S == '\n' || S == '\0' || static_cast<unsigned char>(S) >= 0x80)
    DatabaseError("A CSV separator must be an ASCII character other than a quote or a line break");
}

namespace {

void AppendCell(TKlvTextOutput& Out, const std::string& Text, char Separator) {
  const char Special[] = {Separator, '"', '\r', '\n', '\0'};
  if (Text.find_first_of(Special) == std::string::npos) {
    Out.Append(Text);
    return;
  }
  std::string Quoted = "\"";
  for (char C : Text) {
    if (C == '"') Quoted += '"';
    Quoted += C;
  }
  Quoted += '"';
  Out.Append(Quoted);
}

} // namespace

void ExportCsv(TKelvaDataset& DataSet, TStream& Stream, const TCsvOptions& Options) {
  CheckCsvOptions(Options);
  const std::string Separator(1, Options.Separator);
  const std::vector<TField*> Fields = DataFields(DataSet);
  TKlvTextOutput Out(Stream);
  for (std::size_t I = 0; I < Fields.size(); ++I) {
    if (I > 0) Out.Append(Separator);
    AppendCell(Out, Fields[I]->FieldName(), Options.Separator);
  }
  Out.Append("\r\n");
  ForEachVisibleRecord(DataSet, [&] {
    for (std::size_t I = 0; I < Fields.size(); ++I) {
      if (I > 0) Out.Append(Separator);
      const TField& Field = *Fields[I];
      if (Field.IsNull()) continue;
      if (Field.DataType() == ftBoolean)
        Out.Append(Field.AsBoolean() ? "True" : "False");
      else
        AppendCell(Out, ExchangeText(Field), Options.Separator);
    }
    Out.Append("\r\n");
  });
  Out.Flush();
}

void ExportCsvFile(TKelvaDataset& DataSet, const std::string& FileName,
                   const TCsvOptions& Options) {
  CheckCsvOptions(Options);
  WriteFileReplacing(FileName, [&](TStream& Stream) { ExportCsv(DataSet, Stream, Options); });
}

} // namespace kelva
