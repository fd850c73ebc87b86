#include "merge/TableStatements.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestRows.h"

namespace {

using mergetest::Q;
using mergetest::U;

using mergetest::Column;

CTableRows Table(const std::string& spelledName, std::vector<std::int32_t> keys, std::vector<CRowValues> rows)
{
    CTableRows table;
    table.m_strTable = spelledName;
    table.m_keyColumns = std::move(keys);
    for (CRowValues& row : rows)
        table.push_back(std::move(row));
    return table;
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
        {"single closing bracket inside", "[a]b]", "v", {0}, false, false},
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
        const CTableRows oldRows = Table(c.spelledTable, c.keys, {mergetest::Row({U("2"), Q("gone")})});
        const CTableRows newRows = Table(c.spelledTable, c.keys, {mergetest::Row({U("3"), Q("new")})});
        const CTableRows pairs =
            Table(c.spelledTable, c.keys, {mergetest::Row({U("1"), Q("a")}), mergetest::Row({U("1"), Q("b")})});
        std::vector<GeneratedStatement> statements;
        AppendTableStatements(columns, facts, oldRows, newRows, pairs, statements);
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
    const CTableRows none = Table("[T]", {0}, {});
    std::vector<GeneratedStatement> statements;
    AppendTableStatements(columns, facts, none, Table("[T]", {0}, {mergetest::Row({U("1"), Q("x")})}), none,
                          statements);
    ASSERT_EQ(statements.size(), 1u);
    EXPECT_NE(statements[0].problem.find("[v"), std::string::npos) << statements[0].problem;

    statements.clear();
    const CTableRows badKeys = Table("[T]", {0, 7}, {mergetest::Row({U("1"), Q("x")})});
    AppendTableStatements({Column("id", 4), Column("v", 12)}, facts, badKeys, none, none, statements);
    ASSERT_EQ(statements.size(), 1u);
    EXPECT_NE(statements[0].problem.find("[T]"), std::string::npos) << statements[0].problem;
}

} // namespace
