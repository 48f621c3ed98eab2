// Record lists checked against a plain vector model under long random sequences of
// inserts, deletes, image changes, copies and reorders, plus the identifier rules.
#include "kelva/dataset/store/RecordList.h"
#include "kelva/framework/rtl/Exceptions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace kelva {
namespace {

constexpr std::int32_t ImageSize = 8;

struct ModelEntry {
  std::string Image;
  std::int32_t RecId;
};

std::string MakeImage(std::mt19937& Random) {
  std::string Image(ImageSize, ' ');
  for (char& C : Image) C = static_cast<char>('a' + Random() % 26);
  return Image;
}

void ExpectSame(const TKlvRecordList& List, const std::vector<ModelEntry>& Model) {
  ASSERT_EQ(List.Count(), static_cast<std::int32_t>(Model.size()));
  for (std::int32_t I = 0; I < List.Count(); ++I) {
    ASSERT_EQ(List.ImageView(I), Model[I].Image) << "position " << I;
    ASSERT_EQ(List.RecId(I), Model[I].RecId) << "position " << I;
    ASSERT_EQ(List.IndexOfId(Model[I].RecId), I) << "identifier " << Model[I].RecId;
  }
}

// Seed 3 runs with a reserved region, as a bulk load has: images, blocks and identifier
// pages then come from the region, and blocks given back are used again.
TEST(RecordList, RandomOperationsMatchAVectorModel) {
  for (unsigned Seed : {1u, 2u, 3u}) {
    std::mt19937 Random(Seed);
    auto Pool = std::make_shared<TKlvImagePool>(ImageSize);
    if (Seed == 3) Pool->Reserve(200000);
    TKlvRecordList List(Pool);
    std::vector<ModelEntry> Model;
    std::int32_t NextId = 1;
    // Enough entries to force block splits and removals.
    for (int Step = 0; Step < 20000; ++Step) {
      const unsigned Op = Random() % 10;
      const auto Size = static_cast<std::int32_t>(Model.size());
      if (Op < 5 || Size == 0) {
        const std::int32_t At = static_cast<std::int32_t>(Random() % (Size + 1));
        const std::string Image = MakeImage(Random);
        List.Insert(At, Image.data(), NextId);
        Model.insert(Model.begin() + At, {Image, NextId});
        ++NextId;
      } else if (Op < 8) {
        const std::int32_t At = static_cast<std::int32_t>(Random() % Size);
        List.Delete(At);
        Model.erase(Model.begin() + At);
      } else {
        const std::int32_t At = static_cast<std::int32_t>(Random() % Size);
        const std::string Image = MakeImage(Random);
        List.SetImage(At, Image.data());
        Model[At].Image = Image;
      }
      if (Step % 997 == 0) ExpectSame(List, Model);
    }
    ExpectSame(List, Model);
    EXPECT_EQ(Pool->LiveCount(), Model.size());
  }
}

// With a reserved region, emptied blocks go back to the pool and new blocks reuse them;
// no two blocks may ever share memory.
TEST(RecordList, BlocksGivenBackToAReservedRegionAreUsedAgain) {
  auto Pool = std::make_shared<TKlvImagePool>(ImageSize);
  Pool->Reserve(200000);
  TKlvRecordList List(Pool);
  std::vector<ModelEntry> Model;
  std::int32_t NextId = 1;
  auto Append = [&](int Count) {
    for (int I = 0; I < Count; ++I, ++NextId) {
      const std::string Image = std::to_string(10000000 + NextId);
      List.Add(Image.data(), NextId);
      Model.push_back({Image, NextId});
    }
  };
  Append(10000);
  for (int Round = 0; Round < 3; ++Round) {
    // Emptying the first blocks one entry at a time removes them.
    for (int I = 0; I < 6000; ++I) List.Delete(0);
    Model.erase(Model.begin(), Model.begin() + 6000);
    Append(7000);
    ExpectSame(List, Model);
  }
}

TEST(RecordList, CopiesShareImagesUntilOneSideChanges) {
  auto Pool = std::make_shared<TKlvImagePool>(ImageSize);
  TKlvRecordList Committed(Pool);
  Committed.Add("aaaaaaaa", 1);
  Committed.Add("bbbbbbbb", 2);
  TKlvRecordList Working(Committed);
  EXPECT_EQ(Pool->LiveCount(), 2u);
  EXPECT_TRUE(Working.SameImage(0, Committed, 0));

  Working.SetImage(1, "BBBBBBBB");
  EXPECT_EQ(Committed.ImageView(1), "bbbbbbbb");
  EXPECT_EQ(Working.ImageView(1), "BBBBBBBB");
  EXPECT_FALSE(Working.SameImage(1, Committed, 1));

  // Writing the committed bytes back makes the versions equal again, byte for byte.
  Working.SetImage(1, "bbbbbbbb");
  EXPECT_TRUE(Working.SameImage(1, Committed, 1));

  Working.Delete(0);
  EXPECT_EQ(Committed.ImageView(0), "aaaaaaaa");
  Committed.SetImageFrom(1, Working, 0);
  EXPECT_EQ(Committed.ImageView(1), "bbbbbbbb");
}

// A list that holds every reference of its pool lets go of them all at once; while another
// list still shares images, each is released on its own and the shared ones stay readable.
TEST(RecordList, TheLastHolderReleasesThePoolAtOnce) {
  auto Pool = std::make_shared<TKlvImagePool>(ImageSize);
  auto Committed = std::make_unique<TKlvRecordList>(Pool);
  for (std::int32_t Id = 1; Id <= 5000; ++Id)
    Committed->Add(std::to_string(Id + 10000000).data(), Id);
  auto Working = std::make_unique<TKlvRecordList>(*Committed);
  Working->SetImage(0, "changed!");
  Working->Delete(1);
  Committed.reset();
  EXPECT_EQ(Pool->LiveCount(), 4999u); // the unchanged 4998 shared, and the changed one
  EXPECT_EQ(Working->ImageView(0), "changed!");
  EXPECT_EQ(Working->ImageView(4998), "10005000");

  Working->Clear();
  EXPECT_EQ(Pool->LiveCount(), 0u);
  // Slots are handed out again and hold what they are given.
  Working->Add("aaaaaaaa", 1);
  TKlvRecordList Other(Pool);
  Other.Add("bbbbbbbb", 2);
  EXPECT_EQ(Working->ImageView(0), "aaaaaaaa");
  EXPECT_EQ(Other.ImageView(0), "bbbbbbbb");
  EXPECT_EQ(Pool->LiveCount(), 2u);
  Working.reset();
  EXPECT_EQ(Pool->LiveCount(), 1u);
  EXPECT_EQ(Other.ImageView(0), "bbbbbbbb");
}

TEST(RecordList, IdentifiersAreUniqueAndFoundWithoutOrder) {
  auto Pool = std::make_shared<TKlvImagePool>(ImageSize);
  TKlvRecordList List(Pool);
  List.Add("aaaaaaaa", 7);
  List.Add("bbbbbbbb", -3);            // negative identifiers come from hand-written files
  List.Add("cccccccc", 2'000'000'000); // so do very large ones
  EXPECT_THROW(List.Add("dddddddd", 7), EListError);
  EXPECT_EQ(List.Count(), 3);
  EXPECT_EQ(Pool->LiveCount(), 3u);
  EXPECT_EQ(List.IndexOfId(-3), 1);
  EXPECT_EQ(List.IndexOfId(2'000'000'000), 2);
  EXPECT_EQ(List.IndexOfId(8), -1);
  List.Delete(1);
  EXPECT_FALSE(List.ContainsId(-3));
  EXPECT_EQ(List.IndexOfId(2'000'000'000), 1);
}

TEST(RecordList, ReorderMovesImagesWithTheirIdentifiers) {
  auto Pool = std::make_shared<TKlvImagePool>(ImageSize);
  TKlvRecordList List(Pool);
  std::vector<ModelEntry> Model;
  std::mt19937 Random(9);
  for (std::int32_t Id = 1; Id <= 5000; ++Id) {
    const std::string Image = MakeImage(Random);
    List.Add(Image.data(), Id);
    Model.push_back({Image, Id});
  }
  std::vector<std::int32_t> Order(Model.size());
  std::iota(Order.begin(), Order.end(), 0);
  std::stable_sort(Order.begin(), Order.end(),
                   [&](std::int32_t A, std::int32_t B) { return Model[A].Image < Model[B].Image; });
  List.Reorder(Order);
  std::vector<ModelEntry> Sorted;
  for (std::int32_t From : Order) Sorted.push_back(Model[From]);
  ExpectSame(List, Sorted);
  // Inserting after a reorder still lands where asked.
  List.Insert(1234, "zzzzzzzz", 9999);
  EXPECT_EQ(List.IndexOfId(9999), 1234);

  std::vector<std::int32_t> NotAPermutation(List.Count(), 0);
  EXPECT_THROW(List.Reorder(NotAPermutation), EListError);
  EXPECT_EQ(List.IndexOfId(9999), 1234); // a refused reorder changes nothing
}

TEST(RecordList, OutOfRangePositionsAreRefused) {
  auto Pool = std::make_shared<TKlvImagePool>(ImageSize);
  TKlvRecordList List(Pool);
  EXPECT_THROW(List.Image(0), EListError);
  EXPECT_THROW(List.Insert(1, "aaaaaaaa", 1), EListError);
  List.Add("aaaaaaaa", 1);
  EXPECT_THROW(List.Delete(1), EListError);
  EXPECT_THROW(List.RecId(-1), EListError);
  EXPECT_EQ(Pool->LiveCount(), 1u);
}

} // namespace
} // namespace kelva
