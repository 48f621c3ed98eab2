// JSON output: "[", one object per record on a line of its own, "]".
#include "kelva/dataset/exchange/JsonWriter.h"

#include "kelva/dataset/KelvaDataset.h"
#include "kelva/dataset/exchange/ExchangeSupport.h"
#include "kelva/dataset/exchange/ExchangeValues.h"

#include <cstdio>

namespace kelva {

std::string JsonStringLiteral(const std::string& Text) {
  std::string Literal = "\"";
  for (char C : Text) {
    switch (C) {
    case '"':
      Literal += "\\\"";
      break;
    case '\\':
      Literal += "\\\\";
      break;
    case '\n':
      Literal += "\\n";
      break;
    case '\r':
      Literal += "\\r";
      break;
    case '\t':
      Literal += "\\t";
      break;
    default:
      if (static_cast<unsigned char>(C) < 0x20) {
        char Escape[8];
        std::snprintf(Escape, sizeof Escape, "\\u%04x", static_cast<unsigned>(C));
        Literal += Escape;
      } else {
        Literal += C;
      }
    }
  }
  return Literal + "\"";
}

void ExportJson(TKelvaDataset& DataSet, TStream& Stream) {
  const std::vector<TField*> Fields = DataFields(DataSet);
  std::vector<std::string> Keys;
  for (TField* Field : Fields) Keys.push_back(JsonStringLiteral(Field->FieldName()) + ": ");
  TKlvTextOutput Out(Stream);
  Out.Append("[");
  bool First = true;
  ForEachVisibleRecord(DataSet, [&] {
    Out.Append(First ? "\n  {" : ",\n  {");
    First = false;
    for (std::size_t I = 0; I < Fields.size(); ++I) {
      if (I > 0) Out.Append(", ");
      Out.Append(Keys[I]);
      const TField& Field = *Fields[I];
      if (Field.IsNull())
        Out.Append("null");
      else if (ValueShapeOf(Field) == vsText)
        Out.Append(JsonStringLiteral(ExchangeText(Field)));
      else
        Out.Append(ExchangeText(Field));
    }
    Out.Append("}");
  });
  Out.Append(First ? "]\n" : "\n]\n");
  Out.Flush();
}

void ExportJsonFile(TKelvaDataset& DataSet, const std::string& FileName) {
  WriteFileReplacing(FileName, [&](TStream& Stream) { ExportJson(DataSet, Stream); });
}

} // namespace kelva
