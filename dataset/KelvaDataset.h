// TKelvaDataset: an in-memory dataset that keeps every record as a fixed-width text image.
// Its record structure is declared as text (MetaFields), records are loaded by raw
// loading or posted through the framework's editing interface, and three overridable
// hooks decide where records come from and where changes go.
//
// Including this header alone gives everything needed to use the dataset: fields,
// variants, string lists, streams and exceptions.
#pragma once

#include "kelva/dataset/filter/FilterProgram.h"
#include "kelva/dataset/messages.h"
#include "kelva/dataset/schema/FieldLayout.h"
#include "kelva/dataset/search/KeyEncoding.h"
#include "kelva/dataset/search/SearchIndex.h"
#include "kelva/dataset/store/PendingCount.h"
#include "kelva/dataset/store/RecordList.h"
#include "kelva/framework/db/DBConsts.h"
#include "kelva/framework/db/DataSet.h"
#include "kelva/framework/db/DataSource.h"
#include "kelva/framework/db/FieldDefs.h"
#include "kelva/framework/db/Fields.h"
#include "kelva/framework/db/Params.h"
#include "kelva/framework/rtl/Application.h"
#include "kelva/framework/rtl/Exceptions.h"
#include "kelva/framework/rtl/Streams.h"
#include "kelva/framework/rtl/Strings.h"
#include "kelva/framework/rtl/SysUtils.h"
#include "kelva/framework/rtl/Variant.h"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace kelva {

// The view of the records that is shown (see SetBrowseBuffer).
enum TklvBrowseBuffer : std::uint8_t { brStandard, brold, brModified, brInserted, brDeleted };

// What the load hook is asked for.
enum TKlvLoadAction : std::uint8_t { laFirst, LaNext, LaAll };

class TKlvStreamReader;

// The information block at the end of every record buffer. RecId is also the bookmark.
#pragma pack(push, 1)
struct TKlvRecInfo {
  std::int32_t RecId;
  std::uint8_t UpdateStatus; // TUpdateStatus
  std::uint8_t BookmarkFlag; // TBookmarkFlag
};
#pragma pack(pop)
static_assert(sizeof(TKlvRecInfo) == 6, "the record information block is 6 bytes");

class TKelvaDataset : public TDataSet {
public:
  explicit TKelvaDataset(TComponent* AOwner);
  ~TKelvaDataset() override;

  // ---- Record structure ------------------------------------------------------------------
  // One field description per line, e.g. "FIELD=NAME,CHAR,25". Assigning different text
  // closes an open dataset; the layout is rebuilt at the next open.
  TStrings& MetaFields() { return FMetaFields; }
  const TStrings& MetaFields() const { return FMetaFields; }
  void SetKLVFields(const TStrings& Value);
  // Rebuilds FieldDefs, FieldInfo and DataSize from MetaFields.
  void PopulateFieldDefsFromSchema();
  // The slot layout, one entry per described field (empty while closed).
  const std::vector<TKlvFieldInfo>& FieldInfo() const { return FFieldInfo; }
  std::int32_t DataSize() const { return FDataSize; }
  std::int32_t BufferSize() const { return FBufferSize; }
  std::int32_t RecInfoOffset() const { return FRecInfoOffset; }

  // ---- Published options -----------------------------------------------------------------
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }
  bool RawLoadFireStdEvents() const { return FRawLoadFireStdEvents; }
  void SetRawLoadFireStdEvents(bool Value) { FRawLoadFireStdEvents = Value; }
  bool CachedUpdates() const { return FCachedUpdates; }
  // Switching on an open dataset discards pending changes (it never commits them).
  void SetCachedUpdates(bool Value);

  // ---- Cached updates ------------------------------------------------------------------------
  // Pending changes are derived by comparing the working copy with the committed records:
  // an identifier only in the working copy is an insertion, one whose images differ byte
  // for byte is a modification, and every deleted entry is a deletion.
  bool UpDatesPending() { return GetUpDatesPending(); }
  bool GetUpDatesPending();
  void ApplyUpdates();
  void CommitUpdates();
  void CancelUpdates();
  // Settle the pending change of the record at the cursor in the current view.
  void CommitRecord();
  void RevertRecord();

  // ---- Browse views ------------------------------------------------------------------------
  // Shows the current records, the committed ones, or only the modified, inserted or
  // deleted ones. Ignored while no working copy exists.
  void SetBrowseBuffer(TklvBrowseBuffer Value);

  // ---- Ordering and searching --------------------------------------------------------------
  // Sorts the current list on the named fields (';'-separated) and keeps the current record
  // current. Records with equal keys keep their order.
  void SortOn(const std::string& FieldNames, bool CaseInsensitive, bool Descending);
  void SortOnFields(TKlvRecordList& List, const std::string& FieldNames, bool CaseInsensitive,
                    bool Descending);
  // The record comparison: the sign orders ImageA against ImageB on the fields from
  // FieldIndex on; PartialLength, when not 0, compares only that many leading bytes of the
  // last field when it is text. Nulls come first, False before True.
  std::int32_t CompareFields(const char* ImageA, const char* ImageB,
                             const std::vector<TField*>& FieldList, std::int32_t FieldIndex,
                             std::int32_t PartialLength, bool CaseInsensitive);
  std::int32_t CompareOneField(const char* ImageA, const char* ImageB, TField* Field,
                               std::int32_t PartialLength, bool CaseInsensitive);
  bool Locate(const std::string& KeyFields, const Variant& KeyValues,
              TLocateOptions Options) override;
  Variant Lookup(const std::string& KeyFields, const Variant& KeyValues,
                 const std::string& ResultFields) override;
  // Finds the first visible record whose key fields equal KeyValues; with SyncCursor the
  // cursor moves to it. The found image is left in the key buffer (TempBuffer).
  bool LocateRecord(const std::string& KeyFields, const Variant& KeyValues, TLocateOptions Options,
                    bool SyncCursor);
  // Makes Target (closed) a read-only copy of this open dataset: same descriptions,
  // records and pending changes.
  void Clone(TKelvaDataset* Target);

  // ---- Parameters ----------------------------------------------------------------------------
  // One parameter description per line, e.g. "PARAM=CUSTNO,INTEGER". Assigning rebuilds
  // the parameter list (values set before are lost).
  TStrings& ParamsDesc() { return FParamsDesc; }
  const TStrings& ParamsDesc() const { return FParamsDesc; }
  void SetFParamsDesc(const TStrings& Value);
  void CreateParams();
  TParams& Params() { return FParams; }
  const TParams& Params() const { return FParams; }
  TParam* ParamByName(const std::string& Name) { return FParams.ParamByName(Name); }
  std::int32_t GetParamsCount() const { return FParams.Count(); }
  void SetParamsList(const TParams& Value) { FParams.AssignValues(Value); }
  // Copies the master dataset's values into same-named parameters.
  void Prepare() { SetPrepared(true); }
  void UnPrepare() { SetPrepared(false); }
  void SetPrepared(bool Value);
  bool Prepared() const { return FPrepared; }
  void Loaded() override;

  // ---- Master link -------------------------------------------------------------------------
  TDataSource* MasterSource() const { return FMasterSource; }
  // Refuses a link whose chain of data sources comes back to this dataset.
  void SetMasterSource(TDataSource* Value);

  // ---- Loading more records ----------------------------------------------------------------
  void FetchMoreData(bool All);
  void FetchAll() { FetchMoreData(true); }

  // ---- Record store ------------------------------------------------------------------------
  TklvBrowseBuffer BrowseBuffer() const { return FBrowseBuffer; }
  // The cursor: -1 before the first record, the record count after the last.
  std::int32_t CurRec() const { return FCurRec; }
  std::int32_t LastRecId() const { return FLastRecId; }
  bool RawLoading() const { return FRawLoading; }
  bool CachedBufActive() const { return FCachedBufActive; }

  // ---- Raw loading: records committed at once, without the update hook -------------------
  void AppendRaw();
  void InsertRaw();
  void PostRaw();
  void CancelRaw();
  void AppendRawRecord(std::initializer_list<Variant> Values);
  void AppendRawRecord(const std::vector<Variant>& Values);
  void InsertRawRecord(std::initializer_list<Variant> Values);
  void InsertRawRecord(const std::vector<Variant>& Values);
  void Post() override;

  // ---- Navigation ----------------------------------------------------------------------------
  void GotoCurrent(TKelvaDataset* DataSet);
  bool BookmarkValid(const TBookmark& Bookmark) override;
  std::int32_t CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2) override;
  bool GetCurrentRecord(TRecordBuffer Buffer) override;
  bool IsSequenced() override;
  void SetRecNo(std::int32_t Value) override;
  TUpdateStatus UpdateStatus() override;
  void SetFiltered(bool Value) override;
  // The filter expression is compiled when set (at open while closed): an error raises and
  // leaves the previous expression in force. A blank text means no expression.
  void SetFilterText(const std::string& Value) override;
  void SetFilterOptions(TFilterOptions Value) override;

protected:
  // ---- The framework's record-buffer protocol ----------------------------------------------
  TRecordBuffer AllocRecordBuffer() override;
  void FreeRecordBuffer(TRecordBuffer& Buffer) override;
  TGetResult GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool DoCheck) override;
  std::uint16_t GetRecordSize() override;
  void InternalOpen() override;
  void InternalClose() override;
  bool IsCursorOpen() override;
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
  void InternalPost() override;
  void InternalAddRecord(TRecordBuffer Buffer, bool Append) override;
  void InternalDelete() override;
  void InternalHandleException() override;
  bool GetFieldData(TField* Field, void* Buffer) override;
  void SetFieldData(TField* Field, const void* Buffer) override;
  bool BCDToCurr(const void* BCD, Currency& Curr) override;
  bool CurrToBCD(const Currency& Curr, void* BCD, std::int32_t Precision,
                 std::int32_t Decimals) override;
  bool GetCanModify() override;
  std::int32_t GetRecordCount() override;
  std::int32_t GetRecNo() override;
  void DoAfterOpen() override;
  void DoBeforeInsert() override;
  void DoAfterInsert() override;
  void DoBeforeEdit() override;
  void DoAfterEdit() override;
  void DoBeforePost() override;
  void DoAfterPost() override;
  void DoBeforeCancel() override;
  void DoAfterCancel() override;
  void DoBeforeDelete() override;
  void DoAfterDelete() override;
  void DoOnNewRecord() override;

  // ---- Hooks a descendant implements (here they raise the abstract-method error) -------------
  virtual void DoOnUpdate();
  virtual void DoOnUpdateRec(TUpdateStatus Action);
  virtual void DoOnLoad(TKlvLoadAction Action);

public:
  // ---- Persistence -------------------------------------------------------------------------
  // Saving needs an open dataset and writes every record list with the descriptions.
  virtual void SaveToStream(TStream& Stream);
  // Loading needs a closed dataset. It is all or nothing: a stream that cannot be loaded
  // raises "invalid file format" and leaves the dataset closed with its descriptions,
  // parameters and field definitions as they were. An error raised by an application
  // handler while the dataset opens (the load event, AfterOpen) reaches the caller as it
  // was raised, and a load that does not fit in memory says so; both restore the same way.
  virtual void LoadFromStream(TStream& Stream);
  // Writes a fresh temporary file beside FileName, with FileName's owner and permissions
  // from the start, and replaces FileName only once it is complete and on disk: a failed
  // save never damages the previous file. A file its user may not write, or that grants
  // nobody write permission, is refused (EFCreateError). A pipe or device is written
  // directly.
  void SaveTofile(const std::string& FileName);
  // Reads a pipe or other stream without a size to its end; a FIFO without a writer reads
  // as empty instead of waiting.
  void LoadFromFile(const std::string& FileName);

  // The most memory one load may take for its records, for every dataset of the process
  // (memory is the process's): a load that would need more is refused before it
  // allocates. Setting 0 restores the default, half of the memory the process can have.
  static void SetLoadMemoryLimit(std::uint64_t Bytes);
  static std::uint64_t LoadMemoryLimit();

protected:
  // ---- Field values ----------------------------------------------------------------------------
  bool RecBufToValBuf(std::int32_t FieldNo, TFieldType DataType, const char* RecBuf, void* ValBuf);
  void ValBufToRecBuf(std::int32_t FieldNo, TFieldType DataType, char* RecBuf, const void* ValBuf);
  // The record buffer field access uses in the current state, or null when there is none.
  const char* GetActiveRecBuf();

  // ---- Cursor primitives
  // -------------------------------------------------------------------------
  bool KlvGetNextRecord();
  bool KlvGetPriorRecord();
  bool KlvGetcurrentRecord();
  void KlvCheckOperation(const TDataOperation& Operation, const TDataSetErrorEvent& ErrorEvent);
  // True when the record whose image is given is visible through the filter.
  bool RecordFilter(const char* Image);

  // ---- Store services
  // ----------------------------------------------------------------------------
  void CheckNotRawLoadind();
  void InitBufferPointers();
  void SetInternalBuf();
  void CheckCachedBuf();
  void checkBrowseBuffer();
  void ClearCurrentBrowseBuffer();
  void CreateModifBuffer();
  void CreateInsertBuffer();
  // The committed image of the current record, or null for a pending insertion.
  const char* GetOldRecord();
  TKlvRecordList* InternalBuf() const { return FInternalBuf; }
  TKlvRecordList* CommittedBuf() const { return FCommittedBuf.get(); }
  TKlvRecordList* CachedBuf() const { return FCachedBuf.get(); }
  TKlvRecordList* DeletedBuf() const { return FDeletedBuf.get(); }
  const TKlvPendingCount& PendingCount() const { return FPendingCount; }
  TDataSource* GetDataSource() override { return FMasterSource; }
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void InternalRefresh() override;
  bool FindRecord(bool Restart, bool GoForward) override;
  // Makes sure identifiers handed out later stay clear of RecId (records that arrive from a
  // stream or a clone keep their identifiers).
  void NoteArrivedRecId(std::int32_t RecId);

private:
  TKlvRecInfo ReadRecInfo(const char* Buffer) const;
  void WriteRecInfo(char* Buffer, const TKlvRecInfo& Info) const;
  std::int32_t BufferRecId(const char* Buffer) const { return ReadRecInfo(Buffer).RecId; }
  void SetBufferUpdateStatus(char* Buffer, TUpdateStatus Status) const;
  void SetBufferRecId(char* Buffer, std::int32_t RecId) const;
  void CopyImageToBuffer(std::int32_t Index, TRecordBuffer Buffer);
  bool FireStdEvents() const { return FRawLoadFireStdEvents || !FRawLoading; }
  void StoreNewRecord(char* Buffer, bool RawPath, bool CursorWasBeforeFirst, std::int32_t Position);
  // Calls DoOnUpdateRec, and ends the operation if the handler changed the dataset under it.
  void ReportToUpdateHook(TUpdateStatus Action);
  // The identifier the next stored record takes; raises once the highest one is used.
  std::int32_t NextRecId() const;
  void AddRawRecord(const std::vector<Variant>& Values, bool AppendIt);
  // PostRaw (Store) or CancelRaw: ends the raw insert and the raw load with it.
  void FinishRawInsert(bool Store);
  void FreeInternalBuf();
  const char* WritableFilterBuffer();
  // Refuses values the text format cannot carry or that would not read back from their
  // slot: line breaks, NAN and INF, a SMALLINT past 16 bits, and the like.
  void CheckStorable(TField* Field, const void* Buffer) const;
  void ReallocateBuffers();
  std::vector<TKlvKeyColumn> KeyColumns(const std::vector<TField*>& Fields) const;
  // Position of the first visible record of the current list whose encoding matches Key.
  std::int32_t FindKey(const TKlvKeyEncoder& Encoder, const std::string& Signature,
                       const std::string& Key, bool Prefix);
  void CheckPhysicalFields(const std::vector<TField*>& Fields) const;
  // The compiled form of a filter text against the open dataset's fields; null when blank.
  std::unique_ptr<TKlvFilterProgram> CompileFilter(const std::string& Text, TFilterOptions Options);
  void ChangeFilter(const std::string& Text, TFilterOptions Options);
  // The pending state of entry Index of the current list, from the pending-change rules.
  TUpdateStatus DerivedUpdateStatus(std::int32_t Index);
  // CommitRecord and RevertRecord: the step of the current view settles the record at the
  // cursor.
  void SettleRecord(bool Commit);
  void SettleRecordAtCursor(bool Commit);
  void DropViewEntry();
  bool FindBothVersions(std::int32_t& Working, std::int32_t& Committed) const;
  void CommitStandard();
  void CommitModified();
  void CommitInserted();
  void CommitDeleted();
  void RevertStandard();
  void RevertModified();
  void RevertInserted();
  void RevertDeleted();
  void InsertIntoCommittedAfterPredecessor(const TKlvRecordList& Source, std::int32_t Index);

  void LoadContent(TKlvStreamReader& Reader);
  std::unique_ptr<TKlvRecordList> BuildList(TKlvStreamReader& Reader, std::int32_t Count,
                                            const TKlvRecordList* SharedWith = nullptr);

  // Published and persistent state.
  TStringList FMetaFields;
  TStringList FParamsDesc;
  TParams FParams;
  bool FPrepared = false;
  TDataSource* FMasterSource = nullptr;
  bool FReadOnly = false;
  bool FRawLoadFireStdEvents = false;
  bool FCachedUpdates = false;

  // The record store; exists while open.
  TklvBrowseBuffer FBrowseBuffer = brStandard;
  TKlvRecordList* FInternalBuf = nullptr; // the list navigation and editing work on
  std::shared_ptr<TKlvImagePool> FPool;
  std::unique_ptr<TKlvRecordList> FCommittedBuf;
  // The last answer of GetOldRecord; Stamp 0 belongs to no list.
  struct TOldRecordCache {
    std::uint64_t Stamp = 0;
    std::uint64_t Version = 0;
    std::int32_t RecId = 0;
    const char* Image = nullptr;
  };
  TOldRecordCache FOldRecordCache;
  std::unique_ptr<TKlvRecordList> FCachedBuf;
  std::unique_ptr<TKlvRecordList> FDeletedBuf;
  std::unique_ptr<TKlvRecordList> FInsertBuffer;
  std::unique_ptr<TKlvRecordList> FModifBuffer;
  // Follows every change to the two lists above, so that whether changes are pending is
  // known without comparing them.
  TKlvPendingCount FPendingCount{FCommittedBuf, FCachedBuf};
  std::vector<TKlvFieldInfo> FFieldInfo;

  // Field reads in dsFilter come from here: a stored image, or FFilterScratch once a
  // field has been written in that state, so that no write ever reaches a stored image.
  const char* FFilterBuffer = nullptr;
  bool FFilterBufferWritable = false; // the key buffer of a search, not a stored image
  std::string FFilterScratch;

  // What searches have learned: a key searched a second time on an unchanged list gets an
  // index, used until the list changes.
  struct TSearchCacheEntry {
    std::string Signature;
    std::uint64_t Stamp = 0;
    std::uint64_t Version = 0;
    std::unique_ptr<TKlvSearchIndex> Index; // null: searched once, by scanning
  };
  std::vector<TSearchCacheEntry> FSearchCache;

  // The filter text compiled against the open dataset's layout; null without an expression.
  std::unique_ptr<TKlvFilterProgram> FFilterProgram;

  std::int32_t FDataSize = 1;
  std::int32_t FBufferSize = 0;
  std::int32_t FRecInfoOffset = 0;
  std::int32_t FCurRec = 0;
  std::int32_t FLastRecId = 0;
  bool FCachedBufActive = false;
  bool FRawLoading = false;
};

} // namespace kelva

// The event-driven descendant belongs to the public interface too.
#include "kelva/dataset/EventDataset.h"
