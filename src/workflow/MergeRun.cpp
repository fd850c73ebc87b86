#include "workflow/MergeRun.h"

#include "datasource/CRecordsetEx.h"
#include "merge/ChangeSet.h"
#include "merge/MergeFileReader.h"
#include "merge/TableStatements.h"

bool ChangeSet::HasChanges(std::size_t table) const
{
    const ChangeCounts counts = CountChanges(deleteTables, addTables, updateTables, table);
    return counts.toAdd != 0 || counts.toUpdate != 0 || counts.toDelete != 0;
}

bool ReadChangeSet(const std::string& mergeFile, const CompareSettings& markers, ChangeSet& changes)
{
    changes.deleteTables.clear();
    changes.addTables.clear();
    changes.updateTables.clear();
    const bool read = ReadMergeFile(mergeFile, markers, changes.deleteTables, changes.addTables) == 1;
    BuildUpdates(changes.deleteTables, changes.addTables, changes.updateTables);
    return read;
}

std::string TableSummary(const ChangeSet& changes, std::size_t table)
{
    return ChangeSummary(changes.deleteTables, changes.addTables, changes.updateTables, table);
}

std::vector<GeneratedStatement> GenerateStatements(CDatabase& target, const ChangeSet& changes,
                                                   const std::vector<std::size_t>& tables)
{
    std::vector<GeneratedStatement> statements;
    CRecordsetEx recordset(target);
    for (const std::size_t i : tables) {
        if (i >= changes.TableCount())
            continue;
        AppendTableStatements(recordset, changes.deleteTables[i], changes.addTables[i], changes.updateTables[i],
                              statements);
    }
    return statements;
}
