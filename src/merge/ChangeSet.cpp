#include "merge/ChangeSet.h"

#include <functional>
#include <limits>
#include <utility>

#include "common/ResourceStrings.h"

namespace {

constexpr int kNoChanges = 3005;
constexpr int kChangesToMake = 3006;
constexpr int kAllColumns = 3040;
constexpr int kColumnsByPosition = 3041;
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
    OldRowIndex(const CRowArray& oldRows, const std::vector<std::int32_t>& keys)
        : m_rows(oldRows), m_keys(keys), m_nextSameKey(oldRows.size(), kNone)
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

    const CRowArray& m_rows;
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

} // namespace

void BuildUpdates(TableChanges& table)
{
    table.updates.clear();
    const std::vector<std::int32_t>& keys = table.keyColumns;
    CRowArray& oldRows = table.deletes;
    CRowArray& newRows = table.adds;
    if (keys.empty() || oldRows.empty() || newRows.empty())
        return;
    OldRowIndex index(oldRows, keys);
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
    table.updates.reserve(found.size());
    for (const auto& [k, j] : found) {
        table.updates.push_back({std::move(oldRows[k]), std::move(newRows[j])});
        oldTaken[k] = true;
        newTaken[j] = true;
    }
    RemoveTaken(oldRows, oldTaken);
    RemoveTaken(newRows, newTaken);
}

void BuildUpdates(TableChangesArray& tables)
{
    for (TableChanges& table : tables)
        BuildUpdates(table);
}

ChangeCounts CountChanges(const TableChanges& table)
{
    ChangeCounts counts;
    counts.toAdd = static_cast<int>(table.adds.size());
    counts.toUpdate = static_cast<int>(table.updates.size());
    counts.toDelete = static_cast<int>(table.deletes.size());
    return counts;
}

std::string ChangeSummary(const ChangeCounts& counts)
{
    if (counts.toAdd == 0 && counts.toUpdate == 0 && counts.toDelete == 0)
        return LoadResourceString(kNoChanges);
    const std::string format = LoadResourceString(kChangesToMake);
    return FormatString(format.c_str(), counts.toAdd, counts.toUpdate, counts.toDelete);
}

std::string ChangeSummary(const TableChanges& table)
{
    return ChangeSummary(CountChanges(table));
}

std::string KeyDescription(const TableChanges& table)
{
    if (table.keyColumns.empty())
        return LoadResourceString(kAllColumns);
    std::string text;
    const bool named = !table.columnNames.empty();
    for (const std::int32_t key : table.keyColumns) {
        if (!text.empty())
            text += ", ";
        const auto index = static_cast<std::size_t>(key);
        if (named && key >= 0 && index < table.columnNames.size())
            text += table.columnNames[index];
        else
            text += std::to_string(key + 1);
    }
    return named ? text : FormatString(LoadResourceString(kColumnsByPosition).c_str(), text.c_str());
}
