#pragma once
// The change set of a merge: per table section, parallel entries in three
// lists. The reader fills the rows to delete (old side) and to add (new side);
// pairing moves rows with equal keys into updates.
#include <cstdint>
#include <string>
#include <vector>

#include "merge/CTableRows.h"

// Whether two rows agree, byte for byte, on every key column. An empty key
// list, a negative index or one beyond either row's fields never matches.
bool KeysMatch(const CRowValues& oldRow, const std::vector<std::int32_t>& keyColumns, const CRowValues& newRow);

// Pairs the rows of `deleteTables` and `addTables` with equal keys (the key
// columns of the `deleteTables` entry). `updateTables` is rebuilt with one entry
// per table: rows 2k and 2k+1 are the old and the new row of pair k, pairs in
// the order of the new rows. Each new row takes the first old row in file order
// whose key it matches; paired rows leave the other two lists, the rest keep
// their order. Time grows linearly with the rows.
void BuildUpdates(CTableRowsArray& deleteTables, CTableRowsArray& addTables, CTableRowsArray& updateTables);

struct ChangeCounts {
    int toAdd = 0;
    int toUpdate = 0;
    int toDelete = 0;
};

ChangeCounts CountChanges(const CTableRowsArray& deleteTables, const CTableRowsArray& addTables,
                          const CTableRowsArray& updateTables, std::size_t table);

// "No Changes", or "%d to add, %d to update, %d to delete" with the counts.
std::string ChangeSummary(const ChangeCounts& counts);
std::string ChangeSummary(const CTableRowsArray& deleteTables, const CTableRowsArray& addTables,
                          const CTableRowsArray& updateTables, std::size_t table);
