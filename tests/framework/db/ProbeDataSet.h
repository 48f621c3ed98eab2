// ProbeDataSet: a minimal TDataSet descendant over a list of integers, used to test the
// framework's record-buffer protocol. It logs every action the framework asks of it, can
// hide records or fail store operations on request, and checks the buffer ring from outside.
#pragma once

#include "kelva/framework/db/DataSet.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace kelva {

class TDataSource;

// One stored record: a stable id (its bookmark) and a nullable integer.
struct ProbeRecord {
  std::int32_t Id = 0;
  std::int32_t Value = 0;
  bool IsNull = false;
};

// What a failing store operation throws.
enum class ProbeFailure { DatabaseError, RuntimeError, Abort };

// The records are kept in store order; a cursor stands before the first record (-1), on a
// record (its store position) or after the last one (the store size). Records hidden by the
// predicate are skipped by every fetch, as a filtered view would skip them. A checked read
// of a missing current record (gmCurrent with DoCheck) raises SRecordNotFound.
//
// The log holds one line per action: "GetRecord(gmNext) -> id 3", "GetRecord(gmNext) ->
// grEOF", "InternalSetToRecord(id 3)", "InternalPost@2" (the cursor's index among the visible
// records, -1 before the first, n after the last), dataset events by name ("BeforePost") once
// LogDataSetEvents() was called. Queries the framework asks all the time (GetRecordSize,
// GetBookmarkFlag, GetBookmarkData, GetFieldData, IsCursorOpen, GetCanModify, GetDataSource,
// GetRecordCount, GetRecNo) are not logged.
class ProbeDataSet : public TDataSet {
public:
  explicit ProbeDataSet(TComponent* AOwner = nullptr);
  ~ProbeDataSet() override;

  // ---- The store ----
  // Replaces the records by Count records with ids 1 … Count and values 10, 20, … .
  void FillRecords(std::int32_t Count);
  // Replaces the records by the given values, ids 1 … n.
  void SetValues(std::initializer_list<std::int32_t> Values);
  const std::vector<ProbeRecord>& Records() const { return FRecords; }
  std::vector<std::int32_t> StoredIds() const;
  std::vector<std::int32_t> StoredValues() const;
  // Hides the records for which Hide answers true (an empty function shows all). The framework
  // is not told: call Resync or Refresh, as a descendant's own filtering code would.
  void SetHidden(std::function<bool(const ProbeRecord&)> Hide);
  std::vector<std::int32_t> VisibleIds() const;

  // ---- Behaviour switches ----
  void FailPost(std::int32_t Times, ProbeFailure Kind = ProbeFailure::DatabaseError);
  void FailDelete(std::int32_t Times, ProbeFailure Kind = ProbeFailure::DatabaseError);
  void FailEdit(std::int32_t Times, ProbeFailure Kind = ProbeFailure::DatabaseError);
  void FailOpen(bool Fail) { FFailOpen = Fail; }
  // After Successes more buffers were allocated, the next allocation throws std::bad_alloc.
  void FailAllocationAfter(std::int32_t Successes) { FAllocationsBeforeFailure = Successes; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }
  // A master data source, refused with SCircularDataLink when its chain leads back here.
  void SetMasterSource(TDataSource* Source);
  // The same without the check, to build a broken chain on purpose.
  void ForceMasterSource(TDataSource* Source) { FMasterSource = Source; }

  // ---- The log ----
  const std::vector<std::string>& Log() const { return FLog; }
  void ClearLog() { FLog.clear(); }
  void Note(std::string Line) { FLog.push_back(std::move(Line)); }
  // The log lines that start with one of the prefixes, in order.
  std::vector<std::string> LogOf(std::initializer_list<std::string_view> Prefixes) const;
  // The lines that move or read the cursor: GetRecord, InternalFirst, InternalLast,
  // InternalSetToRecord, InternalGotoBookmark.
  std::vector<std::string> CursorLog() const;
  // Assigns every dataset event a handler that logs the event's name.
  void LogDataSetEvents();

  // ---- Looking inside ----
  // The cursor as an index among the visible records (-1 … n).
  std::int32_t CursorIndex() const;
  // The id held by the active buffer (0 on an empty ring), and the ids of the ring slots in
  // order (0 for a new record's buffer that carries no bookmark).
  std::int32_t ActiveId() const;
  std::vector<std::int32_t> RingIds() const;
  // The value held by the active buffer, read without going through a field.
  std::int32_t ActiveBufferValue() const;
  std::int32_t LiveBuffers() const { return FLiveBuffers; }
  // Every broken buffer-ring rule, as text ("" when the ring is sound): the invariants of the
  // ring and the cursor, the bookmark flags in browse mode, that the ring shows consecutive
  // visible records with their current values, and any call that found the cursor elsewhere
  // than on the record it was meant for.
  std::string RingProblems() const;

  // Finds the first visible record whose V equals the key; only "V" is known.
  Variant Lookup(const std::string& KeyFields, const Variant& KeyValues,
                 const std::string& ResultFields) override;

  // The framework's protected services, opened for tests.
  using TDataSet::ActiveRecord;
  using TDataSet::BufferCount;
  using TDataSet::BufferedRecordCount;
  using TDataSet::CalcBuffer;
  using TDataSet::CalcFieldsSize;
  using TDataSet::CalculateFields;
  using TDataSet::CurrentRecord;
  using TDataSet::DefaultFields;
  using TDataSet::RestoreState;
  using TDataSet::SetTempState;

protected:
  TRecordBuffer AllocRecordBuffer() override;
  void FreeRecordBuffer(TRecordBuffer& Buffer) override;
  TGetResult GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool DoCheck) override;
  std::uint16_t GetRecordSize() override;
  void InternalOpen() override;
  void InternalClose() override;
  bool IsCursorOpen() override { return FCursorOpen; }
  void InternalInitFieldDefs() override;
  void InternalFirst() override;
  void InternalLast() override;
  void InternalGotoBookmark(const void* Bookmark) override;
  void InternalSetToRecord(TRecordBuffer Buffer) override;
  void GetBookmarkData(TRecordBuffer Buffer, void* Data) override;
  void SetBookmarkData(TRecordBuffer Buffer, const void* Data) override;
  TBookmarkFlag GetBookmarkFlag(TRecordBuffer Buffer) override;
  void SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value) override;
  void InitRecord(TRecordBuffer Buffer) override;
  void InternalInitRecord(TRecordBuffer Buffer) override;
  void ClearCalcFields(TRecordBuffer Buffer) override;
  void InternalEdit() override;
  void InternalInsert() override;
  void InternalCancel() override;
  void InternalPost() override;
  void InternalAddRecord(TRecordBuffer Buffer, bool Append) override;
  void InternalDelete() override;
  void InternalRefresh() override;
  void InternalHandleException() override;
  bool GetFieldData(TField* Field, void* Buffer) override;
  void SetFieldData(TField* Field, const void* Buffer) override;
  bool GetCanModify() override { return !FReadOnly; }
  TDataSource* GetDataSource() override { return FMasterSource; }
  std::int32_t GetRecordCount() override;
  std::int32_t GetRecNo() override;
  void GetCalcFields(TRecordBuffer Buffer) override;

private:
  struct Failure {
    std::int32_t Times = 0;
    ProbeFailure Kind = ProbeFailure::DatabaseError;
  };

  bool IsVisible(std::size_t Position) const;
  std::int32_t NextVisible(std::int32_t From) const;
  std::int32_t PriorVisible(std::int32_t From) const;
  std::int32_t PositionOfId(std::int32_t Id) const;
  std::int32_t VisibleIndexOf(std::int32_t Position) const;
  bool CursorOnRecord() const;
  // The store position where a new record goes: the cursor's, or 0 before the first record.
  std::int32_t InsertPosition() const;
  void StoreNewRecord(TRecordBuffer Buffer);
  void FailIfAsked(Failure& Pending, const std::string& What);
  // Records a protocol problem when the cursor is not on the record of the active buffer.
  void ExpectCursorOnActiveRecord(const std::string& Caller);
  TRecordBuffer FieldBuffer() const;

  std::vector<ProbeRecord> FRecords;
  std::int32_t FNextId = 1;
  std::int32_t FCursor = -1; // store position, -1 … FRecords.size()
  bool FCursorOpen = false;
  std::function<bool(const ProbeRecord&)> FHide;
  Failure FPostFailure;
  Failure FDeleteFailure;
  Failure FEditFailure;
  bool FFailOpen = false;
  std::int32_t FAllocationsBeforeFailure = -1; // -1: never fail
  bool FReadOnly = false;
  TDataSource* FMasterSource = nullptr;
  std::int32_t FLiveBuffers = 0;
  std::vector<std::string> FLog;
  std::vector<std::string> FProtocolProblems;
};

} // namespace kelva
