#include "merge/TableStatements.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestRows.h"
#include "common/MergeFileLayout.h"

namespace {

using mergetest::Q;
using mergetest::U;

using mergetest::Column;

// A table as the reader makes it from a head that spells its name so.
TableChanges Table(const std::string& spelledName, std::vector<std::int32_t> keys, CRowArray deletes,
                   CRowArray adds = {}, std::vector<RowPair> updates = {})
{
    TableChanges table;
    const MergeFileLayout::SectionHeadFields head =
        MergeFileLayout::ParseSectionHead(std::string(MergeFileLayout::kHeadStart.substr(0, 6)) + spelledName);
    table.spelledName = head.spelledName;
    table.name = head.name;
    table.keyColumns = std::move(keys);
    table.deletes = std::move(deletes);
    table.adds = std::move(adds);
    table.updates = std::move(updates);
    return table;
}

// Inserts, updates, deletes: the order a table's statements run in when no
// foreign key orders them.
std::vector<GeneratedStatement> All(const TableStatementSet& set)
{
    std::vector<GeneratedStatement> all = set.inserts;
    all.insert(all.end(), set.updates.begin(), set.updates.end());
    all.insert(all.end(), set.deletes.begin(), set.deletes.end());
    return all;
}

struct NameCase {
    const char* name;
    std::string spelledTable;
    std::string secondColumn;
    std::vector<std::int32_t> keys;
    bool insertRuns;
    bool updateAndDeleteRun;
};

// Only a name that stays inside its quotes and a key list that names every key
// column of the condition give statements that are sent; the others keep their
// text for the user and say why they are not.
TEST(TableStatements, StatementsThatWouldLeaveTheirNamesOrKeysAreNotSent)
{
    const std::vector<NameCase> cases = {
        {"plain names", "[T]", "v", {0}, true, true},
        {"closing bracket doubled", "[we]]ird]", "v", {0}, true, true},
        {"opening bracket inside", "[br[ack]]et]", "v", {0}, true, true},
        // A head written before "]" was doubled names the table a]b, which
        // goes into the statements with its bracket as any other name.
        {"single closing bracket inside", "[a]b]", "v", {0}, true, true},
        {"no closing bracket", "[Log", "v", {0}, false, false},
        {"table name beginning with a bracket", "[[x]", "v", {0}, false, false},
        {"column name beginning with a bracket", "[T]", "[v", {0}, false, false},
        {"column name with a bracket later", "[T]", "v[", {0}, true, true},
        {"keys not ascending", "[T]", "v", {1, 0}, true, false},
        {"key beyond the columns", "[T]", "v", {0, 2}, true, false},
        {"negative key", "[T]", "v", {-1}, true, false},
        {"key named twice", "[T]", "v", {0, 0}, true, false},
    };
    const SqlLiteralFacts facts = SqlLiteralFacts::ForDriver("sqlite3odbc.so", "\"", "SQLite");
    for (const auto& c : cases) {
        const CColumnInfoArray columns = {Column("id", 4), Column(c.secondColumn, 12)};
        const TableChanges table =
            Table(c.spelledTable, c.keys, {mergetest::Row({U("2"), Q("gone")})}, {mergetest::Row({U("3"), Q("new")})},
                  {RowPair{mergetest::Row({U("1"), Q("a")}), mergetest::Row({U("1"), Q("b")})}});
        const std::vector<GeneratedStatement> statements = All(MakeTableStatements(columns, facts, table));
        ASSERT_EQ(statements.size(), 3u) << c.name;
        EXPECT_EQ(statements[0].Complete(), c.insertRuns) << c.name << ": " << statements[0].text;
        EXPECT_EQ(statements[1].Complete(), c.updateAndDeleteRun) << c.name << ": " << statements[1].text;
        EXPECT_EQ(statements[2].Complete(), c.updateAndDeleteRun) << c.name << ": " << statements[2].text;
        for (const GeneratedStatement& statement : statements)
            EXPECT_FALSE(statement.text.empty()) << c.name;
    }
}

TEST(TableStatements, AProblemNamesTheTableOrColumn)
{
    const SqlLiteralFacts facts = SqlLiteralFacts::ForDriver("psqlodbcw.so", "\"", "PostgreSQL");
    const CColumnInfoArray columns = {Column("id", 4), Column("[v", 12)};
    std::vector<GeneratedStatement> statements =
        All(MakeTableStatements(columns, facts, Table("[T]", {0}, {}, {mergetest::Row({U("1"), Q("x")})})));
    ASSERT_EQ(statements.size(), 1u);
    EXPECT_NE(statements[0].problem.find("[v"), std::string::npos) << statements[0].problem;

    const TableChanges badKeys = Table("[T]", {0, 7}, {mergetest::Row({U("1"), Q("x")})});
    statements = All(MakeTableStatements({Column("id", 4), Column("v", 12)}, facts, badKeys));
    ASSERT_EQ(statements.size(), 1u);
    EXPECT_NE(statements[0].problem.find("table T "), std::string::npos) << statements[0].problem;
}

// The statements name the table by its name, not by the head's spelling:
// the head's doubled bracket is the file's rule, the quotes the data source's.
TEST(TableStatements, NameTheTableInTheDataSourcesQuotes)
{
    const SqlLiteralFacts sqlite = SqlLiteralFacts::ForDriver("sqlite3odbc.so", "\"", "SQLite");
    const SqlLiteralFacts maria = SqlLiteralFacts::ForDriver("libmaodbc.so", "\"", "MariaDB");
    struct Case {
        std::string spelled;
        const SqlLiteralFacts* facts;
        std::string insert;
    };
    const std::vector<Case> cases = {
        {"[we]]ird]", &sqlite, "INSERT INTO \"we]ird\" (\"id\") VALUES (1)"},
        {"[a]b]", &sqlite, "INSERT INTO \"a]b\" (\"id\") VALUES (1)"},
        {"[q\"u`o;te's]", &sqlite, "INSERT INTO \"q\"\"u`o;te's\" (\"id\") VALUES (1)"},
        {"[q\"u`o;te's]", &maria, "INSERT INTO `q\"u``o;te's` (`id`) VALUES (1)"},
    };
    for (const auto& c : cases) {
        const TableStatementSet set =
            MakeTableStatements({Column("id", 4)}, *c.facts, Table(c.spelled, {0}, {}, {mergetest::Row({U("1")})}));
        ASSERT_EQ(set.inserts.size(), 1u) << c.spelled;
        EXPECT_EQ(set.inserts[0].text, c.insert) << c.spelled;
        EXPECT_TRUE(set.inserts[0].Complete()) << c.spelled << ": " << set.inserts[0].problem;
    }
}

TEST(TableStatements, FollowTheRowOrdersGiven)
{
    const SqlLiteralFacts facts = SqlLiteralFacts::ForDriver("sqlite3odbc.so", "\"", "SQLite");
    const CColumnInfoArray columns = {Column("id", 4)};
    const TableChanges table = Table("[T]", {0}, {mergetest::Row({U("1")}), mergetest::Row({U("2")})},
                                     {mergetest::Row({U("3")}), mergetest::Row({U("4")})});
    RowOrders orders;
    orders.adds = {1, 0};
    orders.deletes = {1, 0};
    const TableStatementSet set = MakeTableStatements(columns, facts, table, orders);
    ASSERT_EQ(set.inserts.size(), 2u);
    EXPECT_EQ(set.inserts[0].text, "INSERT INTO \"T\" (\"id\") VALUES (4)");
    EXPECT_EQ(set.inserts[1].text, "INSERT INTO \"T\" (\"id\") VALUES (3)");
    ASSERT_EQ(set.deletes.size(), 2u);
    EXPECT_EQ(set.deletes[0].text, "DELETE FROM \"T\" WHERE \"id\"=2");
    EXPECT_EQ(set.deletes[1].text, "DELETE FROM \"T\" WHERE \"id\"=1");
}

} // namespace
