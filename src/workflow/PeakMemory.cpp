#include "workflow/PeakMemory.h"

#include <fstream>
#include <string>

void ResetPeakMemory()
{
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";  // resets the peak resident set size to the current one
}

std::optional<std::uint64_t> PeakMemory()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) != 0)
            continue;
        try {
            return std::stoull(line.substr(6)) * 1024;  // given in kB
        } catch (...) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}
