#include "common/MemoryBudget.h"

#include <unistd.h>

#include <cctype>
#include <limits>

namespace {

constexpr const char* kUnits = "KMGT";

} // namespace

std::optional<std::uint64_t> ParseMemorySize(std::string_view text)
{
    std::size_t i = 0;
    std::uint64_t number = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        if (number > (std::numeric_limits<std::uint64_t>::max() - 9) / 10)
            return std::nullopt;
        number = number * 10 + static_cast<std::uint64_t>(text[i] - '0');
    }
    if (i == 0)
        return std::nullopt;
    std::string_view unit = text.substr(i);
    int shift = 0;
    if (!unit.empty()) {
        const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(unit[0])));
        for (int u = 0; kUnits[u] != '\0'; ++u)
            if (kUnits[u] == letter)
                shift = 10 * (u + 1);
        if (shift != 0)
            unit.remove_prefix(1);
        const bool bytes = unit.empty() || unit == "B" || unit == "b" ||
                           (shift != 0 && (unit == "iB" || unit == "ib" || unit == "IB"));
        if (!bytes)
            return std::nullopt;
    }
    if (number == 0 || number > (std::uint64_t(1) << (63 - shift)))
        return std::nullopt;
    return number << shift;
}

std::string MemorySizeText(std::uint64_t bytes)
{
    int unit = 0;
    while (unit < 4 && bytes != 0 && bytes % 1024 == 0) {
        bytes /= 1024;
        ++unit;
    }
    std::string text = std::to_string(bytes);
    if (unit > 0)
        text += kUnits[unit - 1];
    return text;
}

std::optional<std::uint64_t> PhysicalMemory()
{
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pageSize <= 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
}

std::uint64_t DefaultMemoryBudget()
{
    // In whole MiB, so that it reads as a size a user would type.
    constexpr std::uint64_t kMiB = std::uint64_t(1) << 20;
    const std::optional<std::uint64_t> physical = PhysicalMemory();
    return physical && *physical / 4 >= kMiB ? *physical / 4 / kMiB * kMiB : std::uint64_t(1) << 30;
}

std::optional<std::uint64_t> MemoryBudgetOf(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    if (text.empty())
        return DefaultMemoryBudget();
    return ParseMemorySize(text);
}
