// Staged rows, the walk over visible records and buffered stream access for the exchange
// formats and the dataset copy.
#include "kelva/dataset/exchange/ExchangeSupport.h"

#include "kelva/dataset/KelvaDataset.h"
#include "kelva/dataset/exchange/ExchangeValues.h"
#include "kelva/dataset/persistence/FileReplacement.h"

#include <limits>

namespace kelva {

std::vector<TField*> DataFields(TDataSet& DataSet) {
  std::vector<TField*> Fields;
  for (std::int32_t I = 0; I < DataSet.Fields().Count(); ++I)
    if (DataSet.Fields()[I]->FieldKind() == fkData) Fields.push_back(DataSet.Fields()[I]);
  return Fields;
}

void PrepareImportTarget(TKelvaDataset& Target) {
  if (!Target.Active()) Target.Open();
  if (Target.State() != dsBrowse)
    DatabaseError("Cannot load records into a dataset that is being edited");
  if (Target.BrowseBuffer() != brStandard)
    DatabaseError("Cannot load records while a view of pending changes is shown");
}

void TKlvStagedRows::AddRow(std::vector<Variant> Row, const std::string& Where) {
  Row.resize(FColumns.size(), Null());
  for (std::size_t I = 0; I < FColumns.size(); ++I) {
    std::string Reason;
    if (!ValueFitsField(*FColumns[I], Row[I], Reason))
      DatabaseError(Where + ": field '" + FColumns[I]->FieldName() + "': " + Reason);
  }
  for (Variant& Value : Row) FValues.push_back(std::move(Value));
}

void TKlvStagedRows::LoadInto(TKelvaDataset& Target) const {
  const std::size_t Rows = Count();
  if (Rows == 0) return;
  // Every record takes a new identifier: running out half way would load a part.
  const std::int64_t Left = std::numeric_limits<std::int32_t>::max() - Target.LastRecId();
  if (static_cast<std::int64_t>(Rows) > Left)
    DatabaseError("Cannot load " + std::to_string(Rows) + " records: only " + std::to_string(Left) +
                  " record identifiers are left");
  Target.DisableControls();
  try {
    for (std::size_t Row = 0; Row < Rows; ++Row) {
      Target.AppendRaw();
      try {
        for (std::size_t Col = 0; Col < FColumns.size(); ++Col) {
          const Variant& Value = FValues[Row * FColumns.size() + Col];
          if (!VarIsNull(Value)) AssignExchangeValue(*FColumns[Col], Value);
        }
        Target.PostRaw();
      } catch (...) {
        if (Target.RawLoading()) Target.CancelRaw();
        throw;
      }
    }
  } catch (...) {
    Target.EnableControls();
    throw;
  }
  Target.EnableControls();
}

void ForEachVisibleRecord(TDataSet& DataSet, const std::function<void()>& Visit) {
  if (!DataSet.Active()) DatabaseError("Cannot read the records of a closed dataset");
  if (DataSet.State() != dsBrowse)
    DatabaseError("Cannot read the records of a dataset that is being edited");
  DataSet.DisableControls();
  const bool HadRecord = !DataSet.IsEmpty();
  const TBookmark Where = HadRecord ? DataSet.GetBookmark() : TBookmark{};
  auto GoBack = [&] {
    try {
      if (HadRecord && DataSet.BookmarkValid(Where)) DataSet.GotoBookmark(Where);
    } catch (const Exception&) {
      // The record may have gone meanwhile; the cursor then stays where the walk ended.
    }
    DataSet.EnableControls();
  };
  try {
    DataSet.First();
    while (!DataSet.Eof()) {
      Visit();
      DataSet.Next();
    }
  } catch (...) {
    GoBack();
    throw;
  }
  GoBack();
}

std::string ReadWholeStream(TStream& Stream) {
  std::string Text;
  char Chunk[65536];
  for (;;) {
    const std::int64_t Got = Stream.Read(Chunk, sizeof Chunk);
    if (Got <= 0) break;
    Text.append(Chunk, static_cast<std::size_t>(Got));
  }
  return Text;
}

void TKlvTextOutput::Append(std::string_view Text) {
  FPending.append(Text);
  if (FPending.size() >= 65536) Flush();
}

void TKlvTextOutput::Flush() {
  if (!FPending.empty()) FStream.WriteBuffer(FPending);
  FPending.clear();
}

void WriteFileReplacing(const std::string& FileName, const std::function<void(TStream&)>& Write) {
  TKlvFileReplacement Replacement(FileName);
  Write(Replacement.Stream());
  Replacement.Commit();
}

} // namespace kelva
