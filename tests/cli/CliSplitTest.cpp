// tolvane-cli compare with a memory budget too small for the tables: each pair
// is split into bucket pairs, and the merge file holds the same lines as a run
// that compares the tables whole, so that the merge leaves the target equal to
// new on every driver. Ctrl+C while a pair goes into its buckets, is split or
// its buckets compared leaves the earlier merge file and no bucket file.
#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <regex>
#include <thread>

#include "CliRunner.h"
#include "RawOdbc.h"
#include "RoleTest.h"
#include "TestEnv.h"

namespace {

namespace fs = std::filesystem;
using clitest::CliResult;
using clitest::RunCli;
using testenv::Dbms;

// A file the split leaves beside the dumps while it works: a bucket
// ("old.t.csv.part3", split again "old.t.csv.part3.7") or a bucket pair's
// report ("old.t.csv.part3.report").
bool IsBucketFile(const fs::path& path)
{
    static const std::regex kBucket(R"(.*\.csv\.part[0-9]+(\.[0-9]+)*(\.report)?)");
    return std::regex_match(path.filename().string(), kBucket);
}

// Whether `name` is a bucket (not a report) of the dump named `dump`.
bool IsBucketOf(const std::string& name, const std::string& dump)
{
    return name.rfind(dump + ".part", 0) == 0 && IsBucketFile(name) && fs::path(name).extension() != ".report";
}

// "INSERT INTO t VALUES (...), (...)" for the rows, in statements of 500 rows.
std::vector<std::string> Inserts(const std::string& table, const std::vector<std::string>& rows)
{
    std::vector<std::string> statements;
    for (std::size_t i = 0; i < rows.size(); i += 500) {
        std::string sql = "INSERT INTO " + table + " VALUES ";
        for (std::size_t j = i; j < std::min(rows.size(), i + 500); ++j)
            sql += (j > i ? ", (" : "(") + rows[j] + ")";
        statements.push_back(sql);
    }
    return statements;
}

class CliSplitTest : public clitest::RoleTest {
protected:
    CliSplitTest() : RoleTest("sp_") {}

    // keyed: 2,000 rows by id; new changes every tenth, drops every
    // seventeenth, adds 100 and changes the case of some names. dups: no key,
    // rows repeated, some copies fewer in new.
    void CreateTables()
    {
        std::vector<std::string> oldKeyed, newKeyed, oldDups, newDups;
        for (int i = 1; i <= 2000; ++i) {
            const std::string id = std::to_string(i);
            oldKeyed.push_back(id + ", 'Name " + id + "', " + std::to_string(i * 3));
            if (i % 17 == 0)
                continue;
            if (i % 10 == 0)
                newKeyed.push_back(id + ", 'name " + id + "', " + std::to_string(i * 3 + 1));
            else
                newKeyed.push_back(oldKeyed.back());
        }
        for (int i = 2001; i <= 2100; ++i)
            newKeyed.push_back(std::to_string(i) + ", 'Name " + std::to_string(i) + "', 0");
        for (int i = 0; i < 3000; ++i) {
            oldDups.push_back("'v" + std::to_string(i % 40) + "', " + std::to_string(i % 3));
            if (i % 50 != 7)
                newDups.push_back(oldDups.back());
        }
        for (const std::string* role : {&old, &neu, &merge}) {
            rawodbc::Connection connection(*role);
            for (const char* table : {"keyed", "dups"})
                connection.ExecIgnoringErrors("DROP TABLE " + Quoted(table));
            connection.ExecAll({"CREATE TABLE " + Quoted("keyed") +
                                    " (id INTEGER NOT NULL PRIMARY KEY, name VARCHAR(40), amount INTEGER)",
                                "CREATE TABLE " + Quoted("dups") + " (v VARCHAR(10), n INTEGER)"});
            const bool isNew = role == &neu;
            connection.ExecAll(Inserts(Quoted("keyed"), isNew ? newKeyed : oldKeyed));
            connection.ExecAll(Inserts(Quoted("dups"), isNew ? newDups : oldDups));
        }
    }
    std::vector<std::string> Compare(const std::string& out, std::vector<std::string> more) const
    {
        std::vector<std::string> args = {"compare", old, neu, "--out", out, "--table", Name("keyed"),
                                         "--table", Name("dups")};
        args.insert(args.end(), more.begin(), more.end());
        return args;
    }
};

} // namespace

TEST_P(CliSplitTest, ASplitPairGivesTheLinesOfAWholeOneAndTheSameMerge)
{
    prefix = "spm_";
    CreateTables();
    const fs::path whole = work.path() / "whole";
    const fs::path split = work.path() / "split";
    const CliResult wholeRun = RunCli(Compare(whole.string(), {"--verbose"}));
    ASSERT_EQ(wholeRun.status, 1) << wholeRun.err;
    // Compared whole: figures without bucket pairs.
    ASSERT_NE(wholeRun.err.find(Name("keyed") + ": dump "), std::string::npos) << wholeRun.err;
    EXPECT_EQ(wholeRun.err.find("bucket"), std::string::npos) << wholeRun.err;

    const CliResult splitRun = RunCli(Compare(split.string(), {"--memory", "64K", "--verbose"}));
    ASSERT_EQ(splitRun.status, 1) << splitRun.err;
    EXPECT_EQ(splitRun.out, wholeRun.out);
    for (const std::string& table : {Name("keyed"), Name("dups")}) {
        const std::size_t line = splitRun.err.find(table + ": dump ");
        ASSERT_NE(line, std::string::npos) << splitRun.err;
        const std::string figures = splitRun.err.substr(line, splitRun.err.find('\n', line) - line);
        EXPECT_NE(figures.find(" bucket pairs), write "), std::string::npos) << figures;
        EXPECT_NE(figures.find(", peak memory "), std::string::npos) << figures;
    }
    const fs::path mergeFile = split / "Vantor_Merge.txt";
    EXPECT_EQ(testenv::SortedTextLines(testenv::ReadFile(mergeFile)),
              testenv::SortedTextLines(testenv::ReadFile(whole / "Vantor_Merge.txt")));
    // Dumps and buckets go with the run.
    EXPECT_EQ(testenv::FolderEntries(split), std::vector<std::string>{"Vantor_Merge.txt"});

    const CliResult apply = RunCli({"apply", mergeFile.string(), merge, "--yes"});
    EXPECT_EQ(apply.status, 0) << apply.out << apply.err;
    const CliResult verify =
        RunCli({"verify", merge, neu, "--table", Name("keyed"), "--table", Name("dups"), "--memory", "64K"});
    EXPECT_EQ(verify.status, 0) << verify.out << verify.err;
    // By the DBMS's own reading too: the target holds new's rows, copies counted.
    const std::string rows = "SELECT id, name, amount FROM " + Quoted("keyed") + " ORDER BY id";
    EXPECT_EQ(rawodbc::Connection(merge).Query(rows), rawodbc::Connection(neu).Query(rows));
    const std::string dups = "SELECT v, n, COUNT(*) FROM " + Quoted("dups") + " GROUP BY v, n ORDER BY v, n";
    EXPECT_EQ(rawodbc::Connection(merge).Query(dups), rawodbc::Connection(neu).Query(dups));
}

TEST_P(CliSplitTest, KeepDumpsKeepsTheBucketFilesOfThisRunOnly)
{
    prefix = "spk_";
    CreateTables();
    const fs::path split = work.path() / "split";
    fs::create_directories(split);
    // What an earlier run with more buckets left, and another table's dump
    // whose name only looks like a bucket's.
    const std::string dump = "old." + Name("keyed") + ".csv";
    testenv::WriteFile(split / (dump + ".part999"), "stale bucket\r\n");
    testenv::WriteFile(split / (dump + ".part1.csv"), "another table's dump\r\n");
    ASSERT_EQ(RunCli(Compare(split.string(), {"--memory", "64K", "--keep-dumps"})).status, 1);
    const std::vector<std::string> entries = testenv::FolderEntries(split);
    // Both dumps' buckets of this run stay.
    for (const std::string& kept : {dump, "new." + Name("keyed") + ".csv"}) {
        EXPECT_TRUE(std::any_of(entries.begin(), entries.end(), [&](const std::string& name) {
            return name != dump + ".part999" && IsBucketOf(name, kept);
        })) << kept << " in " << ::testing::PrintToString(entries);
    }
    EXPECT_FALSE(fs::exists(split / (dump + ".part999")));
    EXPECT_EQ(testenv::ReadFile(split / (dump + ".part1.csv")), "another table's dump\r\n");
    // No report of a bucket pair stays.
    EXPECT_TRUE(std::none_of(entries.begin(), entries.end(), [](const std::string& name) {
        return fs::path(name).extension() == ".report";
    })) << ::testing::PrintToString(entries);
}

INSTANTIATE_TEST_SUITE_P(Drivers, CliSplitTest, ::testing::Values(Dbms::SQLite, Dbms::PostgreSQL, Dbms::MariaDB),
                         testenv::DbmsParamName);

namespace {

// A SQLite pair large enough that splitting it and comparing its buckets take
// a while: 300,000 rows, every one changed.
class CliSplitInterruptTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_TEST_DATA_SOURCES();
        old = testenv::RoleConnectionString(Dbms::SQLite, "old", work.path());
        neu = testenv::RoleConnectionString(Dbms::SQLite, "new", work.path());
        for (const std::string* role : {&old, &neu})
            rawodbc::Connection(*role).ExecAll(
                {"CREATE TABLE big (id INTEGER NOT NULL PRIMARY KEY, v VARCHAR(80))",
                 "INSERT INTO big WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300000) "
                 "SELECT i, '" + std::string(role == &old ? "old" : "new") + " value ' || printf('%060d', i) FROM n"});
        fs::create_directories(out);
        testenv::WriteFile(out / "Vantor_Merge.txt", "the earlier run's merge file");
    }

    // Interrupts a split compare once `ready` says so of the folder;
    // `reached` tells whether it did before the wait ran out.
    CliResult Interrupted(const std::vector<std::string>& more, const std::function<bool()>& ready, bool& reached)
    {
        std::vector<std::string> args = {"compare", old,   neu,        "--out", out.string(),
                                         "--table", "big", "--memory", "2M"};
        args.insert(args.end(), more.begin(), more.end());
        return RunCli(args, [&](int pid) {
            const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
            while (!(reached = ready()) && std::chrono::steady_clock::now() < until)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            ::kill(pid, SIGINT);
        });
    }
    bool AnyFile(const std::function<bool(const fs::path&)>& which) const
    {
        std::error_code ignored;
        for (const auto& entry : fs::directory_iterator(out, ignored))
            if (which(entry.path()))
                return true;
        return false;
    }

    testenv::TempDir work;
    fs::path out = work.path() / "out";
    std::string old;
    std::string neu;
};

} // namespace

TEST_F(CliSplitInterruptTest, CtrlCWhileSplittingOrComparingBucketsLeavesNoBucketFile)
{
    struct Moment {
        const char* name;
        std::vector<std::string> more;
        std::function<bool(const fs::path&)> reached;
    };
    const auto isReport = [](const fs::path& path) { return IsBucketFile(path) && path.extension() == ".report"; };
    const Moment moments[] = {
        // The dumps go into their buckets as they are written...
        {"dumping into buckets", {}, IsBucketFile},
        // ...unless they are kept: then they are split after they are written.
        {"splitting kept dumps", {"--keep-dumps"}, IsBucketFile},
        {"comparing", {}, isReport},
    };
    for (const Moment& moment : moments) {
        SCOPED_TRACE(moment.name);
        bool reached = false;
        const CliResult result = Interrupted(moment.more, [&] { return AnyFile(moment.reached); }, reached);
        ASSERT_TRUE(reached) << result.out << result.err;
        EXPECT_EQ(result.status, 2) << result.out << result.err;
        EXPECT_NE(result.err.find("interrupted; "), std::string::npos) << result.err;
        EXPECT_EQ(testenv::ReadFile(out / "Vantor_Merge.txt"), "the earlier run's merge file");
        EXPECT_EQ(testenv::FolderEntries(out), std::vector<std::string>{"Vantor_Merge.txt"});
    }
}
