#pragma once
// One row as read back from the merge file: the field texts in the column order
// of the table dump, and for each field whether it stood in double quotes.
//
// The quote flag matters for one value: the dump writes SQL NULL as a bare NULL
// and a text value made of the letters NULL as "NULL". Both read back as the
// text NULL, so only the flag keeps the text value from being merged as SQL NULL.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

class CRowValues {
public:
    CRowValues() = default;
    // Unquoted fields with the given texts (NULL among them stays SQL NULL).
    CRowValues(std::initializer_list<std::string> texts);

    std::size_t size() const { return m_texts.size(); }
    bool empty() const { return m_texts.empty(); }
    const std::string& operator[](std::size_t i) const { return m_texts[i]; }
    std::string& operator[](std::size_t i) { return m_texts[i]; }
    bool IsQuoted(std::size_t i) const;

    void Add(std::string text, bool quoted = false);
    // Empties the row; the room for its fields stays.
    void RemoveAll();
    void Reserve(std::size_t fields) { m_texts.reserve(fields); }

    const std::vector<std::string>& Texts() const { return m_texts; }
    std::vector<std::string>::const_iterator begin() const { return m_texts.begin(); }
    std::vector<std::string>::const_iterator end() const { return m_texts.end(); }

    // Equal texts and equal quote flags.
    bool operator==(const CRowValues& other) const = default;

private:
    static constexpr std::size_t kInlineFlags = 64;

    std::vector<std::string> m_texts;
    // Quote flags, one bit per field: the first 64 inline (no allocation per
    // row for ordinary tables), the rest in m_quotedMore.
    std::uint64_t m_quotedFirst = 0;
    std::vector<std::uint64_t> m_quotedMore;
};
