// TKlvRecordList: an ordered list of record images, each paired with its record
// identifier. Positions are the dataset order; identifiers are the records' identities.
// Entries live in blocks of bounded size, so inserting or deleting one entry moves at most
// one block's worth of entries, and a position is found by a binary search over the block
// starts. A table from identifier to block finds a record by identifier without scanning
// the list. Images are held in the dataset's shared image pool (copy on write).
#pragma once

#include "kelva/dataset/store/ImagePool.h"
#include "kelva/dataset/store/RecIdIndex.h"

#include <cstdint>
#include <memory>
#include <memory_resource>
#include <span>
#include <string_view>
#include <vector>

namespace kelva {

class TKlvRecordList;

// Position of RecId in List, trying Hint first: a working copy keeps mostly the order of
// the committed list it was copied from, so walking both side by side rarely searches.
inline std::int32_t FindRecIdNear(const TKlvRecordList& List, std::int32_t RecId,
                                  std::int32_t Hint);

class TKlvRecordList {
public:
  explicit TKlvRecordList(std::shared_ptr<TKlvImagePool> Pool);
  // A copy holds the same entries in the same order; images are shared until changed.
  TKlvRecordList(const TKlvRecordList& Other);
  TKlvRecordList& operator=(const TKlvRecordList&) = delete;
  ~TKlvRecordList();

  std::int32_t Count() const { return FCount; }
  // Stamp() names this list for its whole life (no other list ever gets the same one);
  // Version() changes whenever an entry is added, removed, changed or moved. Together they
  // tell a cache built from the list whether it still describes it.
  std::uint64_t Stamp() const { return FStamp; }
  std::uint64_t Version() const { return FVersion; }
  std::int32_t ImageSize() const { return FPool->ImageSize(); }
  const std::shared_ptr<TKlvImagePool>& Pool() const { return FPool; }

  // The image at Index: ImageSize() bytes, valid until the entry changes or leaves.
  const char* Image(std::int32_t Index) const;
  std::string_view ImageView(std::int32_t Index) const {
    return {Image(Index), static_cast<std::size_t>(ImageSize())};
  }
  std::int32_t RecId(std::int32_t Index) const;
  // Asks the processor to start reading the image at Index (ignored outside the list), so
  // that a walk whose images lie far apart, as after a sort, finds it in the cache.
  void PrefetchImage(std::int32_t Index) const;
  // Calls Visit(RecId, Image) for every entry in list order; the list must not change
  // meanwhile. Walks the blocks directly: no position lookup per entry.
  template <class Visitor>
  void ForEach(Visitor&& Visit) const {
    for (const Block& B : FBlocks)
      for (const Entry& E : B.Entries) Visit(E.RecId, FPool->Data(E.Slot));
  }
  // Position of the entry with this identifier, -1 when the list has none.
  std::int32_t IndexOfId(std::int32_t RecId) const;
  bool ContainsId(std::int32_t RecId) const {
    return FIdIndex.Find(RecId) != TKlvRecIdIndex::NotFound;
  }

  // Inserts a copy of the ImageSize() bytes at Image before position Index (Count()
  // appends). An identifier already in the list raises EListError and changes nothing.
  void Insert(std::int32_t Index, const char* Image, std::int32_t RecId);
  void Add(const char* Image, std::int32_t RecId) { Insert(FCount, Image, RecId); }
  // The same with the image and identifier of entry SourceIndex of Source, a list of the
  // same pool; the image is shared, not copied.
  void InsertFrom(std::int32_t Index, const TKlvRecordList& Source, std::int32_t SourceIndex);
  void AddFrom(const TKlvRecordList& Source, std::int32_t SourceIndex) {
    InsertFrom(FCount, Source, SourceIndex);
  }
  void Delete(std::int32_t Index);
  // Replaces the image of entry Index; its identifier stays.
  void SetImage(std::int32_t Index, const char* Image);
  void SetImageFrom(std::int32_t Index, const TKlvRecordList& Source, std::int32_t SourceIndex);
  // Byte equality of entry Index here and entry OtherIndex of Other (same pool).
  bool SameImage(std::int32_t Index, const TKlvRecordList& Other, std::int32_t OtherIndex) const;
  void Clear();
  // Puts the entries in a new order: NewOrder[i] is the current position of the entry that
  // goes to position i; it must be a permutation of 0 .. Count() - 1.
  void Reorder(std::span<const std::int32_t> NewOrder);

private:
  struct Entry {
    std::uint32_t Slot;
    std::int32_t RecId;
  };
  struct Block {
    std::uint32_t Id;                // stable name of the block, what the identifier table stores
    std::pmr::vector<Entry> Entries; // in the pool's block memory
  };

  static constexpr std::size_t MaxBlockSize = 2048;
  static_assert(MaxBlockSize * sizeof(Entry) == TKlvImagePool::BlockBytes,
                "a full block is what the pool's block memory hands out");
  Block EmptyBlock(std::uint32_t Id) const;
  static std::vector<Block> CopyBlocks(const TKlvRecordList& Other);

  // Finds the block holding position Index (Index == Count() gives the last block, at its
  // end) and the offset inside it.
  void Locate(std::int32_t Index, std::size_t& BlockIndex, std::size_t& Offset) const;
  const Entry& EntryAt(std::int32_t Index) const;
  Entry& EntryAt(std::int32_t Index);
  void CheckIndex(std::int32_t Index, std::int32_t Limit) const;
  void InsertEntry(std::int32_t Index, std::uint32_t Slot, std::int32_t RecId);
  std::size_t NewBlock(std::size_t At);
  void SplitBlock(std::size_t BlockIndex);
  void RemoveBlock(std::size_t BlockIndex);
  void RenumberBlocksFrom(std::size_t BlockIndex);
  void ReplaceSlot(Entry& Target, std::uint32_t Slot);
  void ReleaseAllImages();

  std::shared_ptr<TKlvImagePool> FPool;
  std::vector<Block> FBlocks;
  std::vector<std::int32_t> FStarts;      // position of each block's first entry
  std::vector<std::uint32_t> FBlockIndex; // block Id -> current index in FBlocks
  std::vector<std::uint32_t> FFreeBlockIds;
  TKlvRecIdIndex FIdIndex; // RecId -> block Id
  std::int32_t FCount = 0;
  std::uint64_t FStamp; // set by every constructor, never copied
  std::uint64_t FVersion = 0;
  mutable std::size_t FLastBlock = 0; // where the previous Locate landed
};

inline std::int32_t FindRecIdNear(const TKlvRecordList& List, std::int32_t RecId,
                                  std::int32_t Hint) {
  if (Hint >= 0 && Hint < List.Count() && List.RecId(Hint) == RecId) return Hint;
  return List.IndexOfId(RecId);
}

} // namespace kelva
