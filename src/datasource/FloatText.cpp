#include "datasource/FloatText.h"

#include <charconv>
#include <system_error>

namespace {

template <typename T>
std::string Shortest(T value)
{
    // Enough for the longest shortest form of a double ("-2.2250738585072014e-308").
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

} // namespace

std::string ShortestText(double value)
{
    return Shortest(value);
}

std::string ShortestText(float value)
{
    return Shortest(value);
}

bool RewriteAsShortestDouble(std::string& text)
{
    if (text.empty())
        return false;
    // from_chars takes no leading "+"; a driver does not write one either.
    double value = 0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    if (result.ec != std::errc() || result.ptr != end)
        return false;
    // Into the text's own room: no allocation per value.
    char buffer[32];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value);
    text.assign(buffer, written.ptr);
    return true;
}
