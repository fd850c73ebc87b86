#include "app/HostSystemFacts.h"

#include <sys/statvfs.h>
#include <unistd.h>

std::optional<std::uint64_t> HostSystemFacts::TotalPhysicalMemory() const
{
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pageSize <= 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
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
