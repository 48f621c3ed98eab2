// TMiniDataSet: a small in-memory dataset for testing fields. Records are fixed-size raw
// images of the fields' native value buffers kept in a vector, so tests can check the
// exact bytes a field hands over and plant bytes for it to read.
#pragma once

#include "kelva/framework/db/DataSet.h"
#include "kelva/framework/db/Fields.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kelva::test {

struct TMiniColumn {
  std::string Name;
  TFieldType DataType;
  std::int32_t Size = 0;
  bool Required = false;
};

class TMiniDataSet : public TDataSet {
public:
  explicit TMiniDataSet(TComponent* AOwner = nullptr);
  ~TMiniDataSet() override;

  // The field definitions built when the dataset is opened (or FieldDefs().Update()).
  std::vector<TMiniColumn> Columns;
  bool ReadOnlyData = false;  // GetCanModify answers !ReadOnlyData
  bool RefuseBCD = false;     // CurrToBCD fails
  int SetFieldDataCalls = 0;  // every call of SetFieldData, refused ones included
  int InitFieldDefsCalls = 0; // calls of InternalInitFieldDefs
  std::vector<std::pair<TDataEvent, std::intptr_t>> Events; // every DataEvent
  std::function<void(TDataEvent, std::intptr_t)> OnEvent;   // sees each DataEvent as sent

  std::int32_t StoredCount() const { return static_cast<std::int32_t>(FRecords.size()); }
  // The native bytes of a data field's slot in stored record Index (presence byte
  // excluded); empty when the stored value is null.
  std::vector<char> StoredBytes(std::int32_t Index, const std::string& FieldName);
  // Replaces the slot's bytes in the store (and in the ring after a Resync).
  void PlantBytes(std::int32_t Index, const std::string& FieldName, const std::vector<char>& Bytes);

  void DataEvent(TDataEvent Event, std::intptr_t Info) override;
  Variant Lookup(const std::string& KeyFields, const Variant& KeyValues,
                 const std::string& ResultFields) override;

  using TDataSet::CalcFieldsSize;
  using TDataSet::Resync;

protected:
  TRecordBuffer AllocRecordBuffer() override;
  void FreeRecordBuffer(TRecordBuffer& Buffer) override;
  TGetResult GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool DoCheck) override;
  std::uint16_t GetRecordSize() override;
  void InternalOpen() override;
  void InternalClose() override;
  bool IsCursorOpen() override { return FCursorOpen; }
  void InternalInitFieldDefs() override;
  void InternalFirst() override { FCursor = -1; }
  void InternalLast() override { FCursor = StoredCount(); }
  void InternalGotoBookmark(const void* Bookmark) override;
  void InternalSetToRecord(TRecordBuffer Buffer) override;
  void GetBookmarkData(TRecordBuffer Buffer, void* Data) override;
  void SetBookmarkData(TRecordBuffer Buffer, const void* Data) override;
  TBookmarkFlag GetBookmarkFlag(TRecordBuffer Buffer) override;
  void SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value) override;
  void InternalInitRecord(TRecordBuffer Buffer) override;
  void ClearCalcFields(TRecordBuffer Buffer) override;
  void InternalPost() override;
  void InternalAddRecord(TRecordBuffer Buffer, bool Append) override;
  void InternalDelete() override;
  bool GetFieldData(TField* Field, void* Buffer) override;
  void SetFieldData(TField* Field, const void* Buffer) override;
  bool BCDToCurr(const void* BCD, Currency& Curr) override;
  bool CurrToBCD(const Currency& Curr, void* BCD, std::int32_t Precision,
                 std::int32_t Decimals) override;
  bool GetCanModify() override { return !ReadOnlyData; }
  std::int32_t GetRecordCount() override { return StoredCount(); }

private:
  struct RecordInfo {
    std::int32_t Index; // the stored record's position: its bookmark
    TBookmarkFlag Flag;
  };
  struct Slot {
    std::int32_t Offset; // of the presence byte
    std::int32_t Size;   // native bytes after it
  };

  RecordInfo& Info(TRecordBuffer Buffer) const;
  // The slot of a data field by its field number (-1 for calculated fields).
  Slot DataSlot(const TField* Field) const;
  // The bytes the field reads and writes in the current state, or null for none.
  char* SlotFor(const TField* Field);
  void StoreAtCursor(TRecordBuffer Buffer);

  std::vector<std::vector<char>> FRecords; // data areas of the stored records
  std::vector<Slot> FSlots;                // per field definition, in FieldNo order
  std::int32_t FDataSize = 0;              // bytes of a record's data area
  std::int32_t FCursor = -1;
  bool FCursorOpen = false;
  TRecordBuffer FFilterBuffer = nullptr; // the candidate read in dsFilter
};

} // namespace kelva::test
