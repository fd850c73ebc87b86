#pragma once
// The memory and disk lines of the About dialog, formatted with the texts of
// the current resource source.
#include <cstdint>
#include <optional>
#include <string>

// Physical memory in whole KB ("131072 KB"); "Unavailable" without a figure.
std::string MemoryText(std::optional<std::uint64_t> bytes);

// A byte count in bytes, KB, MB or GB, whichever reads best ("3.50 MB").
std::string SizeText(std::uint64_t bytes);

// Free disk space by the size rule with " Free" after it ("5.00 GB Free");
// "Unavailable" without a figure.
std::string DiskText(std::optional<std::uint64_t> freeBytes);
