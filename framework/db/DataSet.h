// TDataSet: the abstract dataset. It owns the state machine, the ring of record buffers
// shown to data-aware controls, the fields and the events; a descendant supplies the
// records through the overridable record-buffer protocol declared below.
#pragma once

#include "kelva/framework/db/DataSetTypes.h"
#include "kelva/framework/rtl/Component.h"
#include "kelva/framework/rtl/Variant.h"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace kelva {

class TField;
class TFields;
class TFieldDefs;
class TDataSource;
class TDataLink;
struct Currency;

class TDataSet : public TComponent {
public:
  explicit TDataSet(TComponent* AOwner);
  ~TDataSet() override;

  void Open();
  void Close();
  bool Active() const;
  virtual void SetActive(bool Value);
  void CheckActive() const;
  void CheckInactive() const;

  void First();
  void Last();
  void Next();
  void Prior();
  std::int32_t MoveBy(std::int32_t Distance);
  bool Bof() const { return FBOF; }
  bool Eof() const { return FEOF; }
  bool IsEmpty() const;
  std::int32_t RecordCount();
  std::int32_t RecNo();
  virtual void SetRecNo(std::int32_t Value);
  virtual bool IsSequenced();

  void Edit();
  void Insert();
  void Append();
  virtual void Post();
  void Cancel();
  void Delete();
  void AppendRecord(std::initializer_list<Variant> Values);
  void AppendRecord(const std::vector<Variant>& Values);
  void InsertRecord(std::initializer_list<Variant> Values);
  void InsertRecord(const std::vector<Variant>& Values);
  void SetFields(const std::vector<Variant>& Values);
  void CheckBrowseMode();
  void UpdateRecord();
  bool CanModify();
  bool Modified() const { return FModified; }
  virtual TUpdateStatus UpdateStatus();

  TBookmark GetBookmark();
  void GotoBookmark(const TBookmark& Bookmark);
  void FreeBookmark(TBookmark& Bookmark);
  virtual bool BookmarkValid(const TBookmark& Bookmark);
  virtual std::int32_t CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2);
  TBookmarkStr Bookmark();
  void SetBookmark(const TBookmarkStr& Value);

  virtual bool Locate(const std::string& KeyFields, const Variant& KeyValues,
                      TLocateOptions Options);
  virtual Variant Lookup(const std::string& KeyFields, const Variant& KeyValues,
                         const std::string& ResultFields);
  bool FindFirst();
  bool FindNext();
  bool FindPrior();
  bool FindLast();
  bool Found() const { return GetFound(); }
  void Refresh();

  TField* FieldByName(const std::string& FieldName);
  TField* FindField(const std::string& FieldName);
  TFields& Fields() { return *FFields; }
  const TFields& Fields() const { return *FFields; }
  std::int32_t FieldCount() const;
  TFieldDefs& FieldDefs() { return *FFieldDefs; }
  const TFieldDefs& FieldDefs() const { return *FFieldDefs; }
  void GetFieldList(std::vector<TField*>& List, const std::string& FieldNames);
  Variant GetFieldValue(const std::string& FieldNames);
  void SetFieldValue(const std::string& FieldNames, const Variant& Value);

  bool AutoCalcFields() const { return FAutoCalcFields; }
  void SetAutoCalcFields(bool Value) { FAutoCalcFields = Value; }
  TDataSetState State() const { return FState; }
  bool Filtered() const { return FFiltered; }
  virtual void SetFiltered(bool Value);
  const std::string& Filter() const { return FFilterText; }
  virtual void SetFilterText(const std::string& Value);
  TFilterOptions FilterOptions() const { return FFilterOptions; }
  virtual void SetFilterOptions(TFilterOptions Value);

  void DisableControls();
  void EnableControls();
  bool ControlsDisabled() const { return FDisableCount > 0; }
  virtual void DataEvent(TDataEvent Event, std::intptr_t Info);
  bool IsLinkedTo(TDataSource* ADataSource);
  TDataSource* DataSource() { return GetDataSource(); }
  // A form file writes the persistent fields inside their dataset.
  void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) const override;

  TRecordBuffer ActiveBuffer() const;
  void UpdateCursorPos();
  void CursorPosChanged() { FCurrentRecord = -1; }
  void Resync(TResyncMode Mode);
  virtual bool GetCurrentRecord(TRecordBuffer Buffer);
  std::int32_t BlockReadSize() const { return FBlockReadSize; }
  void SetBlockReadSize(std::int32_t Value);

  TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose, BeforeInsert, AfterInsert,
      BeforeEdit, AfterEdit, BeforePost, AfterPost, BeforeCancel, AfterCancel, BeforeDelete,
      AfterDelete, BeforeScroll, AfterScroll, OnNewRecord, OnCalcFields;
  TFilterRecordEvent OnFilterRecord;
  TDataSetErrorEvent OnPostError, OnDeleteError, OnEditError;

protected:
  // The record-buffer protocol. The declaration order is the dispatch order.
  virtual TRecordBuffer AllocRecordBuffer();
  virtual void FreeRecordBuffer(TRecordBuffer& Buffer);
  virtual TGetResult GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool DoCheck);
  virtual std::uint16_t GetRecordSize();
  virtual void InternalOpen();
  virtual void InternalClose();
  virtual bool IsCursorOpen();
  virtual void InternalInitFieldDefs();
  virtual void InternalFirst();
  virtual void InternalLast();
  virtual void InternalGotoBookmark(const void* Bookmark);
  virtual void InternalSetToRecord(TRecordBuffer Buffer);
  virtual void GetBookmarkData(TRecordBuffer Buffer, void* Data);
  virtual void SetBookmarkData(TRecordBuffer Buffer, const void* Data);
  virtual TBookmarkFlag GetBookmarkFlag(TRecordBuffer Buffer);
  virtual void SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value);
  virtual void InitRecord(TRecordBuffer Buffer);
  virtual void InternalInitRecord(TRecordBuffer Buffer);
  virtual void ClearCalcFields(TRecordBuffer Buffer);
  virtual void InternalEdit();
  virtual void InternalInsert();
  virtual void InternalCancel();
  virtual void InternalPost();
  virtual void InternalAddRecord(TRecordBuffer Buffer, bool Append);
  virtual void InternalDelete();
  virtual void InternalRefresh();
  virtual void InternalHandleException();
  virtual bool GetFieldData(TField* Field, void* Buffer);
  virtual void SetFieldData(TField* Field, const void* Buffer);
  virtual bool BCDToCurr(const void* BCD, Currency& Curr);
  virtual bool CurrToBCD(const Currency& Curr, void* BCD, std::int32_t Precision,
                         std::int32_t Decimals);
  virtual bool GetCanModify();
  virtual TDataSource* GetDataSource();
  virtual std::int32_t GetRecordCount();
  virtual std::int32_t GetRecNo();
  virtual bool FindRecord(bool Restart, bool GoForward);
  virtual void DoBeforeOpen();
  virtual void DoAfterOpen();
  virtual void DoBeforeClose();
  virtual void DoAfterClose();
  virtual void DoBeforeInsert();
  virtual void DoAfterInsert();
  virtual void DoBeforeEdit();
  virtual void DoAfterEdit();
  virtual void DoBeforePost();
  virtual void DoAfterPost();
  virtual void DoBeforeCancel();
  virtual void DoAfterCancel();
  virtual void DoBeforeDelete();
  virtual void DoAfterDelete();
  virtual void DoBeforeScroll();
  virtual void DoAfterScroll();
  virtual void DoOnNewRecord();
  virtual void DoOnCalcFields();

  // Services for descendants.
  void SetState(TDataSetState Value);
  TDataSetState SetTempState(TDataSetState Value);
  void RestoreState(TDataSetState Value);
  TRecordBuffer TempBuffer() const;
  TRecordBuffer CalcBuffer() const { return FCalcBuffer; }
  TRecordBuffer Buffers(std::int32_t Index) const;
  std::int32_t BufferCount() const { return FBufferCount; }
  std::int32_t BufferedRecordCount() const { return FRecordCount; }
  std::int32_t ActiveRecord() const { return FActiveRecord; }
  std::int32_t CurrentRecord() const { return FCurrentRecord; }
  void SetBufListSize(std::int32_t Value);
  void SetBufferCount(std::int32_t Value);
  void UpdateBufferCount();
  void ClearBuffers();
  void ActivateBuffers();
  void SetCurrentRecord(std::int32_t Index);
  bool GetNextRecord();
  std::int32_t GetNextRecords();
  bool GetPriorRecord();
  std::int32_t GetPriorRecords();
  void OpenCursor(bool InfoQuery = false);
  void CloseCursor();
  void InitFieldDefs();
  void CreateFields();
  void BindFields(bool Binding);
  void DestroyFields();
  void FreeFieldBuffers();
  bool DefaultFields() const { return FDefaultFields; }
  std::int32_t CalcFieldsSize() const { return FCalcFieldsSize; }
  std::int32_t BookmarkSize() const { return FBookmarkSize; }
  void SetBookmarkSize(std::int32_t Value) { FBookmarkSize = Value; }
  virtual void GetCalcFields(TRecordBuffer Buffer);
  void CalculateFields(TRecordBuffer Buffer);
  void CheckOperation(const TDataOperation& Operation, const TDataSetErrorEvent& ErrorEvent);
  void CheckCanModify();
  void SetModified(bool Value) { FModified = Value; }
  virtual void SetFound(bool Value);
  bool GetFound() const { return FFound; }
  bool GetActive() const { return Active(); }
  bool BookmarkAvailable();
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // Checks the buffer-ring invariants in debug builds.
  void AssertRingInvariants() const;

  // Application handlers run in the middle of operations and may act on the dataset there:
  // cancel or post the record being posted, close the dataset, move to another record. An
  // operation marks what it relies on before it fires a handler and checks the mark after;
  // a mark that no longer holds ends the operation with Abort, as a handler that refuses
  // an operation would: the handler chose to end it, so nothing is reported, and nothing
  // is stored twice or done to another record.
  struct TOperationMark {
    std::uint64_t StateChanges = 0;
    std::uint64_t Closings = 0;
    bool OnRecord = false; // the operation acts on the active record, whose bookmark is:
    TBookmark Record;
  };
  TOperationMark MarkOperation(bool OnRecord = false);
  // Aborts when the state changed since the mark, even there and back, or, for a mark on a
  // record, when another record is active.
  void CheckOperationMark(const TOperationMark& Mark);
  // While a temporary state is in effect a handler is reading one record (filtering it,
  // calculating its fields): moving the cursor or changing the state would pull the ring
  // and the record from under the operation that called it, so it is refused.
  void CheckNotTemporaryState() const;

private:
  friend class TField;
  friend class TFields;
  friend class TFieldDefs;
  friend class TDataLink;
  friend class TDataSource;

  void DoInternalOpen();
  void OpenCursorComplete();
  void SetActiveOpen();
  void SetActiveClose();
  void BeginInsertAppend(bool Inserting);
  void EndInsertAppend();
  void AddRecordFromValues(const std::vector<Variant>& Values, bool Append);
  void CheckStillDeleting(const TOperationMark& Mark);
  void MoveBuffer(std::int32_t From, std::int32_t To);
  void NotifyLinksFirstRecordShift(std::int32_t Shift);
  std::int32_t ComputeBufferCount() const;
  void AddDataSource(TDataSource* ADataSource);
  void RemoveDataSource(TDataSource* ADataSource);

  TDataSetState FState = dsInactive;
  // Every change of FState through SetState, and every closing, counted for TOperationMark.
  std::uint64_t FStateChanges = 0;
  std::uint64_t FClosings = 0;
  std::vector<TRecordBuffer> FBuffers; // FBufferCount + 1 while open (the ring and the spare)
  std::int32_t FBufferCount = 0;       // slots that can hold records
  std::int32_t FRecordCount = 0;       // slots that hold records
  std::int32_t FActiveRecord = 0;
  std::int32_t FCurrentRecord = -1; // the slot the descendant's cursor stands on, -1 unknown
  bool FBOF = true;
  bool FEOF = true;
  bool FModified = false;
  TRecordBuffer FCalcBuffer = nullptr;
  std::int32_t FCalcFieldsSize = 0;
  std::int32_t FBookmarkSize = 0;
  std::int32_t FDisableCount = 0;
  TDataSetState FDisableState = dsInactive;
  TDataEvent FEnableEvent = deDataSetChange;
  bool FDefaultFields = false;
  bool FFiltered = false;
  std::string FFilterText;
  TFilterOptions FFilterOptions;
  bool FFound = false;
  bool FAutoCalcFields = true;
  bool FStreamedActive = false;
  bool FInternalOpenComplete = false;
  std::int32_t FBlockReadSize = 0;
  std::unique_ptr<TFields> FFields;
  std::unique_ptr<TFieldDefs> FFieldDefs;
  std::vector<TDataSource*> FDataSources;
};

} // namespace kelva
