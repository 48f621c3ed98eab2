// TProbeDataset: the hooked test dataset with its record-buffer protocol opened up, so that
// tests can call the cursor primitives directly and read or plant stored record images,
// plus small helpers shared by the dataset core tests.
#pragma once

#include "HookedDataset.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kelva::testing {

class TProbeDataset : public THookedDataset {
public:
  explicit TProbeDataset(TComponent* AOwner = nullptr) : THookedDataset(AOwner) {}
  ~TProbeDataset() override {
    Destroying();
    Close();
  }

  // Every data event the dataset sends, in order.
  std::vector<TDataEvent> Events;
  void DataEvent(TDataEvent Event, std::intptr_t Info) override {
    Events.push_back(Event);
    THookedDataset::DataEvent(Event, Info);
  }

  using TKelvaDataset::AllocRecordBuffer;
  using TKelvaDataset::AssertRingInvariants;
  using TKelvaDataset::BCDToCurr;
  using TKelvaDataset::CalcFieldsSize;
  using TKelvaDataset::FreeRecordBuffer;
  using TKelvaDataset::GetRecord;
  using TKelvaDataset::GetRecordCount;
  using TKelvaDataset::GetRecordSize;
  using TKelvaDataset::InternalFirst;
  using TKelvaDataset::KlvCheckOperation;
  using TKelvaDataset::RestoreState;
  using TKelvaDataset::SetTempState;

  // The identifier held in the record information block of the active buffer.
  std::int32_t ActiveRecId() {
    std::int32_t RecId;
    GetBookmarkData(ActiveBuffer(), &RecId);
    return RecId;
  }

  // The slot text of field FieldNo in the stored image at Index of the current list.
  std::string StoredSlot(std::int32_t Index, std::int32_t FieldNo) const {
    const TKlvFieldInfo& Info = FieldInfo().at(static_cast<std::size_t>(FieldNo - 1));
    return std::string(InternalBuf()->ImageView(Index).substr(Info.Offset - 1, Info.Width));
  }

  // Replaces the slot text of field FieldNo in the stored image at Index (as a hand-edited
  // stream could bring it) and rebuilds the ring so the active buffer shows it.
  void PlantSlot(std::int32_t Index, std::int32_t FieldNo, const std::string& Text) {
    const TKlvFieldInfo& Info = FieldInfo().at(static_cast<std::size_t>(FieldNo - 1));
    std::string Image(InternalBuf()->ImageView(Index));
    Image.replace(Info.Offset - 1, Info.Width, Text + std::string(Info.Width - Text.size(), ' '));
    InternalBuf()->SetImage(Index, Image.data());
    Resync({});
  }

  // The identifiers of the current list, in list order.
  std::vector<std::int32_t> RecIds() const {
    std::vector<std::int32_t> Ids;
    for (std::int32_t I = 0; I < InternalBuf()->Count(); ++I)
      Ids.push_back(InternalBuf()->RecId(I));
    return Ids;
  }
};

// A record buffer from the dataset, released when the holder goes.
class TBufferHolder {
public:
  explicit TBufferHolder(TProbeDataset& D) : FData(D), FBuffer(D.AllocRecordBuffer()) {}
  ~TBufferHolder() { FData.FreeRecordBuffer(FBuffer); }
  TBufferHolder(const TBufferHolder&) = delete;
  TBufferHolder& operator=(const TBufferHolder&) = delete;
  TRecordBuffer Get() const { return FBuffer; }

private:
  TProbeDataset& FData;
  TRecordBuffer FBuffer;
};

// Opens D with NAME CHAR 10 and N INTEGER and raw-loads one record per name, N counting
// from 1.
inline void OpenNamed(TProbeDataset& D, const std::vector<std::string>& Names) {
  D.Describe({"FIELD=NAME,CHAR,10", "FIELD=N,INTEGER,0"});
  D.Open();
  for (std::size_t I = 0; I < Names.size(); ++I)
    D.AppendRawRecord({Names[I], static_cast<int>(I + 1)});
}

// Gives D, before it opens, persistent fields for NAME CHAR 10 and N INTEGER and a
// calculated INTEGER field CALC; returns CALC. The dataset deletes them when it goes.
inline TField* AddFieldsWithCalculated(TProbeDataset& D) {
  D.Describe({"FIELD=NAME,CHAR,10", "FIELD=N,INTEGER,0"});
  auto* Name = new TStringField(nullptr);
  Name->SetFieldName("NAME");
  Name->SetSize(10);
  Name->SetDataSet(&D);
  auto* N = new TIntegerField(nullptr);
  N->SetFieldName("N");
  N->SetDataSet(&D);
  auto* Calc = new TIntegerField(nullptr);
  Calc->SetFieldName("CALC");
  Calc->SetFieldKind(fkCalculated);
  Calc->SetDataSet(&D);
  return Calc;
}

// The NAME of every record, walking the view from first to last.
inline std::vector<std::string> VisibleNames(TDataSet& D) {
  std::vector<std::string> Names;
  for (D.First(); !D.Eof(); D.Next()) Names.push_back(D.FieldByName("NAME")->AsString());
  return Names;
}

// The message of the EDatabaseError that Action raises ("" and a test failure otherwise).
inline std::string DatabaseErrorOf(const std::function<void()>& Action) {
  try {
    Action();
  } catch (const EDatabaseError& E) {
    return E.Message();
  } catch (const std::exception& E) {
    ADD_FAILURE() << "unexpected exception: " << E.what();
    return "";
  }
  ADD_FAILURE() << "no exception raised";
  return "";
}

// Appends the name of every editing and scrolling event of D to Log as it fires.
inline void LogEvents(TDataSet& D, std::vector<std::string>& Log) {
  auto Hook = [&Log](const char* Name) { return [&Log, Name](TDataSet*) { Log.push_back(Name); }; };
  D.BeforeInsert = Hook("BeforeInsert");
  D.AfterInsert = Hook("AfterInsert");
  D.OnNewRecord = Hook("OnNewRecord");
  D.BeforeEdit = Hook("BeforeEdit");
  D.AfterEdit = Hook("AfterEdit");
  D.BeforePost = Hook("BeforePost");
  D.AfterPost = Hook("AfterPost");
  D.BeforeCancel = Hook("BeforeCancel");
  D.AfterCancel = Hook("AfterCancel");
  D.BeforeDelete = Hook("BeforeDelete");
  D.AfterDelete = Hook("AfterDelete");
  D.BeforeScroll = Hook("BeforeScroll");
  D.AfterScroll = Hook("AfterScroll");
}

} // namespace kelva::testing
