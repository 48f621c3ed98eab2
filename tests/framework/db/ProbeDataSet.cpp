// ProbeDataSet: the record-buffer protocol over a vector of integers, with a log of every
// action, failure injection and an outside check of the buffer ring.
#include "ProbeDataSet.h"

#include "kelva/framework/db/DBConsts.h"
#include "kelva/framework/db/DataSource.h"
#include "kelva/framework/db/FieldDefs.h"
#include "kelva/framework/db/Fields.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <set>
#include <sstream>
#include <stdexcept>

namespace kelva {

namespace {

// The fixed part of every record buffer; the calculated-field area follows it. Each
// calculated or lookup field owns a presence byte and then its value at its Offset().
struct BufferHeader {
  std::int32_t Value = 0;
  std::int32_t Id = 0; // the bookmark; 0 for a new record that carries none
  std::uint8_t IsNull = 1;
  std::uint8_t Flag = bfCurrent;
};

constexpr std::size_t HeaderSize = sizeof(BufferHeader);
constexpr std::int32_t BookmarkBytes = sizeof(std::int32_t);

BufferHeader ReadHeader(const char* Buffer) {
  BufferHeader Header;
  std::memcpy(&Header, Buffer, HeaderSize);
  return Header;
}

void WriteHeader(char* Buffer, const BufferHeader& Header) {
  std::memcpy(Buffer, &Header, HeaderSize);
}

const char* GetModeName(TGetMode Mode) {
  switch (Mode) {
  case gmCurrent:
    return "gmCurrent";
  case gmNext:
    return "gmNext";
  case gmPrior:
    return "gmPrior";
  }
  return "?";
}

const char* ResultName(TGetResult Result) {
  switch (Result) {
  case grOK:
    return "grOK";
  case grBOF:
    return "grBOF";
  case grEOF:
    return "grEOF";
  case grError:
    return "grError";
  }
  return "?";
}

const char* FlagName(TBookmarkFlag Flag) {
  switch (Flag) {
  case bfCurrent:
    return "bfCurrent";
  case bfBOF:
    return "bfBOF";
  case bfEOF:
    return "bfEOF";
  case bfInserted:
    return "bfInserted";
  }
  return "?";
}

bool IsCalculated(const TField* Field) {
  return Field->FieldKind() == fkCalculated || Field->FieldKind() == fkLookup;
}

} // namespace

ProbeDataSet::ProbeDataSet(TComponent* AOwner) : TDataSet(AOwner) {}

ProbeDataSet::~ProbeDataSet() {
  Destroying();
  Close();
}

// ---- The store ------------------------------------------------------------------------------

void ProbeDataSet::FillRecords(std::int32_t Count) {
  FRecords.clear();
  for (std::int32_t Id = 1; Id <= Count; ++Id) FRecords.push_back({Id, Id * 10, false});
  FNextId = Count + 1;
}

void ProbeDataSet::SetValues(std::initializer_list<std::int32_t> Values) {
  FRecords.clear();
  std::int32_t Id = 1;
  for (std::int32_t Value : Values) FRecords.push_back({Id++, Value, false});
  FNextId = Id;
}

std::vector<std::int32_t> ProbeDataSet::StoredIds() const {
  std::vector<std::int32_t> Ids;
  for (const ProbeRecord& Record : FRecords) Ids.push_back(Record.Id);
  return Ids;
}

std::vector<std::int32_t> ProbeDataSet::StoredValues() const {
  std::vector<std::int32_t> Values;
  for (const ProbeRecord& Record : FRecords) Values.push_back(Record.Value);
  return Values;
}

void ProbeDataSet::SetHidden(std::function<bool(const ProbeRecord&)> Hide) {
  FHide = std::move(Hide);
}

std::vector<std::int32_t> ProbeDataSet::VisibleIds() const {
  std::vector<std::int32_t> Ids;
  for (std::size_t I = 0; I < FRecords.size(); ++I)
    if (IsVisible(I)) Ids.push_back(FRecords[I].Id);
  return Ids;
}

bool ProbeDataSet::IsVisible(std::size_t Position) const {
  return !FHide || !FHide(FRecords[Position]);
}

std::int32_t ProbeDataSet::NextVisible(std::int32_t From) const {
  const auto Size = static_cast<std::int32_t>(FRecords.size());
  for (std::int32_t P = std::max(From + 1, 0); P < Size; ++P)
    if (IsVisible(static_cast<std::size_t>(P))) return P;
  return -1;
}

std::int32_t ProbeDataSet::PriorVisible(std::int32_t From) const {
  const auto Size = static_cast<std::int32_t>(FRecords.size());
  for (std::int32_t P = std::min(From, Size) - 1; P >= 0; --P)
    if (IsVisible(static_cast<std::size_t>(P))) return P;
  return -1;
}

std::int32_t ProbeDataSet::PositionOfId(std::int32_t Id) const {
  for (std::size_t I = 0; I < FRecords.size(); ++I)
    if (FRecords[I].Id == Id) return static_cast<std::int32_t>(I);
  return -1;
}

std::int32_t ProbeDataSet::VisibleIndexOf(std::int32_t Position) const {
  if (Position < 0) return -1;
  std::int32_t Index = 0;
  for (std::int32_t P = 0; P < Position && P < static_cast<std::int32_t>(FRecords.size()); ++P)
    if (IsVisible(static_cast<std::size_t>(P))) ++Index;
  return Index;
}

bool ProbeDataSet::CursorOnRecord() const {
  return FCursor >= 0 && FCursor < static_cast<std::int32_t>(FRecords.size()) &&
         IsVisible(static_cast<std::size_t>(FCursor));
}

std::int32_t ProbeDataSet::InsertPosition() const {
  return FCursor < 0 ? 0 : FCursor;
}

// ---- Switches -------------------------------------------------------------------------------

void ProbeDataSet::FailPost(std::int32_t Times, ProbeFailure Kind) {
  FPostFailure = {Times, Kind};
}

void ProbeDataSet::FailDelete(std::int32_t Times, ProbeFailure Kind) {
  FDeleteFailure = {Times, Kind};
}

void ProbeDataSet::FailEdit(std::int32_t Times, ProbeFailure Kind) {
  FEditFailure = {Times, Kind};
}

void ProbeDataSet::SetMasterSource(TDataSource* Source) {
  if (Source && IsLinkedTo(Source)) DatabaseError(SCircularDataLink);
  FMasterSource = Source;
}

void ProbeDataSet::FailIfAsked(Failure& Pending, const std::string& What) {
  if (Pending.Times <= 0) return;
  --Pending.Times;
  Note(What + " failed");
  switch (Pending.Kind) {
  case ProbeFailure::DatabaseError:
    DatabaseError("Probe failure in " + What);
  case ProbeFailure::RuntimeError:
    throw std::runtime_error("Probe failure in " + What);
  case ProbeFailure::Abort:
    Abort();
  }
}

// ---- The log --------------------------------------------------------------------------------

std::vector<std::string>
ProbeDataSet::LogOf(std::initializer_list<std::string_view> Prefixes) const {
  std::vector<std::string> Lines;
  for (const std::string& Line : FLog)
    for (std::string_view Prefix : Prefixes)
      if (std::string_view(Line).substr(0, Prefix.size()) == Prefix) {
        Lines.push_back(Line);
        break;
      }
  return Lines;
}

std::vector<std::string> ProbeDataSet::CursorLog() const {
  return LogOf({"GetRecord", "InternalFirst", "InternalLast", "InternalSetToRecord",
                "InternalGotoBookmark"});
}

void ProbeDataSet::LogDataSetEvents() {
  auto Logger = [this](const char* Name) { return [this, Name](TDataSet*) { Note(Name); }; };
  BeforeOpen = Logger("BeforeOpen");
  AfterOpen = Logger("AfterOpen");
  BeforeClose = Logger("BeforeClose");
  AfterClose = Logger("AfterClose");
  BeforeInsert = Logger("BeforeInsert");
  AfterInsert = Logger("AfterInsert");
  BeforeEdit = Logger("BeforeEdit");
  AfterEdit = Logger("AfterEdit");
  BeforePost = Logger("BeforePost");
  AfterPost = Logger("AfterPost");
  BeforeCancel = Logger("BeforeCancel");
  AfterCancel = Logger("AfterCancel");
  BeforeDelete = Logger("BeforeDelete");
  AfterDelete = Logger("AfterDelete");
  BeforeScroll = Logger("BeforeScroll");
  AfterScroll = Logger("AfterScroll");
  OnNewRecord = Logger("OnNewRecord");
}

// ---- Looking inside -------------------------------------------------------------------------

std::int32_t ProbeDataSet::CursorIndex() const {
  return VisibleIndexOf(FCursor);
}

std::int32_t ProbeDataSet::ActiveId() const {
  return BufferedRecordCount() > 0 ? ReadHeader(ActiveBuffer()).Id : 0;
}

std::int32_t ProbeDataSet::ActiveBufferValue() const {
  return BufferedRecordCount() > 0 ? ReadHeader(ActiveBuffer()).Value : 0;
}

std::vector<std::int32_t> ProbeDataSet::RingIds() const {
  std::vector<std::int32_t> Ids;
  for (std::int32_t I = 0; I < BufferedRecordCount(); ++I) Ids.push_back(ReadHeader(Buffers(I)).Id);
  return Ids;
}

std::string ProbeDataSet::RingProblems() const {
  std::ostringstream Problems;
  for (const std::string& Problem : FProtocolProblems) Problems << Problem << "; ";
  if (!Active()) {
    if (FLiveBuffers != 0) Problems << "closed, yet " << FLiveBuffers << " buffers are alive; ";
    return Problems.str();
  }
  AssertRingInvariants();

  const std::int32_t Slots = BufferCount();
  const std::int32_t Count = BufferedRecordCount();
  const std::int32_t ActiveSlot = ActiveRecord();
  const std::int32_t Current = CurrentRecord();
  if (Slots < 1) Problems << "BufferCount " << Slots << " < 1; ";
  if (FLiveBuffers != Slots + 1)
    Problems << FLiveBuffers << " live buffers for " << Slots << " slots (want slots + 1); ";
  std::set<TRecordBuffer> Distinct;
  for (std::int32_t I = 0; I <= Slots; ++I) {
    TRecordBuffer Buffer = Buffers(I);
    if (!Buffer || !Distinct.insert(Buffer).second)
      Problems << "buffer " << I << " is null or shared; ";
  }
  if (Count < 0 || Count > Slots)
    Problems << "record count " << Count << " outside 0.." << Slots << "; ";
  if (Count == 0 ? ActiveSlot != 0 : (ActiveSlot < 0 || ActiveSlot >= Count))
    Problems << "active slot " << ActiveSlot << " with " << Count << " records; ";
  if (!Problems.str().empty()) return Problems.str(); // the rest would read out of range

  if (Current != -1) {
    if (Current < 0 || Current >= Count) {
      Problems << "current slot " << Current << " with " << Count << " records; ";
    } else {
      const BufferHeader Header = ReadHeader(Buffers(Current));
      switch (static_cast<TBookmarkFlag>(Header.Flag)) {
      case bfCurrent:
      case bfInserted:
        if (!CursorOnRecord() || FRecords[static_cast<std::size_t>(FCursor)].Id != Header.Id)
          Problems << "current slot " << Current << " holds id " << Header.Id
                   << " but the cursor is at index " << CursorIndex() << "; ";
        break;
      case bfBOF:
        if (FCursor != -1) Problems << "current slot is BOF but the cursor is not before first; ";
        break;
      case bfEOF:
        if (FCursor != static_cast<std::int32_t>(FRecords.size()))
          Problems << "current slot is EOF but the cursor is not after last; ";
        break;
      }
    }
  }

  if (State() == dsBrowse) {
    const std::vector<std::int32_t> Visible = VisibleIds();
    const std::vector<std::int32_t> Ring = RingIds();
    for (std::int32_t I = 0; I < Count; ++I)
      if (ReadHeader(Buffers(I)).Flag != bfCurrent) Problems << "slot " << I << " not bfCurrent; ";
    if (!Ring.empty()) {
      const auto Start = std::find(Visible.begin(), Visible.end(), Ring.front());
      if (Visible.end() - Start < static_cast<std::ptrdiff_t>(Ring.size()) ||
          !std::equal(Ring.begin(), Ring.end(), Start))
        Problems << "the ring does not hold consecutive visible records; ";
    }
    for (std::int32_t I = 0; I < Count; ++I) {
      const BufferHeader Header = ReadHeader(Buffers(I));
      const std::int32_t Position = PositionOfId(Header.Id);
      if (Position >= 0 &&
          (FRecords[static_cast<std::size_t>(Position)].Value != Header.Value ||
           FRecords[static_cast<std::size_t>(Position)].IsNull != (Header.IsNull != 0)))
        Problems << "slot " << I << " holds a stale value of id " << Header.Id << "; ";
    }
  }
  return Problems.str();
}

void ProbeDataSet::ExpectCursorOnActiveRecord(const std::string& Caller) {
  const std::int32_t Id = ActiveId();
  if (!CursorOnRecord() || FRecords[static_cast<std::size_t>(FCursor)].Id != Id)
    FProtocolProblems.push_back(Caller + " found the cursor at index " +
                                std::to_string(CursorIndex()) + ", not on id " +
                                std::to_string(Id));
}

// ---- Buffers --------------------------------------------------------------------------------

TRecordBuffer ProbeDataSet::AllocRecordBuffer() {
  Note("AllocRecordBuffer");
  if (FAllocationsBeforeFailure == 0) {
    FAllocationsBeforeFailure = -1;
    throw std::bad_alloc();
  }
  if (FAllocationsBeforeFailure > 0) --FAllocationsBeforeFailure;
  TRecordBuffer Buffer = TDataSet::AllocRecordBuffer();
  ++FLiveBuffers;
  return Buffer;
}

void ProbeDataSet::FreeRecordBuffer(TRecordBuffer& Buffer) {
  Note("FreeRecordBuffer");
  if (Buffer) --FLiveBuffers;
  TDataSet::FreeRecordBuffer(Buffer);
}

std::uint16_t ProbeDataSet::GetRecordSize() {
  return static_cast<std::uint16_t>(HeaderSize);
}

TGetResult ProbeDataSet::GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool DoCheck) {
  const std::string Call = std::string("GetRecord(") + GetModeName(GetMode) + ") -> ";
  TGetResult Result = grOK;
  switch (GetMode) {
  case gmCurrent:
    if (!CursorOnRecord()) Result = grError;
    break;
  case gmNext:
    FCursor = NextVisible(FCursor);
    if (FCursor < 0) {
      FCursor = static_cast<std::int32_t>(FRecords.size());
      Result = grEOF;
    }
    break;
  case gmPrior:
    FCursor = PriorVisible(FCursor);
    if (FCursor < 0) Result = grBOF;
    break;
  }
  if (Result != grOK) {
    Note(Call + ResultName(Result));
    // A checked read of a missing current record is an error, as descendants usually do it:
    // a framework that asks with DoCheck where it means to fall back would fail here.
    if (Result == grError && DoCheck) DatabaseError(SRecordNotFound);
    return Result;
  }
  const ProbeRecord& Record = FRecords[static_cast<std::size_t>(FCursor)];
  BufferHeader Header;
  Header.Value = Record.Value;
  Header.Id = Record.Id;
  Header.IsNull = Record.IsNull ? 1 : 0;
  Header.Flag = bfCurrent;
  WriteHeader(Buffer, Header);
  Note(Call + "id " + std::to_string(Record.Id));
  GetCalcFields(Buffer);
  return grOK;
}

void ProbeDataSet::GetCalcFields(TRecordBuffer Buffer) {
  Note("GetCalcFields(id " + std::to_string(ReadHeader(Buffer).Id) + ")");
  TDataSet::GetCalcFields(Buffer);
}

// ---- Opening and closing --------------------------------------------------------------------

void ProbeDataSet::InternalInitFieldDefs() {
  Note("InternalInitFieldDefs");
  FieldDefs().Clear();
  FieldDefs().Add("V", ftInteger, 0, false);
}

void ProbeDataSet::InternalOpen() {
  Note("InternalOpen");
  InternalInitFieldDefs();
  if (DefaultFields()) CreateFields();
  if (FFailOpen) DatabaseError("Probe failure in InternalOpen");
  BindFields(true);
  SetBookmarkSize(BookmarkBytes);
  FCursor = -1;
  FCursorOpen = true;
}

void ProbeDataSet::InternalClose() {
  Note("InternalClose");
  BindFields(false);
  if (DefaultFields()) DestroyFields();
  FCursorOpen = false;
}

// ---- Positioning ----------------------------------------------------------------------------

void ProbeDataSet::InternalFirst() {
  Note("InternalFirst");
  FCursor = -1;
}

void ProbeDataSet::InternalLast() {
  Note("InternalLast");
  FCursor = static_cast<std::int32_t>(FRecords.size());
}

void ProbeDataSet::InternalGotoBookmark(const void* Bookmark) {
  std::int32_t Id = 0;
  std::memcpy(&Id, Bookmark, sizeof Id);
  Note("InternalGotoBookmark(id " + std::to_string(Id) + ")");
  const std::int32_t Position = PositionOfId(Id);
  if (Position < 0) DatabaseError("Unknown bookmark");
  FCursor = Position; // even a hidden record: the framework's exact resync must notice
}

void ProbeDataSet::InternalSetToRecord(TRecordBuffer Buffer) {
  const std::int32_t Id = ReadHeader(Buffer).Id;
  Note("InternalSetToRecord(id " + std::to_string(Id) + ")");
  const std::int32_t Position = PositionOfId(Id);
  if (Position < 0) DatabaseError(SRecordNotFound);
  FCursor = Position;
}

void ProbeDataSet::GetBookmarkData(TRecordBuffer Buffer, void* Data) {
  const std::int32_t Id = ReadHeader(Buffer).Id;
  std::memcpy(Data, &Id, sizeof Id);
}

void ProbeDataSet::SetBookmarkData(TRecordBuffer Buffer, const void* Data) {
  BufferHeader Header = ReadHeader(Buffer);
  std::memcpy(&Header.Id, Data, sizeof Header.Id);
  Note("SetBookmarkData(id " + std::to_string(Header.Id) + ")");
  WriteHeader(Buffer, Header);
}

TBookmarkFlag ProbeDataSet::GetBookmarkFlag(TRecordBuffer Buffer) {
  return static_cast<TBookmarkFlag>(ReadHeader(Buffer).Flag);
}

void ProbeDataSet::SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value) {
  Note(std::string("SetBookmarkFlag(") + FlagName(Value) + ")");
  BufferHeader Header = ReadHeader(Buffer);
  Header.Flag = Value;
  WriteHeader(Buffer, Header);
}

std::int32_t ProbeDataSet::GetRecordCount() {
  return static_cast<std::int32_t>(VisibleIds().size());
}

std::int32_t ProbeDataSet::GetRecNo() {
  if (!Active() || State() == dsInsert || BufferedRecordCount() == 0) return 0;
  return VisibleIndexOf(PositionOfId(ActiveId())) + 1;
}

// ---- Editing --------------------------------------------------------------------------------

void ProbeDataSet::InitRecord(TRecordBuffer Buffer) {
  Note("InitRecord");
  TDataSet::InitRecord(Buffer);
}

void ProbeDataSet::InternalInitRecord(TRecordBuffer Buffer) {
  Note("InternalInitRecord");
  WriteHeader(Buffer, BufferHeader{});
}

void ProbeDataSet::ClearCalcFields(TRecordBuffer Buffer) {
  Note("ClearCalcFields");
  std::memset(Buffer + HeaderSize, 0, static_cast<std::size_t>(CalcFieldsSize()));
}

void ProbeDataSet::InternalEdit() {
  const std::string Call = "InternalEdit@" + std::to_string(CursorIndex());
  FailIfAsked(FEditFailure, Call);
  Note(Call);
  ExpectCursorOnActiveRecord("InternalEdit");
}

void ProbeDataSet::InternalInsert() {
  Note("InternalInsert");
}

void ProbeDataSet::InternalCancel() {
  Note("InternalCancel");
}

void ProbeDataSet::StoreNewRecord(TRecordBuffer Buffer) {
  const BufferHeader Header = ReadHeader(Buffer);
  const ProbeRecord Record{FNextId++, Header.Value, Header.IsNull != 0};
  // The cursor keeps its position, which now designates the new record (or stays before the
  // first one, from where the next record is the new one).
  FRecords.insert(FRecords.begin() + InsertPosition(), Record);
}

void ProbeDataSet::InternalPost() {
  const std::string Call = "InternalPost@" + std::to_string(CursorIndex());
  FailIfAsked(FPostFailure, Call);
  Note(Call);
  TDataSet::InternalPost(); // required fields
  if (State() == dsEdit) {
    ExpectCursorOnActiveRecord("InternalPost");
    if (!CursorOnRecord()) return;
    const BufferHeader Header = ReadHeader(ActiveBuffer());
    ProbeRecord& Record = FRecords[static_cast<std::size_t>(FCursor)];
    Record.Value = Header.Value;
    Record.IsNull = Header.IsNull != 0;
  } else {
    StoreNewRecord(ActiveBuffer());
  }
}

void ProbeDataSet::InternalAddRecord(TRecordBuffer Buffer, bool Append) {
  const std::string Call =
      "InternalAddRecord@" + std::to_string(CursorIndex()) + (Append ? "(append)" : "(insert)");
  FailIfAsked(FPostFailure, Call);
  Note(Call);
  StoreNewRecord(Buffer);
}

void ProbeDataSet::InternalDelete() {
  const std::string Call = "InternalDelete@" + std::to_string(CursorIndex());
  FailIfAsked(FDeleteFailure, Call);
  Note(Call);
  ExpectCursorOnActiveRecord("InternalDelete");
  if (!CursorOnRecord()) return;
  FRecords.erase(FRecords.begin() + FCursor);
  // The cursor goes to the record that followed, or to the new last one.
  const std::int32_t Following = NextVisible(FCursor - 1);
  FCursor = Following >= 0 ? Following : PriorVisible(FCursor);
}

void ProbeDataSet::InternalRefresh() {
  Note("InternalRefresh");
}

void ProbeDataSet::InternalHandleException() {
  Note("InternalHandleException");
}

// ---- Field values ---------------------------------------------------------------------------

TRecordBuffer ProbeDataSet::FieldBuffer() const {
  switch (State()) {
  case dsCalcFields:
    return CalcBuffer();
  case dsBrowse:
  case dsBlockRead:
    return IsEmpty() ? nullptr : ActiveBuffer();
  case dsEdit:
  case dsInsert:
  case dsNewValue:
    return ActiveBuffer();
  default:
    return nullptr;
  }
}

bool ProbeDataSet::GetFieldData(TField* Field, void* Buffer) {
  if (State() == dsOldValue) {
    // The stored version of the active record; a new record has none.
    if (IsCalculated(Field) || !ActiveBuffer()) return false;
    const BufferHeader Header = ReadHeader(ActiveBuffer());
    const std::int32_t Position = PositionOfId(Header.Id);
    if (Header.Flag != bfCurrent || Position < 0) return false;
    const ProbeRecord& Record = FRecords[static_cast<std::size_t>(Position)];
    if (Record.IsNull) return false;
    if (Buffer) std::memcpy(Buffer, &Record.Value, sizeof Record.Value);
    return true;
  }
  const TRecordBuffer Record = FieldBuffer();
  if (!Record) return false;
  if (IsCalculated(Field)) {
    const char* Slot = Record + HeaderSize + Field->Offset();
    if (Slot[0] == 0) return false;
    if (Buffer) std::memcpy(Buffer, Slot + 1, static_cast<std::size_t>(Field->DataSize()));
    return true;
  }
  const BufferHeader Header = ReadHeader(Record);
  if (Header.IsNull) return false;
  if (Buffer) std::memcpy(Buffer, &Header.Value, sizeof Header.Value);
  return true;
}

void ProbeDataSet::SetFieldData(TField* Field, const void* Buffer) {
  Note("SetFieldData(" + Field->FieldName() + ")");
  const bool Calculated = IsCalculated(Field);
  TRecordBuffer Record = nullptr;
  switch (State()) {
  case dsCalcFields:
    if (Calculated) Record = CalcBuffer();
    break;
  case dsEdit:
  case dsInsert:
  case dsNewValue:
    Record = ActiveBuffer();
    break;
  default:
    break;
  }
  if (!Record) DatabaseError(SNotEditing);
  if (Calculated) {
    char* Slot = Record + HeaderSize + Field->Offset();
    Slot[0] = Buffer ? 1 : 0;
    if (Buffer) std::memcpy(Slot + 1, Buffer, static_cast<std::size_t>(Field->DataSize()));
  } else {
    Field->Validate(Buffer);
    BufferHeader Header = ReadHeader(Record);
    Header.IsNull = Buffer ? 0 : 1;
    Header.Value = 0;
    if (Buffer) std::memcpy(&Header.Value, Buffer, sizeof Header.Value);
    WriteHeader(Record, Header);
  }
  if (State() != dsCalcFields && State() != dsFilter && State() != dsNewValue)
    DataEvent(deFieldChange, reinterpret_cast<std::intptr_t>(Field));
}

Variant ProbeDataSet::Lookup(const std::string& KeyFields, const Variant& KeyValues,
                             const std::string& ResultFields) {
  Note("Lookup(" + VarToStr(KeyValues) + ")");
  FieldByName(KeyFields);    // only "V" exists: anything else raises SFieldNotFound
  FieldByName(ResultFields); // the same
  if (VarIsNull(KeyValues) || VarIsEmpty(KeyValues)) return Null();
  const std::int32_t Key = KeyValues.AsInteger();
  for (std::size_t I = 0; I < FRecords.size(); ++I)
    if (IsVisible(I) && !FRecords[I].IsNull && FRecords[I].Value == Key) return FRecords[I].Value;
  return Null();
}

} // namespace kelva
