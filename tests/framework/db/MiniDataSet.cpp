// TMiniDataSet: the record-buffer protocol over a vector of raw record images. A record
// buffer is [data area][calculated area][record info]; the data area holds, per field
// definition, a presence byte followed by the field's native value bytes.
#include "MiniDataSet.h"

#include "kelva/framework/db/DBConsts.h"
#include "kelva/framework/db/FieldDefs.h"
#include "kelva/framework/rtl/TryFinally.h"

#include <algorithm>
#include <cstring>

namespace kelva::test {

namespace {

std::int32_t NativeSize(TFieldType Type, std::int32_t Size) {
  switch (Type) {
  case ftString:
    return Size + 1;
  case ftSmallint:
  case ftBoolean:
    return 2;
  case ftInteger:
  case ftDate:
  case ftTime:
    return 4;
  case ftFloat:
  case ftDateTime:
    return 8;
  case ftBCD:
    return TBCDField::BCDBufferSize;
  default:
    return Size;
  }
}

constexpr char BCDMarker = 'B'; // last byte of a buffer written by CurrToBCD

// Where the record info starts: after the data and calculated areas, aligned.
std::int32_t InfoOffset(std::int32_t DataSize, std::int32_t CalcSize) {
  return (DataSize + CalcSize + 7) / 8 * 8;
}

} // namespace

TMiniDataSet::TMiniDataSet(TComponent* AOwner) : TDataSet(AOwner) {}

TMiniDataSet::~TMiniDataSet() {
  Destroying();
  Close();
}

// --- buffers and layout ---------------------------------------------------------------

std::uint16_t TMiniDataSet::GetRecordSize() {
  return static_cast<std::uint16_t>(FDataSize);
}

TRecordBuffer TMiniDataSet::AllocRecordBuffer() {
  const std::size_t Size =
      static_cast<std::size_t>(InfoOffset(FDataSize, CalcFieldsSize())) + sizeof(RecordInfo);
  return new char[Size]();
}

void TMiniDataSet::FreeRecordBuffer(TRecordBuffer& Buffer) {
  delete[] Buffer;
  Buffer = nullptr;
}

TMiniDataSet::RecordInfo& TMiniDataSet::Info(TRecordBuffer Buffer) const {
  return *reinterpret_cast<RecordInfo*>(Buffer + InfoOffset(FDataSize, CalcFieldsSize()));
}

TMiniDataSet::Slot TMiniDataSet::DataSlot(const TField* Field) const {
  if (Field->FieldNo() > 0) return FSlots[static_cast<std::size_t>(Field->FieldNo() - 1)];
  return Slot{FDataSize + Field->Offset(), Field->DataSize()};
}

// --- opening and closing --------------------------------------------------------------

void TMiniDataSet::InternalInitFieldDefs() {
  ++InitFieldDefsCalls;
  FieldDefs().Clear();
  for (const TMiniColumn& Column : Columns)
    FieldDefs().Add(Column.Name, Column.DataType, Column.Size, Column.Required);
}

void TMiniDataSet::InternalOpen() {
  InternalInitFieldDefs();
  if (DefaultFields()) CreateFields();
  BindFields(true);
  FSlots.clear();
  std::int32_t Offset = 0;
  for (std::int32_t I = 0; I < FieldDefs().Count(); ++I) {
    const TFieldDef* Def = FieldDefs()[I];
    const std::int32_t Size = NativeSize(Def->DataType(), Def->Size());
    FSlots.push_back(Slot{Offset, Size});
    Offset += 1 + Size;
  }
  if (Offset != FDataSize) FRecords.clear(); // a different layout: old images are void
  FDataSize = Offset;
  SetBookmarkSize(sizeof(std::int32_t));
  FCursor = -1;
  FCursorOpen = true;
}

void TMiniDataSet::InternalClose() {
  BindFields(false);
  if (DefaultFields()) DestroyFields();
  FCursorOpen = false;
}

// --- navigation and bookmarks ---------------------------------------------------------

TGetResult TMiniDataSet::GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool) {
  switch (GetMode) {
  case gmNext:
    if (FCursor + 1 >= StoredCount()) {
      FCursor = StoredCount();
      return grEOF;
    }
    ++FCursor;
    break;
  case gmPrior:
    if (FCursor - 1 < 0) {
      FCursor = -1;
      return grBOF;
    }
    --FCursor;
    break;
  case gmCurrent:
    if (FCursor < 0 || FCursor >= StoredCount()) return grError;
    break;
  }
  std::memcpy(Buffer, FRecords[static_cast<std::size_t>(FCursor)].data(),
              static_cast<std::size_t>(FDataSize));
  Info(Buffer) = RecordInfo{FCursor, bfCurrent};
  GetCalcFields(Buffer);
  return grOK;
}

void TMiniDataSet::InternalGotoBookmark(const void* Bookmark) {
  std::memcpy(&FCursor, Bookmark, sizeof FCursor);
}

void TMiniDataSet::InternalSetToRecord(TRecordBuffer Buffer) {
  FCursor = Info(Buffer).Index;
}

void TMiniDataSet::GetBookmarkData(TRecordBuffer Buffer, void* Data) {
  std::memcpy(Data, &Info(Buffer).Index, sizeof(std::int32_t));
}

void TMiniDataSet::SetBookmarkData(TRecordBuffer Buffer, const void* Data) {
  std::memcpy(&Info(Buffer).Index, Data, sizeof(std::int32_t));
}

TBookmarkFlag TMiniDataSet::GetBookmarkFlag(TRecordBuffer Buffer) {
  return Info(Buffer).Flag;
}

void TMiniDataSet::SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value) {
  Info(Buffer).Flag = Value;
}

// --- editing --------------------------------------------------------------------------

void TMiniDataSet::InternalInitRecord(TRecordBuffer Buffer) {
  std::memset(Buffer, 0, static_cast<std::size_t>(FDataSize)); // every field null
}

void TMiniDataSet::ClearCalcFields(TRecordBuffer Buffer) {
  std::memset(Buffer + FDataSize, 0, static_cast<std::size_t>(CalcFieldsSize()));
}

void TMiniDataSet::StoreAtCursor(TRecordBuffer Buffer) {
  const std::int32_t Position = std::clamp(FCursor, 0, StoredCount());
  FRecords.insert(FRecords.begin() + Position, std::vector<char>(Buffer, Buffer + FDataSize));
  FCursor = Position;
}

void TMiniDataSet::InternalPost() {
  TDataSet::InternalPost(); // required fields
  if (State() == dsEdit)
    std::memcpy(FRecords[static_cast<std::size_t>(FCursor)].data(), ActiveBuffer(),
                static_cast<std::size_t>(FDataSize));
  else
    StoreAtCursor(ActiveBuffer());
}

void TMiniDataSet::InternalAddRecord(TRecordBuffer Buffer, bool Append) {
  if (Append) FCursor = StoredCount();
  StoreAtCursor(Buffer);
}

void TMiniDataSet::InternalDelete() {
  FRecords.erase(FRecords.begin() + FCursor);
  if (FCursor >= StoredCount()) FCursor = StoredCount() - 1;
}

// --- field values ---------------------------------------------------------------------

char* TMiniDataSet::SlotFor(const TField* Field) {
  TRecordBuffer Record = nullptr;
  switch (State()) {
  case dsBrowse:
    if (BufferedRecordCount() > 0) Record = ActiveBuffer();
    break;
  case dsEdit:
  case dsInsert:
  case dsSetKey:
  case dsNewValue:
    Record = ActiveBuffer();
    break;
  case dsCalcFields:
    Record = CalcBuffer();
    break;
  case dsFilter:
    Record = FFilterBuffer;
    break;
  case dsOldValue:
  case dsCurValue: {
    // The stored version of the active record; a new record and calculated fields have
    // none.
    if (BufferedRecordCount() == 0 || Field->FieldNo() <= 0) return nullptr;
    const RecordInfo& Active = Info(ActiveBuffer());
    if (Active.Flag != bfCurrent) return nullptr;
    return FRecords[static_cast<std::size_t>(Active.Index)].data() + DataSlot(Field).Offset;
  }
  default:
    break;
  }
  return Record ? Record + DataSlot(Field).Offset : nullptr;
}

bool TMiniDataSet::GetFieldData(TField* Field, void* Buffer) {
  const char* Place = SlotFor(Field);
  if (!Place || Place[0] == 0) return false;
  if (Buffer) std::memcpy(Buffer, Place + 1, static_cast<std::size_t>(DataSlot(Field).Size));
  return true;
}

void TMiniDataSet::SetFieldData(TField* Field, const void* Buffer) {
  ++SetFieldDataCalls;
  const TDataSetState Current = State();
  const bool Writable = IsEditMode(Current) || Current == dsCalcFields || Current == dsNewValue ||
                        Current == dsFilter;
  char* Place = Writable ? SlotFor(Field) : nullptr;
  if (!Place) DatabaseError(SNotEditing);
  if (Field->FieldKind() == fkData) Field->Validate(Buffer);
  const auto Size = static_cast<std::size_t>(DataSlot(Field).Size);
  Place[0] = Buffer ? 1 : 0;
  if (Buffer)
    std::memcpy(Place + 1, Buffer, Size);
  else
    std::memset(Place + 1, 0, Size);
  if (Current != dsCalcFields && Current != dsFilter && Current != dsNewValue)
    DataEvent(deFieldChange, reinterpret_cast<std::intptr_t>(Field));
}

bool TMiniDataSet::CurrToBCD(const Currency& Curr, void* BCD, std::int32_t Precision,
                             std::int32_t Decimals) {
  if (RefuseBCD) return false;
  auto* Bytes = static_cast<char*>(BCD);
  std::memset(Bytes, 0, TBCDField::BCDBufferSize);
  std::memcpy(Bytes, &Curr.Scaled, sizeof Curr.Scaled);
  Bytes[8] = static_cast<char>(Decimals);
  Bytes[9] = static_cast<char>(Precision);
  Bytes[TBCDField::BCDBufferSize - 1] = BCDMarker;
  return true;
}

bool TMiniDataSet::BCDToCurr(const void* BCD, Currency& Curr) {
  const auto* Bytes = static_cast<const char*>(BCD);
  if (Bytes[TBCDField::BCDBufferSize - 1] != BCDMarker) return false;
  std::memcpy(&Curr.Scaled, Bytes, sizeof Curr.Scaled);
  return true;
}

// --- services for tests ---------------------------------------------------------------

void TMiniDataSet::DataEvent(TDataEvent Event, std::intptr_t Info) {
  Events.emplace_back(Event, Info);
  if (OnEvent) OnEvent(Event, Info);
  TDataSet::DataEvent(Event, Info);
}

Variant TMiniDataSet::Lookup(const std::string& KeyFields, const Variant& KeyValues,
                             const std::string& ResultFields) {
  if (VarIsNull(KeyValues)) return Null();
  TField* Key = FieldByName(KeyFields);
  TField* Result = FieldByName(ResultFields);
  std::vector<char> Candidate(static_cast<std::size_t>(FDataSize + CalcFieldsSize()));
  Variant Found = Null();
  const TDataSetState Previous = SetTempState(dsFilter);
  TryFinally(
      [&] {
        for (const std::vector<char>& Stored : FRecords) {
          std::copy(Stored.begin(), Stored.end(), Candidate.begin());
          FFilterBuffer = Candidate.data();
          if (VarCompareValue(Key->Value(), KeyValues) == vrEqual) {
            Found = Result->Value();
            break;
          }
        }
      },
      [&] {
        FFilterBuffer = nullptr;
        RestoreState(Previous);
      });
  return Found;
}

std::vector<char> TMiniDataSet::StoredBytes(std::int32_t Index, const std::string& FieldName) {
  const Slot Place = FSlots[static_cast<std::size_t>(FieldDefs().IndexOf(FieldName))];
  const std::vector<char>& Stored = FRecords[static_cast<std::size_t>(Index)];
  if (Stored[static_cast<std::size_t>(Place.Offset)] == 0) return {};
  const auto First = Stored.begin() + Place.Offset + 1;
  return std::vector<char>(First, First + Place.Size);
}

void TMiniDataSet::PlantBytes(std::int32_t Index, const std::string& FieldName,
                              const std::vector<char>& Bytes) {
  const Slot Place = FSlots[static_cast<std::size_t>(FieldDefs().IndexOf(FieldName))];
  std::vector<char>& Stored = FRecords[static_cast<std::size_t>(Index)];
  Stored[static_cast<std::size_t>(Place.Offset)] = 1;
  std::fill_n(Stored.begin() + Place.Offset + 1, Place.Size, 0);
  std::copy(Bytes.begin(), Bytes.end(), Stored.begin() + Place.Offset + 1);
}

} // namespace kelva::test
