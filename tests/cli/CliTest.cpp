// tolvane-cli end to end, as a script runs it: compare, apply and verify on
// every driver, the exit statuses and error lines, sql through the DBMS's own
// client, Ctrl+C in the middle of a dump, a merge file that cannot be written
// whole, and two compare runs into one folder.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <chrono>
#include <filesystem>
#include <future>
#include <sstream>
#include <thread>

#include "CliRunner.h"
#include "RawOdbc.h"
#include "RoleTest.h"
#include "TestEnv.h"
#include "workflow/CompareFolderLock.h"

namespace {

namespace fs = std::filesystem;
using clitest::CliResult;
using clitest::RunCli;

using testenv::Dbms;

std::string ConnectionString(Dbms dbms, const std::string& role, const fs::path& folder)
{
    return testenv::RoleConnectionString(dbms, role, folder);
}

bool OneLine(const std::string& text)
{
    return !text.empty() && text.find('\n') == text.size() - 1;
}

class CliTest : public clitest::RoleTest {
protected:
    CliTest() : RoleTest("cli_") {}

    // The target holds new's rows, read by a query of the test's own.
    void ExpectTargetEqualsNew()
    {
        for (const auto& [table, key] : {std::pair{"items", "id"}, {"codes", "code"}, {"texts", "id"}}) {
            const std::string rows = "SELECT * FROM " + Quoted(table) + " ORDER BY " + key;
            EXPECT_EQ(rawodbc::Connection(merge).Query(rows), rawodbc::Connection(neu).Query(rows)) << table;
        }
    }

    // items: one row changed, one deleted, one added, with dates (which psql
    // takes only as its own literals); codes: one of each kind; texts: a value
    // with a line break added. PostgreSQL dumps in storage order, where an
    // updated row moves to the end: the new rows are stored in the order the
    // merge leaves them, since the engine still reports a moved row as removed
    // and added.
    void CreateTables()
    {
        const std::vector<std::string> create = {
            "CREATE TABLE " + Quoted("items") +
                " (id INTEGER NOT NULL PRIMARY KEY, name VARCHAR(40), note VARCHAR(40), since DATE)",
            "CREATE TABLE " + Quoted("codes") + " (code VARCHAR(10) NOT NULL PRIMARY KEY, qty INTEGER)",
            "CREATE TABLE " + Quoted("texts") + " (id INTEGER NOT NULL PRIMARY KEY, t VARCHAR(20))",
            "INSERT INTO " + Quoted("texts") + " VALUES (1, 'x')"};
        const std::vector<std::string> oldRows = {
            "INSERT INTO " + Quoted("items") + " VALUES (1, 'Ann', 'a, b', '2001-03-15')",
            "INSERT INTO " + Quoted("items") + " VALUES (2, 'Bob', NULL, '1999-12-31')",
            "INSERT INTO " + Quoted("items") + " VALUES (3, 'Cy', 'it''s', NULL)",
            "INSERT INTO " + Quoted("codes") + " VALUES ('a', 1)", "INSERT INTO " + Quoted("codes") + " VALUES ('b', 2)"};
        const std::vector<std::string> newRows = {
            "INSERT INTO " + Quoted("items") + " VALUES (1, 'Ann', 'a, b', '2001-03-15')",
            "INSERT INTO " + Quoted("items") + " VALUES (4, 'Dee', NULL, '2024-02-29')",
            "INSERT INTO " + Quoted("items") + " VALUES (2, 'Bob', 'changed', '2000-01-01')",
            "INSERT INTO " + Quoted("codes") + " VALUES ('a', 1)", "INSERT INTO " + Quoted("codes") + " VALUES ('c', 3)",
            "INSERT INTO " + Quoted("texts") + " VALUES (2, 'line\nbreak')"};
        for (const std::string* role : {&old, &neu, &merge}) {
            rawodbc::Connection connection(*role);
            for (const char* table : {"items", "codes", "texts"})
                connection.ExecIgnoringErrors("DROP TABLE " + Quoted(table));
            connection.ExecAll(create);
            connection.ExecAll(role == &neu ? newRows : oldRows);
        }
    }
    std::vector<std::string> Tables() const
    {
        return {"--table", Name("items"), "--table", Name("codes"), "--table", Name("texts")};
    }
    std::vector<std::string> With(std::vector<std::string> args, const std::vector<std::string>& more) const
    {
        args.insert(args.end(), more.begin(), more.end());
        return args;
    }
    std::string MergeFile() const { return (work.path() / "out" / "Vantor_Merge.txt").string(); }

};

} // namespace

TEST_P(CliTest, CompareApplyVerifyRoundTrip)
{
    prefix = "rt_";
    CreateTables();
    const std::string out = (work.path() / "out").string();
    CliResult compare = RunCli(With({"compare", old, neu, "--out", out}, Tables()));
    EXPECT_EQ(compare.status, 1) << compare.err;
    EXPECT_EQ(compare.out, Name("items") + ": 2 removed, 2 added\n" + Name("codes") + ": 1 removed, 1 added\n" +
                               Name("texts") + ": 0 removed, 1 added\n");
    EXPECT_EQ(compare.err, "");

    CliResult preview = RunCli({"preview", MergeFile()});
    EXPECT_EQ(preview.status, 0) << preview.err;
    EXPECT_EQ(preview.out, Name("items") + "\t1 to add, 1 to update, 1 to delete\tkey: id\n" + Name("codes") +
                               "\t1 to add, 0 to update, 1 to delete\tkey: code\n" + Name("texts") +
                               "\t1 to add, 0 to update, 0 to delete\tkey: id\n");

    CliResult apply = RunCli({"apply", MergeFile(), merge, "--yes"});
    EXPECT_EQ(apply.status, 0) << apply.err;
    EXPECT_EQ(apply.err, "");

    CliResult verify = RunCli(With({"verify", merge, neu}, Tables()));
    EXPECT_EQ(verify.status, 0) << verify.out << verify.err;
    EXPECT_EQ(verify.err, "");
    ExpectTargetEqualsNew();

    // A row changed by hand afterwards: verify names the table.
    rawodbc::Connection(merge).Exec("UPDATE " + Quoted("codes") + " SET qty = 9 WHERE code = 'c'");
    verify = RunCli(With({"verify", merge, neu}, Tables()));
    EXPECT_EQ(verify.status, 1) << verify.err;
    EXPECT_EQ(verify.out, Name("codes") + ": 1 removed, 1 added\n");
}

TEST_P(CliTest, SqlThroughTheClientGivesTheTargetApplyGives)
{
    prefix = "sq_";
    CreateTables();
    const std::string out = (work.path() / "out").string();
    ASSERT_EQ(RunCli(With({"compare", old, neu, "--out", out}, Tables())).status, 1);
    CliResult sql = RunCli({"sql", MergeFile(), merge});
    ASSERT_EQ(sql.status, 0) << sql.err;
    // A value's line break stays inside its literal: one statement per ";" line end.
    EXPECT_NE(sql.out.find("'line\nbreak'"), std::string::npos) << sql.out;
    const fs::path script = work.path() / "merge.sql";
    testenv::WriteFile(script, sql.out);

    const std::string client = clitest::ClientCommand(GetParam(), work.path(), script);
    ASSERT_EQ(clitest::Shell(client), 0) << client;

    // The same as apply: the target equals the new data source.
    CliResult verify = RunCli(With({"verify", merge, neu}, Tables()));
    EXPECT_EQ(verify.status, 0) << verify.out << verify.err;
    ExpectTargetEqualsNew();
}

INSTANTIATE_TEST_SUITE_P(Drivers, CliTest, ::testing::Values(Dbms::SQLite, Dbms::PostgreSQL, Dbms::MariaDB),
                         testenv::DbmsParamName);

namespace {

// The SQLite cases of exit statuses and error lines; they need no server.
class CliStatusTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_TEST_DATA_SOURCES();
        old = ConnectionString(Dbms::SQLite, "old", work.path());
        neu = ConnectionString(Dbms::SQLite, "new", work.path());
        merge = ConnectionString(Dbms::SQLite, "merge", work.path());
        rawodbc::Connection(old).ExecAll({"CREATE TABLE t (id INTEGER NOT NULL PRIMARY KEY, v VARCHAR(10))",
                                          "INSERT INTO t VALUES (1, 'a')", "INSERT INTO t VALUES (2, 'b')",
                                          "CREATE TABLE cols (id INTEGER NOT NULL PRIMARY KEY, a INTEGER)"});
        rawodbc::Connection(neu).ExecAll({"CREATE TABLE t (id INTEGER NOT NULL PRIMARY KEY, v VARCHAR(10))",
                                          "INSERT INTO t VALUES (1, 'a')", "INSERT INTO t VALUES (2, 'B')",
                                          "CREATE TABLE cols (id INTEGER NOT NULL PRIMARY KEY, b INTEGER)"});
        fs::copy_file(work.path() / "old.db", work.path() / "merge.db");
    }
    std::string Out() const { return (work.path() / "out").string(); }

    testenv::TempDir work;
    std::string old;
    std::string neu;
    std::string merge;
};

struct StatusCase {
    const char* name;
    std::vector<std::string> args;
    int status;
    const char* errorPart;  // in the first error line; "Usage:" for the usage
    const char* nextLine = nullptr;  // the second and last error line, when there is one
};

std::size_t LineCount(const std::string& text)
{
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

} // namespace

TEST_F(CliStatusTest, ExitStatusesAndErrorLines)
{
    const std::string missingDsn = "tolvane_no_such_dsn";
    // A SQLite file that does not exist yet: the driver makes it, empty.
    const std::string empty = ConnectionString(Dbms::SQLite, "empty", work.path());
    const std::string noTables = "the data source " + empty + " lists no tables";
    const std::vector<StatusCase> cases = {
        {"compare equal", {"compare", old, merge, "--out", Out(), "--table", "t"}, 0, ""},
        {"compare different", {"compare", old, neu, "--out", Out(), "--table", "t"}, 1, ""},
        {"compare other columns", {"compare", old, neu, "--out", Out()}, 2,
         "Table cols could not be compared: the column lists differ: old has id,a, new has id,b",
         "/out/Vantor_Merge.txt was left as it was"},
        {"compare unknown table", {"compare", old, neu, "--out", Out(), "--table", "nosuch"}, 2,
         "table nosuch: in neither"},
        {"compare with a data source that lists no tables", {"compare", old, empty, "--out", Out()}, 2,
         noTables.c_str()},
        {"verify an empty target", {"verify", empty, neu}, 2, noTables.c_str()},
        {"compare missing data source", {"compare", missingDsn, neu, "--out", Out()}, 2,
         "Cannot connect to the data source tolvane_no_such_dsn."},
        {"connection string", {"tables", "Driver=NoSuchDriver;Database=x;PWD=secret", neu}, 2,
         "Cannot connect to the data source Driver=NoSuchDriver;Database=x;PWD=***."},
        {"login without terminal", {"tables", testenv::kPostgresLogin, neu}, 2,
         "the data source tolvane_pg_login rejected the login"},
        {"apply missing merge file", {"apply", Out() + "/none.txt", merge, "--yes"}, 2,
         "Cannot read the merge file "},
        {"preview missing merge file", {"preview", Out() + "/none.txt"}, 2,
         "/none.txt: No such file or directory"},
        {"unknown command", {"frobnicate"}, 2, "Usage:"},
        {"unknown option", {"compare", old, neu, "--out", Out(), "--fast"}, 2,
         "Usage: tolvane-cli compare"},
        {"missing argument", {"verify", old}, 2, "Usage: tolvane-cli verify"},
        {"no command", {}, 2, "Usage:"},
    };
    for (const StatusCase& c : cases) {
        SCOPED_TRACE(c.name);
        const CliResult result = RunCli(c.args);
        EXPECT_EQ(result.status, c.status) << result.err;
        EXPECT_EQ(result.err.find("secret"), std::string::npos) << result.err;
        const std::string part = c.errorPart;
        if (part.empty()) {
            EXPECT_EQ(result.err, "");
        } else if (part.rfind("Usage:", 0) == 0) {
            EXPECT_NE(result.err.find(part), std::string::npos) << result.err;
        } else {
            EXPECT_EQ(LineCount(result.err), c.nextLine ? 2u : 1u) << result.err;
            const std::string first = result.err.substr(0, result.err.find('\n'));
            EXPECT_NE(first.find(part), std::string::npos) << result.err;
            if (c.nextLine) {
                EXPECT_NE(result.err.find(c.nextLine, first.size()), std::string::npos) << result.err;
            }
        }
    }
    // The line naming a missing merge file names it whole.
    const CliResult missing = RunCli({"apply", Out() + "/none.txt", merge, "--yes"});
    EXPECT_NE(missing.err.find(Out() + "/none.txt"), std::string::npos) << missing.err;
}

// compare names the tables it did not compare because one side lacks them, as verify does.
TEST_F(CliStatusTest, CompareNamesTheTablesOnlyOneSideHas)
{
    rawodbc::Connection(old).Exec("CREATE TABLE only_old (id INTEGER NOT NULL PRIMARY KEY)");
    rawodbc::Connection(neu).Exec("CREATE TABLE only_new (id INTEGER NOT NULL PRIMARY KEY)");
    rawodbc::Connection(neu).Exec("CREATE TABLE cols2 (id INTEGER)");
    rawodbc::Connection(old).ExecAll({"DROP TABLE cols", "CREATE TABLE cols2 (id INTEGER)"});
    const CliResult compare = RunCli({"compare", old, neu, "--out", Out()});
    EXPECT_EQ(compare.status, 1) << compare.err;
    EXPECT_NE(compare.out.find("only_old: only in " + old + ", not compared\n"), std::string::npos) << compare.out;
    EXPECT_NE(compare.out.find("only_new: only in " + neu + ", not compared\n"), std::string::npos) << compare.out;
    EXPECT_NE(compare.out.find("cols: only in " + neu + ", not compared\n"), std::string::npos) << compare.out;
}

TEST_F(CliStatusTest, ApplyExitStatuses)
{
    ASSERT_EQ(RunCli({"compare", old, neu, "--out", Out(), "--table", "t"}).status, 1);
    const std::string mergeFile = Out() + "/Vantor_Merge.txt";

    // Without --yes and without a terminal nothing is done.
    CliResult apply = RunCli({"apply", mergeFile, merge});
    EXPECT_EQ(apply.status, 2);
    EXPECT_TRUE(OneLine(apply.err)) << apply.err;

    apply = RunCli({"apply", mergeFile, merge, "--yes"});
    EXPECT_EQ(apply.status, 0) << apply.err;
    EXPECT_EQ(RunCli({"verify", merge, neu, "--table", "t"}).status, 0);

    // Applied again after the changed row was deleted by hand: its update
    // affects no row, and everything is rolled back unless --keep-going.
    rawodbc::Connection(merge).Exec("DELETE FROM t WHERE id = 2");
    rawodbc::Connection(merge).Exec("DELETE FROM t WHERE id = 1");
    rawodbc::Connection(neu).Exec("INSERT INTO t VALUES (3, 'c')");
    ASSERT_EQ(RunCli({"compare", old, neu, "--out", Out(), "--table", "t"}).status, 1);
    for (const bool dryRun : {true, false}) {
        apply = RunCli(dryRun ? std::vector<std::string>{"apply", mergeFile, merge, "--dry-run"}
                              : std::vector<std::string>{"apply", mergeFile, merge, "--yes"});
        EXPECT_EQ(apply.status, 1);
        EXPECT_NE(apply.err.find("0 records were affected by statement:"), std::string::npos) << apply.err;
        EXPECT_NE(apply.err.find("UPDATE \"t\""), std::string::npos) << apply.err;
        // The last line says what was kept: nothing.
        EXPECT_TRUE(apply.err.ends_with("Everything was undone: nothing was changed.\n")) << apply.err;
        EXPECT_EQ(rawodbc::Connection(merge).Query("SELECT id, v FROM t"), std::vector<rawodbc::Row>{})
            << "dry run: " << dryRun;
    }
    apply = RunCli({"apply", mergeFile, merge, "--yes", "--keep-going"});
    EXPECT_EQ(apply.status, 1);
    EXPECT_TRUE(apply.err.ends_with("The changes of the other statements were made.\n")) << apply.err;
    EXPECT_EQ(rawodbc::Connection(merge).Query("SELECT id, v FROM t"), (std::vector<rawodbc::Row>{{"3", "c"}}));

    // A target that is not there: nothing could be done.
    apply = RunCli({"apply", mergeFile, "tolvane_no_such_dsn", "--yes"});
    EXPECT_EQ(apply.status, 2);
    EXPECT_TRUE(OneLine(apply.err)) << apply.err;
}

// A merge file cut short, whatever line it ends at, empty or no text at all,
// is refused before a statement runs.
TEST_F(CliStatusTest, ApplyRefusesAMergeFileThatIsNotWhole)
{
    ASSERT_EQ(RunCli({"compare", old, neu, "--out", Out(), "--table", "t"}).status, 1);
    const std::string whole = testenv::ReadFile(Out() + "/Vantor_Merge.txt");
    const std::string cut = (work.path() / "cut.txt").string();
    std::vector<std::string> parts = {"", std::string(64, '\0'), "\x7f" "ELF\x02\x01\x01\x00binary"};
    for (std::size_t end = whole.find('\n'); end != std::string::npos && end + 1 < whole.size();
         end = whole.find('\n', end + 1))
        parts.push_back(whole.substr(0, end + 1));  // head -n K
    ASSERT_GT(parts.size(), 8u);
    for (const std::string& part : parts) {
        testenv::WriteFile(cut, part);
        const CliResult apply = RunCli({"apply", cut, merge, "--yes"});
        EXPECT_EQ(apply.status, 2) << part.size() << " bytes: " << apply.err;
        EXPECT_TRUE(OneLine(apply.err)) << apply.err;
        EXPECT_NE(apply.err.find(cut), std::string::npos) << apply.err;
    }
    EXPECT_EQ(rawodbc::Connection(merge).Query("SELECT id, v FROM t ORDER BY id"),
              (std::vector<rawodbc::Row>{{"1", "a"}, {"2", "b"}}));
}

// Ctrl+C or SIGTERM while a statement runs: the merge stops after it and
// undoes everything. The test holds the target's write lock, so that the first
// statement waits until the signal has come.
TEST_F(CliStatusTest, AnInterruptedApplyChangesNothing)
{
    rawodbc::Connection(neu).Exec("INSERT INTO t VALUES (3, 'c')");
    ASSERT_EQ(RunCli({"compare", old, neu, "--out", Out(), "--table", "t"}).status, 1);
    const std::string mergeFile = Out() + "/Vantor_Merge.txt";
    for (const int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal == SIGINT ? "SIGINT" : "SIGTERM");
        rawodbc::Connection holder(merge);
        holder.Exec("BEGIN IMMEDIATE");
        bool sent = false;
        const CliResult apply = RunCli({"apply", mergeFile, merge, "--yes"}, [&](int pid) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1500));
            sent = ::kill(pid, signal) == 0;
            holder.Exec("COMMIT");
        });
        ASSERT_TRUE(sent);
        EXPECT_EQ(apply.status, 2) << apply.err;
        // The statement that waited ran, and was undone with the rest.
        EXPECT_TRUE(apply.err.ends_with("The merge was stopped after 1 of 2 statements. Everything was undone: "
                                        "nothing was changed.\n"))
            << apply.err;
        EXPECT_EQ(rawodbc::Connection(merge).Query("SELECT id, v FROM t ORDER BY id"),
                  (std::vector<rawodbc::Row>{{"1", "a"}, {"2", "b"}}));
    }
}

TEST_F(CliStatusTest, AnInterruptedCompareLeavesTheEarlierMergeFile)
{
    for (const std::string* role : {&old, &neu})
        rawodbc::Connection(*role).ExecAll(
            {"CREATE TABLE big (id INTEGER NOT NULL PRIMARY KEY, v VARCHAR(40))",
             // The driver runs a statement that begins with WITH as a query:
             // the INSERT goes first.
             "INSERT INTO big WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 50000) "
             "SELECT i, 'value number ' || i FROM n"});
    ASSERT_EQ(rawodbc::Connection(old).Query("SELECT COUNT(*) FROM big"), (std::vector<rawodbc::Row>{{"50000"}}));
    fs::create_directories(Out());
    const fs::path mergeFile = fs::path(Out()) / "Vantor_Merge.txt";
    testenv::WriteFile(mergeFile, "the earlier run's merge file");
    // The old dump goes into a pipe that this test reads: once its first bytes
    // are there the dump is under way, and Ctrl+C comes in the middle of it.
    const fs::path dump = fs::path(Out()) / "old.big.csv";
    ASSERT_EQ(::mkfifo(dump.c_str(), 0600), 0);

    bool dumpStarted = false;
    bool interrupted = false;
    const CliResult result = RunCli({"compare", old, neu, "--out", Out(), "--table", "big"}, [&](int pid) {
        // The pipe opens once the run opens it for its dump. Bounded, so that a
        // run that fails before its dump cannot hang the test: a writer of our
        // own then releases the open, and the read finds no data.
        std::future<int> opened = std::async(std::launch::async, [&] { return ::open(dump.c_str(), O_RDONLY); });
        if (opened.wait_for(std::chrono::seconds(60)) == std::future_status::timeout)
            ::close(::open(dump.c_str(), O_WRONLY | O_NONBLOCK));
        const int reading = opened.get();
        char buffer[4096];
        dumpStarted = ::read(reading, buffer, sizeof buffer) > 0;
        interrupted = ::kill(pid, SIGINT) == 0;
        // The run writes on until it sees the interrupt at its next row.
        while (dumpStarted && ::read(reading, buffer, sizeof buffer) > 0) {
        }
        ::close(reading);
        // A run that missed the interrupt must not wait on the pipe for ever.
        fs::remove(dump);
    });
    ASSERT_TRUE(dumpStarted) << result.err;
    ASSERT_TRUE(interrupted);
    EXPECT_EQ(result.status, 2) << result.err;
    EXPECT_NE(result.err.find("interrupted; "), std::string::npos) << result.err;
    EXPECT_EQ(testenv::ReadFile(mergeFile), "the earlier run's merge file");
    // Neither a temporary merge file nor a dump stays behind.
    EXPECT_EQ(testenv::FolderEntries(Out()), std::vector<std::string>{"Vantor_Merge.txt"});
}

namespace {

// Table "wide" on both sides: 800 rows of 80 characters, every one changed.
// Its dumps (about 70 KB each) are half the size of its merge file section.
void CreateWideChangedTable(const std::string& old, const std::string& neu)
{
    for (const std::string* role : {&old, &neu})
        rawodbc::Connection(*role).ExecAll(
            {"CREATE TABLE wide (id INTEGER NOT NULL PRIMARY KEY, v VARCHAR(100))",
             "INSERT INTO wide WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 800) "
             "SELECT i, '" + std::string(role == &old ? "old " : "new ") + "' || printf('%076d', i) FROM n"});
}

} // namespace

TEST_F(CliStatusTest, AMergeFileThatCannotBeWrittenWholeLeavesTheEarlierOne)
{
    CreateWideChangedTable(old, neu);
    // The whole merge file of the run, to know where the writes must fail.
    const std::string reference = (work.path() / "reference").string();
    ASSERT_EQ(RunCli({"compare", old, neu, "--out", reference, "--table", "wide", "--table", "t"}).status, 1);
    const std::string whole = testenv::ReadFile(fs::path(reference) / "Vantor_Merge.txt");
    ASSERT_GT(whole.size(), 140000u);

    struct Case {
        const char* name;
        std::uint64_t limit;
    };
    const std::vector<Case> cases = {
        {"inside the first section", 100000},
        {"at the end mark", whole.size() - 1},
    };
    const fs::path mergeFile = fs::path(Out()) / "Vantor_Merge.txt";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::create_directories(Out());
        const std::string earlier = "the earlier run's merge file\r\n" + std::string(2000, 'e');
        testenv::WriteFile(mergeFile, earlier);
        const CliResult result =
            RunCli({"compare", old, neu, "--out", Out(), "--table", "wide", "--table", "t"}, nullptr, c.limit);
        EXPECT_EQ(result.status, 2) << result.err;
        EXPECT_NE(result.err.find("Cannot write to the file " + mergeFile.string() + ": File too large"),
                  std::string::npos)
            << result.err;
        EXPECT_NE(result.err.find(mergeFile.string() + " was left as it was"), std::string::npos) << result.err;
        EXPECT_EQ(testenv::ReadFile(mergeFile), earlier);
        // Neither a temporary merge file nor a dump stays behind.
        EXPECT_EQ(testenv::FolderEntries(Out()), std::vector<std::string>{"Vantor_Merge.txt"});
    }
    // Without the limit the same run replaces it with the whole file.
    ASSERT_EQ(RunCli({"compare", old, neu, "--out", Out(), "--table", "wide", "--table", "t"}).status, 1);
    EXPECT_EQ(testenv::ReadFile(mergeFile), whole);
}

TEST_F(CliStatusTest, ACompareThatLeavesATableOutLeavesTheEarlierMergeFile)
{
    fs::create_directories(Out());
    const fs::path mergeFile = fs::path(Out()) / "Vantor_Merge.txt";
    testenv::WriteFile(mergeFile, "the earlier run's merge file");
    const CliResult result = RunCli({"compare", old, neu, "--out", Out(), "--table", "t", "--table", "cols"});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, "tolvane-cli: Table cols could not be compared: the column lists differ: old has id,a, "
                          "new has id,b\ntolvane-cli: " + Out() + "/Vantor_Merge.txt was left as it was\n");
    EXPECT_EQ(testenv::ReadFile(mergeFile), "the earlier run's merge file");
    EXPECT_EQ(testenv::FolderEntries(Out()), std::vector<std::string>{"Vantor_Merge.txt"});
}

TEST_F(CliStatusTest, ASecondCompareIntoTheSameFolderFailsAtOnce)
{
    fs::create_directories(Out());
    const fs::path mergeFile = fs::path(Out()) / "Vantor_Merge.txt";
    testenv::WriteFile(mergeFile, "the earlier run's merge file");
    {
        // Another run holds the folder.
        const CompareFolderLock other(Out());
        const CliResult result = RunCli({"compare", old, neu, "--out", Out(), "--table", "t"});
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.err, "tolvane-cli: another compare run is writing " + Out() + "\n");
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(testenv::ReadFile(mergeFile), "the earlier run's merge file");
    }
    EXPECT_EQ(RunCli({"compare", old, neu, "--out", Out(), "--table", "t"}).status, 1);
    EXPECT_NE(testenv::ReadFile(mergeFile), "the earlier run's merge file");
}

TEST_F(CliStatusTest, TwoComparesAtTheSameTimeLeaveTheWholeFileOfOne)
{
    CreateWideChangedTable(old, neu);
    const std::vector<std::string> first = {"--table", "wide"};
    const std::vector<std::string> second = {"--table", "t"};
    // Each run's merge file, made alone.
    std::vector<std::string> alone;
    for (const auto* tables : {&first, &second}) {
        const std::string folder = (work.path() / ("alone" + std::to_string(alone.size()))).string();
        std::vector<std::string> args = {"compare", old, neu, "--out", folder};
        args.insert(args.end(), tables->begin(), tables->end());
        ASSERT_EQ(RunCli(args).status, 1);
        alone.push_back(testenv::ReadFile(fs::path(folder) / "Vantor_Merge.txt"));
    }
    const fs::path mergeFile = fs::path(Out()) / "Vantor_Merge.txt";
    const std::string busy = "tolvane-cli: another compare run is writing " + Out() + "\n";
    int refused = 0;
    for (int attempt = 0; attempt < 6; ++attempt) {
        SCOPED_TRACE(attempt);
        fs::remove_all(Out());
        std::vector<std::future<CliResult>> runs;
        for (const auto* tables : {&first, &second}) {
            std::vector<std::string> args = {"compare", old, neu, "--out", Out()};
            args.insert(args.end(), tables->begin(), tables->end());
            runs.push_back(std::async(std::launch::async, [args] { return RunCli(args); }));
        }
        for (std::future<CliResult>& run : runs) {
            const CliResult result = run.get();
            // Each run either did its work or was refused at once, with its reason.
            if (result.status == 2) {
                EXPECT_EQ(result.err, busy);
                ++refused;
            } else {
                EXPECT_EQ(result.status, 1) << result.err;
                EXPECT_EQ(result.err, "");
            }
        }
        // The merge file is one run's whole file, never a mix nor an empty one.
        const std::string written = testenv::ReadFile(mergeFile);
        EXPECT_TRUE(written == alone[0] || written == alone[1]) << written.size() << " bytes";
        EXPECT_EQ(testenv::FolderEntries(Out()), std::vector<std::string>{"Vantor_Merge.txt"});
    }
    RecordProperty("refused", refused);
}

TEST(CliHelp, EveryCommandHasHelpAndTheReadmeShowsTheProgramsAsItIs)
{
    const CliResult help = RunCli({"--help"});
    EXPECT_EQ(help.status, 0);
    std::string indented;
    std::istringstream lines(help.out);
    for (std::string line; std::getline(lines, line);)
        indented += line.empty() ? "\n" : "    " + line + "\n";
    const std::string readme = testenv::ReadFile(fs::path(TOLVANE_SOURCE_DIR) / "README.md");
    EXPECT_NE(readme.find(indented), std::string::npos) << indented;

    for (const char* command : {"tables", "compare", "preview", "sql", "apply", "verify"}) {
        SCOPED_TRACE(command);
        const CliResult commandHelp = RunCli({command, "--help"});
        EXPECT_EQ(commandHelp.status, 0);
        EXPECT_EQ(commandHelp.out.rfind(std::string("Usage: tolvane-cli ") + command, 0), 0u) << commandHelp.out;
    }
}
