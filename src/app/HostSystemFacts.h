#pragma once
// The facts of the machine the program runs on (sysconf and statvfs).
#include "app/SystemFacts.h"

class HostSystemFacts : public SystemFacts {
public:
    std::optional<std::uint64_t> TotalPhysicalMemory() const override;
    std::optional<std::uint64_t> FreeDiskSpace() const override;
};
