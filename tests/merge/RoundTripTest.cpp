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
            BracketNameTable("rt_a]]b"),
            LateKeyTable(),
            SplitKeyTable(),
            UniqueKeyTable(),
            DuplicatesTable()};
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
    MergeRun run;
    const MergeStatus read = run.Read(mergePath, CompareSettings());
    ASSERT_TRUE(read.Ok()) << read.message;
    const TableChangesArray& changes = run.Tables();
    ASSERT_EQ(changes.size(), tables.size()) << testenv::ReadFile(mergePath);
    for (std::size_t i = 0; i < tables.size(); ++i) {
        EXPECT_EQ(changes[i].spelledName, SpelledName(tables[i].name));
        const ChangeCounts counts = CountChanges(changes[i]);
        EXPECT_EQ(counts.toAdd, tables[i].adds) << tables[i].name << "\n" << testenv::ReadFile(mergePath);
        EXPECT_EQ(counts.toUpdate, tables[i].updates) << tables[i].name;
        EXPECT_EQ(counts.toDelete, tables[i].deletes) << tables[i].name;
    }
    EXPECT_EQ(changes[0].keyColumns, (std::vector<std::int32_t>{0}));
    EXPECT_EQ(changes[1].keyColumns, (std::vector<std::int32_t>{0, 1}));
    EXPECT_TRUE(changes[2].keyColumns.empty());
    EXPECT_EQ(changes[3].keyColumns, (std::vector<std::int32_t>{0}));
    // The declared key wherever it stands, in column order.
    EXPECT_EQ(changes[9].keyColumns, (std::vector<std::int32_t>{1}));
    EXPECT_EQ(changes[10].keyColumns, (std::vector<std::int32_t>{1, 3}));
    EXPECT_EQ(changes[11].keyColumns, (std::vector<std::int32_t>{1}));
    EXPECT_TRUE(changes[12].keyColumns.empty());

    // Merge: generate for every table, execute in one transaction.
    CDatabase mergeDatabase;
    ASSERT_TRUE(mergeDatabase.OpenDataSource(target.mergeDsn));
    std::vector<std::size_t> all(tables.size());
    for (std::size_t i = 0; i < all.size(); ++i)
        all[i] = i;
    std::vector<GeneratedStatement> statements;
    const MergeStatus generated = run.Generate(mergeDatabase, all, statements);
    ASSERT_TRUE(generated.Ok()) << generated.message;
    RecordingReporter reporter;
    const MergeStatus executed = run.Execute(mergeDatabase, statements, reporter);
    const ExecutionResult& totals = run.LastExecution();
    mergeDatabase.Close();

    int expectedStatements = 0;
    for (const Table& table : tables)
        expectedStatements += table.adds + table.updates + table.deletes;
    EXPECT_EQ(totals.run, static_cast<std::size_t>(expectedStatements));
    // Every statement changed its one row, the table without key too, and all was committed.
    std::string reports;
    for (const auto& report : reporter.reports)
        reports += report.message + "\n----\n";
    EXPECT_TRUE(reporter.reports.empty()) << reports;
    EXPECT_EQ(totals.Problems(), 0u);
    EXPECT_EQ(executed.outcome, MergeOutcome::Done) << executed.message;
    EXPECT_EQ(executed.message, "Changes were made");

    // Value for value: the merged tables against the new ones.
    rawodbc::Connection newConnection(target.newDsn);
    for (std::size_t i = 0; i < tables.size(); ++i) {
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
