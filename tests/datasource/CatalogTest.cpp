#include <gtest/gtest.h>

#include <algorithm>

#include "RawOdbc.h"
#include "TestEnv.h"
#include "datasource/CDatabase.h"
#include "datasource/CTables.h"
#include "datasource/TablePairing.h"

// A failed comparison of pairings shows the rows, not their bytes.
void PrintTo(const TablePairRow& row, std::ostream* os)
{
    *os << "{\"" << row.oldName << "\", \"" << row.newName << "\", " << (row.selected ? "selected" : "not selected")
        << (row.note.empty() ? "" : ", \"" + row.note + "\"") << "}";
}

namespace {

std::vector<std::string> CatalogNames(const char* dsn, const char* owner = nullptr)
{
    CDatabase db;
    EXPECT_TRUE(db.OpenDataSource(dsn));
    CTables tables(db);
    std::vector<std::string> names;
    tables.OpenCatalog(nullptr, owner, nullptr, "'TABLE'");
    while (!tables.IsBOF() && !tables.IsEOF()) {
        EXPECT_EQ(tables.m_strTableType, "TABLE");
        names.push_back(tables.m_strTableName);
        tables.MoveNext();
    }
    return names;
}

void DropAll(rawodbc::Connection& raw, const std::vector<std::string>& tables, const char* view)
{
    raw.ExecIgnoringErrors(std::string("DROP VIEW \"") + view + "\"");
    for (const auto& t : tables)
        raw.ExecIgnoringErrors("DROP TABLE \"" + t + "\"");
}

// Customer and Orders in the old data source, CUSTOMER and Region in the new one,
// and a view on each side that must not be listed.
void CreateExample(const char* oldDsn, const char* newDsn)
{
    rawodbc::Connection oldDb(oldDsn), newDb(newDsn);
    DropAll(oldDb, {"Customer", "Orders"}, "OldView");
    DropAll(newDb, {"CUSTOMER", "Region"}, "NewView");
    oldDb.Exec("CREATE TABLE \"Customer\" (id INTEGER NOT NULL)");
    oldDb.Exec("CREATE TABLE \"Orders\" (id INTEGER NOT NULL)");
    oldDb.Exec("CREATE VIEW \"OldView\" AS SELECT id FROM \"Customer\"");
    newDb.Exec("CREATE TABLE \"CUSTOMER\" (id INTEGER NOT NULL)");
    newDb.Exec("CREATE TABLE \"Region\" (id INTEGER NOT NULL)");
    newDb.Exec("CREATE VIEW \"NewView\" AS SELECT id FROM \"Region\"");
}

TEST(Catalog, PairsTheExampleOnSqlite)
{
    REQUIRE_TEST_DATA_SOURCES();
    CreateExample(testenv::kSqliteCatalogOld, testenv::kSqliteCatalogNew);
    const auto oldNames = CatalogNames(testenv::kSqliteCatalogOld);
    const auto newNames = CatalogNames(testenv::kSqliteCatalogNew);
    EXPECT_EQ(oldNames, (std::vector<std::string>{"Customer", "Orders"}));
    EXPECT_EQ(newNames, (std::vector<std::string>{"CUSTOMER", "Region"}));
    const std::vector<TablePairRow> expected = {
        {"Customer", "CUSTOMER", true}, {"Orders", "", false}, {"", "Region", false}};
    EXPECT_EQ(PairTables(oldNames, newNames), expected);
}

// In a schema of its own, since other tests keep their tables in the database
// at the same time; psqlODBC lists every schema unless told one.
TEST(Catalog, ListsOnlyTablesOnPostgres)
{
    REQUIRE_TEST_DATA_SOURCES();
    rawodbc::Connection raw(testenv::kPostgres);
    raw.ExecAll({"DROP SCHEMA IF EXISTS cat_only CASCADE", "CREATE SCHEMA cat_only",
                 "CREATE TABLE cat_only.\"Customer\" (id INTEGER NOT NULL)",
                 "CREATE TABLE cat_only.\"Orders\" (id INTEGER NOT NULL)",
                 "CREATE VIEW cat_only.\"OldView\" AS SELECT id FROM cat_only.\"Customer\""});
    auto names = CatalogNames(testenv::kPostgres, "cat_only");
    EXPECT_EQ(names, (std::vector<std::string>{"Customer", "Orders"}));
    raw.Exec("DROP SCHEMA cat_only CASCADE");
}

TEST(Catalog, EmptyCatalogIsBofAndEof)
{
    REQUIRE_TEST_DATA_SOURCES();
    CDatabase db;
    ASSERT_TRUE(db.OpenDataSource(testenv::kSqliteCatalogOld));
    CTables tables(db);
    ASSERT_NO_THROW(tables.OpenCatalog(nullptr, nullptr, "no_table_of_this_name", "'TABLE'"));
    EXPECT_TRUE(tables.IsBOF());
    EXPECT_TRUE(tables.IsEOF());
}

std::string CaseNote(const std::string& names)
{
    return "not paired: the names " + names + " differ only in case";
}

// Exact names pair first; a name pairs across case only with the one name of
// its spelling on the other side, when it is the only one on its own side too.
// Whatever stays unpaired beside a name that differs only in case says so.
TEST(TablePairing, PairsExactNamesFirstAndAcrossCaseOnlyWhenUnambiguous)
{
    struct Case {
        const char* name;
        std::vector<std::string> oldNames, newNames;
        std::vector<TablePairRow> rows;
    };
    const std::string users = CaseNote("Users and users");
    const std::vector<Case> cases = {
        {"example", {"Customer", "Orders"}, {"CUSTOMER", "Region"},
         {{"Customer", "CUSTOMER", true}, {"Orders", "", false}, {"", "Region", false}}},
        {"one spelling on each side pairs across case", {"Orders"}, {"ORDERS"}, {{"Orders", "ORDERS", true}}},
        {"the exact name wins; the other old one stays", {"Users", "users"}, {"users"},
         {{"Users", "", false, users}, {"users", "users", true}}},
        {"each pairs with itself, whatever the catalog order", {"users", "Users"}, {"Users", "users"},
         {{"users", "users", true}, {"Users", "Users", true}}},
        {"two new spellings for one old name", {"Users"}, {"users", "USERS"},
         {{"Users", "", false, CaseNote("USERS, Users and users")},
          {"", "users", false, CaseNote("USERS, Users and users")},
          {"", "USERS", false, CaseNote("USERS, Users and users")}}},
        {"two old spellings for one new name", {"Users", "USERS"}, {"users"},
         {{"Users", "", false, CaseNote("USERS, Users and users")},
          {"USERS", "", false, CaseNote("USERS, Users and users")},
          {"", "users", false, CaseNote("USERS, Users and users")}}},
        {"what an exact pair leaves does not pair across case", {"Users", "users"}, {"USERS", "users"},
         {{"Users", "", false, CaseNote("USERS, Users and users")},
          {"users", "users", true},
          {"", "USERS", false, CaseNote("USERS, Users and users")}}},
        {"two new names differing in case: the exact one pairs", {"a"}, {"A", "a"},
         {{"a", "a", true}, {"", "A", false, CaseNote("A and a")}}},
        {"empty old side", {}, {"x", "y"}, {{"", "x", false}, {"", "y", false}}},
        {"empty new side", {"x"}, {}, {{"x", "", false}}},
        {"duplicate old names: the first matches", {"t", "T"}, {"t"},
         {{"t", "t", true}, {"T", "", false, CaseNote("T and t")}}},
        {"one name under two owners: the first matches, no note", {"t", "t"}, {"t"},
         {{"t", "t", true}, {"t", "", false}}},
        {"non-ASCII bytes compare exactly", {"\xC3\xA9t\xC3\xA9"}, {"\xC3\x89T\xC3\x89"},
         {{"\xC3\xA9t\xC3\xA9", "", false}, {"", "\xC3\x89T\xC3\x89", false}}},
        {"new-only rows follow in new catalog order", {"m"}, {"z", "M", "a"},
         {{"m", "M", true}, {"", "z", false}, {"", "a", false}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PairTables(c.oldNames, c.newNames), c.rows) << c.name;
}

TEST(TablePairing, FindOldTableRow)
{
    const std::vector<TablePairRow> rows = {
        {"", "x", false}, {"Abc", "", false}, {"abc", "", false}, {"Def", "DEF", true}, {"dEF", "", false}};
    struct Case {
        const char* name;
        int row;
    };
    const std::vector<Case> cases = {
        {"Abc", 1},   // exact
        {"abc", 2},   // exact, though Abc stands first
        {"ABC", -1},  // two rows differ from it only in case: neither
        {"def", 4},   // the row of Def is paired already
        {"x", -1},    // a new-only row is no old table
        {"", -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindOldTableRow(rows, c.name), c.row) << c.name;
}

} // namespace
