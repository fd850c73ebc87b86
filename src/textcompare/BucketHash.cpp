#include "textcompare/BucketHash.h"

#include <algorithm>

namespace {

// Keeps the hashes of the levels apart: the key hash is level 0.
std::uint64_t LevelSeed(unsigned level)
{
    return 0x9E3779B97F4A7C15ull * (level + 1);
}

char FoldCase(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - ('a' - 'A')) : c;
}

} // namespace

BucketHasher::BucketHasher(const LineRules& rules, std::vector<std::int32_t> keyColumns) : m_rules(rules)
{
    for (const std::int32_t column : keyColumns) {
        if (column < 0)
            continue;
        m_keyColumns.push_back(column);
        m_fieldsNeeded = std::max(m_fieldsNeeded, static_cast<std::size_t>(column) + 1);
    }
    m_fields.reserve(std::min<std::size_t>(m_fieldsNeeded, 64));  // more only for rows that have them
}

std::string_view BucketHasher::Normalise(std::string_view row)
{
    std::string_view normal = row;
    if (m_rules.ignoreWhitespace || m_rules.ignoreCase) {
        m_normal.clear();
        for (const char c : row) {
            if (m_rules.ignoreWhitespace && IsIgnorableSpace(c))
                continue;
            m_normal.push_back(m_rules.ignoreCase ? FoldCase(c) : c);
        }
        normal = m_normal;
    }
    // The terminator, taken from the normalised row so that what is left is
    // still a function of the row as the rules see it.
    if (!normal.empty() && normal.back() == '\n')
        normal.remove_suffix(1);
    if (!normal.empty() && normal.back() == '\r')
        normal.remove_suffix(1);
    return normal;
}

void BucketHasher::ParseFields(std::string_view row)
{
    m_fields.clear();
    const std::size_t n = row.size();
    std::size_t at = 0;  // where the next field begins; n + 1 once the row ended
    while (m_fields.size() < m_fieldsNeeded && at <= n) {
        if (at < n && row[at] == '"') {
            // A quote that is neither doubled nor followed by a comma or the
            // end is part of the value, as the row scanner has it.
            std::size_t q = at + 1;
            for (;;) {
                const std::size_t quote = row.find('"', q);
                if (quote == std::string_view::npos) {  // never closed: the rest of the row
                    m_fields.push_back({at + 1, n, true});
                    at = n + 1;
                    break;
                }
                if (quote + 1 < n && row[quote + 1] == '"') {
                    q = quote + 2;
                    continue;
                }
                if (quote + 1 == n || row[quote + 1] == ',') {
                    m_fields.push_back({at + 1, quote, true});
                    at = quote + 2;
                    break;
                }
                q = quote + 1;
            }
        } else {
            const std::size_t comma = row.find(',', at);
            const std::size_t end = comma == std::string_view::npos ? n : comma;
            m_fields.push_back({at, end, false});
            at = end + 1;
        }
    }
}

void BucketHasher::AppendValue(std::string_view row, const Field& field)
{
    const std::size_t before = m_key.size();
    if (!field.quoted) {
        m_key.append(row.substr(field.begin, field.end - field.begin));
    } else {
        for (std::size_t i = field.begin; i < field.end; ++i) {
            m_key.push_back(row[i]);
            if (row[i] == '"' && i + 1 < field.end && row[i + 1] == '"')
                ++i;  // "" is one quote of the value
        }
    }
    // The value's length ends it, so that ("ab", "") and ("a", "b") differ.
    const auto length = static_cast<std::uint32_t>(m_key.size() - before);
    m_key.append(reinterpret_cast<const char*>(&length), sizeof length);
}

std::uint64_t BucketHasher::KeyHash(std::string_view row)
{
    if (m_keyColumns.empty())
        return RowHash(row, 0);
    const std::string_view normal = Normalise(row);
    ParseFields(normal);
    m_key.clear();
    for (const std::int32_t column : m_keyColumns) {
        const auto index = static_cast<std::size_t>(column);
        if (index < m_fields.size())
            AppendValue(normal, m_fields[index]);
        else
            AppendValue(normal, Field{0, 0, false});  // beyond the last field: empty
    }
    return MixHashBits(LineKey(m_key, LineRules()) ^ LevelSeed(0));
}

std::uint64_t BucketHasher::RowHash(std::string_view row, unsigned level) const
{
    // LineKey already treats the row as the rules do.
    return MixHashBits(LineKey(row, m_rules) ^ LevelSeed(level));
}
