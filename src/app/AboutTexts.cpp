#include "app/AboutTexts.h"

#include "common/ResourceStrings.h"

namespace {
constexpr int kUnavailableText = 2008;
constexpr int kKbFreeText = 2009;  // "%lu KB Free": its tail follows a size
constexpr int kKbText = 2012;
constexpr int kBytesText = 2134;
constexpr int kWholeKbText = 2146;
constexpr int kMbText = 2147;
constexpr int kGbText = 2178;
constexpr int kDecimalMark = 2190;  // "." or the language module's own mark

constexpr std::uint64_t kKb = 1024;
constexpr std::uint64_t kMb = kKb * 1024;
constexpr std::uint64_t kGb = kMb * 1024;

// What follows the figure and its unit in "%lu KB Free" (" Free"). A
// translation may spell the unit differently, so the unit is taken as the word
// after the conversion rather than as a fixed number of characters.
std::string FreeTail()
{
    const std::string text = LoadResourceString(kKbFreeText);
    std::size_t i = text.find("%lu");
    if (i == std::string::npos)
        return {};
    i += 3;
    if (i < text.size() && text[i] == ' ')
        ++i;
    while (i < text.size() && text[i] != ' ')
        ++i;
    return text.substr(i);
}

// A size with a fraction in the language's own form: printf writes a point.
std::string WithDecimalMark(std::string text)
{
    const std::string mark = LoadResourceString(kDecimalMark);
    if (mark.empty() || mark == ".")
        return text;
    for (std::size_t i = 1; i + 1 < text.size(); ++i) {
        const auto digit = [&](std::size_t at) { return text[at] >= '0' && text[at] <= '9'; };
        if (text[i] == '.' && digit(i - 1) && digit(i + 1)) {
            text.replace(i, 1, mark);
            break;
        }
    }
    return text;
}

} // namespace

std::string MemoryText(std::optional<std::uint64_t> bytes)
{
    if (!bytes)
        return LoadResourceString(kUnavailableText);
    return FormatString(LoadResourceString(kKbText).c_str(), static_cast<unsigned long>(*bytes / kKb));
}

std::string SizeText(std::uint64_t bytes)
{
    const double n = static_cast<double>(bytes);
    if (bytes < kKb)
        return FormatString(LoadResourceString(kBytesText).c_str(), static_cast<long>(bytes));
    if (bytes < kMb)
        return FormatString(LoadResourceString(kWholeKbText).c_str(), n / static_cast<double>(kKb));
    if (bytes <= kGb)
        return WithDecimalMark(FormatString(LoadResourceString(kMbText).c_str(), n / static_cast<double>(kMb)));
    return WithDecimalMark(FormatString(LoadResourceString(kGbText).c_str(), n / static_cast<double>(kGb)));
}

std::string DiskText(std::optional<std::uint64_t> freeBytes)
{
    if (!freeBytes)
        return LoadResourceString(kUnavailableText);
    return SizeText(*freeBytes) + FreeTail();
}
