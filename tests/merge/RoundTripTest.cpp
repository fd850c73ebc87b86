// The round trip: an old and a new table are dumped and compared into a merge
// file by the compare run; the merge file is read back and merged into a third table that starts
// as a copy of the old one, which must then equal the new one value for value.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "RawOdbc.h"
#include "RecordingReporter.h"
#include "RoundTripData.h"
#include "TestEnv.h"
#include "common/OutputFile.h"
#include "datasource/CDatabase.h"
#include "datasource/CRecordsetEx.h"
#include "merge/ChangeSet.h"
#include "workflow/MergeRun.h"
#include "common/CompareSettings.h"
#include "workflow/CompareRun.h"

namespace {

using namespace roundtrip;

struct Target {
    const char* label;
    Dbms dbms;
    const char* oldDsn;
    const char* newDsn;
    const char* mergeDsn;
    const char* quote;
};

// On the servers the three tables share one database: the new table carries a
// suffix, and the merge target replaces the old table once it has been dumped.
bool SharedDatabase(const Target& target)
{
    return std::string(target.oldDsn) == target.newDsn;
}

std::string NewName(const Target& target, const Table& table)
{
    return SharedDatabase(target) ? std::string(table.name) + "_new" : table.name;
}

std::vector<Table> Tables()
{
    return {TypesTable(),
            PairTable(),
            NoKeyTable(),
            LastBinaryTable(),
            QuotesTable(),
            FloatTable(),
            BracketNameTable("rt_we]ird"),
            BracketNameTable("rt_br[ack]et"),
            BracketNameTable("rt_a]]b")};
}

// The name as the merge file's section head spells it.
std::string SpelledName(const std::string& name)
{
    std::string spelled = "[";
    for (const char c : name)
        spelled += c == ']' ? "]]" : std::string(1, c);
    return spelled + "]";
}

void CreateAndFill(rawodbc::Connection& connection, Dbms dbms, const Table& table, const std::string& name,
                   const std::vector<Row>& rows)
{
    connection.ExecIgnoringErrors("DROP TABLE " + QuotedName(dbms, name));
    connection.Exec(CreateTable(dbms, table, name));
    for (const Row& row : rows)
        connection.Exec(InsertRow(dbms, table, name, row));
}

// The program's own dump of one table, as the compare run makes it.
void Dump(CDatabase& database, const std::string& name, const std::string& path)
{
    CRecordsetEx recordset(database);
    EXPECT_NO_THROW(recordset.OpenTable(name));
    OutputFile file(path, OutputFile::Mode::Text);
    recordset.WriteRows(file, ",");
}

// The program's own compare run for the tables: a section per table in one
// merge file, from the two dumps of each pair.
void WriteMergeFile(const Target& target, const std::vector<Table>& tables, const testenv::TempDir& dir,
                    const std::string& mergePath)
{
    struct GoOn : CompareRunProgress {
        bool PairStarting(std::size_t, std::size_t, const TablePairRow&) override { return true; }
    } progress;
    CDatabase oldDatabase, newDatabase;
    ASSERT_TRUE(oldDatabase.OpenDataSource(target.oldDsn));
    ASSERT_TRUE(newDatabase.OpenDataSource(target.newDsn));
    std::vector<TablePairRow> pairs;
    for (const Table& table : tables)
        pairs.push_back({table.name, NewName(target, table), true});
    CompareSettings settings;
    CompareRun run(settings, oldDatabase, newDatabase, {"old", "new", dir.str() + "/", true, false, false});
    ASSERT_EQ(run.MergeFilePath(), mergePath);
    const CompareRunReport report = run.Run(pairs, progress);
    EXPECT_FALSE(report.error) << report.ErrorText();
    for (const std::string& line : report.NotComparedLines())
        ADD_FAILURE() << line;
}

// The data lines of the program's own dump of a table, sorted: exact where a
// driver's own text is not (SQLite renders a double with 15 digits).
std::vector<std::string> DumpedRows(const char* dsn, const std::string& name, const testenv::TempDir& dir)
{
    CDatabase database;
    EXPECT_TRUE(database.OpenDataSource(dsn));
    const std::string path = (dir.path() / "check.csv").string();
    Dump(database, name, path);
    std::vector<std::string> lines;
    std::istringstream text(testenv::ReadFile(path));
    for (std::string line; std::getline(text, line);)
        lines.push_back(line);
    if (!lines.empty())
        lines.erase(lines.begin());
    std::sort(lines.begin(), lines.end());
    return lines;
}

void PrintTo(const Target& target, std::ostream* os)
{
    *os << target.label;
}

class RoundTrip : public testing::TestWithParam<Target> {};

TEST_P(RoundTrip, MergedTableEqualsTheNewTable)
{
    REQUIRE_TEST_DATA_SOURCES();
    const Target& target = GetParam();
    const std::vector<Table> tables = Tables();
    testenv::TempDir dir;
    const std::string mergePath = (dir.path() / "Vantor_Merge.txt").string();

    // Old and new tables.
    {
        rawodbc::Connection oldConnection(target.oldDsn);
        rawodbc::Connection newConnection(target.newDsn);
        for (const Table& table : tables) {
            CreateAndFill(oldConnection, target.dbms, table, table.name, table.oldRows);
            CreateAndFill(newConnection, target.dbms, table, NewName(target, table), table.newRows);
        }
    }
    WriteMergeFile(target, tables, dir, mergePath);

    // The merge target starts as a copy of the old table.
    rawodbc::Connection mergeConnection(target.mergeDsn);
    for (const Table& table : tables)
        CreateAndFill(mergeConnection, target.dbms, table, table.name, table.oldRows);

    // Preview: read the merge file, pair, count.
    ChangeSet changes;
    ASSERT_TRUE(ReadChangeSet(mergePath, CompareSettings(), changes));
    const CTableRowsArray& deleteTables = changes.deleteTables;
    const CTableRowsArray& addTables = changes.addTables;
    const CTableRowsArray& updateTables = changes.updateTables;
    ASSERT_EQ(deleteTables.size(), tables.size()) << testenv::ReadFile(mergePath);
    for (std::size_t i = 0; i < tables.size(); ++i) {
        EXPECT_EQ(deleteTables[i].m_strTable, SpelledName(tables[i].name));
        const ChangeCounts counts = CountChanges(deleteTables, addTables, updateTables, i);
        EXPECT_EQ(counts.toAdd, tables[i].adds) << tables[i].name << "\n" << testenv::ReadFile(mergePath);
        EXPECT_EQ(counts.toUpdate, tables[i].updates) << tables[i].name;
        EXPECT_EQ(counts.toDelete, tables[i].deletes) << tables[i].name;
    }
    EXPECT_EQ(deleteTables[0].m_keyColumns, (std::vector<std::int32_t>{0}));
    EXPECT_EQ(deleteTables[1].m_keyColumns, (std::vector<std::int32_t>{0, 1}));
    EXPECT_TRUE(deleteTables[2].m_keyColumns.empty());
    EXPECT_EQ(deleteTables[3].m_keyColumns, (std::vector<std::int32_t>{0}));

    // Merge: generate for every table, execute in one transaction.
    CDatabase mergeDatabase;
    ASSERT_TRUE(mergeDatabase.OpenDataSource(target.mergeDsn));
    std::vector<std::size_t> all(tables.size());
    for (std::size_t i = 0; i < all.size(); ++i)
        all[i] = i;
    const std::vector<GeneratedStatement> statements = GenerateStatements(mergeDatabase, changes, all);
    RecordingReporter reporter;
    const ExecutionResult totals = ExecuteStatements(mergeDatabase, statements, reporter);
    mergeDatabase.Close();

    int expectedStatements = 0;
    for (const Table& table : tables)
        expectedStatements += table.adds + table.updates + table.deletes;
    EXPECT_EQ(totals.run, static_cast<std::size_t>(expectedStatements));
    // The one failure: the delete of the table without key has no condition.
    EXPECT_EQ(totals.failed, 1u);
    EXPECT_EQ(totals.notOne, 0u);
    std::string reports;
    for (const auto& report : reporter.reports)
        reports += report.message + "\n----\n";
    ASSERT_EQ(reporter.reports.size(), 1u) << reports;
    EXPECT_TRUE(reporter.reports[0].failed);
    // Incomplete statements keep their brackets: only complete ones are rewritten.
    EXPECT_EQ(reporter.reports[0].statement, "DELETE FROM [rt_nokey] WHERE ");

    // Value for value: the merged tables against the new ones.
    rawodbc::Connection newConnection(target.newDsn);
    for (std::size_t i = 0; i < tables.size(); ++i) {
        if (i == 2)
            continue;  // the table without key, below
        const Table& table = tables[i];
        SCOPED_TRACE(table.name);
        const auto merged = Normalised(mergeConnection.Query(SelectAll(table, table.name, target.quote)), table);
        const auto wanted =
            Normalised(newConnection.Query(SelectAll(table, NewName(target, table), target.quote)), table);
        EXPECT_EQ(wanted.size(), table.newRows.size());
        EXPECT_EQ(merged, wanted);
        EXPECT_EQ(DumpedRows(target.mergeDsn, table.name, dir),
                  DumpedRows(target.newDsn, NewName(target, table), dir));
    }
    // Without a key the changed row arrives as an add, and its old row stays.
    const Table& noKey = tables[2];
    std::vector<Row> expected = noKey.newRows;
    expected.push_back(noKey.oldRows[1]);
    EXPECT_EQ(Normalised(mergeConnection.Query(SelectAll(noKey, noKey.name, target.quote)), noKey),
              Expected(expected));
}

INSTANTIATE_TEST_SUITE_P(Drivers, RoundTrip,
                         testing::Values(Target{"SQLite", Dbms::Sqlite, testenv::kSqliteOld, testenv::kSqliteNew,
                                                testenv::kSqliteMerge, "\""},
                                         Target{"PostgreSQL", Dbms::Postgres, testenv::kPostgres, testenv::kPostgres,
                                                testenv::kPostgres, "\""},
                                         Target{"MariaDB", Dbms::MariaDb, testenv::kMariaDb, testenv::kMariaDb,
                                                testenv::kMariaDb, "`"}),
                         [](const testing::TestParamInfo<Target>& info) { return std::string(info.param.label); });

} // namespace
