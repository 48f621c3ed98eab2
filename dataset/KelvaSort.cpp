// Sorting the current record list on fields, and the record comparison that sorting and
// searching share.
#include "kelva/dataset/KelvaDataset.h"

#include "kelva/dataset/search/RecordSorter.h"
#include "kelva/framework/rtl/TryFinally.h"

namespace kelva {

std::vector<TKlvKeyColumn> TKelvaDataset::KeyColumns(const std::vector<TField*>& Fields) const {
  std::vector<TKlvKeyColumn> Columns;
  Columns.reserve(Fields.size());
  for (TField* Field : Fields) {
    const bool HasSlot =
        Field->FieldNo() > 0 && static_cast<std::size_t>(Field->FieldNo()) <= FFieldInfo.size();
    Columns.push_back({Field->DataType(), HasSlot,
                       HasSlot ? FFieldInfo[static_cast<std::size_t>(Field->FieldNo() - 1)]
                               : TKlvFieldInfo{1, 1}});
  }
  return Columns;
}

void TKelvaDataset::CheckPhysicalFields(const std::vector<TField*>& Fields) const {
  for (TField* Field : Fields)
    if (Field->FieldNo() <= 0) DatabaseError(SFieldIndexError);
}

void TKelvaDataset::SortOn(const std::string& FieldNames, bool CaseInsensitive, bool Descending) {
  CheckBrowseMode();
  TBookmark Current = GetBookmark();
  SortOnFields(*FInternalBuf, FieldNames, CaseInsensitive, Descending);
  Resync({});
  GotoBookmark(Current);
  FreeBookmark(Current);
}

void TKelvaDataset::SortOnFields(TKlvRecordList& List, const std::string& FieldNames,
                                 bool CaseInsensitive, bool Descending) {
  CheckBrowseMode();
  if (List.Count() < 2) return;
  std::vector<TField*> Fields;
  GetFieldList(Fields, FieldNames);
  CheckPhysicalFields(Fields);
  List.Reorder(SortedOrder(List, KeyColumns(Fields), CaseInsensitive, Descending));
}

std::int32_t TKelvaDataset::CompareFields(const char* ImageA, const char* ImageB,
                                          const std::vector<TField*>& FieldList,
                                          std::int32_t FieldIndex, std::int32_t PartialLength,
                                          bool CaseInsensitive) {
  for (auto I = static_cast<std::size_t>(FieldIndex); I < FieldList.size(); ++I) {
    const bool Last = I + 1 == FieldList.size();
    if (const std::int32_t Result = CompareOneField(ImageA, ImageB, FieldList[I],
                                                    Last ? PartialLength : 0, CaseInsensitive))
      return Result;
  }
  return 0;
}

std::int32_t TKelvaDataset::CompareOneField(const char* ImageA, const char* ImageB, TField* Field,
                                            std::int32_t PartialLength, bool CaseInsensitive) {
  Variant A, B;
  const char* SavedBuffer = FFilterBuffer;
  const bool SavedWritable = FFilterBufferWritable;
  const TDataSetState Old = SetTempState(dsFilter);
  TryFinally(
      [&] {
        FFilterBufferWritable = false;
        FFilterBuffer = ImageA;
        A = Field->Value();
        FFilterBuffer = ImageB;
        B = Field->Value();
      },
      [&] {
        FFilterBuffer = SavedBuffer;
        FFilterBufferWritable = SavedWritable;
        RestoreState(Old);
      });
  switch (Field->DataType()) {
  case ftString: {
    std::string TextA = VarToStr(A), TextB = VarToStr(B);
    if (PartialLength > 0) {
      TextA = Utf8Truncate(TextA, static_cast<std::size_t>(PartialLength));
      TextB = Utf8Truncate(TextB, static_cast<std::size_t>(PartialLength));
    }
    return CaseInsensitive ? AnsiCompareText(TextA, TextB) : AnsiCompareStr(TextA, TextB);
  }
  case ftSmallint:
  case ftInteger:
  case ftBoolean:
  case ftFloat:
  case ftBCD:
  case ftDate:
  case ftTime:
  case ftDateTime:
    switch (VarCompareValue(A, B)) {
    case vrLessThan:
      return -1;
    case vrGreaterThan:
      return 1;
    default:
      return 0;
    }
  default:
    DatabaseErrorFmt(SKlvSchemaError, {Field->Name()});
  }
}

} // namespace kelva
