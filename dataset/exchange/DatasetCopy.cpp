// CopyDataset: reads the source's visible records into staged rows, checks them all, then
// loads them into the Kelva dataset; describes the target from the source when needed.
#include "kelva/dataset/exchange/DatasetCopy.h"

#include "kelva/dataset/KelvaDataset.h"
#include "kelva/dataset/exchange/ExchangeSupport.h"
#include "kelva/dataset/exchange/ExchangeValues.h"

namespace kelva {

namespace {

// The type word for a framework field type, or null when there is none.
const char* TypeWordFor(TFieldType Type) {
  switch (Type) {
  case ftString:
    return "CHAR";
  case ftSmallint:
    return "SMALLINT";
  case ftInteger:
  case ftWord:
  case ftAutoInc:
    return "INTEGER";
  case ftBoolean:
    return "BOOLEAN";
  case ftFloat:
  case ftCurrency:
    return "FLOAT";
  case ftBCD:
    return "BCD";
  case ftDate:
    return "DATE";
  case ftTime:
    return "TIME";
  case ftDateTime:
    return "DATETIME";
  default:
    return nullptr;
  }
}

} // namespace

void DescribeFieldsOf(TDataSet& Source, TStrings& Lines) {
  if (!Source.Active()) DatabaseError("Cannot describe the fields of a closed dataset");
  Lines.Clear();
  for (TField* Field : DataFields(Source)) {
    const std::string& Name = Field->FieldName();
    // A description line is "FIELD=NAME,TYPE,LENGTH": its separators cannot be in a name,
    // and blanks at either end would be trimmed away.
    if (Name.empty() || Name.find_first_of(",=\r\n") != std::string::npos || Trim(Name) != Name)
      DatabaseError("Field '" + Name +
                    "' cannot be described: its name does not fit a field "
                    "description");
    const char* Word = TypeWordFor(Field->DataType());
    if (!Word) DatabaseError("Field '" + Name + "' cannot be described: its type has no match");
    const std::int32_t Length = Field->DataType() == ftString ? std::max(Field->Size(), 1) : 0;
    Lines.Add("FIELD=" + Name + "," + Word + "," + std::to_string(Length));
  }
  if (Lines.Count() == 0) DatabaseError("Cannot describe a dataset without stored fields");
}

void CopyDataset(TDataSet& Source, TKelvaDataset& Target) {
  if (&Source == &Target) DatabaseError("Cannot copy a dataset into itself");
  if (!Source.Active()) DatabaseError("Cannot copy the records of a closed dataset");
  if (Target.MetaFields().Count() == 0) {
    if (Target.Active()) Target.Close();
    TStringList Lines;
    DescribeFieldsOf(Source, Lines);
    Target.SetKLVFields(Lines);
  }
  PrepareImportTarget(Target);
  TKlvStagedRows Rows(DataFields(Target));
  // For each target column, the source field that feeds it (null: none).
  std::vector<TField*> Feeds;
  for (TField* Column : Rows.Columns()) {
    TField* From = Source.FindField(Column->FieldName());
    Feeds.push_back(From && From->FieldKind() != fkLookup ? From : nullptr);
  }
  std::int32_t RecordNumber = 0;
  ForEachVisibleRecord(Source, [&] {
    const std::string Where = "record " + std::to_string(++RecordNumber);
    std::vector<Variant> Row(Feeds.size(), Null());
    for (std::size_t I = 0; I < Feeds.size(); ++I) {
      if (!Feeds[I] || Feeds[I]->IsNull()) continue;
      std::string Reason;
      if (!ConvertForField(*Rows.Columns()[I], Feeds[I]->Value(), Row[I], Reason))
        DatabaseError(Where + ": field '" + Rows.Columns()[I]->FieldName() + "': " + Reason);
    }
    Rows.AddRow(std::move(Row), Where);
  });
  Rows.LoadInto(Target);
}

} // namespace kelva
