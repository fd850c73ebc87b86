// The core compare run on every driver: pairs that cannot be compared are
// named and leave no section, an error takes the failed pair's head back out,
// a stopped run keeps or drops the merge file as it was asked to, a failed
// write never leaves a partial section nor replaces the earlier file with a
// cut one, and a folder another run holds is not touched.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "RawOdbc.h"
#include "TestEnv.h"
#include "datasource/CDatabase.h"
#include "common/CompareSettings.h"
#include "workflow/CompareFolderLock.h"
#include "workflow/CompareRun.h"
#include "WorkflowDrivers.h"

namespace {

namespace fs = std::filesystem;

using workflowtest::Driver;

// Tables of these tests carry a prefix of their own: the data sources are
// shared with other test programs running at the same time, the tests of this
// file among them (each creates and drops every table): each process has its own.
const std::string kPrefix = "wfrun" + std::to_string(::getpid()) + "_";

class RecordingProgress : public CompareRunProgress {
public:
    bool PairStarting(std::size_t number, std::size_t total, const TablePairRow&) override
    {
        starts.push_back(std::to_string(number) + "/" + std::to_string(total));
        return number != stopBeforePair;
    }
    bool RowsDumped(const std::string&, const std::string& table, std::uint64_t rows) override
    {
        if (onRows)
            onRows(table, rows);
        return table != stopInTable;
    }

    std::vector<std::string> starts;
    std::size_t stopBeforePair = 0;
    std::string stopInTable;
    std::function<void(const std::string&, std::uint64_t)> onRows;
};

class CompareRunOnDriver : public ::testing::TestWithParam<Driver> {
protected:
    void SetUp() override
    {
        REQUIRE_TEST_DATA_SOURCES();
        connection = std::make_unique<rawodbc::Connection>(GetParam().dsn);
        for (const char* name : {"a_old", "a_new", "b_old", "b_new", "c_old", "c_new", "d_old", "d_new"})
            connection->ExecIgnoringErrors("DROP TABLE " + Table(name));
        // a: one row changed; b: column lists that differ; c: one row more; d: equal.
        Exec({"CREATE TABLE " + Table("a_old") + " (id INTEGER NOT NULL PRIMARY KEY, v VARCHAR(10))",
              "CREATE TABLE " + Table("a_new") + " (id INTEGER NOT NULL PRIMARY KEY, v VARCHAR(10))",
              "INSERT INTO " + Table("a_old") + " VALUES (1, 'old')",
              "INSERT INTO " + Table("a_new") + " VALUES (1, 'new')",
              "CREATE TABLE " + Table("b_old") + " (id INTEGER NOT NULL PRIMARY KEY, a VARCHAR(5), b VARCHAR(5))",
              "CREATE TABLE " + Table("b_new") + " (id INTEGER NOT NULL PRIMARY KEY, b VARCHAR(5), c VARCHAR(5))",
              "INSERT INTO " + Table("b_old") + " VALUES (1, 'a', 'b')",
              "INSERT INTO " + Table("b_new") + " VALUES (1, 'b', 'c')",
              "CREATE TABLE " + Table("c_old") + " (id INTEGER NOT NULL PRIMARY KEY)",
              "CREATE TABLE " + Table("c_new") + " (id INTEGER NOT NULL PRIMARY KEY)",
              "INSERT INTO " + Table("c_new") + " VALUES (7)",
              "CREATE TABLE " + Table("d_old") + " (id INTEGER NOT NULL PRIMARY KEY)",
              "CREATE TABLE " + Table("d_new") + " (id INTEGER NOT NULL PRIMARY KEY)",
              "INSERT INTO " + Table("d_old") + " VALUES (1)", "INSERT INTO " + Table("d_old") + " VALUES (2)",
              "INSERT INTO " + Table("d_new") + " VALUES (1)", "INSERT INTO " + Table("d_new") + " VALUES (2)"});
        ASSERT_TRUE(dbOld.OpenDataSource(GetParam().dsn));
        ASSERT_TRUE(dbNew.OpenDataSource(GetParam().dsn));
    }

    std::string Table(const std::string& name) const
    {
        return GetParam().quote + kPrefix + name + GetParam().quote;
    }
    void Exec(const std::vector<std::string>& statements) { connection->ExecAll(statements); }
    static TablePairRow Pair(const std::string& name)
    {
        return {kPrefix + name + "_old", kPrefix + name + "_new", true};
    }

    CompareRunReport RunPairs(const std::vector<TablePairRow>& pairs, bool keepFinishedPairs = true,
                              bool deleteDumps = true)
    {
        CompareRunSetup setup{"old", "new", work.str() + "/", true, deleteDumps, keepFinishedPairs};
        CompareRun run(settings, dbOld, dbNew, setup);
        return run.Run(pairs, progress);
    }
    std::string MergeFile() const { return testenv::ReadFile(work.path() / CompareRun::kMergeFileName); }
    // A table section as the run writes it: head line, column line, blank line, rows.
    std::string Section(const std::string& name, const std::string& columns, const std::string& lines) const
    {
        return "\r\nTable=[" + kPrefix + name + "_old]0\r\nColumns=" + columns + "\r\n\r\n" + lines;
    }
    static std::string End(int sections) { return "\r\nEnd=[" + std::to_string(sections) + "]\r\n"; }
    fs::path Dump(const std::string& side, const std::string& name) const
    {
        return work.path() / (side + "." + kPrefix + name + "_" + side + ".csv");
    }
    std::vector<std::string> FolderEntries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(work.path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::unique_ptr<rawodbc::Connection> connection;
    CDatabase dbOld;
    CDatabase dbNew;
    CompareSettings settings;
    RecordingProgress progress;
    testenv::TempDir work;
};

const std::string kALines = "|<<1,\"old\"\r\n||>>1,\"new\"\r\n";
const std::string kCLines = "||>>7\r\n";
const std::string kAColumns = "\"id\",\"v\"";
const std::string kCColumns = "\"id\"";

} // namespace

TEST_P(CompareRunOnDriver, DifferentColumnListsAreNamedAndLeaveNoSection)
{
    // An earlier run's dumps of b would pass for this run's.
    testenv::WriteFile(Dump("old", "b"), "earlier dump");
    testenv::WriteFile(Dump("new", "b"), "earlier dump");
    const CompareRunReport report = RunPairs({Pair("a"), Pair("b"), Pair("c")}, true, false);
    EXPECT_FALSE(report.error) << report.ErrorText();
    EXPECT_EQ(progress.starts, (std::vector<std::string>{"1/3", "2/3", "3/3"}));
    EXPECT_EQ(MergeFile(), Section("a", kAColumns, kALines) + Section("c", kCColumns, kCLines) + End(2));
    EXPECT_TRUE(report.mergeFileReplaced);
    EXPECT_FALSE(fs::exists(Dump("old", "b")));
    EXPECT_FALSE(fs::exists(Dump("new", "b")));
    EXPECT_TRUE(fs::exists(Dump("old", "a")));
    // The caller's settings record is left as it was.
    EXPECT_EQ(settings.m_bWriteCommonSections, 1);
    EXPECT_EQ(settings.m_strFile1Path, "");
    EXPECT_EQ(settings.m_strFile2Path, "");

    ASSERT_EQ(report.pairs.size(), 3u);
    EXPECT_EQ(report.pairs[0].outcome, PairOutcome::Compared);
    EXPECT_EQ(report.pairs[0].removed, 1u);
    EXPECT_EQ(report.pairs[0].added, 1u);
    EXPECT_EQ(report.pairs[1].outcome, PairOutcome::NotCompared);
    EXPECT_EQ(report.pairs[2].removed, 0u);
    EXPECT_EQ(report.pairs[2].added, 1u);
    EXPECT_TRUE(report.AnyDifference());
    EXPECT_FALSE(report.AllCompared());
    // The user learns the table and both column lists as the data sources give them.
    const std::vector<std::string> lines = report.NotComparedLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "Table " + kPrefix +
                            "b_old could not be compared: the column lists differ: old has id,a,b, new has id,b,c");
}

TEST_P(CompareRunOnDriver, AnUnreadableDumpIsNamedAndLeavesNoSection)
{
    // While the second row of the new table of pair d is dumped, the old dump
    // (written and closed by then) turns into something no one can read.
    const fs::path oldDump = work.path() / ("old." + kPrefix + "d_old.csv");
    progress.onRows = [&](const std::string& table, std::uint64_t rows) {
        if (table != kPrefix + "d_new" || rows != 2)
            return;
        fs::remove(oldDump);
        fs::create_directory(oldDump);
    };
    const CompareRunReport report = RunPairs({Pair("d"), Pair("c")});
    EXPECT_FALSE(report.error) << report.ErrorText();
    EXPECT_EQ(MergeFile(), Section("c", kCColumns, kCLines) + End(1));
    ASSERT_EQ(report.NotComparedLines().size(), 1u);
    EXPECT_NE(report.NotComparedLines()[0].find("Table " + kPrefix + "d_old could not be compared: "),
              std::string::npos)
        << report.NotComparedLines()[0];
    fs::remove_all(oldDump);
}

TEST_P(CompareRunOnDriver, AnErrorTakesTheFailedPairsHeadOutAndNamesTheTables)
{
    const CompareRunReport report = RunPairs({Pair("a"), {kPrefix + "nosuch", kPrefix + "nosuch", true}, Pair("c")});
    ASSERT_TRUE(report.error);
    EXPECT_EQ(MergeFile(), Section("a", kAColumns, kALines) + End(1));
    const std::string text = report.ErrorText();
    EXPECT_NE(text.find("Cannot read the table " + kPrefix + "nosuch of the data source old."), std::string::npos)
        << text;
    EXPECT_NE(text.find("Tables finished: " + kPrefix + "a_old.\nTables not finished: " + kPrefix + "nosuch, " +
                        kPrefix + "c_old."),
              std::string::npos)
        << text;
    EXPECT_FALSE(fs::exists(work.path() / ("old." + kPrefix + "c_old.csv")));
}

TEST_P(CompareRunOnDriver, AStopInsideADumpKeepsOrDropsTheMergeFileAsAsked)
{
    testenv::WriteFile(work.path() / CompareRun::kMergeFileName, "earlier run");
    progress.stopInTable = kPrefix + "c_new";

    // Dropped: the earlier merge file stays as it was, no temporary file is left.
    CompareRunReport report = RunPairs({Pair("a"), Pair("c")}, false);
    EXPECT_TRUE(report.cancelled);
    EXPECT_FALSE(report.error);
    EXPECT_EQ(report.pairs[1].outcome, PairOutcome::NotStarted);
    EXPECT_EQ(MergeFile(), "earlier run");
    EXPECT_EQ(std::distance(fs::directory_iterator(work.path()), fs::directory_iterator()), 1);

    // Kept: the pairs finished before the stop replace it.
    report = RunPairs({Pair("a"), Pair("c")}, true);
    EXPECT_TRUE(report.cancelled);
    EXPECT_TRUE(report.mergeFileReplaced);
    EXPECT_EQ(MergeFile(), Section("a", kAColumns, kALines) + End(1));
    EXPECT_EQ(report.UnfinishedTables(), std::vector<std::string>{kPrefix + "c_old"});

    // Stopped before a pair: the same, and the pair is not started.
    progress.stopInTable.clear();
    progress.stopBeforePair = 2;
    report = RunPairs({Pair("c"), Pair("a")}, true);
    EXPECT_TRUE(report.cancelled);
    EXPECT_EQ(MergeFile(), Section("c", kCColumns, kCLines) + End(1));
}

TEST_P(CompareRunOnDriver, OnlyACompleteRunReplacesTheMergeFileUnlessFinishedPairsAreKept)
{
    struct Case {
        const char* name;
        std::vector<TablePairRow> pairs;
        std::size_t stopBeforePair;
        bool keepFinishedPairs;
        std::string expected;  // empty: the earlier file stays
    };
    const std::vector<Case> cases = {
        {"complete", {Pair("a"), Pair("c")}, 0, false,
         Section("a", kAColumns, kALines) + Section("c", kCColumns, kCLines) + End(2)},
        {"a pair not compared", {Pair("a"), Pair("b")}, 0, false, ""},
        {"a pair not compared, finished kept", {Pair("a"), Pair("b")}, 0, true,
         Section("a", kAColumns, kALines) + End(1)},
        {"an error", {Pair("c"), {kPrefix + "nosuch", kPrefix + "nosuch", true}}, 0, false, ""},
        {"a stop", {Pair("a"), Pair("c")}, 2, false, ""},
        {"nothing compared, finished kept", {Pair("b")}, 0, true, End(0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testenv::WriteFile(work.path() / CompareRun::kMergeFileName, "earlier run");
        progress.stopBeforePair = c.stopBeforePair;
        const CompareRunReport report = RunPairs(c.pairs, c.keepFinishedPairs);
        EXPECT_EQ(report.mergeFileReplaced, !c.expected.empty());
        EXPECT_EQ(MergeFile(), c.expected.empty() ? "earlier run" : c.expected);
        EXPECT_EQ(FolderEntries(), std::vector<std::string>{CompareRun::kMergeFileName});
    }
}

namespace {

// Makes every write that would take a file of this process past `bytes` fail
// with EFBIG, as a full disk fails it, while the object lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        m_savedHandler = ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        ::signal(SIGXFSZ, m_savedHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_saved{};
    sighandler_t m_savedHandler;
};

} // namespace

TEST_P(CompareRunOnDriver, AFailedWriteLeavesNoPartialSectionAndNeverACutFile)
{
    // e: 800 rows of 80 characters, every one changed. Its dumps (about 70 KB
    // each) fit under the limit, its section (about 150 KB) does not.
    connection->ExecIgnoringErrors("DROP TABLE " + Table("e_old"));
    connection->ExecIgnoringErrors("DROP TABLE " + Table("e_new"));
    Exec({"CREATE TABLE " + Table("e_old") + " (id INTEGER NOT NULL PRIMARY KEY, v VARCHAR(100))",
          "CREATE TABLE " + Table("e_new") + " (id INTEGER NOT NULL PRIMARY KEY, v VARCHAR(100))"});
    for (const char* side : {"e_old", "e_new"}) {
        for (int batch = 0; batch < 8; ++batch) {
            std::string insert = "INSERT INTO " + Table(side) + " VALUES ";
            for (int i = batch * 100; i < batch * 100 + 100; ++i)
                insert += std::string(i % 100 ? ", " : "") + "(" + std::to_string(i) + ", '" + side + " " +
                          std::string(74, 'x') + "')";
            Exec({insert});
        }
    }
    struct Case {
        bool keepFinishedPairs;
        std::string expected;  // empty: the earlier file stays
    };
    for (const Case& c : {Case{false, ""}, Case{true, Section("a", kAColumns, kALines) + End(1)}}) {
        SCOPED_TRACE(c.keepFinishedPairs ? "finished pairs kept" : "complete runs only");
        const std::string earlier = "earlier run\r\n" + std::string(1000, 'e');
        testenv::WriteFile(work.path() / CompareRun::kMergeFileName, earlier);
        // Dumps an earlier run left of the table after the failure.
        testenv::WriteFile(Dump("old", "c"), "earlier dump");
        CompareRunReport report;
        {
            FileSizeLimit limit(120 * 1024);
            report = RunPairs({Pair("a"), Pair("e"), Pair("c")}, c.keepFinishedPairs, false);
        }
        ASSERT_TRUE(report.error);
        const std::string mergeFile = (work.path() / CompareRun::kMergeFileName).string();
        EXPECT_NE(report.error->find("Cannot write to the file " + mergeFile + ": File too large"), std::string::npos)
            << *report.error;
        EXPECT_EQ(report.pairs[1].outcome, PairOutcome::NotStarted);
        EXPECT_EQ(report.mergeFileReplaced, !c.expected.empty());
        EXPECT_EQ(MergeFile(), c.expected.empty() ? earlier : c.expected);
        // No temporary file, no dump of the failed pair; where the merge file
        // holds only the finished pairs, no earlier dump of the others either.
        EXPECT_FALSE(fs::exists(Dump("old", "e")));
        EXPECT_FALSE(fs::exists(Dump("new", "e")));
        EXPECT_EQ(fs::exists(Dump("old", "c")), !c.keepFinishedPairs);
        for (const std::string& name : FolderEntries())
            EXPECT_EQ(name.find(".tmp"), std::string::npos) << name;
    }
}

TEST_P(CompareRunOnDriver, AFolderAnotherRunHoldsIsNotTouched)
{
    testenv::WriteFile(work.path() / CompareRun::kMergeFileName, "earlier run");
    testenv::WriteFile(Dump("old", "c"), "earlier dump");
    CompareRunReport report;
    {
        const CompareFolderLock other(work.str());
        report = RunPairs({Pair("a"), Pair("c")});
    }
    ASSERT_TRUE(report.error);
    EXPECT_EQ(*report.error, "another compare run is writing " + work.str());
    EXPECT_TRUE(progress.starts.empty());
    EXPECT_EQ(MergeFile(), "earlier run");
    EXPECT_EQ(testenv::ReadFile(Dump("old", "c")), "earlier dump");
    EXPECT_EQ(FolderEntries().size(), 2u);

    // Once the other run is over the folder is free again.
    report = RunPairs({Pair("a"), Pair("c")});
    EXPECT_FALSE(report.error) << report.ErrorText();
    EXPECT_EQ(MergeFile(), Section("a", kAColumns, kALines) + Section("c", kCColumns, kCLines) + End(2));
}

INSTANTIATE_TEST_SUITE_P(Drivers, CompareRunOnDriver,
                         workflowtest::AllDrivers(), workflowtest::DriverName);
