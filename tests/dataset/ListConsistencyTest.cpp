// The three record lists of a file must agree about pending deletions: a file that
// contradicts itself is refused, and whatever the dataset itself saves, in any state of
// its cached updates, loads back to the same lists.
#include "FileTextSupport.h"
#include "support/Joined.h"

#include <random>

namespace kelva {
using kelva::testing::Joined;

namespace {

using namespace ordering_test;
using namespace file_test;

const std::vector<std::string> NameAndAge = {"FIELD=NAME,CHAR,5", "FIELD=AGE,INTEGER,0"};

// NAME has a slot of 6, AGE one of 12, then the closing space.
std::string Image(const std::string& Name, int Age) {
  const std::string AgeText = std::to_string(Age);
  return Name + std::string(6 - Name.size(), ' ') + std::string(12 - AgeText.size(), ' ') +
         AgeText + " ";
}

TEST(ListConsistency, FilesWhoseListsContradictEachOtherAreRefused) {
  const std::string Ann = Image("ANN", 1), Bob = Image("BOB", 2);
  struct TCase {
    const char* What;
    TRecords Committed, Cached, Deleted;
  };
  const TCase Cases[] = {
      {"deleted yet still in the working copy",
       {{1, Ann}, {2, Bob}},
       {{1, Ann}, {2, Bob}},
       {{2, Bob}}},
      {"deleted but never committed", {{1, Ann}}, {{1, Ann}}, {{7, Bob}}},
      {"deleted, never committed and in the working copy",
       {{1, Ann}},
       {{1, Ann}, {5, Bob}},
       {{5, Bob}}},
      {"committed, yet neither in the working copy nor deleted",
       {{1, Ann}, {2, Bob}},
       {{1, Ann}},
       {}},
      {"committed, yet neither kept nor deleted beside a deletion",
       {{1, Ann}, {2, Bob}},
       {},
       {{2, Bob}}},
      {"twice in the working copy", {{1, Ann}}, {{1, Ann}, {1, Bob}}, {}},
      {"twice in the deleted list", {{1, Ann}, {2, Bob}}, {{1, Ann}}, {{2, Bob}, {2, Bob}}},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.What);
    TEventDataset D(nullptr);
    EXPECT_EQ(LoadError(D, FileText(NameAndAge, Case.Committed, Case.Cached, Case.Deleted)),
              "invalid file format");
    EXPECT_FALSE(D.Active());
    EXPECT_FALSE(D.CachedUpdates());
  }
}

// One random change of the kind an application makes under cached updates: editing,
// inserting, deleting or raw-loading in the standard view, committing or reverting one
// record in any view, and now and then committing or cancelling everything.
void RandomChange(TEventDataset& D, std::mt19937& Random, int& Counter) {
  const auto Pick = [&](std::int32_t Count) {
    return 1 + static_cast<std::int32_t>(Random() % Count);
  };
  const std::string Name = Joined("N", std::to_string(++Counter % 1000));
  switch (Random() % 10) {
  case 0:
  case 1:
    if (D.IsEmpty()) break;
    D.SetRecNo(Pick(D.RecordCount()));
    D.Edit();
    D.FieldByName("AGE")->SetAsInteger(Counter);
    D.Post();
    break;
  case 2:
    if (D.IsEmpty() || Random() % 2) {
      D.AppendRecord({Name, Counter});
    } else {
      D.SetRecNo(Pick(D.RecordCount()));
      D.InsertRecord({Name, Counter});
    }
    break;
  case 3:
  case 4:
    if (D.IsEmpty()) break;
    D.SetRecNo(Pick(D.RecordCount()));
    D.Delete();
    break;
  case 5:
    D.AppendRawRecord({Name, Counter});
    break;
  case 6:
  case 7:
  case 8: {
    const TklvBrowseBuffer Views[] = {brStandard, brModified, brInserted, brDeleted};
    D.SetBrowseBuffer(Views[Random() % 4]);
    if (!D.IsEmpty()) D.SetRecNo(Pick(D.RecordCount()));
    if (Random() % 2)
      D.CommitRecord();
    else
      D.RevertRecord();
    D.SetBrowseBuffer(brStandard);
    break;
  }
  default:
    if (Random() % 2)
      D.CommitUpdates();
    else
      D.CancelUpdates();
    break;
  }
}

TEST(ListConsistency, EverythingTheDatasetSavesLoadsBackUnchanged) {
  for (const unsigned Seed : {1u, 2u, 3u}) {
    SCOPED_TRACE(Seed);
    std::mt19937 Random(Seed);
    int Counter = 0;
    TEventDataset D(nullptr);
    OpenWith(D, {"FIELD=NAME,CHAR,5", "FIELD=AGE,INTEGER,0"},
             {{"ANN", 1}, {"BOB", 2}, {"CAT", 3}, {"DAN", 4}});
    D.SetCachedUpdates(true);
    for (int Step = 0; Step < 150; ++Step) {
      RandomChange(D, Random, Counter);
      const std::string Text = Saved(D);
      TEventDataset Copy(nullptr);
      ASSERT_EQ(LoadError(Copy, Text), "") << "step " << Step << "\n" << Text;
      ASSERT_EQ(Saved(Copy), Text) << "step " << Step;
      ASSERT_EQ(Copy.UpDatesPending(), D.UpDatesPending()) << "step " << Step;
    }
  }
}

} // namespace
} // namespace kelva
