// Estimating a load's memory, and finding the memory the process may have on Linux and
// other POSIX systems.
#include "kelva/dataset/persistence/LoadMemory.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace kelva {

namespace {

constexpr std::uint64_t Unlimited = std::numeric_limits<std::uint64_t>::max();

// A limit file holds a byte count, or "max" (or a huge number) when there is no limit.
std::uint64_t ReadLimitFile(const std::filesystem::path& File) {
  std::ifstream In(File);
  std::string Text;
  if (!(In >> Text) || Text.empty() || Text.find_first_not_of("0123456789") != std::string::npos)
    return Unlimited;
  try {
    return std::stoull(Text);
  } catch (...) {
    return Unlimited;
  }
}

// The lowest limit on the way from the process's own control group up to the root of the
// hierarchy mounted at Mount: a parent's limit binds its children too.
std::uint64_t GroupLimit(const std::filesystem::path& Mount, std::string Group,
                         const char* LimitFile) {
  std::uint64_t Lowest = ReadLimitFile(Mount / LimitFile);
  while (!Group.empty() && Group != "/") {
    Lowest = std::min(Lowest, ReadLimitFile(Mount / Group.substr(1) / LimitFile));
    Group.erase(Group.rfind('/'));
  }
  return Lowest;
}

// The memory limit of the process's control group (version 2, or the version 1 memory
// controller), from /proc/self/cgroup.
std::uint64_t ControlGroupLimit() {
  std::ifstream In("/proc/self/cgroup");
  std::uint64_t Lowest = Unlimited;
  for (std::string Line; std::getline(In, Line);) {
    const std::size_t First = Line.find(':'), Second = Line.find(':', First + 1);
    if (First == std::string::npos || Second == std::string::npos) continue;
    const std::string Controllers = Line.substr(First + 1, Second - First - 1);
    const std::string Group = Line.substr(Second + 1);
    if (Controllers.empty()) {
      Lowest = std::min(Lowest, GroupLimit("/sys/fs/cgroup", Group, "memory.max"));
    } else if (("," + Controllers + ",").find(",memory,") != std::string::npos) {
      Lowest =
          std::min(Lowest, GroupLimit("/sys/fs/cgroup/memory", Group, "memory.limit_in_bytes"));
    }
  }
  return Lowest;
}

std::uint64_t ResourceLimit(int Resource) {
  rlimit Limit{};
  if (::getrlimit(Resource, &Limit) != 0 || Limit.rlim_cur == RLIM_INFINITY) return Unlimited;
  return static_cast<std::uint64_t>(Limit.rlim_cur);
}

} // namespace

std::uint64_t DefaultLoadMemoryLimit() {
  const long Pages = ::sysconf(_SC_PHYS_PAGES);
  const long PageSize = ::sysconf(_SC_PAGESIZE);
  std::uint64_t Available =
      Pages > 0 && PageSize > 0
          ? static_cast<std::uint64_t>(Pages) * static_cast<std::uint64_t>(PageSize)
          : std::uint64_t{4} << 30; // unknown: assume a small machine
  Available = std::min({Available, ControlGroupLimit(), ResourceLimit(RLIMIT_AS)});
#ifdef RLIMIT_DATA
  Available = std::min(Available, ResourceLimit(RLIMIT_DATA));
#endif
  return Available / 2;
}

std::uint64_t LoadMemoryNeeded(std::size_t Records, std::int32_t ImageSize) {
  // Reference count (2), list entry (8), identifier table (4), and room for part-filled
  // blocks: 16 bytes beside each image.
  constexpr std::uint64_t PerRecordOverhead = 16;
  const std::uint64_t PerRecord =
      static_cast<std::uint64_t>(std::max(ImageSize, 0)) + PerRecordOverhead;
  if (Records > Unlimited / PerRecord) return Unlimited;
  return static_cast<std::uint64_t>(Records) * PerRecord;
}

} // namespace kelva
