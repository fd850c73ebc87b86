#include "ui/RowTextSearch.h"

#include <QChar>

namespace {

constexpr char32_t kInvalid = U'\uFFFD';

// The code point of the UTF-8 character that starts at `at`; a byte that starts
// no valid character is the replacement character, which is no letter.
char32_t CodePointAt(std::string_view text, std::size_t at)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    char32_t value = 0;
    if (lead < 0x80)
        return lead;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        value = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        value = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        value = lead & 0x07;
    } else {
        return kInvalid;
    }
    if (at + length > text.size())
        return kInvalid;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return kInvalid;
        value = (value << 6) | (byte(at + i) & 0x3F);
    }
    return value;
}

// The start of the UTF-8 character whose last byte lies just before `end`.
std::size_t CharacterStartBefore(std::string_view text, std::size_t end)
{
    std::size_t at = end - 1;
    for (int back = 0; back < 3 && at > 0 && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80; ++back)
        --at;
    return at;
}

// Letters of any script and '_' make words; digits, punctuation, symbols and
// blanks of any script separate them, as ASCII digits and punctuation always did.
bool IsWordCharacter(char32_t c)
{
    return c == U'_' || QChar::isLetter(c) || QChar::isMark(c);
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
        const bool separatorBefore =
            found == restStart || !IsWordCharacter(CodePointAt(text, CharacterStartBefore(text, found)));
        const bool separatorAfter = end == text.size() || !IsWordCharacter(CodePointAt(text, end));
        if (separatorBefore && separatorAfter)
            return true;
        restStart = end;
    }
    return false;
}
