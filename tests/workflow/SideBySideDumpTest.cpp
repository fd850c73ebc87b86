// Both tables of a pair dumped at the same time on every driver: the dumps and
// the merge file are those of a run that dumps one table after the other, the
// rows read are reported in full, and a table missing on one side is named as
// before and leaves no thread, file or statement behind.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <map>

#include "RawOdbc.h"
#include "TestEnv.h"
#include "common/CompareSettings.h"
#include "datasource/CDatabase.h"
#include "workflow/CompareRun.h"
#include "WorkflowDrivers.h"

namespace {

namespace fs = std::filesystem;

using workflowtest::Driver;

// The data sources are shared with other test programs running at the same
// time, the tests of this file among them: each process has tables of its own.
const std::string kPrefix = "wfside" + std::to_string(::getpid()) + "_";
constexpr int kRows = 3000;

// The last row count reported for each table, by data source.
class LastRows : public CompareRunProgress {
public:
    bool PairStarting(std::size_t, std::size_t, const TablePairRow&) override { return true; }
    bool RowsDumped(const std::string& dataSource, const std::string& table, std::uint64_t rows) override
    {
        last[dataSource + "." + table] = rows;
        return true;
    }
    std::map<std::string, std::uint64_t> last;
};

// Every file of a folder with its bytes.
std::map<std::string, std::string> FilesIn(const fs::path& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder))
        files[entry.path().filename().string()] = testenv::ReadFile(entry.path());
    return files;
}

class SideBySideDumps : public ::testing::TestWithParam<Driver> {
protected:
    void SetUp() override
    {
        REQUIRE_TEST_DATA_SOURCES();
        connection = std::make_unique<rawodbc::Connection>(GetParam().dsn);
        for (const char* name : {"big_old", "big_new", "small_old", "small_new"})
            connection->ExecIgnoringErrors("DROP TABLE " + Table(name));
        const std::string columns = " (id INTEGER NOT NULL PRIMARY KEY, t VARCHAR(40), n INTEGER)";
        connection->ExecAll({"CREATE TABLE " + Table("big_old") + columns,
                             "CREATE TABLE " + Table("big_new") + columns,
                             "CREATE TABLE " + Table("small_old") + columns,
                             "CREATE TABLE " + Table("small_new") + columns,
                             "INSERT INTO " + Table("small_old") + " VALUES (1, 'one', 1)",
                             "INSERT INTO " + Table("small_new") + " VALUES (2, 'two', NULL)"});
        // Texts with the separator, quotes and NULLs; the new table has rows
        // changed, left out and added.
        std::string oldRows, newRows;
        for (int id = 1; id <= kRows; ++id) {
            const std::string text =
                id % 5 == 0 ? "NULL" : "'row " + std::to_string(id) + (id % 3 ? ", \"quoted\"'" : " it''s'");
            const std::string row = "(" + std::to_string(id) + ", " + text + ", " + std::to_string(id * 7) + ")";
            oldRows += (oldRows.empty() ? "" : ", ") + row;
            if (id % 11 != 0)
                newRows += std::string(newRows.empty() ? "" : ", ") +
                           (id % 7 == 0 ? "(" + std::to_string(id) + ", 'changed', NULL)" : row);
            if (id % 500 == 0) {
                connection->ExecAll({"INSERT INTO " + Table("big_old") + " VALUES " + oldRows,
                                     "INSERT INTO " + Table("big_new") + " VALUES " + newRows});
                oldRows.clear();
                newRows.clear();
            }
        }
        connection->ExecAll({"INSERT INTO " + Table("big_new") + " VALUES (100000, 'added', 1)"});
        ASSERT_TRUE(dbOld.OpenDataSource(GetParam().dsn));
        ASSERT_TRUE(dbNew.OpenDataSource(GetParam().dsn));
    }

    std::string Table(const std::string& name) const
    {
        return GetParam().quote + kPrefix + name + GetParam().quote;
    }
    static TablePairRow Pair(const std::string& name)
    {
        return {kPrefix + name + "_old", kPrefix + name + "_new", true};
    }

    CompareRunReport Run(const std::vector<TablePairRow>& pairs, const fs::path& folder, bool sideBySide,
                         CompareRunProgress& progress)
    {
        CompareRunSetup setup{"old", "new", folder.string() + "/", true, false, true};
        setup.sideBySide = sideBySide;
        CompareRun run(settings, dbOld, dbNew, setup);
        return run.Run(pairs, progress);
    }

    std::unique_ptr<rawodbc::Connection> connection;
    CDatabase dbOld;
    CDatabase dbNew;
    CompareSettings settings;
};

} // namespace

TEST_P(SideBySideDumps, GiveTheDumpsAndMergeFileOfOneAfterTheOther)
{
    testenv::TempDir inTurn, atOnce;
    LastRows inTurnRows, atOnceRows;
    const std::vector<TablePairRow> pairs{Pair("big"), Pair("small")};
    const CompareRunReport first = Run(pairs, inTurn.path(), false, inTurnRows);
    const CompareRunReport second = Run(pairs, atOnce.path(), true, atOnceRows);
    ASSERT_FALSE(first.error) << first.ErrorText();
    ASSERT_FALSE(second.error) << second.ErrorText();

    const std::map<std::string, std::string> expected = FilesIn(inTurn.path());
    ASSERT_EQ(expected.size(), 5u);  // four dumps and the merge file
    EXPECT_EQ(FilesIn(atOnce.path()), expected);
    // 3000 rows, 272 of them left out, 1 added; 390 changed.
    EXPECT_EQ(second.pairs[0].removed, 272u + 390u);
    EXPECT_EQ(second.pairs[0].added, 390u + 1u);
    // Whether told row by row or now and then, the last count is the table's.
    EXPECT_EQ(atOnceRows.last, inTurnRows.last);
    EXPECT_EQ(atOnceRows.last["new." + kPrefix + "big_new"], kRows - kRows / 11 + 1u);
}

struct MissingSide {
    const char* label;
    bool oldMissing;
};

class MissingTable : public SideBySideDumps {};

TEST_P(MissingTable, OnEitherSideIsNamedAndLeavesNothingBehind)
{
    // A connection to a SQLite file opens its own reader of the file with the
    // first table it dumps and keeps it while it is open: that is no leftover.
    {
        testenv::TempDir first;
        LastRows rows;
        ASSERT_FALSE(Run({Pair("small")}, first.path(), true, rows).error);
    }
    for (const MissingSide side : {MissingSide{"old", true}, MissingSide{"new", false}}) {
        SCOPED_TRACE(side.label);
        testenv::TempDir work;
        LastRows rows;
        const std::string missing = kPrefix + "nosuch";
        const TablePairRow pair{side.oldMissing ? missing : kPrefix + "big_old",
                                side.oldMissing ? kPrefix + "big_new" : missing, true};
        const std::size_t threads = testenv::ThreadCount();
        const std::size_t descriptors = testenv::OpenDescriptorCount();

        const CompareRunReport report = Run({Pair("small"), pair, Pair("big")}, work.path(), true, rows);
        ASSERT_TRUE(report.error);
        const std::string text = report.ErrorText();
        EXPECT_NE(text.find("Cannot read the table " + missing + " of the data source " + side.label + "."),
                  std::string::npos)
            << text;
        EXPECT_NE(text.find("Tables finished: " + kPrefix + "small_old."), std::string::npos) << text;
        EXPECT_EQ(testenv::ThreadCountSettledAt(threads), threads);
        EXPECT_EQ(testenv::OpenDescriptorCount(), descriptors);

        // Nothing of the failed pair is still open on the connections: the
        // next run on them reads the same tables to the end.
        const CompareRunReport again = Run({Pair("big")}, work.path(), true, rows);
        EXPECT_FALSE(again.error) << again.ErrorText();
        EXPECT_EQ(again.pairs[0].added, 391u);
    }
}

INSTANTIATE_TEST_SUITE_P(Drivers, SideBySideDumps,
                         workflowtest::AllDrivers(), workflowtest::DriverName);
INSTANTIATE_TEST_SUITE_P(Drivers, MissingTable,
                         workflowtest::AllDrivers(), workflowtest::DriverName);
