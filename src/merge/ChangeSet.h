#pragma once
// The change set of a merge: the reader fills each table's rows to delete (old
// side) and to add (new side); pairing moves rows with equal keys into updates.
#include <string>

#include "merge/TableChanges.h"

// Pairs, in every table that has key columns, the rows to delete and to add
// whose key columns hold the same texts into updates, pairs in the order of the
// new rows. Each new row takes the first old row in file order whose key it
// matches; paired rows leave the other two lists, the rest keep their order. A
// table without key columns pairs nothing: its rows are found by all their
// columns, so a changed row is deleted and added. Time grows linearly with the rows.
void BuildUpdates(TableChangesArray& tables);
void BuildUpdates(TableChanges& table);

struct ChangeCounts {
    int toAdd = 0;
    int toUpdate = 0;
    int toDelete = 0;
};

ChangeCounts CountChanges(const TableChanges& table);

// "No Changes", or "%d to add, %d to update, %d to delete" with the counts.
std::string ChangeSummary(const ChangeCounts& counts);
std::string ChangeSummary(const TableChanges& table);

// The columns that find a table's rows, as the user reads them: the key
// columns' names ("id, name"), their positions when the file names no columns
// ("columns 1, 2"), or "all columns" for a table without key.
std::string KeyDescription(const TableChanges& table);
