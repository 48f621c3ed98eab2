// Locate, Lookup and the search by the filter event. A search writes the key values into
// the key buffer through the fields, encodes them, and looks for the first visible record
// of the current list with the same encoding: by a scan the first time a key is searched,
// by an index when the same key is searched again on an unchanged list.
#include "kelva/dataset/KelvaDataset.h"

#include "kelva/framework/rtl/TryFinally.h"

#include <algorithm>
#include <cstring>

namespace kelva {

namespace {
constexpr std::size_t SearchCacheSize = 4;
}

std::int32_t TKelvaDataset::FindKey(const TKlvKeyEncoder& Encoder, const std::string& Signature,
                                    const std::string& Key, bool Prefix) {
  const TKlvRecordList& List = *FInternalBuf;
  auto Entry = std::find_if(FSearchCache.begin(), FSearchCache.end(), [&](const auto& E) {
    return E.Signature == Signature && E.Stamp == List.Stamp() && E.Version == List.Version();
  });
  if (Entry != FSearchCache.end()) {
    if (!Entry->Index) Entry->Index = std::make_unique<TKlvSearchIndex>(List, Encoder);
    for (std::int32_t Pos : Entry->Index->Matches(Key, Prefix))
      if (RecordFilter(List.Image(Pos))) return Pos;
    return -1;
  }
  // First search of this key on this list: remember it, and scan.
  std::erase_if(FSearchCache, [&](const auto& E) {
    return E.Stamp != List.Stamp() || E.Version != List.Version();
  });
  if (FSearchCache.size() >= SearchCacheSize) FSearchCache.erase(FSearchCache.begin());
  FSearchCache.push_back({Signature, List.Stamp(), List.Version(), nullptr});
  std::string Encoded;
  for (std::int32_t I = 0; I < List.Count(); ++I) {
    Encoded.clear();
    Encoder.Encode(List.Image(I), Encoded);
    const bool Match = Prefix ? std::string_view(Encoded).starts_with(Key) : Encoded == Key;
    if (Match && RecordFilter(List.Image(I))) return I;
  }
  return -1;
}

bool TKelvaDataset::LocateRecord(const std::string& KeyFields, const Variant& KeyValues,
                                 TLocateOptions Options, bool SyncCursor) {
  CheckBrowseMode();
  CursorPosChanged();
  std::vector<TField*> Fields;
  GetFieldList(Fields, KeyFields);
  const bool CaseInsensitive = Options.Contains(loCaseInsensitive);
  if (FInternalBuf->Count() >= 2) CheckPhysicalFields(Fields);

  // Write the key into the key buffer exactly as posted values are written.
  TRecordBuffer KeyBuffer = TempBuffer();
  std::int32_t PartialLength = 0;
  const char* SavedBuffer = FFilterBuffer;
  const bool SavedWritable = FFilterBufferWritable;
  const TDataSetState Old = SetTempState(dsFilter);
  TryFinally(
      [&] {
        FFilterBuffer = KeyBuffer;
        FFilterBufferWritable = true;
        InitRecord(KeyBuffer);
        if (Fields.size() == 1)
          Fields[0]->SetValue(KeyValues);
        else
          for (std::size_t I = 0; I < Fields.size(); ++I)
            Fields[I]->SetValue(KeyValues[static_cast<std::int32_t>(I)]);
        if (Options.Contains(loPartialKey) && !Fields.empty() &&
            Fields.back()->DataType() == ftString)
          PartialLength = static_cast<std::int32_t>(Fields.back()->AsString().size());
      },
      [&] {
        FFilterBuffer = SavedBuffer;
        FFilterBufferWritable = SavedWritable;
        RestoreState(Old);
      });

  const TKlvKeyEncoder Encoder(KeyColumns(Fields), CaseInsensitive);
  std::string Key;
  Encoder.Encode(KeyBuffer, Key, PartialLength);
  std::string Signature = CaseInsensitive ? "I" : "S";
  for (TField* Field : Fields) Signature += Field->FieldName() + ";";
  const std::int32_t Found = FindKey(Encoder, Signature, Key, PartialLength > 0);
  if (Found < 0) return false;
  std::memcpy(KeyBuffer, FInternalBuf->Image(Found), static_cast<std::size_t>(FDataSize));
  SetBufferRecId(KeyBuffer, FInternalBuf->RecId(Found));
  if (SyncCursor) FCurRec = Found;
  return true;
}

bool TKelvaDataset::Locate(const std::string& KeyFields, const Variant& KeyValues,
                           TLocateOptions Options) {
  // Refused before the scroll event fires; the search itself checks the rest.
  CheckNotTemporaryState();
  DoBeforeScroll();
  const bool Found = LocateRecord(KeyFields, KeyValues, Options, true);
  if (Found) {
    Resync({rmExact, rmCenter});
    DoAfterScroll();
  }
  return Found;
}

Variant TKelvaDataset::Lookup(const std::string& KeyFields, const Variant& KeyValues,
                              const std::string& ResultFields) {
  Variant Result = Null();
  if (!LocateRecord(KeyFields, KeyValues, {}, false)) return Result;
  TRecordBuffer Found = TempBuffer();
  const TDataSetState Old = SetTempState(dsCalcFields);
  TryFinally(
      [&] {
        CalculateFields(Found);
        Result = GetFieldValue(ResultFields);
      },
      [&] { RestoreState(Old); });
  return Result;
}

bool TKelvaDataset::FindRecord(bool Restart, bool GoForward) {
  CheckBrowseMode();
  const TOperationMark Mark = MarkOperation();
  DoBeforeScroll();
  CheckOperationMark(Mark);
  SetFound(false);
  UpdateCursorPos();
  CursorPosChanged();
  // The search tests records with the filter event even while filtering is off.
  const bool WasFiltered = Filtered();
  if (!WasFiltered) TDataSet::SetFiltered(true);
  bool Moved = false;
  TryFinally(
      [&] {
        if (GoForward) {
          if (Restart) FCurRec = -1;
          Moved = KlvGetNextRecord();
        } else {
          if (Restart) FCurRec = FInternalBuf->Count();
          Moved = KlvGetPriorRecord();
        }
      },
      [&] {
        if (!WasFiltered) TDataSet::SetFiltered(false);
      });
  if (Moved) {
    Resync({rmExact, rmCenter});
    SetFound(true);
  }
  const bool Result = GetFound();
  if (Result) DoAfterScroll();
  return Result;
}

} // namespace kelva
