// What a load needs in memory and what it may have: a load that cannot fit is refused
// before it allocates, instead of being killed by the system half-way through.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kelva {

// Half of the memory this process can have: physical memory, lowered by a control-group
// limit or an address-space limit where one is set. Half, because a load is not all the
// process holds, and a process that overshoots is killed rather than told.
std::uint64_t DefaultLoadMemoryLimit();

// What storing Records records of ImageSize bytes takes: each one's image with its reference
// count, its list entry and its place in the identifier table.
std::uint64_t LoadMemoryNeeded(std::size_t Records, std::int32_t ImageSize);

} // namespace kelva
