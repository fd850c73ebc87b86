#pragma once
// How much memory a compare run may give one comparison: sizes as users write
// them ("512M", "4G"), and the budget a run takes when nobody set one.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// A size in bytes from a whole number with an optional unit K, M, G or T
// (powers of 1024; case and a trailing "B" or "iB" ignored): "512M", "4G",
// "1048576". None for anything else, for 0, and for sizes past 2^63.
std::optional<std::uint64_t> ParseMemorySize(std::string_view text);

// The shortest of those forms that gives `bytes` back exactly ("512M", "1536K").
std::string MemorySizeText(std::uint64_t bytes);

// The machine's physical memory; none when the system does not say.
std::optional<std::uint64_t> PhysicalMemory();

// A quarter of the physical memory in whole MiB, or 1G when it is not known.
std::uint64_t DefaultMemoryBudget();

// The budget a stored or typed text names: its size, or the default for an
// empty text. None for a text that is no size.
std::optional<std::uint64_t> MemoryBudgetOf(std::string_view text);
