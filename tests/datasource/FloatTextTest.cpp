// The dump's text of floating-point values: the shortest text that reads back
// to the very same value, for doubles and floats alike, and one spelling for
// the values without digits. No data source is needed.
#include "datasource/FloatText.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

std::uint64_t Bits(double value)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

std::uint32_t Bits(float value)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

float ParseFloat(const std::string& text)
{
    float value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    EXPECT_TRUE(result.ec == std::errc() && result.ptr == text.data() + text.size()) << text;
    return value;
}

template <typename T>
struct FloatCase {
    const char* name;
    T value;
    std::string text;
};

TEST(FloatText, DoublesReadBackToTheSameValue)
{
    const std::vector<FloatCase<double>> cases = {
        {"a tenth", 0.1, "0.1"},
        {"a third", 1.0 / 3.0, "0.3333333333333333"},
        {"a sum that is not 0.3", 0.1 + 0.2, "0.30000000000000004"},
        {"an integer", 95125, "95125"},
        {"a large power of ten", 1e22, "1e+22"},
        {"the smallest subnormal", std::numeric_limits<double>::denorm_min(), "5e-324"},
        {"the largest subnormal", 2.2250738585072009e-308, "2.225073858507201e-308"},
        {"the smallest normal", std::numeric_limits<double>::min(), "2.2250738585072014e-308"},
        {"the largest", std::numeric_limits<double>::max(), "1.7976931348623157e+308"},
        {"next below the largest", std::nextafter(std::numeric_limits<double>::max(), 0.0), "1.7976931348623155e+308"},
        {"negative", -1234.25, "-1234.25"},
        {"zero", 0.0, "0"},
        {"negative zero", -0.0, "-0"},
        {"infinity", std::numeric_limits<double>::infinity(), "Infinity"},
        {"negative infinity", -std::numeric_limits<double>::infinity(), "-Infinity"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string text = ShortestText(c.value);
        EXPECT_EQ(text, c.text);
        double back = 1;
        ASSERT_TRUE(ParseDouble(text, back));
        EXPECT_EQ(Bits(back), Bits(c.value)) << text;
        // A driver's longer text of the value comes out the same.
        std::string longer = text;
        if (std::isfinite(c.value)) {
            char buffer[64];
            std::snprintf(buffer, sizeof buffer, "%.17g", c.value);
            longer = buffer;
        }
        ASSERT_TRUE(RewriteAsShortestDouble(longer)) << longer;
        EXPECT_EQ(longer, c.text);
    }
}

TEST(FloatText, FloatsReadBackToTheSameValue)
{
    const std::vector<FloatCase<float>> cases = {
        {"a tenth", 0.1f, "0.1"},
        {"a third", 1.0f / 3.0f, "0.33333334"},
        {"an integer at the end of the exact ones", 16777216.0f, "16777216"},
        {"seven digits and a half", -1234567.5f, "-1234567.5"},
        {"the smallest subnormal", std::numeric_limits<float>::denorm_min(), "1e-45"},
        {"the smallest normal", std::numeric_limits<float>::min(), "1.1754944e-38"},
        {"the largest", std::numeric_limits<float>::max(), "3.4028235e+38"},
        {"negative zero", -0.0f, "-0"},
        {"infinity", std::numeric_limits<float>::infinity(), "Infinity"},
        {"negative infinity", -std::numeric_limits<float>::infinity(), "-Infinity"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string text = ShortestText(c.value);
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(Bits(ParseFloat(text)), Bits(c.value)) << text;
    }
}

TEST(FloatText, NotANumberHasOneSpelling)
{
    EXPECT_EQ(ShortestText(std::numeric_limits<double>::quiet_NaN()), "NaN");
    EXPECT_EQ(ShortestText(-std::numeric_limits<double>::quiet_NaN()), "NaN");
    EXPECT_EQ(ShortestText(std::numeric_limits<float>::quiet_NaN()), "NaN");
    double back = 0;
    ASSERT_TRUE(ParseDouble("NaN", back));
    EXPECT_TRUE(std::isnan(back));
}

// The drivers' own texts of a double: PostgreSQL's, SQLite's printf and others.
TEST(FloatText, RewritesTheDriversTextsOfADouble)
{
    struct Case {
        std::string text;
        bool number;
        std::string rewritten;
    };
    const std::vector<Case> cases = {
        {"0.10000000000000001", true, "0.1"},
        {"1.0e+20", true, "1e+20"},
        {"2.0", true, "2"},
        {"-0.0", true, "-0"},
        {"Inf", true, "Infinity"},
        {"-Inf", true, "-Infinity"},
        {"inf", true, "Infinity"},
        {"-Infinity", true, "-Infinity"},
        {"nan", true, "NaN"},
        {"NaN", true, "NaN"},
        {"1,5", false, "1,5"},
        {"abc", false, "abc"},
        {"", false, ""},
        {"+1", false, "+1"},
        {"1.5x", false, "1.5x"},
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        EXPECT_EQ(RewriteAsShortestDouble(text), c.number) << c.text;
        EXPECT_EQ(text, c.rewritten) << c.text;
    }
}

// Exact numeric types have no exponent: a double that stands for one is
// written out positionally, still in its shortest digits.
TEST(FloatText, PositionalTextHasNoExponent)
{
    const std::vector<FloatCase<double>> cases = {
        {"large", 1e22, "10000000000000000000000"},
        {"small", 1e-7, "0.0000001"},
        {"a sum that is not 0.3", 0.1 + 0.2, "0.30000000000000004"},
        {"an amount", 1234567890.12, "1234567890.12"},
        {"negative zero", -0.0, "-0"},
        {"infinity", std::numeric_limits<double>::infinity(), "Infinity"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string text = ShortestPositionalText(c.value);
        EXPECT_EQ(text, c.text);
        double back = 1;
        ASSERT_TRUE(ParseDouble(text, back));
        EXPECT_EQ(Bits(back), Bits(c.value));
    }
    // The longest: every digit of the smallest subnormal.
    const std::string tiny = ShortestPositionalText(std::numeric_limits<double>::denorm_min());
    EXPECT_EQ(tiny.size(), 2u + 323u + 1u);
    double back = 1;
    ASSERT_TRUE(ParseDouble(tiny, back));
    EXPECT_EQ(back, std::numeric_limits<double>::denorm_min());
}

} // namespace
