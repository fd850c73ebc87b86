#include "datasource/FloatText.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace {

// The spellings of the values without digits.
constexpr const char kInfinity[] = "Infinity";
constexpr const char kNegativeInfinity[] = "-Infinity";
constexpr const char kNotANumber[] = "NaN";

template <typename T>
const char* SpecialText(T value)
{
    if (std::isnan(value))
        return kNotANumber;  // NaN has no sign worth keeping: drivers drop it
    if (std::isinf(value))
        return value < 0 ? kNegativeInfinity : kInfinity;
    return nullptr;
}

template <typename T>
std::string Shortest(T value, bool positional)
{
    if (const char* special = SpecialText(value))
        return special;
    // Enough for the longest shortest form of a double in either notation:
    // positionally, 309 digits before the point or 324 places after it.
    char buffer[400];
    // Without a format, to_chars takes whichever notation is shorter (95125,
    // 1e+22); chars_format::general would follow printf's %g instead.
    const auto result = positional ? std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed)
                                   : std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

} // namespace

std::string ShortestText(double value)
{
    return Shortest(value, false);
}

std::string ShortestText(float value)
{
    return Shortest(value, false);
}

std::string ShortestPositionalText(double value)
{
    return Shortest(value, true);
}

bool ParseDouble(const std::string& text, double& value)
{
    if (text.empty())
        return false;
    // from_chars takes no leading "+"; a driver does not write one either. It
    // reads inf, infinity and nan in any case (SQLite's printf writes Inf).
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return result.ec == std::errc() && result.ptr == end;
}

bool RewriteAsShortestDouble(std::string& text)
{
    double value = 0;
    if (!ParseDouble(text, value))
        return false;
    if (const char* special = SpecialText(value)) {
        text = special;
        return true;
    }
    // Into the text's own room: no allocation per value.
    char buffer[32];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value);
    text.assign(buffer, written.ptr);
    return true;
}
