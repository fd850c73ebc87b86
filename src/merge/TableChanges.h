#pragma once
// The change set of a merge, one record per table section of the merge file:
// the rows only the old table has (to delete), the rows only the new table has
// (to add), and the rows of both paired by key (to update). All are plain
// values: copying one copies everything in it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "datasource/ColumnInfo.h"
#include "merge/CRowValues.h"

// Rows in order.
using CRowArray = std::vector<CRowValues>;

// The column descriptions of one table of the merge data source.
using CColumnInfoArray = std::vector<ColumnInfo>;

// A row that changed: its old and its new values, with equal keys.
struct RowPair {
    CRowValues oldRow;
    CRowValues newRow;
};

struct TableChanges {
    std::string name;         // as written: "we]ird"; what statements name
    std::string spelledName;  // as the section head spells it, brackets included: "[we]]ird]"
    // Zero-based indexes of the key columns, ascending. Empty: the table has no
    // key, and its rows are found by all their columns.
    std::vector<std::int32_t> keyColumns;
    // The dumps' column names, from the section's column line; empty in a merge
    // file written before sections named their columns.
    std::vector<std::string> columnNames;
    CRowArray deletes;
    CRowArray adds;
    std::vector<RowPair> updates;
    // The line of the merge file where the section starts, for messages.
    std::size_t headLine = 0;

    bool HasChanges() const { return !deletes.empty() || !adds.empty() || !updates.empty(); }
    bool HasKey() const { return !keyColumns.empty(); }
};

using TableChangesArray = std::vector<TableChanges>;
