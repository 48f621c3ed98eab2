// TDataSource connects a dataset to the data links of controls; TDataLink is how a control
// follows the dataset's ring through a window of buffers; TFieldDataLink adds the single
// field that edit-like controls show.
#pragma once

#include "kelva/framework/db/DataSetTypes.h"
#include "kelva/framework/rtl/Component.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kelva {

class TDataSet;
class TDataLink;
class TField;

using TDataChangeEvent = std::function<void(TObject* Sender, TField* Field)>;

class TDataSource : public TComponent {
public:
  explicit TDataSource(TComponent* AOwner);
  ~TDataSource() override;

  TDataSet* DataSet() const { return FDataSet; }
  void SetDataSet(TDataSet* ADataSet);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  bool AutoEdit() const { return FAutoEdit; }
  void SetAutoEdit(bool Value) { FAutoEdit = Value; }
  TDataSetState State() const { return FState; }
  void Edit();
  bool IsLinkedTo(TDataSet* ADataSet) const;

  TNotifyEvent OnStateChange;
  TDataChangeEvent OnDataChange;
  TNotifyEvent OnUpdateData;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  friend class TDataSet;
  friend class TDataLink;

  void UpdateState();
  void DataEvent(TDataEvent Event, std::intptr_t Info);
  void AddDataLink(TDataLink* Link);
  void RemoveDataLink(TDataLink* Link);

  TDataSet* FDataSet = nullptr;
  bool FEnabled = true;
  bool FAutoEdit = true;
  TDataSetState FState = dsInactive;
  std::vector<TDataLink*> FDataLinks; // not owned; each link leaves on destruction
};

class TDataLink : public TPersistent {
public:
  TDataLink();
  virtual ~TDataLink();
  TDataLink(const TDataLink&) = delete;
  TDataLink& operator=(const TDataLink&) = delete;

  TDataSource* DataSource() const { return FDataSource; }
  void SetDataSource(TDataSource* ADataSource);
  TDataSet* DataSet() const;
  bool Active() const { return FActive; }
  bool Editing() const { return FEditing; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  std::int32_t BufferCount() const { return FBufferCount; }
  void SetBufferCount(std::int32_t Value);
  std::int32_t ActiveRecord() const;
  void SetActiveRecord(std::int32_t Value);
  std::int32_t RecordCount() const;
  std::int32_t FirstRecord() const { return FFirstRecord; }
  bool Edit();
  void UpdateRecord();
  bool Bof() const;
  bool Eof() const;
  std::int32_t MoveBy(std::int32_t Distance);

protected:
  virtual void ActiveChanged() {}
  virtual void CheckBrowseMode() {}
  virtual void DataSetChanged();
  virtual void DataSetScrolled(std::int32_t Distance);
  virtual void EditingChanged() {}
  virtual void FocusControl(TField** FieldRef);
  virtual void LayoutChanged();
  virtual void RecordChanged(TField* Field);
  virtual void UpdateData() {}

private:
  friend class TDataSource;
  friend class TDataSet;

  void UpdateState();
  void DataEvent(TDataEvent Event, std::intptr_t Info);
  // Moves the window by Shift and clamps it so that the active record stays inside it.
  void RecomputeWindow(std::int32_t Shift);

  TDataSource* FDataSource = nullptr;
  std::int32_t FBufferCount = 1;
  std::int32_t FFirstRecord = 0;
  bool FActive = false;
  bool FEditing = false;
  bool FReadOnly = false;
  bool FUpdating = false;
};

// The link of a single-field control: finds its field by name whenever the link becomes
// active or the layout changes.
class TFieldDataLink : public TDataLink {
public:
  const std::string& FieldName() const { return FFieldName; }
  void SetFieldName(const std::string& Value);
  TField* Field() const { return FField; }
  bool CanModify() const;

  TNotifyEvent OnDataChange;
  TNotifyEvent OnEditingChange;
  TNotifyEvent OnActiveChange;
  TNotifyEvent OnUpdateData;

protected:
  void ActiveChanged() override;
  void EditingChanged() override;
  void LayoutChanged() override;
  void RecordChanged(TField* AField) override;
  void UpdateData() override;
  void FocusControl(TField** FieldRef) override;

public:
  std::function<void()> OnFocusControl;

private:
  void UpdateField();

  std::string FFieldName;
  TField* FField = nullptr;
};

} // namespace kelva
