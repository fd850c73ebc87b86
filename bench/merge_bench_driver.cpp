// Times the merge stage without a data source: reads a merge file, pairs the
// rows into the change set and builds every statement, as the Merge command
// does for one selected table. Prints one "name=value" line per figure.
//
//   merge_bench_driver <merge file>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "datasource/SqlLiteralFacts.h"
#include "merge/ChangeSet.h"
#include "merge/MergeFileReader.h"
#include "merge/StatementBuilder.h"
#include "common/CompareSettings.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

ColumnInfo Column(const char* name, std::int16_t sqlType, std::int16_t nullability)
{
    ColumnInfo column;
    column.name = name;
    column.sqlType = sqlType;
    column.nullability = nullability;
    return column;
}

// The columns of the generated table (ID, NAME, CITY, AMOUNT, CREATED, NOTE).
const CColumnInfoArray kColumns = {Column("ID", 4, 0),      Column("NAME", 12, 1), Column("CITY", 12, 1),
                                   Column("AMOUNT", 3, 1),  Column("CREATED", 11, 1), Column("NOTE", 12, 1)};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <merge file>\n", argv[0]);
        return 2;
    }
    const SqlLiteralFacts facts = SqlLiteralFacts::ForDriver("psqlodbcw.so", "\"", "PostgreSQL");
    CompareSettings settings;
    TableChangesArray tables;

    const auto start = Clock::now();
    MergeFileProblem problem;
    if (!ReadMergeFile(argv[1], settings, tables, problem)) {
        std::fprintf(stderr, "%s\n", problem.text.c_str());
        return 1;
    }
    const auto read = Clock::now();
    BuildUpdates(tables);
    const auto paired = Clock::now();

    std::vector<GeneratedStatement> statements;
    for (const TableChanges& table : tables) {
        for (const auto& row : table.adds)
            statements.push_back(BuildInsert(row, kColumns, table.spelledName, table.keyColumns, facts));
        for (const RowPair& pair : table.updates)
            statements.push_back(BuildUpdate(pair.newRow, kColumns, table.spelledName, table.keyColumns, facts));
        for (const auto& row : table.deletes)
            statements.push_back(BuildDelete(row, kColumns, table.spelledName, table.keyColumns, facts));
    }
    const auto built = Clock::now();

    std::size_t bytes = 0;
    for (const auto& s : statements)
        bytes += s.text.size();
    ChangeCounts total;
    for (const TableChanges& table : tables) {
        const ChangeCounts counts = CountChanges(table);
        total.toAdd += counts.toAdd;
        total.toUpdate += counts.toUpdate;
        total.toDelete += counts.toDelete;
    }
    std::printf("tables=%zu\n", tables.size());
    std::printf("adds=%d\nupdates=%d\ndeletes=%d\n", total.toAdd, total.toUpdate, total.toDelete);
    std::printf("statements=%zu\nstatement_bytes=%zu\n", statements.size(), bytes);
    std::printf("read_seconds=%.3f\npair_seconds=%.3f\nbuild_seconds=%.3f\ntotal_seconds=%.3f\n",
                Seconds(start, read), Seconds(read, paired), Seconds(paired, built), Seconds(start, built));
    if (!statements.empty())
        std::printf("first_update=%s\n", statements[static_cast<std::size_t>(total.toAdd)].text.c_str());
    return 0;
}
