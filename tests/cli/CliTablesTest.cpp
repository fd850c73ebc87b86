// Which tables tolvane-cli pairs: names that differ only in case on servers
// that keep them apart, what `tables`, `compare` and `verify` say of a table
// left unpaired, and a merge that must not cross from one such table to the other.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "CliRunner.h"
#include "RawOdbc.h"
#include "RoleTest.h"
#include "TestEnv.h"

namespace {

using clitest::CliResult;
using clitest::RunCli;
using testenv::Dbms;

bool HasLine(const std::string& text, const std::string& line)
{
    const std::vector<std::string> lines = testenv::TextLines(text);
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// Its tables' names are spelled out whole: their case is the point.
class CliCaseTest : public clitest::RoleTest {
protected:
    CliCaseTest() : RoleTest("") {}
};

} // namespace

// "cs_Users" and "cs_users" on every side, only cs_users changed: each pairs
// with itself, and the merge leaves cs_Users as it was.
TEST_P(CliCaseTest, TablesDifferingOnlyInCaseEachPairWithThemselves)
{
    const std::vector<std::string> tables = {"cs_Users", "cs_users"};
    for (const std::string* role : {&old, &neu, &merge}) {
        rawodbc::Connection connection(*role);
        for (const std::string& table : tables) {
            connection.ExecIgnoringErrors("DROP TABLE " + Quoted(table));
            connection.ExecAll({"CREATE TABLE " + Quoted(table) + " (id INTEGER NOT NULL PRIMARY KEY, v VARCHAR(10))",
                                "INSERT INTO " + Quoted(table) + " VALUES (1, 'a')",
                                "INSERT INTO " + Quoted(table) + " VALUES (2, 'b')"});
        }
    }
    rawodbc::Connection(neu).Exec("UPDATE " + Quoted("cs_users") + " SET v = 'changed' WHERE id = 2");

    const CliResult listing = RunCli({"tables", old, neu});
    EXPECT_EQ(listing.status, 0) << listing.err;
    EXPECT_TRUE(HasLine(listing.out, "cs_Users\tcs_Users")) << listing.out;
    EXPECT_TRUE(HasLine(listing.out, "cs_users\tcs_users")) << listing.out;

    const std::string out = (work.path() / "out").string();
    const CliResult compare = RunCli({"compare", old, neu, "--out", out, "--table", "cs_Users", "--table", "cs_users"});
    EXPECT_EQ(compare.status, 1) << compare.err;
    EXPECT_EQ(compare.out, "cs_Users: 0 removed, 0 added\ncs_users: 1 removed, 1 added\n");

    // --table takes the name as spelled; a name in another case fits both and is refused.
    const std::string mergeFile = (work.path() / "out" / "Vantor_Merge.txt").string();
    const CliResult exact = RunCli({"sql", mergeFile, merge, "--table", "cs_users"});
    EXPECT_EQ(exact.status, 0) << exact.err;
    EXPECT_NE(exact.out.find("cs_users"), std::string::npos) << exact.out;
    EXPECT_EQ(exact.out.find("cs_Users"), std::string::npos) << exact.out;
    const CliResult either = RunCli({"sql", mergeFile, merge, "--table", "CS_USERS"});
    EXPECT_EQ(either.status, 2);
    EXPECT_NE(either.err.find("more than one table of the merge file"), std::string::npos) << either.err;

    const CliResult apply = RunCli({"apply", (work.path() / "out" / "Vantor_Merge.txt").string(), merge, "--yes"});
    EXPECT_EQ(apply.status, 0) << apply.err;
    rawodbc::Connection target(merge);
    EXPECT_EQ(target.Query("SELECT id, v FROM " + Quoted("cs_Users") + " ORDER BY id"),
              (std::vector<rawodbc::Row>{{"1", "a"}, {"2", "b"}}));
    EXPECT_EQ(target.Query("SELECT id, v FROM " + Quoted("cs_users") + " ORDER BY id"),
              (std::vector<rawodbc::Row>{{"1", "a"}, {"2", "changed"}}));
    const CliResult verify = RunCli({"verify", merge, neu, "--table", "cs_Users", "--table", "cs_users"});
    EXPECT_EQ(verify.status, 0) << verify.out << verify.err;

    for (const std::string* role : {&old, &neu, &merge}) {
        rawodbc::Connection connection(*role);
        for (const std::string& table : tables)
            connection.Exec("DROP TABLE " + Quoted(table));
    }
}

// SQLite folds the case of table names itself: it cannot hold both.
INSTANTIATE_TEST_SUITE_P(Servers, CliCaseTest, ::testing::Values(Dbms::PostgreSQL, Dbms::MariaDB),
                         testenv::DbmsParamName);

namespace {

// Two databases of each test's own (the tests run at the same time), so that
// runs without --table take every table: old Items, Orders, Users, users; new
// ITEMS, items, ORDERS, users.
class CliCaseNotesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_TEST_DATA_SOURCES();
        const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        databases = {"tolvane_cli_" + test + "_old", "tolvane_cli_" + test + "_new"};
        old = testenv::MariaDbConnectionString(databases[0]);
        neu = testenv::MariaDbConnectionString(databases[1]);
        rawodbc::Connection raw(testenv::kMariaDb);
        for (const std::string& database : databases)
            raw.ExecAll({"DROP DATABASE IF EXISTS " + database, "CREATE DATABASE " + database});
        const auto create = [](const std::string& source, const std::vector<std::string>& tables) {
            rawodbc::Connection connection(source);
            for (const std::string& table : tables)
                connection.ExecAll({"CREATE TABLE `" + table + "` (id INTEGER NOT NULL PRIMARY KEY)",
                                    "INSERT INTO `" + table + "` VALUES (1)"});
        };
        create(old, {"Items", "Orders", "Users", "users"});
        create(neu, {"ITEMS", "items", "ORDERS", "users"});
    }
    void TearDown() override
    {
        if (!testenv::Available())
            return;
        rawodbc::Connection raw(testenv::kMariaDb);
        for (const std::string& database : databases)
            raw.ExecIgnoringErrors("DROP DATABASE " + database);
    }
    std::string Out() const { return (work.path() / "out").string(); }

    testenv::TempDir work;
    std::vector<std::string> databases;
    std::string old;
    std::string neu;
};

const std::string kUsersNote = "not paired: the names Users and users differ only in case";
const std::string kItemsNote = "not paired: the names ITEMS, Items and items differ only in case";

} // namespace

TEST_F(CliCaseNotesTest, TablesMarksWhatItLeftUnpaired)
{
    const CliResult listing = RunCli({"tables", old, neu});
    EXPECT_EQ(listing.status, 0) << listing.err;
    EXPECT_EQ(listing.err, "");
    const std::vector<std::string> expected = {
        "\tITEMS\t" + kItemsNote, "\titems\t" + kItemsNote, "Items\t\t" + kItemsNote,
        "Orders\tORDERS",         "Users\t\t" + kUsersNote, "users\tusers"};
    EXPECT_EQ(testenv::SortedTextLines(listing.out), expected) << listing.out;
}

TEST_F(CliCaseNotesTest, CompareAndVerifySayWhatTheyLeftOut)
{
    const CliResult compare = RunCli({"compare", old, neu, "--out", Out()});
    EXPECT_EQ(compare.status, 0) << compare.err;
    EXPECT_EQ(compare.err, "");
    const std::vector<std::string> notes = {"ITEMS: " + kItemsNote, "Items: " + kItemsNote,
                                            "Users: " + kUsersNote, "items: " + kItemsNote};
    std::vector<std::string> expected = notes;
    expected.insert(expected.end(), {"Orders: 0 removed, 0 added", "users: 0 removed, 0 added"});
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(testenv::SortedTextLines(compare.out), expected) << compare.out;

    const CliResult verify = RunCli({"verify", old, neu});
    EXPECT_EQ(verify.status, 0) << verify.err;
    expected = notes;
    expected.push_back("2 tables equal");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(testenv::SortedTextLines(verify.out), expected) << verify.out;
}

TEST_F(CliCaseNotesTest, TableNamesAreTakenExactlyFirst)
{
    struct Case {
        const char* table;
        int status;
        std::string out;
        std::string err;
    };
    const std::vector<Case> cases = {
        {"users", 0, "users: 0 removed, 0 added\n", ""},
        {"orders", 0, "Orders: 0 removed, 0 added\n", ""},  // one table of that spelling on each side
        {"Users", 2, "", "tolvane-cli: table Users: " + kUsersNote + "\n"},
        {"ITEMS", 2, "", "tolvane-cli: table ITEMS: " + kItemsNote + "\n"},
        {"iTeMs", 2, "", "tolvane-cli: table iTeMs: several tables differ from it only in case; name one exactly\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table);
        const CliResult compare = RunCli({"compare", old, neu, "--out", Out(), "--table", c.table});
        EXPECT_EQ(compare.status, c.status) << compare.err;
        EXPECT_EQ(compare.out, c.out);
        EXPECT_EQ(compare.err, c.err);
    }
}
