#include "merge/ChangeSet.h"

#include <functional>
#include <limits>
#include <utility>

#include "common/ResourceStrings.h"

namespace {

constexpr int kNoChanges = 3005;
constexpr int kChangesToMake = 3006;
constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

// Whether every key index lies inside the row; an empty list matches nothing.
bool HasKey(const CRowValues& row, const std::vector<std::int32_t>& keyColumns)
{
    if (keyColumns.empty())
        return false;
    for (const std::int32_t x : keyColumns) {
        if (x < 0 || static_cast<std::size_t>(x) >= row.size())
            return false;
    }
    return true;
}

std::size_t KeyHash(const CRowValues& row, const std::vector<std::int32_t>& keyColumns)
{
    std::size_t hash = keyColumns.size();
    for (const std::int32_t x : keyColumns) {
        const std::size_t field = std::hash<std::string>()(row[static_cast<std::size_t>(x)]);
        hash ^= field + 0x9e3779b97f4a7c15ULL + (hash << 6) + (hash >> 2);
    }
    return hash;
}

// Rows with the same key texts (both known to have a key).
bool SameKey(const CRowValues& a, const CRowValues& b, const std::vector<std::int32_t>& keyColumns)
{
    for (const std::int32_t x : keyColumns) {
        const auto i = static_cast<std::size_t>(x);
        if (a[i] != b[i])
            return false;
    }
    return true;
}

// The old rows of a table by key, in an open-addressing table: each slot holds
// one key, the row that shows it and the first old row of that key not taken
// yet; rows with the same key are chained in file order.
class OldRowIndex {
public:
    explicit OldRowIndex(const CTableRows& oldRows)
        : m_rows(oldRows), m_keys(oldRows.m_keyColumns), m_nextSameKey(oldRows.size(), kNone)
    {
        std::size_t capacity = 16;
        while (capacity < 2 * oldRows.size())
            capacity *= 2;
        m_mask = capacity - 1;
        m_keyRow.assign(capacity, kNone);
        m_first.assign(capacity, kNone);
        // Backwards, so that each chain starts with the first row in file order.
        for (std::size_t k = oldRows.size(); k-- > 0;) {
            if (!HasKey(oldRows[k], m_keys))
                continue;
            const std::size_t slot = Find(oldRows[k]);
            if (m_keyRow[slot] == kNone)
                m_keyRow[slot] = k;
            m_nextSameKey[k] = m_first[slot];
            m_first[slot] = k;
        }
    }

    // The first old row not taken yet whose key equals the new row's, taken
    // now; kNone if there is none (the new row must have a key).
    std::size_t Take(const CRowValues& newRow)
    {
        const std::size_t slot = Find(newRow);
        const std::size_t k = m_first[slot];
        if (k != kNone)
            m_first[slot] = m_nextSameKey[k];
        return k;
    }

private:
    // The slot of the row's key: where it is, or the empty slot where it would go.
    std::size_t Find(const CRowValues& row) const
    {
        std::size_t slot = KeyHash(row, m_keys) & m_mask;
        while (m_keyRow[slot] != kNone && !SameKey(m_rows[m_keyRow[slot]], row, m_keys))
            slot = (slot + 1) & m_mask;
        return slot;
    }

    const CTableRows& m_rows;
    const std::vector<std::int32_t>& m_keys;
    std::size_t m_mask = 0;
    std::vector<std::size_t> m_keyRow;       // per slot: a row with the slot's key
    std::vector<std::size_t> m_first;        // per slot: first row of the key not taken
    std::vector<std::size_t> m_nextSameKey;  // per row: the next row of its key
};

// Keeps the rows not marked taken, in their order.
void RemoveTaken(CRowArray& rows, const std::vector<bool>& taken)
{
    std::size_t kept = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (taken[i])
            continue;
        if (kept != i)
            rows[kept] = std::move(rows[i]);
        ++kept;
    }
    rows.resize(kept);
}

CTableRows PairTable(CTableRows& oldRows, CRowArray& newRows)
{
    CTableRows pairs;
    const std::vector<std::int32_t>& keys = oldRows.m_keyColumns;
    if (keys.empty() || oldRows.empty() || newRows.empty())
        return pairs;
    OldRowIndex index(oldRows);
    // Pairs are noted first and their rows moved afterwards: the index compares
    // keys against old rows until the scan is done.
    std::vector<std::pair<std::size_t, std::size_t>> found;
    for (std::size_t j = 0; j < newRows.size(); ++j) {
        if (!HasKey(newRows[j], keys))
            continue;
        const std::size_t k = index.Take(newRows[j]);
        if (k != kNone)
            found.emplace_back(k, j);
    }
    std::vector<bool> oldTaken(oldRows.size(), false);
    std::vector<bool> newTaken(newRows.size(), false);
    pairs.reserve(2 * found.size());
    for (const auto& [k, j] : found) {
        pairs.push_back(std::move(oldRows[k]));
        pairs.push_back(std::move(newRows[j]));
        oldTaken[k] = true;
        newTaken[j] = true;
    }
    RemoveTaken(oldRows, oldTaken);
    RemoveTaken(newRows, newTaken);
    return pairs;
}

} // namespace

bool KeysMatch(const CRowValues& oldRow, const std::vector<std::int32_t>& keyColumns, const CRowValues& newRow)
{
    if (keyColumns.empty())
        return false;
    for (const std::int32_t x : keyColumns) {
        if (x < 0)
            return false;
        const auto i = static_cast<std::size_t>(x);
        if (i >= oldRow.size() || i >= newRow.size())
            return false;
        if (oldRow[i] != newRow[i])
            return false;
    }
    return true;
}

void BuildUpdates(CTableRowsArray& deleteTables, CTableRowsArray& addTables, CTableRowsArray& updateTables)
{
    updateTables.clear();
    updateTables.reserve(deleteTables.size());
    CRowArray noRows;
    for (std::size_t i = 0; i < deleteTables.size(); ++i) {
        CRowArray& newRows = i < addTables.size() ? addTables[i] : noRows;
        updateTables.push_back(PairTable(deleteTables[i], newRows));
    }
}

ChangeCounts CountChanges(const CTableRowsArray& deleteTables, const CTableRowsArray& addTables,
                          const CTableRowsArray& updateTables, std::size_t table)
{
    ChangeCounts counts;
    if (table < addTables.size())
        counts.toAdd = static_cast<int>(addTables[table].size());
    if (table < updateTables.size())
        counts.toUpdate = static_cast<int>(updateTables[table].size() / 2);
    if (table < deleteTables.size())
        counts.toDelete = static_cast<int>(deleteTables[table].size());
    return counts;
}

std::string ChangeSummary(const ChangeCounts& counts)
{
    if (counts.toAdd == 0 && counts.toUpdate == 0 && counts.toDelete == 0)
        return LoadResourceString(kNoChanges);
    const std::string format = LoadResourceString(kChangesToMake);
    return FormatString(format.c_str(), counts.toAdd, counts.toUpdate, counts.toDelete);
}

std::string ChangeSummary(const CTableRowsArray& deleteTables, const CTableRowsArray& addTables,
                          const CTableRowsArray& updateTables, std::size_t table)
{
    return ChangeSummary(CountChanges(deleteTables, addTables, updateTables, table));
}
