// Test rig for the dataset tests: a data link that records every notification it receives,
// and a probe dataset wired to a data source and such a link, as a grid of N rows attaches.
#pragma once

#include "ProbeDataSet.h"

#include "kelva/framework/db/DataSource.h"
#include "kelva/framework/db/Fields.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

// Checks every buffer-ring rule of the probe; the message lists the broken ones.
#define EXPECT_RING_OK(Probe) EXPECT_EQ((Probe).RingProblems(), "")

namespace kelva {

class RecordingDataLink : public TDataLink {
public:
  std::vector<std::string> Calls;

protected:
  void ActiveChanged() override { Calls.push_back(Active() ? "Active" : "Inactive"); }
  void CheckBrowseMode() override { Calls.push_back("CheckBrowseMode"); }
  void DataSetChanged() override { Calls.push_back("DataSetChanged"); }
  void DataSetScrolled(std::int32_t Distance) override {
    Calls.push_back("DataSetScrolled(" + std::to_string(Distance) + ")");
  }
  void EditingChanged() override { Calls.push_back(Editing() ? "Editing" : "NotEditing"); }
  void FocusControl(TField**) override { Calls.push_back("FocusControl"); }
  void LayoutChanged() override { Calls.push_back("LayoutChanged"); }
  void RecordChanged(TField* Field) override {
    Calls.push_back("RecordChanged(" + (Field ? Field->FieldName() : std::string("null")) + ")");
  }
  void UpdateData() override { Calls.push_back("UpdateData"); }
};

// A probe holding Records records (values 10, 20, …), a data source and a link of RingSize
// buffers: the dataset's ring has RingSize slots once it is open.
struct ProbeRig {
  ProbeRig(std::int32_t Records, std::int32_t RingSize) {
    DataSet.FillRecords(Records);
    Source.SetDataSet(&DataSet);
    Link.SetBufferCount(RingSize);
    Link.SetDataSource(&Source);
  }

  // Destroyed in reverse order: the link leaves the source, the source leaves the dataset.
  ProbeDataSet DataSet;
  TDataSource Source{nullptr};
  RecordingDataLink Link;
};

} // namespace kelva
