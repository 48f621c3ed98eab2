// TDBGrid: a grid showing a window of records of a dataset, one row per buffer of its data
// link, with columns bound to fields. The person selects rows, moves with the arrow keys,
// inserts and deletes records; with dgEditing (and without row select) cells can be edited.
#pragma once

#include "kelva/framework/db/DataSource.h"
#include "kelva/framework/forms/Controls.h"
#include "kelva/framework/rtl/Collection.h"

#include <memory>

namespace kelva {

class TDBGrid;

class TColumnTitle : public TPersistent {
public:
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value) { FCaption = Value; }

private:
  std::string FCaption;
};

class TColumn : public TCollectionItem {
public:
  const std::string& FieldName() const { return FFieldName; }
  void SetFieldName(const std::string& Value) { FFieldName = Value; }
  std::int32_t Width() const { return FWidth; }
  void SetWidth(std::int32_t Value) { FWidth = Value; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value) { FVisible = Value; }
  TColumnTitle& Title() { return FTitle; }
  const TColumnTitle& Title() const { return FTitle; }

  // The field of the grid's dataset named FieldName, or null.
  TField* Field() const;
  TDBGrid* Grid() const;
  // The title shown: the title's caption, else the field's display label, else FieldName.
  std::string TitleText() const;

private:
  std::string FFieldName;
  std::int32_t FWidth = 64;
  bool FVisible = true;
  TColumnTitle FTitle;
};

class TDBGridColumns : public TCollection {
public:
  explicit TDBGridColumns(TDBGrid& Grid);
  TDBGrid& Grid() const { return FGrid; }
  TColumn* Add() { return static_cast<TColumn*>(TCollection::Add()); }
  TColumn* Items(std::int32_t Index) const {
    return static_cast<TColumn*>(TCollection::Items(Index));
  }

private:
  TDBGrid& FGrid;
};

enum TDBGridOption : std::uint8_t {
  dgEditing,
  dgAlwaysShowEditor,
  dgTitles,
  dgIndicator,
  dgColumnResize,
  dgColLines,
  dgRowLines,
  dgTabs,
  dgRowSelect,
  dgAlwaysShowSelection,
  dgConfirmDelete,
  dgCancelOnExit,
  dgMultiSelect
};
using TDBGridOptions = TSet<TDBGridOption>;

class TDBGrid : public TWinControl {
public:
  explicit TDBGrid(TComponent* AOwner);
  ~TDBGrid() override;

  TDataSource* DataSource() const;
  void SetDataSource(TDataSource* Value);
  TDBGridColumns& Columns() { return *FColumns; }
  const TDBGridColumns& Columns() const { return *FColumns; }
  TDBGridOptions Options() const { return FOptions; }
  void SetOptions(TDBGridOptions Value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }
  std::int32_t DefaultRowHeight() const { return FDefaultRowHeight; }
  void SetDefaultRowHeight(std::int32_t Value);
  void SetHeight(std::int32_t Value) override;

  // The rows the grid has room for: its data link keeps that many buffers.
  std::int32_t VisibleRowCount() const;
  // The rows that hold a record now (at most VisibleRowCount).
  std::int32_t RowCount() const;
  // The row of the current record, or -1 when the grid shows nothing.
  std::int32_t Row() const;
  // The columns shown: the visible ones of Columns, or one per visible field when Columns is
  // empty.
  std::int32_t ColumnCount() const;
  TField* ColumnField(std::int32_t Col) const;
  std::string ColumnTitle(std::int32_t Col) const;
  std::int32_t SelectedIndex() const { return FSelectedIndex; }
  void SetSelectedIndex(std::int32_t Value);
  TField* SelectedField() const { return ColumnField(FSelectedIndex); }
  // The text shown in a cell of a row holding a record.
  std::string CellText(std::int32_t Row, std::int32_t Col) const;

  // The person's actions.
  void ClickCell(std::int32_t Row, std::int32_t Col);
  void ClickRow(std::int32_t Row) { ClickCell(Row, FSelectedIndex); }
  void KeyDown();
  void KeyUp();
  void KeyInsert();
  void KeyCtrlDelete();
  // Types Text into the selected cell and commits it (Enter). Only with dgEditing and without
  // dgRowSelect; returns whether the text was taken.
  bool TypeCell(const std::string& Text);

  bool CanModify() const;

protected:
  void DoExit() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  class TGridDataLink;
  void UpdateBufferCount();
  std::vector<TField*> ShownFields() const;
  bool CanEditCells() const;

  std::unique_ptr<TGridDataLink> FDataLink;
  std::unique_ptr<TDBGridColumns> FColumns;
  TDBGridOptions FOptions{dgEditing,  dgTitles, dgIndicator,     dgColumnResize, dgColLines,
                          dgRowLines, dgTabs,   dgConfirmDelete, dgCancelOnExit};
  bool FReadOnly = false;
  std::int32_t FDefaultRowHeight = 18;
  std::int32_t FSelectedIndex = 0;
};

} // namespace kelva
