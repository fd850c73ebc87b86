#include <gtest/gtest.h>

#include <algorithm>

#include "RawOdbc.h"
#include "TestEnv.h"
#include "datasource/CDatabase.h"
#include "datasource/CTables.h"
#include "datasource/TablePairing.h"

namespace {

std::vector<std::string> CatalogNames(const char* dsn)
{
    CDatabase db;
    EXPECT_TRUE(db.OpenDataSource(dsn));
    CTables tables(db);
    std::vector<std::string> names;
    tables.OpenCatalog(nullptr, nullptr, nullptr, "'TABLE'");
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

TEST(Catalog, ListsOnlyTablesOnPostgres)
{
    REQUIRE_TEST_DATA_SOURCES();
    rawodbc::Connection raw(testenv::kPostgresCatalog);
    DropAll(raw, {"Customer", "Orders", "CUSTOMER", "Region"}, "OldView");
    raw.ExecIgnoringErrors("DROP VIEW \"NewView\"");
    raw.Exec("CREATE TABLE \"Customer\" (id INTEGER NOT NULL)");
    raw.Exec("CREATE TABLE \"Orders\" (id INTEGER NOT NULL)");
    raw.Exec("CREATE VIEW \"OldView\" AS SELECT id FROM \"Customer\"");
    auto names = CatalogNames(testenv::kPostgresCatalog);
    EXPECT_EQ(names, (std::vector<std::string>{"Customer", "Orders"}));
    DropAll(raw, {"Customer", "Orders"}, "OldView");
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

TEST(TablePairing, PairsByNameWithoutRegardToAsciiCase)
{
    struct Case {
        const char* name;
        std::vector<std::string> oldNames, newNames;
        std::vector<TablePairRow> rows;
    };
    const std::vector<Case> cases = {
        {"example", {"Customer", "Orders"}, {"CUSTOMER", "Region"},
         {{"Customer", "CUSTOMER", true}, {"Orders", "", false}, {"", "Region", false}}},
        {"two new names differing in case: the later overwrites", {"a"}, {"A", "a"}, {{"a", "a", true}}},
        {"empty old side", {}, {"x", "y"}, {{"", "x", false}, {"", "y", false}}},
        {"empty new side", {"x"}, {}, {{"x", "", false}}},
        {"duplicate old names: the first matches", {"t", "T"}, {"t"}, {{"t", "t", true}, {"T", "", false}}},
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
    const std::vector<TablePairRow> rows = {{"", "x", false}, {"Abc", "", false}, {"abc", "", false}};
    EXPECT_EQ(FindOldTableRow(rows, "ABC"), 1);
    EXPECT_EQ(FindOldTableRow(rows, "x"), -1);
    EXPECT_EQ(FindOldTableRow(rows, ""), 0);
}

} // namespace
