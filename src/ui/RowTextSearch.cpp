#include "ui/RowTextSearch.h"

namespace {

bool IsWordByte(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c >= 0x80;
}

} // namespace

void ToLowerAscii(std::string& text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
}

bool ContainsMatch(std::string_view text, std::string_view needle, bool wholeWord)
{
    if (needle.empty())
        return false;
    std::size_t restStart = 0;
    while (restStart <= text.size()) {
        const std::size_t found = text.find(needle, restStart);
        if (found == std::string_view::npos)
            return false;
        if (!wholeWord)
            return true;
        const std::size_t end = found + needle.size();
        const bool separatorBefore = found == restStart || !IsWordByte(static_cast<unsigned char>(text[found - 1]));
        const bool separatorAfter = end == text.size() || !IsWordByte(static_cast<unsigned char>(text[end]));
        if (separatorBefore && separatorAfter)
            return true;
        restStart = end;
    }
    return false;
}
