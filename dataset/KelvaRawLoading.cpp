// Raw loading: records that program code supplies are committed at once, bypass the
// per-record update hook and, unless asked, the standard editing events; a raw load may
// fill a read-only dataset but never edits or deletes.
#include "kelva/dataset/KelvaDataset.h"

namespace kelva {

namespace {
// Silent abort unless the standard view is shown: only it can take new records.
void CheckStandardView(TklvBrowseBuffer View) {
  if (View != brStandard) Abort();
}
} // namespace

void TKelvaDataset::CheckNotRawLoadind() {
  if (FRawLoading) Abort();
}

void TKelvaDataset::AppendRaw() {
  CheckStandardView(FBrowseBuffer);
  CheckNotTemporaryState();
  FRawLoading = true;
  try {
    Append();
  } catch (...) {
    FRawLoading = false;
    throw;
  }
}

void TKelvaDataset::InsertRaw() {
  CheckStandardView(FBrowseBuffer);
  CheckNotTemporaryState();
  FRawLoading = true;
  try {
    Insert();
  } catch (...) {
    FRawLoading = false;
    throw;
  }
}

// A post or cancel that fails leaves the record in insert state and the raw load going, so
// the caller can fix it and retry; a handler that ended the insert itself (cancelled, posted
// or closed) ended the raw load with it, which must not go on making the dataset writable.
void TKelvaDataset::PostRaw() {
  FinishRawInsert(true);
}

void TKelvaDataset::CancelRaw() {
  FinishRawInsert(false);
}

void TKelvaDataset::FinishRawInsert(bool Store) {
  if (!FRawLoading) return;
  CheckNotTemporaryState();
  try {
    if (Store)
      Post();
    else
      Cancel();
  } catch (...) {
    if (State() != dsInsert) FRawLoading = false;
    throw;
  }
  FRawLoading = false;
}

void TKelvaDataset::AddRawRecord(const std::vector<Variant>& Values, bool AppendIt) {
  CheckStandardView(FBrowseBuffer);
  CheckNotTemporaryState();
  auto Add = [&] {
    if (AppendIt)
      AppendRecord(Values);
    else
      InsertRecord(Values);
  };
  if (FRawLoading) {
    Add();
    return;
  }
  FRawLoading = true;
  try {
    Add();
  } catch (...) {
    // A record that could not be added in its one call must not stay half-filled in insert
    // state, where the next browse-mode check would post it.
    if (State() == dsInsert) {
      try {
        Cancel();
      } catch (...) {}
    }
    FRawLoading = false;
    throw;
  }
  FRawLoading = false;
}

void TKelvaDataset::AppendRawRecord(std::initializer_list<Variant> Values) {
  AddRawRecord(std::vector<Variant>(Values), true);
}
void TKelvaDataset::AppendRawRecord(const std::vector<Variant>& Values) {
  AddRawRecord(Values, true);
}
void TKelvaDataset::InsertRawRecord(std::initializer_list<Variant> Values) {
  AddRawRecord(std::vector<Variant>(Values), false);
}
void TKelvaDataset::InsertRawRecord(const std::vector<Variant>& Values) {
  AddRawRecord(Values, false);
}

void TKelvaDataset::Post() {
  if (FireStdEvents()) {
    TDataSet::Post();
    return;
  }
  // The framework's post sequence, with the retry protocol run by the dataset itself.
  CheckNotTemporaryState();
  UpdateRecord();
  if (State() != dsEdit && State() != dsInsert) return;
  const TOperationMark Mark = MarkOperation();
  DataEvent(deCheckBrowseMode, 0);
  DoBeforePost();
  CheckOperationMark(Mark);
  KlvCheckOperation([this] { InternalPost(); }, OnPostError);
  FreeFieldBuffers();
  SetState(dsBrowse);
  Resync({});
  DoAfterPost();
}

// The standard editing events stay quiet during a raw load unless asked for.
void TKelvaDataset::DoBeforeInsert() {
  if (FireStdEvents()) TDataSet::DoBeforeInsert();
}
void TKelvaDataset::DoAfterInsert() {
  if (FireStdEvents()) TDataSet::DoAfterInsert();
}
void TKelvaDataset::DoOnNewRecord() {
  if (FireStdEvents()) TDataSet::DoOnNewRecord();
}
void TKelvaDataset::DoBeforeEdit() {
  if (FireStdEvents()) TDataSet::DoBeforeEdit();
}
void TKelvaDataset::DoAfterEdit() {
  if (FireStdEvents()) TDataSet::DoAfterEdit();
}
void TKelvaDataset::DoBeforePost() {
  if (FireStdEvents()) TDataSet::DoBeforePost();
}
void TKelvaDataset::DoAfterPost() {
  if (FireStdEvents()) TDataSet::DoAfterPost();
}
void TKelvaDataset::DoBeforeCancel() {
  if (FireStdEvents()) TDataSet::DoBeforeCancel();
}
void TKelvaDataset::DoAfterCancel() {
  if (FireStdEvents()) TDataSet::DoAfterCancel();
}
void TKelvaDataset::DoBeforeDelete() {
  if (FireStdEvents()) TDataSet::DoBeforeDelete();
}
void TKelvaDataset::DoAfterDelete() {
  if (FireStdEvents()) TDataSet::DoAfterDelete();
}

} // namespace kelva
