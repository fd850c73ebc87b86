// Memory sizes as users type them, and their text for the figures.
#include <gtest/gtest.h>

#include <optional>

#include "common/MemoryBudget.h"

namespace {

struct SizeCase {
    const char* text;
    std::optional<std::uint64_t> bytes;
};

const SizeCase kSizes[] = {
    {"512M", 512ull << 20},
    {"4G", 4ull << 30},
    {"4g", 4ull << 30},
    {"64KiB", 64ull << 10},
    {"2GB", 2ull << 30},
    {"1048576", 1048576},
    {"1T", 1ull << 40},
    {"8388608T", 1ull << 63},  // the largest
    {"8388609T", std::nullopt},
    {"99999999999999999999", std::nullopt},
    {"0", std::nullopt},
    {"0M", std::nullopt},
    {"", std::nullopt},
    {"M", std::nullopt},
    {"1.5G", std::nullopt},
    {"-1G", std::nullopt},
    {"4 G", std::nullopt},
    {"4X", std::nullopt},
    {"4Gi", std::nullopt},
    {"4iB", std::nullopt},
};

} // namespace

TEST(MemoryBudget, ParsesSizesWithTheirUnits)
{
    for (const SizeCase& c : kSizes)
        EXPECT_EQ(ParseMemorySize(c.text), c.bytes) << c.text;
}

TEST(MemoryBudget, TextGivesTheSameSizeBack)
{
    for (std::uint64_t bytes : {1ull, 1000ull, 1024ull, 1536ull << 10, 512ull << 20, 3ull << 30, 1ull << 63}) {
        const std::string text = MemorySizeText(bytes);
        EXPECT_EQ(ParseMemorySize(text), bytes) << text;
    }
    EXPECT_EQ(MemorySizeText(512ull << 20), "512M");
}

TEST(MemoryBudget, AnEmptySettingIsAQuarterOfMemory)
{
    EXPECT_EQ(MemoryBudgetOf("  "), DefaultMemoryBudget());
    EXPECT_EQ(MemoryBudgetOf(" 2G "), 2ull << 30);
    EXPECT_EQ(MemoryBudgetOf("lots"), std::nullopt);
    // Linux always says.
    const std::optional<std::uint64_t> physical = PhysicalMemory();
    ASSERT_TRUE(physical);
    EXPECT_EQ(DefaultMemoryBudget(), *physical / 4 / (1 << 20) * (1 << 20));
}
