// TStringTable: a small in-memory dataset of text columns for driving data-aware controls.
// Rows keep a stable id, their bookmark, so tests can check what was actually stored.
#pragma once

#include "kelva/framework/db/DBConsts.h"
#include "kelva/framework/db/DataSet.h"
#include "kelva/framework/db/FieldDefs.h"
#include "kelva/framework/db/Fields.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace kelva::formstest {

class TStringTable : public TDataSet {
public:
  // Every column is a string field of Width bytes.
  explicit TStringTable(std::vector<std::string> ColumnNames, std::int32_t Width = 20)
      : TDataSet(nullptr), FColumnNames(std::move(ColumnNames)), FWidth(Width) {}
  ~TStringTable() override {
    Destroying();
    Close();
  }

  // Stores a row; an open table shows it after a refresh.
  void AddRow(std::vector<std::string> Texts) { FRows.push_back({FNextId++, std::move(Texts)}); }
  // The stored texts of one column, in store order.
  std::vector<std::string> Column(std::size_t Column) const {
    std::vector<std::string> Texts;
    for (const Row& R : FRows) Texts.push_back(R.Texts.at(Column));
    return Texts;
  }

  bool ReadOnlyData = false; // CanModify answers false

protected:
  using TBuf = TRecordBuffer;

  std::uint16_t GetRecordSize() override { return SlotOffset(Columns()); }
  TGetResult GetRecord(TBuf Buffer, TGetMode GetMode, bool) override {
    if (GetMode == gmNext && ++FCursor >= Count()) {
      FCursor = Count();
      return grEOF;
    }
    if (GetMode == gmPrior && --FCursor < 0) {
      FCursor = -1;
      return grBOF;
    }
    if (FCursor < 0 || FCursor >= Count()) return grError;
    const Row& Current = FRows[static_cast<std::size_t>(FCursor)];
    InternalInitRecord(Buffer);
    Info(Buffer) = BufferInfo{Current.Id, bfCurrent};
    for (std::size_t C = 0; C < Current.Texts.size(); ++C) {
      char* Place = Slot(Buffer, static_cast<std::int32_t>(C));
      Place[0] = !Current.Texts[C].empty();
      Current.Texts[C].copy(Place + 1, static_cast<std::size_t>(FWidth));
    }
    return grOK;
  }
  void InternalInitFieldDefs() override {
    FieldDefs().Clear();
    for (const std::string& Name : FColumnNames) FieldDefs().Add(Name, ftString, FWidth);
  }
  void InternalOpen() override {
    InternalInitFieldDefs();
    if (DefaultFields()) CreateFields();
    BindFields(true);
    SetBookmarkSize(sizeof(std::int32_t));
    FCursor = -1;
    FCursorOpen = true;
  }
  void InternalClose() override {
    BindFields(false);
    if (DefaultFields()) DestroyFields();
    FCursorOpen = false;
  }
  bool IsCursorOpen() override { return FCursorOpen; }
  void InternalFirst() override { FCursor = -1; }
  void InternalLast() override { FCursor = Count(); }
  void InternalGotoBookmark(const void* Bookmark) override {
    std::int32_t Id = 0; // the bookmark bytes need not be aligned
    std::memcpy(&Id, Bookmark, sizeof Id);
    FCursor = IndexOfId(Id);
  }
  void InternalSetToRecord(TBuf Buffer) override { FCursor = IndexOfId(Info(Buffer).Id); }
  void GetBookmarkData(TBuf Buffer, void* Data) override { std::memcpy(Data, &Info(Buffer).Id, 4); }
  void SetBookmarkData(TBuf Buffer, const void* Data) override {
    std::memcpy(&Info(Buffer).Id, Data, 4);
  }
  TBookmarkFlag GetBookmarkFlag(TBuf Buffer) override { return Info(Buffer).Flag; }
  void SetBookmarkFlag(TBuf Buffer, TBookmarkFlag Value) override { Info(Buffer).Flag = Value; }
  void InternalInitRecord(TBuf Buffer) override { std::memset(Buffer, 0, GetRecordSize()); }
  void InternalPost() override {
    TDataSet::InternalPost();
    Row Posted{FNextId, {}};
    for (std::int32_t C = 0; C < Columns(); ++C) {
      const char* Place = Slot(ActiveBuffer(), C);
      Posted.Texts.emplace_back(Place[0] ? Place + 1 : "");
    }
    if (State() == dsEdit) {
      FRows.at(static_cast<std::size_t>(FCursor)).Texts = std::move(Posted.Texts);
      return;
    }
    // The framework has put the cursor where the new row goes (past the end to append).
    FCursor = std::clamp(FCursor, 0, Count());
    FRows.insert(FRows.begin() + FCursor, std::move(Posted));
    Info(ActiveBuffer()).Id = FNextId++;
  }
  void InternalDelete() override {
    FRows.erase(FRows.begin() + FCursor);
    FCursor = std::min(FCursor, Count() - 1);
  }
  bool GetFieldData(TField* Field, void* Buffer) override {
    if (BufferedRecordCount() == 0 && !IsEditMode(State())) return false;
    const char* Place = Slot(ActiveBuffer(), Field->FieldNo() - 1);
    if (Place[0] && Buffer) std::memcpy(Buffer, Place + 1, static_cast<std::size_t>(FWidth) + 1);
    return Place[0] != 0;
  }
  void SetFieldData(TField* Field, const void* Buffer) override {
    if (!IsEditMode(State())) DatabaseError(SNotEditing);
    Field->Validate(Buffer);
    char* Place = Slot(ActiveBuffer(), Field->FieldNo() - 1);
    std::memset(Place, 0, static_cast<std::size_t>(FWidth) + 2);
    Place[0] = Buffer != nullptr;
    if (Buffer) std::memcpy(Place + 1, Buffer, static_cast<std::size_t>(FWidth) + 1);
    DataEvent(deFieldChange, reinterpret_cast<std::intptr_t>(Field));
  }
  bool GetCanModify() override { return !ReadOnlyData; }
  std::int32_t GetRecordCount() override { return Count(); }

private:
  struct Row {
    std::int32_t Id;
    std::vector<std::string> Texts;
  };
  // A record buffer starts with this, followed by one slot per column: a presence byte and
  // Width + 1 bytes of NUL-terminated text.
  struct BufferInfo {
    std::int32_t Id;
    TBookmarkFlag Flag;
  };

  static BufferInfo& Info(TBuf Buffer) { return *reinterpret_cast<BufferInfo*>(Buffer); }
  std::uint16_t SlotOffset(std::int32_t Column) const {
    return static_cast<std::uint16_t>(sizeof(BufferInfo) + Column * (FWidth + 2));
  }
  char* Slot(TBuf Buffer, std::int32_t Column) const { return Buffer + SlotOffset(Column); }
  std::int32_t Columns() const { return static_cast<std::int32_t>(FColumnNames.size()); }
  std::int32_t Count() const { return static_cast<std::int32_t>(FRows.size()); }
  std::int32_t IndexOfId(std::int32_t Id) const {
    const auto Found =
        std::find_if(FRows.begin(), FRows.end(), [Id](auto& R) { return R.Id == Id; });
    return Found == FRows.end() ? -1 : static_cast<std::int32_t>(Found - FRows.begin());
  }

  std::vector<std::string> FColumnNames;
  std::int32_t FWidth;
  std::vector<Row> FRows;
  std::int32_t FNextId = 1;
  std::int32_t FCursor = -1; // -1 before the first row, Count() after the last
  bool FCursorOpen = false;
};

} // namespace kelva::formstest
