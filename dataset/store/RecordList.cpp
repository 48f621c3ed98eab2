// Record lists: blocks of (slot, identifier) entries over the shared image pool.
#include "kelva/dataset/store/RecordList.h"

#include "kelva/framework/rtl/Exceptions.h"
#include "kelva/framework/rtl/RtlConsts.h"
#include "kelva/framework/rtl/SysUtils.h"

#include <algorithm>
#include <atomic>
#include <cassert>
#include <cstring>
#include <utility>

namespace kelva {

namespace {
std::uint64_t NextStamp() {
  static std::atomic<std::uint64_t> Counter{0};
  return ++Counter;
}
} // namespace

TKlvRecordList::TKlvRecordList(std::shared_ptr<TKlvImagePool> Pool)
    : FPool(std::move(Pool)), FIdIndex(FPool->BlockMemory()), FStamp(NextStamp()) {}

// The copied blocks take their memory from the pool like every block (a plain copy of a
// block would take the heap's).
std::vector<TKlvRecordList::Block> TKlvRecordList::CopyBlocks(const TKlvRecordList& Other) {
  std::vector<Block> Blocks;
  Blocks.reserve(Other.FBlocks.size());
  for (const Block& B : Other.FBlocks) {
    Blocks.push_back(Other.EmptyBlock(B.Id));
    Blocks.back().Entries.assign(B.Entries.begin(), B.Entries.end());
  }
  return Blocks;
}

TKlvRecordList::Block TKlvRecordList::EmptyBlock(std::uint32_t Id) const {
  return Block{Id, std::pmr::vector<Entry>(FPool->BlockMemory())};
}

TKlvRecordList::TKlvRecordList(const TKlvRecordList& Other)
    : FPool(Other.FPool), FBlocks(CopyBlocks(Other)), FStarts(Other.FStarts),
      FBlockIndex(Other.FBlockIndex), FFreeBlockIds(Other.FFreeBlockIds), FIdIndex(Other.FIdIndex),
      FCount(Other.FCount), FStamp(NextStamp()) {
  // So that RemoveBlock never allocates.
  if (FFreeBlockIds.capacity() < FBlockIndex.size())
    FFreeBlockIds.reserve(std::max(FBlockIndex.size(), 2 * FFreeBlockIds.capacity()));
  // Take a reference on every image; undo the ones taken if the pool runs out of memory.
  std::size_t DoneBlocks = 0, DoneEntries = 0;
  try {
    for (; DoneBlocks < FBlocks.size(); ++DoneBlocks) {
      auto& Entries = FBlocks[DoneBlocks].Entries;
      for (DoneEntries = 0; DoneEntries < Entries.size(); ++DoneEntries)
        Entries[DoneEntries].Slot = FPool->Share(Entries[DoneEntries].Slot);
    }
  } catch (...) {
    for (std::size_t B = 0; B <= DoneBlocks && B < FBlocks.size(); ++B) {
      const auto& Entries = FBlocks[B].Entries;
      const std::size_t Limit = B == DoneBlocks ? DoneEntries : Entries.size();
      for (std::size_t E = 0; E < Limit; ++E) FPool->Release(Entries[E].Slot);
    }
    throw;
  }
}

TKlvRecordList::~TKlvRecordList() {
  ReleaseAllImages();
}

void TKlvRecordList::ReleaseAllImages() {
  // The last list of a dataset going away: no slot by slot work.
  if (FPool->ReleaseAllIfOnlyHolder(static_cast<std::size_t>(FCount))) return;
  for (const Block& B : FBlocks)
    for (const Entry& E : B.Entries) FPool->Release(E.Slot);
}

void TKlvRecordList::CheckIndex(std::int32_t Index, std::int32_t Limit) const {
  if (Index < 0 || Index >= Limit) throw EListError(Format(SListIndexError, {Index}));
}

void TKlvRecordList::Locate(std::int32_t Index, std::size_t& BlockIndex,
                            std::size_t& Offset) const {
  assert(!FBlocks.empty());
  if (Index == FCount) {
    BlockIndex = FBlocks.size() - 1;
    Offset = FBlocks.back().Entries.size();
    return;
  }
  std::size_t B = FLastBlock;
  if (B >= FBlocks.size() || Index < FStarts[B] ||
      Index >= FStarts[B] + static_cast<std::int32_t>(FBlocks[B].Entries.size())) {
    const auto It = std::upper_bound(FStarts.begin(), FStarts.end(), Index);
    B = static_cast<std::size_t>(It - FStarts.begin()) - 1;
    FLastBlock = B;
  }
  BlockIndex = B;
  Offset = static_cast<std::size_t>(Index - FStarts[B]);
}

const TKlvRecordList::Entry& TKlvRecordList::EntryAt(std::int32_t Index) const {
  CheckIndex(Index, FCount);
  std::size_t B, Offset;
  Locate(Index, B, Offset);
  return FBlocks[B].Entries[Offset];
}

TKlvRecordList::Entry& TKlvRecordList::EntryAt(std::int32_t Index) {
  return const_cast<Entry&>(std::as_const(*this).EntryAt(Index));
}

const char* TKlvRecordList::Image(std::int32_t Index) const {
  return FPool->Data(EntryAt(Index).Slot);
}

void TKlvRecordList::PrefetchImage(std::int32_t Index) const {
  if (Index < 0 || Index >= FCount) return;
  const char* Image = FPool->Data(EntryAt(Index).Slot);
  for (std::int32_t Byte = 0; Byte < ImageSize(); Byte += 64) __builtin_prefetch(Image + Byte);
}

std::int32_t TKlvRecordList::RecId(std::int32_t Index) const {
  return EntryAt(Index).RecId;
}

std::int32_t TKlvRecordList::IndexOfId(std::int32_t RecId) const {
  const std::uint32_t BlockId = FIdIndex.Find(RecId);
  if (BlockId == TKlvRecIdIndex::NotFound) return -1;
  const std::size_t B = FBlockIndex[BlockId];
  const auto& Entries = FBlocks[B].Entries;
  for (std::size_t I = 0; I < Entries.size(); ++I)
    if (Entries[I].RecId == RecId) return FStarts[B] + static_cast<std::int32_t>(I);
  assert(false && "identifier table out of step with the blocks");
  return -1;
}

// ---- Blocks -------------------------------------------------------------------------------

void TKlvRecordList::RenumberBlocksFrom(std::size_t BlockIndex) {
  for (std::size_t I = BlockIndex; I < FBlocks.size(); ++I)
    FBlockIndex[FBlocks[I].Id] = static_cast<std::uint32_t>(I);
}

std::size_t TKlvRecordList::NewBlock(std::size_t At) {
  // Everything that can throw happens before the block list changes.
  // Grown by half at a time: a list built by appending adds a block every 2048 records.
  const auto Grown = [](std::size_t Size) { return Size + 1 + Size / 2; };
  if (FBlocks.size() == FBlocks.capacity()) FBlocks.reserve(Grown(FBlocks.size()));
  if (FStarts.size() == FStarts.capacity()) FStarts.reserve(Grown(FStarts.size()));
  std::uint32_t Id;
  if (FFreeBlockIds.empty()) {
    FBlockIndex.push_back(0);
    Id = static_cast<std::uint32_t>(FBlockIndex.size() - 1);
  } else {
    Id = FFreeBlockIds.back();
    FFreeBlockIds.pop_back();
  }
  // So that RemoveBlock never allocates.
  if (FFreeBlockIds.capacity() < FBlockIndex.size())
    FFreeBlockIds.reserve(std::max(FBlockIndex.size(), 2 * FFreeBlockIds.capacity()));
  const std::int32_t Start = At < FStarts.size() ? FStarts[At] : FCount;
  FBlocks.insert(FBlocks.begin() + static_cast<std::ptrdiff_t>(At), EmptyBlock(Id));
  FStarts.insert(FStarts.begin() + static_cast<std::ptrdiff_t>(At), Start);
  RenumberBlocksFrom(At);
  return At;
}

void TKlvRecordList::RemoveBlock(std::size_t BlockIndex) {
  FFreeBlockIds.push_back(FBlocks[BlockIndex].Id);
  FBlocks.erase(FBlocks.begin() + static_cast<std::ptrdiff_t>(BlockIndex));
  FStarts.erase(FStarts.begin() + static_cast<std::ptrdiff_t>(BlockIndex));
  RenumberBlocksFrom(BlockIndex);
  if (FLastBlock >= FBlocks.size()) FLastBlock = 0;
}

void TKlvRecordList::SplitBlock(std::size_t BlockIndex) {
  const std::size_t NewIndex = NewBlock(BlockIndex + 1);
  Block& Old = FBlocks[BlockIndex];
  Block& New = FBlocks[NewIndex];
  const std::size_t Half = Old.Entries.size() / 2;
  try {
    New.Entries.reserve(MaxBlockSize);
  } catch (...) {
    RemoveBlock(NewIndex);
    throw;
  }
  New.Entries.assign(Old.Entries.begin() + static_cast<std::ptrdiff_t>(Half), Old.Entries.end());
  Old.Entries.resize(Half);
  FStarts[NewIndex] = FStarts[BlockIndex] + static_cast<std::int32_t>(Half);
  // These identifiers are already in the table, so updating them allocates nothing.
  for (const Entry& E : New.Entries) FIdIndex.Set(E.RecId, New.Id);
}

void TKlvRecordList::InsertEntry(std::int32_t Index, std::uint32_t Slot, std::int32_t RecId) {
  CheckIndex(Index, FCount + 1);
  if (ContainsId(RecId)) throw EListError(Format("Duplicate record identifier %d", {RecId}));
  bool Created = false;
  std::size_t B = 0, Offset = 0;
  if (FBlocks.empty()) {
    B = NewBlock(0);
    Created = true;
  } else {
    Locate(Index, B, Offset);
    if (FBlocks[B].Entries.size() >= MaxBlockSize) {
      if (Index == FCount) {
        // Appending: start a fresh block and leave the full one full.
        B = NewBlock(B + 1);
        Offset = 0;
        Created = true;
      } else {
        SplitBlock(B);
        const std::size_t Half = FBlocks[B].Entries.size();
        if (Offset > Half) {
          ++B;
          Offset -= Half;
        }
      }
    }
  }
  Block& Target = FBlocks[B];
  try {
    if (Created) Target.Entries.reserve(MaxBlockSize);
    // A block made at its exact size (a copy, a reordered list) doubles, up to a full block.
    if (Target.Entries.size() == Target.Entries.capacity())
      Target.Entries.reserve(std::min(MaxBlockSize, 2 * Target.Entries.size() + 1));
    FIdIndex.Set(RecId, Target.Id);
  } catch (...) {
    if (Created) RemoveBlock(B);
    throw;
  }
  Target.Entries.insert(Target.Entries.begin() + static_cast<std::ptrdiff_t>(Offset),
                        Entry{Slot, RecId});
  for (std::size_t I = B + 1; I < FStarts.size(); ++I) ++FStarts[I];
  ++FCount;
  ++FVersion;
}

// ---- Changing entries ---------------------------------------------------------------------

void TKlvRecordList::Insert(std::int32_t Index, const char* Image, std::int32_t RecId) {
  CheckIndex(Index, FCount + 1);
  const std::uint32_t Slot = FPool->Allocate(Image);
  try {
    InsertEntry(Index, Slot, RecId);
  } catch (...) {
    FPool->Release(Slot);
    throw;
  }
}

void TKlvRecordList::InsertFrom(std::int32_t Index, const TKlvRecordList& Source,
                                std::int32_t SourceIndex) {
  CheckIndex(Index, FCount + 1);
  const Entry& From = Source.EntryAt(SourceIndex);
  const std::uint32_t Slot =
      Source.FPool == FPool ? FPool->Share(From.Slot) : FPool->Allocate(Source.Image(SourceIndex));
  try {
    InsertEntry(Index, Slot, From.RecId);
  } catch (...) {
    FPool->Release(Slot);
    throw;
  }
}

void TKlvRecordList::Delete(std::int32_t Index) {
  CheckIndex(Index, FCount);
  std::size_t B, Offset;
  Locate(Index, B, Offset);
  auto& Entries = FBlocks[B].Entries;
  const Entry Gone = Entries[Offset];
  FIdIndex.Erase(Gone.RecId);
  Entries.erase(Entries.begin() + static_cast<std::ptrdiff_t>(Offset));
  for (std::size_t I = B + 1; I < FStarts.size(); ++I) --FStarts[I];
  --FCount;
  ++FVersion;
  if (Entries.empty()) RemoveBlock(B);
  FPool->Release(Gone.Slot);
}

void TKlvRecordList::ReplaceSlot(Entry& Target, std::uint32_t Slot) {
  ++FVersion;
  const std::uint32_t Old = Target.Slot;
  Target.Slot = Slot;
  FPool->Release(Old);
}

void TKlvRecordList::SetImage(std::int32_t Index, const char* Image) {
  Entry& Target = EntryAt(Index);
  if (FPool->IsShared(Target.Slot)) {
    ReplaceSlot(Target, FPool->Allocate(Image));
    return;
  }
  ++FVersion;
  char* Data = FPool->MutableData(Target.Slot);
  if (Data != Image) std::memmove(Data, Image, static_cast<std::size_t>(ImageSize()));
}

void TKlvRecordList::SetImageFrom(std::int32_t Index, const TKlvRecordList& Source,
                                  std::int32_t SourceIndex) {
  if (Source.FPool != FPool) {
    SetImage(Index, Source.Image(SourceIndex));
    return;
  }
  Entry& Target = EntryAt(Index);
  const std::uint32_t SourceSlot = Source.EntryAt(SourceIndex).Slot;
  if (SourceSlot != Target.Slot) ReplaceSlot(Target, FPool->Share(SourceSlot));
}

bool TKlvRecordList::SameImage(std::int32_t Index, const TKlvRecordList& Other,
                               std::int32_t OtherIndex) const {
  const Entry& Mine = EntryAt(Index);
  const Entry& Theirs = Other.EntryAt(OtherIndex);
  if (Other.FPool == FPool && Mine.Slot == Theirs.Slot) return true;
  if (Other.ImageSize() != ImageSize()) return false;
  return std::memcmp(FPool->Data(Mine.Slot), Other.FPool->Data(Theirs.Slot),
                     static_cast<std::size_t>(ImageSize())) == 0;
}

void TKlvRecordList::Clear() {
  ReleaseAllImages();
  FBlocks.clear();
  FStarts.clear();
  FBlockIndex.clear();
  FFreeBlockIds.clear();
  FIdIndex.Clear();
  FCount = 0;
  FLastBlock = 0;
  ++FVersion;
}

void TKlvRecordList::Reorder(std::span<const std::int32_t> NewOrder) {
  if (static_cast<std::int32_t>(NewOrder.size()) != FCount)
    throw EListError("Reorder needs one position per entry");
  std::vector<Entry> Flat;
  Flat.reserve(static_cast<std::size_t>(FCount));
  for (const Block& B : FBlocks) Flat.insert(Flat.end(), B.Entries.begin(), B.Entries.end());
  std::vector<bool> Taken(Flat.size(), false);
  constexpr std::size_t Fill = MaxBlockSize / 2; // room for later inserts
  std::vector<Block> Blocks;
  Blocks.reserve((Flat.size() + Fill - 1) / Fill);
  std::vector<std::int32_t> Starts;
  Starts.reserve(Blocks.capacity());
  for (std::size_t I = 0; I < Flat.size(); ++I) {
    const std::int32_t From = NewOrder[I];
    if (From < 0 || From >= FCount || Taken[static_cast<std::size_t>(From)])
      throw EListError("Reorder needs a permutation of the positions");
    Taken[static_cast<std::size_t>(From)] = true;
    if (I % Fill == 0) {
      Blocks.push_back(EmptyBlock(static_cast<std::uint32_t>(Blocks.size())));
      Blocks.back().Entries.reserve(std::min(Fill, Flat.size() - I));
      Starts.push_back(static_cast<std::int32_t>(I));
    }
    Blocks.back().Entries.push_back(Flat[static_cast<std::size_t>(From)]);
  }
  std::vector<std::uint32_t> BlockIndex(Blocks.size());
  for (std::size_t I = 0; I < Blocks.size(); ++I) BlockIndex[I] = static_cast<std::uint32_t>(I);
  std::vector<std::uint32_t> FreeIds;
  FreeIds.reserve(Blocks.size());
  // Commit: nothing below allocates (every identifier is already in the table).
  FBlocks.swap(Blocks);
  FStarts.swap(Starts);
  FBlockIndex.swap(BlockIndex);
  FFreeBlockIds.swap(FreeIds);
  FLastBlock = 0;
  ++FVersion;
  for (const Block& B : FBlocks)
    for (const Entry& E : B.Entries) FIdIndex.Set(E.RecId, B.Id);
}

} // namespace kelva
