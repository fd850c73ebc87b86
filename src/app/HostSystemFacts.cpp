#include "app/HostSystemFacts.h"

#include <sys/statvfs.h>

#include "common/MemoryBudget.h"

std::optional<std::uint64_t> HostSystemFacts::TotalPhysicalMemory() const
{
    return PhysicalMemory();
}

std::optional<std::uint64_t> HostSystemFacts::FreeDiskSpace() const
{
    // All free blocks, also those reserved for root: the free space of the
    // file system, not what this user may still write.
    struct statvfs facts {};
    if (statvfs(".", &facts) != 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(facts.f_bfree) * static_cast<std::uint64_t>(facts.f_frsize);
}
