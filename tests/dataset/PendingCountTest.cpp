// Whether changes are pending is kept as a count of differing records, changed record by
// record: settling records one at a time never compares the whole lists again, and a change
// the count was not told of (an image written directly, a sort, a load) still counts.
#include "DatasetProbe.h"

#include "kelva/dataset/store/PendingCount.h"
#include "kelva/dataset/store/RecordList.h"
#include "support/Joined.h"

#include <string>
#include <vector>

namespace kelva::testing {
namespace {

class TCountingDataset : public TProbeDataset {
public:
  using TKelvaDataset::CachedBuf;
  using TKelvaDataset::CommittedBuf;
  std::uint64_t Recounts() const { return PendingCount().Recounts(); }

  // Writes Letter over the first byte of the working image at Index, past the count.
  void OverwriteFirstByte(std::int32_t Index, char Letter) {
    std::string Image(CachedBuf()->ImageView(Index));
    Image[0] = Letter;
    CachedBuf()->SetImage(Index, Image.data());
    Resync({});
  }

  // Settles the record at the cursor until the view is empty; false if one stays.
  bool SettleAll(bool Commit) {
    for (std::int32_t Left = RecordCount(); Left > 0; --Left) {
      Commit ? CommitRecord() : RevertRecord();
      if (RecordCount() != Left - 1) return false;
    }
    return true;
  }
};

std::vector<std::string> NumberedNames(int Count) {
  std::vector<std::string> Names;
  for (int I = 0; I < Count; ++I) Names.push_back(Joined("R", std::to_string(I)));
  return Names;
}

// Committed and working records, identifier and image, in list order.
std::vector<std::pair<std::int32_t, std::string>> Entries(const TKlvRecordList& List) {
  std::vector<std::pair<std::int32_t, std::string>> Result;
  for (std::int32_t I = 0; I < List.Count(); ++I)
    Result.emplace_back(List.RecId(I), std::string(List.ImageView(I)));
  return Result;
}

// A debug build checks the kept count against a fresh one at every step of this test.
TEST(PendingCount, SettlingRecordsOneByOneNeverComparesTheListsAgain) {
  TCountingDataset D;
  OpenNamed(D, NumberedNames(600));
  D.SetCachedUpdates(true);
  TField* N = D.FieldByName("N");
  for (D.First(); !D.Eof(); D.Next()) {
    if (D.RecNo() % 2 == 0) continue;
    D.Edit();
    N->SetAsInteger(N->AsInteger() + 100000);
    D.Post();
  }
  D.First();
  D.Edit();
  N->SetAsInteger(1); // edited back: no longer modified
  D.Post();
  for (int I = 0; I < 20; ++I) D.AppendRecord({"NEW" + std::to_string(I), I});
  D.SetRecNo(2);
  for (int I = 0; I < 20; ++I) D.Delete();
  ASSERT_TRUE(D.UpDatesPending());

  // Deletions and insertions first: while a deletion is pending nothing else is looked at.
  D.SetBrowseBuffer(brDeleted);
  D.First();
  EXPECT_TRUE(D.SettleAll(false));
  D.SetBrowseBuffer(brInserted);
  D.First();
  EXPECT_TRUE(D.SettleAll(true));
  D.SetBrowseBuffer(brModified);
  EXPECT_EQ(D.RecordCount(), 300 - 1 - 10);
  D.First();
  for (int I = 0; I < 200; ++I) D.RevertRecord();
  EXPECT_EQ(D.RecordCount(), 300 - 1 - 10 - 200);
  EXPECT_TRUE(D.UpDatesPending());
  EXPECT_TRUE(D.SettleAll(true));
  D.SetBrowseBuffer(brStandard);

  EXPECT_FALSE(D.UpDatesPending());
  EXPECT_EQ(Entries(*D.CommittedBuf()), Entries(*D.CachedBuf()));
  EXPECT_EQ(D.RecordCount(), 600 + 20);
  EXPECT_EQ(D.Recounts(), 0u) << "some change reached the lists without updating the count";
}

TEST(PendingCount, ChangesTheCountWasNotToldOfStillCount) {
  TCountingDataset D;
  OpenNamed(D, {"A", "B", "C"});
  D.SetCachedUpdates(true);
  D.First();
  D.Edit();
  D.FieldByName("NAME")->SetAsString("A2");
  D.Post();
  ASSERT_TRUE(D.UpDatesPending());

  // The committed image written straight into the working copy: nothing differs any more.
  D.CachedBuf()->SetImageFrom(0, *D.CommittedBuf(), 0);
  EXPECT_FALSE(D.UpDatesPending());
  D.OverwriteFirstByte(2, 'Z'); // C becomes Z
  EXPECT_TRUE(D.UpDatesPending());
  D.SortOn("NAME", false, true);
  EXPECT_TRUE(D.UpDatesPending());
  const std::uint64_t AfterSort = D.Recounts();
  D.First();
  ASSERT_EQ(D.FieldByName("NAME")->AsString(), "Z");
  D.RevertRecord();
  EXPECT_FALSE(D.UpDatesPending());
  EXPECT_EQ(D.Recounts(), AfterSort) << "a bracketed change needs no fresh count";

  // A loaded working copy is counted once, then kept.
  ASSERT_TRUE(D.Locate("NAME", "B", {}));
  D.Edit();
  D.FieldByName("NAME")->SetAsString("B2");
  D.Post();
  TMemoryStream Saved;
  D.SaveToStream(Saved);
  Saved.SetPosition(0);
  TCountingDataset Loaded;
  Loaded.LoadFromStream(Saved);
  EXPECT_TRUE(Loaded.UpDatesPending());
  EXPECT_EQ(Loaded.Recounts(), 1u);
  Loaded.SetBrowseBuffer(brModified);
  Loaded.First();
  Loaded.CommitRecord();
  EXPECT_FALSE(Loaded.UpDatesPending());
  EXPECT_EQ(Loaded.Recounts(), 1u);
}

TEST(PendingCount, AChangeThatFailsLeavesTheCountRight) {
  auto Pool = std::make_shared<TKlvImagePool>(4);
  std::unique_ptr<TKlvRecordList> Committed = std::make_unique<TKlvRecordList>(Pool);
  Committed->Add("aaaa", 1);
  Committed->Add("bbbb", 2);
  std::unique_ptr<TKlvRecordList> Working = std::make_unique<TKlvRecordList>(*Committed);
  TKlvPendingCount Count(Committed, Working);
  Count.SetAllEqual();
  {
    const auto Change = Count.Change(3);
    Working->Add("cccc", 3);
  }
  EXPECT_EQ(Count.Differing(), 1);
  try {
    const auto Change = Count.Change(2);
    Working->Add("dddd", 2); // the identifier is taken: refused, nothing changes
    ADD_FAILURE() << "a second entry with identifier 2 was accepted";
  } catch (const EListError&) {}
  EXPECT_EQ(Count.Differing(), 1);
  {
    const auto Change = Count.Change(2);
    Working->SetImage(1, "BBBB");
  }
  EXPECT_EQ(Count.Differing(), 2);
  {
    // The working copy replaced inside the bracket: the count is taken afresh next time.
    const auto Change = Count.Change(1);
    Working = std::make_unique<TKlvRecordList>(*Committed);
  }
  EXPECT_EQ(Count.Differing(), 0);
  EXPECT_EQ(Count.Recounts(), 1u);
}

} // namespace
} // namespace kelva::testing
