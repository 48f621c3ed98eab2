// Paged storage of record images with reference counts.
#include "kelva/dataset/store/ImagePool.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <sys/mman.h>

namespace kelva {

namespace {
// Pages 0..6 hold 64, 64, 128, ..., 2048 images (4096 in all); every later page 4096.
constexpr std::uint32_t SmallPageShift = 6;
constexpr std::uint32_t SmallPagesTotal = 4096;
constexpr std::uint32_t SmallPageCount = 7;
constexpr std::uint32_t LargePageShift = 12;
constexpr std::uint16_t MaxRefCount = std::numeric_limits<std::uint16_t>::max();
// The large memory page of the processors this runs on (x86-64 and 64-bit ARM alike).
constexpr std::size_t LargeMemoryPage = std::size_t{2} << 20;

std::size_t RoundUp(std::size_t Bytes, std::size_t Multiple) {
  return (Bytes + Multiple - 1) / Multiple * Multiple;
}
} // namespace

TKlvImagePool::TKlvImagePool(std::int32_t ImageSize) : FImageSize(ImageSize) {
  if (ImageSize <= 0) throw std::invalid_argument("record image size must be positive");
}

TKlvImagePool::~TKlvImagePool() {
  FPages.clear();
  for (const Region& R : FRegions) ::munmap(R.Base, R.Size);
}

void TKlvImagePool::Reserve(std::size_t Count) {
  // Each image with its reference count, its list entry (8 bytes) and its place in the
  // list's identifier table (4 bytes), and a few part-filled blocks.
  const std::size_t PerRecord = static_cast<std::size_t>(FImageSize) + sizeof(std::uint16_t) + 12;
  if (Count > std::numeric_limits<std::size_t>::max() / 4 / PerRecord) return;
  const std::size_t Wanted = Count * PerRecord + 8 * BlockBytes;
  // Too little to fill one large page is not worth a region of its own.
  if (Wanted < LargeMemoryPage || static_cast<std::size_t>(FReservedEnd - FReservedNext) >= Wanted)
    return;
  // Room to start the region on a large-page boundary.
  const std::size_t Size = (Wanted + 2 * LargeMemoryPage - 1) / LargeMemoryPage * LargeMemoryPage;
  void* Base = ::mmap(nullptr, Size, PROT_READ | PROT_WRITE,
                      MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (Base == MAP_FAILED) return;
  FRegions.reserve(FRegions.size() + 1);
  FRegions.push_back({Base, Size});
  const auto Address = reinterpret_cast<std::uintptr_t>(Base);
  char* const Aligned =
      static_cast<char*>(Base) + ((LargeMemoryPage - Address % LargeMemoryPage) % LargeMemoryPage);
  FReservedNext = Aligned;
  FReservedEnd = static_cast<char*>(Base) + Size;
#ifdef MADV_HUGEPAGE
  ::madvise(Aligned, static_cast<std::size_t>(FReservedEnd - Aligned), MADV_HUGEPAGE);
#endif
}

char* TKlvImagePool::TakeReserved(std::size_t Bytes) {
  // Every piece starts on an 8-byte boundary, as the region does.
  Bytes = RoundUp(Bytes, alignof(std::uint64_t));
  if (static_cast<std::size_t>(FReservedEnd - FReservedNext) < Bytes) return nullptr;
  char* const Taken = FReservedNext;
  FReservedNext += Bytes;
  return Taken;
}

bool TKlvImagePool::InReservedRegion(const void* Address) const {
  const auto* Byte = static_cast<const char*>(Address);
  for (const Region& R : FRegions) {
    const auto* Base = static_cast<const char*>(R.Base);
    if (Byte >= Base && Byte < Base + R.Size) return true;
  }
  return false;
}

void* TKlvImagePool::TBlockMemory::do_allocate(std::size_t Bytes, std::size_t Alignment) {
  if (Bytes == BlockBytes && Alignment <= alignof(std::uint64_t)) {
    if (FFreePieces) {
      void* const Piece = FFreePieces;
      std::memcpy(&FFreePieces, Piece, sizeof(void*));
      return Piece;
    }
    if (char* const Piece = FPool.TakeReserved(BlockBytes)) return Piece;
  }
  return ::operator new(Bytes, std::align_val_t(Alignment));
}

void TKlvImagePool::TBlockMemory::do_deallocate(void* Piece, std::size_t Bytes,
                                                std::size_t Alignment) {
  if (Bytes == BlockBytes && Alignment <= alignof(std::uint64_t) && FPool.InReservedRegion(Piece)) {
    std::memcpy(Piece, &FFreePieces, sizeof(void*));
    FFreePieces = Piece;
    return;
  }
  ::operator delete(Piece, std::align_val_t(Alignment));
}

std::uint32_t TKlvImagePool::PageCapacity(std::uint32_t PageIndex) {
  if (PageIndex == 0) return 1u << SmallPageShift;
  if (PageIndex < SmallPageCount) return 1u << (SmallPageShift + PageIndex - 1);
  return 1u << LargePageShift;
}

void TKlvImagePool::SplitSlot(std::uint32_t Slot, std::uint32_t& PageIndex, std::uint32_t& Offset) {
  if (Slot < SmallPagesTotal) {
    const std::uint32_t Group = Slot >> SmallPageShift; // 0..63
    PageIndex = static_cast<std::uint32_t>(std::bit_width(Group));
    Offset = PageIndex == 0 ? Slot : Slot - (1u << (SmallPageShift + PageIndex - 1));
    return;
  }
  const std::uint32_t Rest = Slot - SmallPagesTotal;
  PageIndex = SmallPageCount + (Rest >> LargePageShift);
  Offset = Rest & ((1u << LargePageShift) - 1);
}

char* TKlvImagePool::Locate(std::uint32_t Slot) const {
  std::uint32_t PageIndex, Offset;
  SplitSlot(Slot, PageIndex, Offset);
  assert(PageIndex < FPages.size());
  return FPages[PageIndex].Images + static_cast<std::size_t>(Offset) * FImageSize;
}

std::uint16_t& TKlvImagePool::RefCountOf(std::uint32_t Slot) const {
  std::uint32_t PageIndex, Offset;
  SplitSlot(Slot, PageIndex, Offset);
  assert(PageIndex < FPages.size());
  return FPages[PageIndex].RefCounts[Offset];
}

std::uint32_t TKlvImagePool::RefCount(std::uint32_t Slot) const {
  return RefCountOf(Slot);
}

std::uint32_t TKlvImagePool::TakeFreeSlot() {
  if (!FFreeSlots.empty()) {
    const std::uint32_t Slot = FFreeSlots.back();
    FFreeSlots.pop_back();
    return Slot;
  }
  // Release must not throw (it runs while lists are destroyed), so the free list always has
  // room for every slot ever handed out. Untouched capacity costs no resident memory.
  if (FFreeSlots.capacity() <= FNextUnused)
    FFreeSlots.reserve(std::max<std::size_t>(64, 2 * (static_cast<std::size_t>(FNextUnused) + 1)));
  std::uint32_t PageIndex, Offset;
  SplitSlot(FNextUnused, PageIndex, Offset);
  if (PageIndex == FPages.size()) {
    const std::uint32_t Capacity = PageCapacity(PageIndex);
    const std::size_t Bytes = static_cast<std::size_t>(Capacity) * FImageSize;
    // Slots are written in full before they are read, so the images need no clearing. A
    // page cut from a reserved region takes its reference counts from there too (fresh
    // mapped memory reads as zero): one large page fault instead of several small ones.
    Page NewPage{nullptr, nullptr, nullptr, nullptr};
    FPages.reserve(FPages.size() + 1);
    const std::size_t CountsAt = RoundUp(Bytes, alignof(std::uint64_t));
    NewPage.Images = TakeReserved(CountsAt + Capacity * sizeof(std::uint16_t));
    if (NewPage.Images) {
      NewPage.RefCounts = reinterpret_cast<std::uint16_t*>(NewPage.Images + CountsAt);
    } else {
      NewPage.Owned = std::make_unique_for_overwrite<char[]>(Bytes);
      NewPage.Images = NewPage.Owned.get();
      NewPage.OwnedRefCounts = std::make_unique<std::uint16_t[]>(Capacity);
      NewPage.RefCounts = NewPage.OwnedRefCounts.get();
    }
    FPages.push_back(std::move(NewPage));
  }
  return FNextUnused++;
}

std::uint32_t TKlvImagePool::Allocate(const char* Image) {
  const std::uint32_t Slot = TakeFreeSlot();
  std::memcpy(Locate(Slot), Image, static_cast<std::size_t>(FImageSize));
  RefCountOf(Slot) = 1;
  ++FLive;
  ++FReferences;
  return Slot;
}

std::uint32_t TKlvImagePool::Share(std::uint32_t Slot) {
  std::uint16_t& Count = RefCountOf(Slot);
  assert(Count > 0);
  if (Count == MaxRefCount) return Allocate(Data(Slot));
  ++Count;
  ++FReferences;
  return Slot;
}

void TKlvImagePool::Release(std::uint32_t Slot) {
  std::uint16_t& Count = RefCountOf(Slot);
  assert(Count > 0);
  --FReferences;
  if (--Count > 0) return;
  --FLive;
  FFreeSlots.push_back(Slot); // capacity was reserved when the slot was first handed out
}

bool TKlvImagePool::ReleaseAllIfOnlyHolder(std::size_t Count) {
  if (Count != FReferences) return false;
  // Slots are handed out again from the first page on; Allocate sets each count anew.
  FFreeSlots.clear();
  FNextUnused = 0;
  FLive = 0;
  FReferences = 0;
  return true;
}

} // namespace kelva
