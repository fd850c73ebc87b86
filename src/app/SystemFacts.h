#pragma once
// The two facts about the machine that the About dialog shows. The dialog asks
// through this interface, so that tests can give it any machine.
#include <cstdint>
#include <optional>

class SystemFacts {
public:
    virtual ~SystemFacts() = default;
    // Total physical memory in bytes; none when the system does not say.
    virtual std::optional<std::uint64_t> TotalPhysicalMemory() const = 0;
    // Free bytes on the file system of the current directory; none when the
    // query fails.
    virtual std::optional<std::uint64_t> FreeDiskSpace() const = 0;
};
