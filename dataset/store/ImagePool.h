// Storage for the fixed-size record images of one dataset. Images live in pages that
// never move, so a slot's address stays valid until the slot is released. Record lists of
// the same dataset share slots: a list that changes a shared image takes a copy first
// (copy on write), which makes copying a whole list cheap and lets two versions of a
// record be compared by slot before their bytes are.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <memory_resource>
#include <vector>

namespace kelva {

class TKlvImagePool {
public:
  explicit TKlvImagePool(std::int32_t ImageSize);
  TKlvImagePool(const TKlvImagePool&) = delete;
  TKlvImagePool& operator=(const TKlvImagePool&) = delete;
  ~TKlvImagePool();

  // Sets address space aside for about Count more records (images, reference counts, and
  // the list blocks and identifier tables of BlockMemory), taken by what is allocated from
  // now on. A bulk load calls it with the number it is about to store: one large
  // region can be backed by large memory pages, which makes filling it far cheaper than
  // faulting in small pages one by one. Memory is only committed where images are written.
  // A hint: when the system refuses the region, pages are allocated one by one as usual.
  void Reserve(std::size_t Count);

  std::int32_t ImageSize() const { return FImageSize; }

  // A new slot holding a copy of the ImageSize() bytes at Image, with one reference.
  std::uint32_t Allocate(const char* Image);
  // The slot to use for one more holder of Slot: Slot itself, or a private copy when its
  // reference count is saturated.
  std::uint32_t Share(std::uint32_t Slot);
  void Release(std::uint32_t Slot);
  // For a holder about to release Count references at once (a list going away or being
  // cleared): when they are every reference the pool has, it forgets all slots in one step
  // and returns true, and the holder need not release them one by one.
  bool ReleaseAllIfOnlyHolder(std::size_t Count);
  bool IsShared(std::uint32_t Slot) const { return RefCount(Slot) > 1; }
  std::uint32_t RefCount(std::uint32_t Slot) const;

  const char* Data(std::uint32_t Slot) const { return Locate(Slot); }
  // Writable only for a slot with one holder (see IsShared).
  char* MutableData(std::uint32_t Slot) { return Locate(Slot); }

  std::size_t LiveCount() const { return FLive; }

  // Memory for the entry blocks of the dataset's record lists. A piece of exactly
  // BlockBytes comes from the reserved region while it has room, so that a bulk load
  // finds its list entries in large memory pages too; pieces given back are used again.
  // Any other request, and any once the region is full, goes to the heap.
  static constexpr std::size_t BlockBytes = 16 * 1024;
  std::pmr::memory_resource* BlockMemory() { return &FBlockMemory; }

private:
  struct Page {
    char* Images;                  // in Owned, or in a reserved region
    std::unique_ptr<char[]> Owned; // null for a page cut from a reserved region
    std::uint16_t* RefCounts;      // in OwnedRefCounts, or after the images in the region
    std::unique_ptr<std::uint16_t[]> OwnedRefCounts;
  };
  struct Region {
    void* Base;
    std::size_t Size;
  };

  class TBlockMemory final : public std::pmr::memory_resource {
  public:
    explicit TBlockMemory(TKlvImagePool& Pool) : FPool(Pool) {}

  private:
    void* do_allocate(std::size_t Bytes, std::size_t Alignment) override;
    void do_deallocate(void* Piece, std::size_t Bytes, std::size_t Alignment) override;
    bool do_is_equal(const std::pmr::memory_resource& Other) const noexcept override {
      return this == &Other;
    }

    TKlvImagePool& FPool;
    void* FFreePieces = nullptr; // given-back region pieces, each holding the next one's address
  };

  // Page p holds PageCapacity(p) images: the first pages are small, so that a dataset of
  // a few records costs little, then they grow to a fixed size.
  static std::uint32_t PageCapacity(std::uint32_t PageIndex);
  static void SplitSlot(std::uint32_t Slot, std::uint32_t& PageIndex, std::uint32_t& Offset);
  char* Locate(std::uint32_t Slot) const;
  std::uint16_t& RefCountOf(std::uint32_t Slot) const;
  std::uint32_t TakeFreeSlot();
  // Bytes cut from the reserved region, or null when it has not that many left.
  char* TakeReserved(std::size_t Bytes);
  bool InReservedRegion(const void* Address) const;

  std::int32_t FImageSize;
  std::vector<Page> FPages;
  std::uint32_t FNextUnused = 0;         // slots below it have been handed out at least once
  std::vector<std::uint32_t> FFreeSlots; // released slots, reused first
  std::size_t FLive = 0;
  std::size_t FReferences = 0;   // held over all slots: a slot held twice counts twice
  std::vector<Region> FRegions;  // unmapped when the pool goes
  char* FReservedNext = nullptr; // the unused rest of the last region
  char* FReservedEnd = nullptr;
  TBlockMemory FBlockMemory{*this};
};

} // namespace kelva
