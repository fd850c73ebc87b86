#include "datasource/ValueSpelling.h"

#include <cstdint>
#include <cstring>

#include "common/AsciiNoCase.h"

namespace ValueSpelling {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

void AppendHex(std::string& out, std::string_view bytes)
{
    const std::size_t start = out.size();
    out.resize(start + 2 * bytes.size());
    char* to = out.data() + start;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *to++ = kHexDigits[b >> 4];
        *to++ = kHexDigits[b & 0x0F];
    }
}

} // namespace

void TrimFractionZeros(std::string& text)
{
    // The point of a fraction of seconds follows "hh:mm:ss": two digits after a colon.
    for (std::size_t dot = text.find('.'); dot != std::string::npos; dot = text.find('.', dot + 1)) {
        if (dot < 3 || text[dot - 3] != ':' || !IsDigit(text[dot - 2]) || !IsDigit(text[dot - 1]))
            continue;
        std::size_t end = dot + 1;
        while (end < text.size() && IsDigit(text[end]))
            ++end;
        std::size_t keep = end;
        while (keep > dot + 1 && text[keep - 1] == '0')
            --keep;
        if (keep == dot + 1)
            keep = dot;  // nothing left after the point
        text.erase(keep, end - keep);
        return;
    }
}

void PadToScale(std::string& text, int scale)
{
    if (scale <= 0)
        return;
    std::size_t i = text.empty() || text[0] != '-' ? 0 : 1;
    const std::size_t digitsStart = i;
    while (i < text.size() && IsDigit(text[i]))
        ++i;
    if (i == digitsStart)
        return;
    std::size_t places = 0;
    const bool point = i < text.size() && text[i] == '.';
    if (point) {
        ++i;
        while (i < text.size() && IsDigit(text[i])) {
            ++i;
            ++places;
        }
    }
    if (i != text.size())
        return;  // an exponent or anything else: not a plain decimal number
    if (!point)
        text += '.';
    if (places < static_cast<std::size_t>(scale))
        text.append(static_cast<std::size_t>(scale) - places, '0');
}

void AppendUtcOffset(std::string& text)
{
    if (text == "infinity" || text == "-infinity")
        return;
    constexpr std::string_view era = " BC";
    if (text.size() > era.size() && std::string_view(text).substr(text.size() - era.size()) == era)
        text.insert(text.size() - era.size(), "+00");
    else
        text += "+00";
}

bool SpellBoolean(std::string& text)
{
    for (const std::string_view yes : {"1", "t", "true", "y", "yes", "on"}) {
        if (EqualsNoCase(text, yes)) {
            text = "1";
            return true;
        }
    }
    for (const std::string_view no : {"0", "f", "false", "n", "no", "off"}) {
        if (EqualsNoCase(text, no)) {
            text = "0";
            return true;
        }
    }
    return false;
}

std::string BitsAsNumber(std::string_view bytes)
{
    if (bytes.size() > 8)
        bytes = bytes.substr(bytes.size() - 8);
    std::uint64_t value = 0;
    for (const char c : bytes)
        value = (value << 8) | static_cast<unsigned char>(c);
    return std::to_string(value);
}

void MarkAsReal(std::string& text)
{
    // Infinity and NaN carry an I or N; a shortest text has no other letter but e.
    if (text.find_first_of(".eEIN") == std::string::npos)
        text += ".0";
}

void AppendHexBinary(std::string& out, std::string_view bytes)
{
    out += "0x";
    AppendHex(out, bytes);
}

} // namespace ValueSpelling
