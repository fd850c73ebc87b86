// The tables that Update and the command line list: those a bare name reaches
// on the data source's own connection, never a neighbour's or a system's.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "RawOdbc.h"
#include "TestEnv.h"
#include "datasource/CDatabase.h"
#include "datasource/CTables.h"
#include "workflow/TableListing.h"

namespace {

using Names = std::vector<std::string>;

Names Listed(const std::string& source)
{
    CDatabase database;
    EXPECT_TRUE(database.OpenDataSource(source));
    Names names;
    ReadTableNames(database, names);
    return names;
}

// Everything the driver's catalog holds when nothing limits it, as
// "catalog.schema.name".
Names DriverCatalog(const std::string& source)
{
    CDatabase database;
    EXPECT_TRUE(database.OpenDataSource(source));
    CTables tables(database);
    tables.OpenCatalog(nullptr, nullptr, nullptr, "'TABLE'");
    Names names;
    for (; !tables.IsEOF(); tables.MoveNext())
        names.push_back(tables.m_strTableQualifier + "." + tables.m_strTableOwner + "." + tables.m_strTableName);
    return names;
}

bool HoldsEnding(const Names& names, const std::string& end)
{
    return std::any_of(names.begin(), names.end(), [&](const std::string& n) { return n.ends_with(end); });
}

} // namespace

// Databases of its own (the login may create tolvane_cli_*), so that the list
// can be compared whole; the second one and the system databases are seen by
// the same login.
TEST(TableListing, MariaDbListsTheCurrentDatabaseOnly)
{
    REQUIRE_TEST_DATA_SOURCES();
    rawodbc::Connection raw(testenv::kMariaDb);
    raw.ExecAll({"DROP DATABASE IF EXISTS tolvane_cli_lst_here", "DROP DATABASE IF EXISTS tolvane_cli_lst_there",
                 "CREATE DATABASE tolvane_cli_lst_here", "CREATE DATABASE tolvane_cli_lst_there",
                 "CREATE TABLE tolvane_cli_lst_here.lst_one (id INTEGER)",
                 "CREATE TABLE tolvane_cli_lst_here.lst_two (id INTEGER)",
                 "CREATE VIEW tolvane_cli_lst_here.lst_view AS SELECT id FROM tolvane_cli_lst_here.lst_one",
                 "CREATE TABLE tolvane_cli_lst_there.lst_elsewhere (id INTEGER)",
                 "CREATE TABLE tolvane_cli_lst_there.lst_one (id INTEGER)"});
    const std::string here = testenv::MariaDbConnectionString("tolvane_cli_lst_here");

    // Left alone, the driver lists the other database's tables too.
    EXPECT_TRUE(HoldsEnding(DriverCatalog(here), ".lst_elsewhere"));
    EXPECT_EQ(Listed(here), (Names{"lst_one", "lst_two"}));
    // Without a current database no bare name reaches a table.
    EXPECT_EQ(Listed(testenv::MariaDbConnectionString("")), Names{});
    // A system database as the current one lists nothing either.
    EXPECT_EQ(Listed(testenv::MariaDbConnectionString("information_schema")), Names{});

    raw.ExecAll({"DROP DATABASE tolvane_cli_lst_here", "DROP DATABASE tolvane_cli_lst_there"});
}

// The catalog test database is this test's alone, so its search path can be
// set for every connection to it (ALTER DATABASE, ALTER ROLE ... IN DATABASE,
// a schema named like the user) and the connection made afresh.
TEST(TableListing, PostgresListsWhatTheSearchPathReaches)
{
    REQUIRE_TEST_DATA_SOURCES();
    rawodbc::Connection raw(testenv::kPostgresCatalog);
    const std::vector<std::string> reset = {
        "ALTER DATABASE tolvane_cat RESET search_path", "ALTER ROLE tolvane IN DATABASE tolvane_cat RESET search_path",
        "DROP SCHEMA IF EXISTS lst_front CASCADE", "DROP SCHEMA IF EXISTS lst_off CASCADE",
        "DROP SCHEMA IF EXISTS tolvane CASCADE", "DROP TABLE IF EXISTS lst_public, lst_both, lst_shadowed"};
    raw.ExecAll(reset);
    // lst_both stands in three schemas; in lst_front a view shadows the
    // public lst_shadowed, which a bare name then does not reach.
    raw.ExecAll({"CREATE SCHEMA lst_front", "CREATE SCHEMA lst_off",
                 "CREATE TABLE public.lst_public (id INTEGER)", "CREATE TABLE public.lst_both (id INTEGER)",
                 "CREATE TABLE public.lst_shadowed (id INTEGER)", "CREATE TABLE lst_front.lst_both (id INTEGER)",
                 "CREATE TABLE lst_front.lst_front_only (id INTEGER)",
                 "CREATE VIEW lst_front.lst_shadowed AS SELECT 1 AS id", "CREATE TABLE lst_off.lst_both (id INTEGER)",
                 "CREATE TABLE lst_off.lst_off_only (id INTEGER)"});

    struct Case {
        const char* name;
        std::vector<std::string> setUp;  // run before the program connects
        Names listed;
    };
    const std::vector<Case> cases = {
        {"the default path: public", {}, {"lst_both", "lst_public", "lst_shadowed"}},
        {"a schema before public",
         {"ALTER DATABASE tolvane_cat SET search_path = lst_front, public"},
         {"lst_both", "lst_front_only", "lst_public"}},
        {"public off the path", {"ALTER DATABASE tolvane_cat SET search_path = lst_front"},
         {"lst_both", "lst_front_only"}},
        {"the role's path for the database",
         {"ALTER ROLE tolvane IN DATABASE tolvane_cat SET search_path = lst_off"}, {"lst_both", "lst_off_only"}},
        {"system schemas named on the path",
         {"ALTER ROLE tolvane IN DATABASE tolvane_cat RESET search_path",
          "ALTER DATABASE tolvane_cat SET search_path = pg_catalog, information_schema, lst_off"},
         {"lst_both", "lst_off_only"}},
        {"a schema named like the user comes first",
         {"ALTER DATABASE tolvane_cat RESET search_path", "CREATE SCHEMA tolvane",
          "CREATE TABLE tolvane.lst_user (id INTEGER)", "CREATE TABLE tolvane.lst_public (id INTEGER)"},
         {"lst_both", "lst_shadowed", "lst_public", "lst_user"}},
    };
    for (const Case& c : cases) {
        raw.ExecAll(c.setUp);
        EXPECT_EQ(Listed(testenv::kPostgresCatalog), c.listed) << c.name;
    }
    // The driver alone lists every schema.
    const Names everything = DriverCatalog(testenv::kPostgresCatalog);
    EXPECT_TRUE(HoldsEnding(everything, ".lst_off.lst_off_only")) << everything.size();
    raw.ExecAll(reset);
}

TEST(TableListing, SqliteListsTheFilesTables)
{
    REQUIRE_TEST_DATA_SOURCES();
    testenv::TempDir dir;
    const std::string source = "Driver=SQLite3;Database=" + dir.str() + "/listing.db";
    rawodbc::Connection(source).ExecAll({"CREATE TABLE b (id INTEGER)", "CREATE TABLE a (id INTEGER)",
                                         "CREATE VIEW v AS SELECT id FROM a"});
    // In the order the driver gives: that of creation.
    EXPECT_EQ(Listed(source), (Names{"b", "a"}));
}
