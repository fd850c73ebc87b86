#pragma once
// The merge as one unit of the core, shared by the Merge Data dialog and the
// command line: read the merge file into a change set, generate the statements
// of the chosen tables for the merge data source, execute them.
#include <cstddef>
#include <string>
#include <vector>

#include "merge/CTableRows.h"
#include "merge/StatementBuilder.h"
#include "merge/StatementExecution.h"

class CDatabase;
class CompareSettings;

// Per table section of the merge file, parallel entries: the rows to delete
// (old side), to add (new side) and the update pairs (old row, new row).
struct ChangeSet {
    CTableRowsArray deleteTables;
    CTableRowsArray addTables;
    CTableRowsArray updateTables;

    std::size_t TableCount() const { return deleteTables.size(); }
    // The table's name as the section head spells it, brackets included.
    const std::string& TableName(std::size_t table) const { return deleteTables[table].m_strTable; }
    bool HasChanges(std::size_t table) const;
};

// Reads the merge file with the line markers of `markers` and pairs the rows
// with equal keys into updates. False when the file could not be read to its
// end; the change set then holds the sections completed before.
bool ReadChangeSet(const std::string& mergeFile, const CompareSettings& markers, ChangeSet& changes);

// "No Changes" or "%d to add, %d to update, %d to delete" for one table.
std::string TableSummary(const ChangeSet& changes, std::size_t table);

// The statements of the given tables (indexes into the change set, in the order
// given) for the merge data source: per table its inserts, then its updates,
// then its deletes. The columns of each table are read from the target, also
// for a table without changes. Raises DatabaseError when they cannot be read
// (a table the target lacks); nothing is generated then.
std::vector<GeneratedStatement> GenerateStatements(CDatabase& target, const ChangeSet& changes,
                                                   const std::vector<std::size_t>& tables);
