#include "merge/ChangeSet.h"

#include <limits>
#include <unordered_map>
#include <utility>

#include "common/ResourceStrings.h"

namespace {

constexpr int kNoChanges = 3005;
constexpr int kChangesToMake = 3006;
constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

// The key columns' texts of a row as one text (each prefixed by its length, so
// different value lists never give the same text). False when an index is
// negative or beyond the row, or the list is empty: such a row matches nothing.
bool KeyText(const CRowValues& row, const std::vector<std::int32_t>& keyColumns, std::string& text)
{
    text.clear();
    if (keyColumns.empty())
        return false;
    for (const std::int32_t x : keyColumns) {
        if (x < 0 || static_cast<std::size_t>(x) >= row.size())
            return false;
        const std::string& field = row[static_cast<std::size_t>(x)];
        const auto length = static_cast<std::uint32_t>(field.size());
        text.append(reinterpret_cast<const char*>(&length), sizeof length);
        text += field;
    }
    return true;
}

// Old rows indexed by key text; rows with the same key are chained in file order.
class OldRowIndex {
public:
    OldRowIndex(const CTableRows& oldRows)
        : m_nextSameKey(oldRows.size(), kNone)
    {
        m_firstWithKey.reserve(oldRows.size());
        std::string key;
        // Backwards, so that each chain starts with the first row in file order.
        for (std::size_t k = oldRows.size(); k-- > 0;) {
            if (!KeyText(oldRows[k], oldRows.m_keyColumns, key))
                continue;
            auto [it, inserted] = m_firstWithKey.try_emplace(key, k);
            if (!inserted) {
                m_nextSameKey[k] = it->second;
                it->second = k;
            }
        }
    }

    // The first old row not taken yet whose key text is `key`, taken now; kNone if none.
    std::size_t Take(const std::string& key)
    {
        const auto it = m_firstWithKey.find(key);
        if (it == m_firstWithKey.end() || it->second == kNone)
            return kNone;
        const std::size_t k = it->second;
        it->second = m_nextSameKey[k];
        return k;
    }

private:
    std::unordered_map<std::string, std::size_t> m_firstWithKey;
    std::vector<std::size_t> m_nextSameKey;
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
    std::vector<bool> oldTaken(oldRows.size(), false);
    std::vector<bool> newTaken(newRows.size(), false);
    std::string key;
    for (std::size_t j = 0; j < newRows.size(); ++j) {
        if (!KeyText(newRows[j], keys, key))
            continue;
        const std::size_t k = index.Take(key);
        if (k == kNone)
            continue;
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
