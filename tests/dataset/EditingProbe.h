// TEditProbe: the event-driven dataset with its current record list opened up, and the
// helpers shared by the editing, cached-update, browse-view and event tests.
#pragma once

#include "kelva/dataset/KelvaDataset.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kelva::edit_tests {

// NAME CHAR 10 and AGE INTEGER; Start() raw-loads one record per name from OnLoad.
class TEditProbe : public TEventDataset {
public:
  explicit TEditProbe(TComponent* AOwner = nullptr) : TEventDataset(AOwner) {
    TStringList Lines;
    Lines.Add("FIELD=NAME,CHAR,10");
    Lines.Add("FIELD=AGE,INTEGER,0");
    SetKLVFields(Lines);
  }

  using TKelvaDataset::InternalBuf;

  std::vector<std::string> Initial;
  int UpdateRecCalls = 0;
  int UpdateCalls = 0;

  // Opens with the given records loaded raw (AGE 10, 20, ...) and the regime chosen.
  // OnUpdaterec and OnUpdate only count unless a test replaces them.
  void Start(std::vector<std::string> Names, bool Cached) {
    Initial = std::move(Names);
    OnLoad = [this](TKelvaDataset* D, TKlvLoadAction Action) {
      if (Action != laFirst) return;
      for (std::size_t I = 0; I < Initial.size(); ++I)
        D->AppendRawRecord({Initial[I], static_cast<int>(10 * (I + 1))});
    };
    OnUpdaterec = [this](TKelvaDataset*, TUpdateStatus) { ++UpdateRecCalls; };
    OnUpdate = [this](TKelvaDataset*) { ++UpdateCalls; };
    SetCachedUpdates(Cached);
    Open();
  }

  std::string Cur() { return FieldByName("NAME")->AsString(); }

  // The NAME slot of every entry of the list the current view shows, read from the stored
  // images themselves (no navigation, so it can be used inside handlers).
  std::vector<std::string> Stored() const {
    std::vector<std::string> Names;
    const TKlvFieldInfo& Info = FieldInfo().at(0);
    for (std::int32_t I = 0; I < InternalBuf()->Count(); ++I) {
      std::string Slot(InternalBuf()->ImageView(I).substr(Info.Offset - 1, Info.Width));
      Slot.erase(Slot.find_last_not_of(' ') + 1);
      Names.push_back(Slot);
    }
    return Names;
  }
  std::vector<std::int32_t> StoredIds() const {
    std::vector<std::int32_t> Ids;
    for (std::int32_t I = 0; I < InternalBuf()->Count(); ++I)
      Ids.push_back(InternalBuf()->RecId(I));
    return Ids;
  }

  // The stored names of view View; the standard view is shown again afterwards.
  std::vector<std::string> In(TklvBrowseBuffer View) {
    SetBrowseBuffer(View);
    EXPECT_EQ(BrowseBuffer(), View) << "view not selected";
    std::vector<std::string> Names = Stored();
    SetBrowseBuffer(brStandard);
    return Names;
  }
  // The committed records: the old view while a working copy exists, else the store.
  std::vector<std::string> Committed() { return CachedBufActive() ? In(brold) : Stored(); }

  // Makes the record with this NAME current in the current view.
  void GoTo(const std::string& Wanted) {
    for (First(); !Eof(); Next())
      if (Cur() == Wanted) return;
    FAIL() << "no record named " << Wanted;
  }
  void Rename(const std::string& From, const std::string& To) {
    GoTo(From);
    Edit();
    FieldByName("NAME")->SetAsString(To);
    Post();
  }
  void Remove(const std::string& Wanted) {
    GoTo(Wanted);
    Delete();
  }
};

using Names = std::vector<std::string>;

} // namespace kelva::edit_tests
