#pragma once
// Comparisons that ignore the case of ASCII letters, for the names drivers and
// servers report about themselves ("PostgreSQL", "psqlodbcw.so") and their
// message texts. Other bytes compare as they are.
#include <algorithm>
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

inline bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

inline bool ContainsNoCase(std::string_view text, std::string_view word)
{
    return std::search(text.begin(), text.end(), word.begin(), word.end(), SameLetterIgnoringCase) != text.end();
}
