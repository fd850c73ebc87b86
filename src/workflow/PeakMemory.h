#pragma once
// The most memory the process has had resident, for the figures of a run.
#include <cstdint>
#include <optional>

// Starts a new peak at the memory resident now, where the system lets it
// (Linux: /proc/self/clear_refs); else the peak stays that of the process.
void ResetPeakMemory();

// The peak resident memory in bytes since the last reset (or the start).
std::optional<std::uint64_t> PeakMemory();
