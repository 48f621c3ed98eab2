// TKelvaDataset: construction, the record structure, opening and closing the record store,
// and the layout of record buffers (data area, calculated fields, information block).
#include "kelva/dataset/KelvaDataset.h"

#include "kelva/framework/rtl/TryFinally.h"

#include <cstring>

namespace kelva {

namespace {
constexpr std::int32_t RecInfoSize = sizeof(TKlvRecInfo);
constexpr std::int32_t BookmarkBytes = sizeof(std::int32_t);
} // namespace

TKelvaDataset::TKelvaDataset(TComponent* AOwner) : TDataSet(AOwner), FParams(this) {}

TKelvaDataset::~TKelvaDataset() {
  Destroying();
  Close();
}

// ---- Record structure -------------------------------------------------------------------------

void TKelvaDataset::SetKLVFields(const TStrings& Value) {
  if (Value.Text() == FMetaFields.Text()) return;
  if (IsCursorOpen()) Close();
  FMetaFields.BeginUpdate();
  TryFinally([&] { FMetaFields.Assign(Value); }, [&] { FMetaFields.EndUpdate(); });
  DataEvent(deFieldListChange, 0);
}

void TKelvaDataset::PopulateFieldDefsFromSchema() {
  FieldDefs().Clear();
  // The whole description is read before anything is built, so a description that cannot
  // be read leaves no half-built layout behind.
  TKlvFieldLayout Layout = ParseFieldDescriptions(FMetaFields, Name());
  // While the store is open its records and buffers have the layout they were opened with:
  // asking again for the definitions must not change it under them.
  const bool KeepLayout = IsCursorOpen();
  for (const TKlvFieldDescription& Field : Layout.Fields) {
    TFieldDef* Def = FieldDefs().CreateDef(Field.Name, Field.FieldType, Field.DefSize, false,
                                           FieldDefs().Count() + 1);
    if (Field.FieldType == ftBCD) Def->SetPrecision(19);
  }
  if (KeepLayout) return;
  FFieldInfo = std::move(Layout.FieldInfo);
  FDataSize = Layout.DataSize;
}

void TKelvaDataset::InternalInitFieldDefs() {
  PopulateFieldDefsFromSchema();
}

// ---- Opening and closing ----------------------------------------------------------------------

void TKelvaDataset::InternalOpen() {
  FCachedBuf.reset();
  FDeletedBuf.reset();
  FInsertBuffer.reset();
  FModifBuffer.reset();
  FCachedBufActive = false;
  FRawLoading = false;
  FBrowseBuffer = brStandard;
  try {
    InternalInitFieldDefs();
    if (DefaultFields()) CreateFields();
    BindFields(true);
    InitBufferPointers();
    FFilterProgram = CompileFilter(Filter(), FilterOptions());
    SetBookmarkSize(BookmarkBytes);
    FPool = std::make_shared<TKlvImagePool>(FDataSize);
    FCommittedBuf = std::make_unique<TKlvRecordList>(FPool);
    SetInternalBuf();
    FCurRec = -1;
    FLastRecId = 0;
  } catch (...) {
    // The framework closes the cursor after a failed open; leave nothing half-built.
    FCommittedBuf.reset();
    FInternalBuf = nullptr;
    FFilterProgram.reset();
    FFieldInfo.clear();
    FieldDefs().Clear();
    throw;
  }
}

void TKelvaDataset::InternalClose() {
  FFilterProgram.reset();
  FreeInternalBuf();
  FLastRecId = 0;
  FCurRec = -1;
  BindFields(false);
  if (DefaultFields()) DestroyFields();
  FFieldInfo.clear();
  FPool.reset();
}

void TKelvaDataset::FreeInternalBuf() {
  FInternalBuf = nullptr;
  FCachedBuf.reset();
  FCommittedBuf.reset();
  FDeletedBuf.reset();
  FInsertBuffer.reset();
  FModifBuffer.reset();
  FCachedBufActive = false;
}

bool TKelvaDataset::IsCursorOpen() {
  return FInternalBuf != nullptr;
}

bool TKelvaDataset::IsSequenced() {
  return !Filtered();
}

bool TKelvaDataset::GetCanModify() {
  if (FBrowseBuffer != brStandard) return false;
  if (FRawLoading) return true;
  return !FReadOnly;
}

void TKelvaDataset::InternalHandleException() {
  Application->HandleException(this);
}

void TKelvaDataset::SetInternalBuf() {
  FInternalBuf = FCachedBufActive ? FCachedBuf.get() : FCommittedBuf.get();
}

void TKelvaDataset::NoteArrivedRecId(std::int32_t RecId) {
  if (RecId > FLastRecId) FLastRecId = RecId;
}

// ---- Record buffers ---------------------------------------------------------------------------

void TKelvaDataset::InitBufferPointers() {
  FRecInfoOffset = FDataSize + CalcFieldsSize();
  FBufferSize = FRecInfoOffset + RecInfoSize;
}

std::uint16_t TKelvaDataset::GetRecordSize() {
  return static_cast<std::uint16_t>(FDataSize);
}

TRecordBuffer TKelvaDataset::AllocRecordBuffer() {
  auto* Buffer = new char[static_cast<std::size_t>(FBufferSize)];
  // A fresh buffer reads as a blank record that is not stored anywhere.
  InternalInitRecord(Buffer);
  WriteRecInfo(Buffer, {-1, usInserted, bfInserted});
  return Buffer;
}

void TKelvaDataset::FreeRecordBuffer(TRecordBuffer& Buffer) {
  delete[] Buffer;
  Buffer = nullptr;
}

void TKelvaDataset::InternalInitRecord(TRecordBuffer Buffer) {
  std::memset(Buffer, ' ', static_cast<std::size_t>(FBufferSize));
}

void TKelvaDataset::InitRecord(TRecordBuffer Buffer) {
  TDataSet::InitRecord(Buffer);
  WriteRecInfo(Buffer, {-1, usInserted, bfInserted});
}

void TKelvaDataset::ClearCalcFields(TRecordBuffer Buffer) {
  std::memset(Buffer + GetRecordSize(), 0, static_cast<std::size_t>(CalcFieldsSize()));
}

TKlvRecInfo TKelvaDataset::ReadRecInfo(const char* Buffer) const {
  TKlvRecInfo Info;
  std::memcpy(&Info, Buffer + FRecInfoOffset, sizeof Info);
  return Info;
}

void TKelvaDataset::WriteRecInfo(char* Buffer, const TKlvRecInfo& Info) const {
  std::memcpy(Buffer + FRecInfoOffset, &Info, sizeof Info);
}

void TKelvaDataset::SetBufferUpdateStatus(char* Buffer, TUpdateStatus Status) const {
  TKlvRecInfo Info = ReadRecInfo(Buffer);
  Info.UpdateStatus = Status;
  WriteRecInfo(Buffer, Info);
}

void TKelvaDataset::SetBufferRecId(char* Buffer, std::int32_t RecId) const {
  TKlvRecInfo Info = ReadRecInfo(Buffer);
  Info.RecId = RecId;
  WriteRecInfo(Buffer, Info);
}

void TKelvaDataset::CopyImageToBuffer(std::int32_t Index, TRecordBuffer Buffer) {
  std::memcpy(Buffer, FInternalBuf->Image(Index), static_cast<std::size_t>(FDataSize));
}

TBookmarkFlag TKelvaDataset::GetBookmarkFlag(TRecordBuffer Buffer) {
  return static_cast<TBookmarkFlag>(ReadRecInfo(Buffer).BookmarkFlag);
}

void TKelvaDataset::SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value) {
  TKlvRecInfo Info = ReadRecInfo(Buffer);
  Info.BookmarkFlag = Value;
  WriteRecInfo(Buffer, Info);
}

void TKelvaDataset::GetBookmarkData(TRecordBuffer Buffer, void* Data) {
  const std::int32_t RecId = BufferRecId(Buffer);
  std::memcpy(Data, &RecId, sizeof RecId);
}

void TKelvaDataset::SetBookmarkData(TRecordBuffer Buffer, const void* Data) {
  std::int32_t RecId;
  std::memcpy(&RecId, Data, sizeof RecId);
  SetBufferRecId(Buffer, RecId);
}

// ---- Hooks ------------------------------------------------------------------------------------

void TKelvaDataset::DoOnUpdate() {
  AbstractError();
}
void TKelvaDataset::DoOnUpdateRec(TUpdateStatus) {
  AbstractError();
}
void TKelvaDataset::DoOnLoad(TKlvLoadAction) {
  AbstractError();
}

void TKelvaDataset::DoAfterOpen() {
  if (!FPrepared) Prepare();
  DoOnLoad(laFirst);
  TDataSet::DoAfterOpen();
}

} // namespace kelva
