#pragma once
// The merge as one unit of the core, shared by the Merge Data dialog and the
// command line: read the merge file into a change set, generate the statements
// of the chosen tables for the merge data source, execute them. Each step
// answers with the same status, which says whether anything changed and why not.
#include <cstddef>
#include <string>
#include <vector>

#include "merge/MergeFileReader.h"
#include "merge/StatementBuilder.h"
#include "merge/StatementExecution.h"
#include "merge/TableChanges.h"

class CDatabase;
class CompareSettings;

enum class MergeOutcome {
    Done,      // the step did all it was asked; an execution made every change
    Refused,   // nothing ran: the merge file or a table cannot be merged, or the data source failed first
    Problems,  // some statements did not run as expected; the user's choice was kept or undone
    Stopped,   // stopped, connection lost or commit failed: nothing was committed
};

struct MergeStatus {
    MergeOutcome outcome = MergeOutcome::Done;
    std::string message;  // for the user; empty when a read or generation went well

    bool Ok() const { return outcome == MergeOutcome::Done; }
};

class MergeRun {
public:
    // Reads the merge file with the line markers of `markers` and pairs the
    // rows with equal keys into updates. A file that is refused leaves no table.
    MergeStatus Read(const std::string& mergeFile, const CompareSettings& markers,
                     const MergeFileLimits& limits = MergeFileLimits::Default());

    const TableChangesArray& Tables() const { return m_tables; }
    // "No Changes" or "%d to add, %d to update, %d to delete".
    std::string Summary(std::size_t table) const;
    // The columns that find the table's rows, as the user reads them.
    std::string KeyColumns(std::size_t table) const;

    // The statements of the given tables (indexes into Tables()) for the merge
    // data source, in the order they will run. Each table's values go to the
    // target's columns by name; where foreign keys tie the tables, inserts and
    // updates run parents first and deletes children first, else table by
    // table, each its inserts, updates and deletes. A note heads the list when
    // foreign keys form a cycle. Refused, with nothing generated, when a table
    // the target lacks, or columns that do not fit, keep a table from merging.
    MergeStatus Generate(CDatabase& target, const std::vector<std::size_t>& tables,
                         std::vector<GeneratedStatement>& statements);

    // Runs the statements in one transaction; see ExecuteStatements.
    MergeStatus Execute(CDatabase& target, const std::vector<GeneratedStatement>& statements,
                        ExecutionObserver& observer, const ExecutionOptions& options = ExecutionOptions());
    const ExecutionResult& LastExecution() const { return m_lastExecution; }

private:
    TableChangesArray m_tables;
    ExecutionResult m_lastExecution;
};
