// Storage for the fixed-size record images of one dataset. Images live in pages that
// never move, so a slot's address stays valid until the slot is released. Record lists of
// the same dataset share slots: a list that changes a shared image takes a copy first
// (copy on write), which makes copying a whole list cheap and lets two versions of a
// record be compared by slot before their bytes are.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace kelva {

class TKlvImagePool {
public:
  explicit TKlvImagePool(std::int32_t ImageSize);
  TKlvImagePool(const TKlvImagePool&) = delete;
  TKlvImagePool& operator=(const TKlvImagePool&) = delete;
  ~TKlvImagePool();

  // Sets address space aside for about Count more images, taken by the pages allocated
  // from now on. A bulk load calls it with the number it is about to store: one large
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

  // Page p holds PageCapacity(p) images: the first pages are small, so that a dataset of
  // a few records costs little, then they grow to a fixed size.
  static std::uint32_t PageCapacity(std::uint32_t PageIndex);
  static void SplitSlot(std::uint32_t Slot, std::uint32_t& PageIndex, std::uint32_t& Offset);
  char* Locate(std::uint32_t Slot) const;
  std::uint16_t& RefCountOf(std::uint32_t Slot) const;
  std::uint32_t TakeFreeSlot();
  // Bytes cut from the reserved region, or null when it has not that many left.
  char* TakeReserved(std::size_t Bytes);

  std::int32_t FImageSize;
  std::vector<Page> FPages;
  std::uint32_t FNextUnused = 0;         // slots below it have been handed out at least once
  std::vector<std::uint32_t> FFreeSlots; // released slots, reused first
  std::size_t FLive = 0;
  std::size_t FReferences = 0;   // held over all slots: a slot held twice counts twice
  std::vector<Region> FRegions;  // unmapped when the pool goes
  char* FReservedNext = nullptr; // the unused rest of the last region
  char* FReservedEnd = nullptr;
};

} // namespace kelva
