#pragma once
// Comparisons that ignore the case of ASCII letters, for the names drivers and
// servers report about themselves ("PostgreSQL", "psqlodbcw.so") and their
// message texts. Other bytes compare as they are.
#include <algorithm>
#include <cstddef>
#include <optional>
#include <string_view>

inline bool SameLetterIgnoringCase(char a, char b)
{
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return lower(a) == lower(b);
}

inline bool EqualsNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), SameLetterIgnoringCase);
}

// Byte for byte, or without regard to ASCII case.
inline bool SameName(std::string_view a, std::string_view b, bool ignoringCase)
{
    return ignoringCase ? EqualsNoCase(a, b) : a == b;
}

// Which of `count` candidates a name the user gave means, `bears(i,
// ignoringCase)` telling whether candidate i bears it: the first one that
// bears it as spelled; else the one candidate that bears it ignoring ASCII
// case, when only one does (`ambiguous` when several do).
struct NamedCandidate {
    std::optional<std::size_t> index;
    bool ambiguous = false;
};

template <class Bears>
NamedCandidate FindNamedCandidate(std::size_t count, Bears bears)
{
    for (std::size_t i = 0; i < count; ++i)
        if (bears(i, false))
            return {i, false};
    NamedCandidate found;
    for (std::size_t i = 0; i < count; ++i) {
        if (!bears(i, true))
            continue;
        if (found.index)
            return {std::nullopt, true};
        found.index = i;
    }
    return found;
}

inline bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

inline bool ContainsNoCase(std::string_view text, std::string_view word)
{
    return std::search(text.begin(), text.end(), word.begin(), word.end(), SameLetterIgnoringCase) != text.end();
}
