#include "merge/ChangeSet.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "TestRows.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;
using mergetest::Q;
using mergetest::U;

CRowArray RowsOf(const Rows& rows)
{
    CRowArray out;
    for (const auto& texts : rows) {
        CRowValues row;
        for (const auto& t : texts)
            row.Add(t);
        out.push_back(row);
    }
    return out;
}

TableChanges Table(const Rows& oldRows, const Rows& newRows, std::vector<std::int32_t> keys,
                   const std::string& name = "T")
{
    TableChanges table;
    table.name = name;
    table.spelledName = "[" + name + "]";
    table.keyColumns = std::move(keys);
    table.deletes = RowsOf(oldRows);
    table.adds = RowsOf(newRows);
    return table;
}

// The pairs as rows: old, new, old, new, ...
Rows PairTexts(const TableChanges& table)
{
    Rows texts;
    for (const RowPair& pair : table.updates) {
        texts.push_back(pair.oldRow.Texts());
        texts.push_back(pair.newRow.Texts());
    }
    return texts;
}

struct KeysCase {
    const char* name;
    std::vector<std::string> oldRow;
    std::vector<std::int32_t> keys;
    std::vector<std::string> newRow;
    bool match;
};

// Whether an old and a new row pair is decided by their key columns' texts alone.
TEST(BuildUpdates, PairsRowsByTheExactTextsOfTheirKeyColumns)
{
    const std::vector<KeysCase> cases = {
        {"equal key", {"1", "a"}, {0}, {"1", "b"}, true},
        {"different key", {"1", "a"}, {0}, {"2", "a"}, false},
        {"empty key list matches nothing", {"1"}, {}, {"1"}, false},
        {"negative index", {"1"}, {-1}, {"1"}, false},
        {"index beyond the old row", {"1"}, {1}, {"1", "x"}, false},
        {"index beyond the new row", {"1", "x"}, {1}, {"1"}, false},
        {"two columns equal", {"1", "2", "a"}, {0, 1}, {"1", "2", "b"}, true},
        {"second key column differs", {"1", "2"}, {0, 1}, {"1", "3"}, false},
        {"numbers compared as text", {"10"}, {0}, {"10.0"}, false},
        {"case matters", {"abc"}, {0}, {"ABC"}, false},
        {"blanks matter", {"a "}, {0}, {"a"}, false},
        {"non-key columns play no part", {"1", "x", "y"}, {0}, {"1", "p", "q"}, true},
    };
    for (const auto& c : cases) {
        TableChanges table = Table({c.oldRow}, {c.newRow}, c.keys);
        BuildUpdates(table);
        EXPECT_EQ(table.updates.size(), c.match ? 1u : 0u) << c.name;
        EXPECT_EQ(table.deletes.size() + table.updates.size(), 1u) << c.name;
        EXPECT_EQ(table.adds.size() + table.updates.size(), 1u) << c.name;
    }
}

TEST(BuildUpdates, TheTextNullPairsWithSqlNullAsText)
{
    // Keys are compared by text alone; key columns cannot hold SQL NULL anyway.
    TableChanges table;
    table.keyColumns = {0};
    table.deletes = {mergetest::Row({Q("NULL"), U("1")})};
    table.adds = {mergetest::Row({U("NULL"), U("2")})};
    BuildUpdates(table);
    EXPECT_EQ(table.updates.size(), 1u);
}

struct PairingCase {
    const char* name;
    std::vector<std::int32_t> keys;
    Rows oldRows;
    Rows newRows;
    Rows updates;  // old, new, old, new, ...
    Rows deletes;
    Rows adds;
};

TEST(BuildUpdates, PairsRowsWithEqualKeys)
{
    const std::vector<PairingCase> cases = {
        {"changed row becomes an update", {0}, {{"1", "a"}}, {{"1", "b"}}, {{"1", "a"}, {"1", "b"}}, {}, {}},
        {"changed key is a delete and an add", {0}, {{"1", "a"}}, {{"2", "a"}}, {}, {{"1", "a"}}, {{"2", "a"}}},
        {"empty key list gives no updates", {}, {{"1", "a"}}, {{"1", "b"}}, {}, {{"1", "a"}}, {{"1", "b"}}},
        {"key index out of range", {5}, {{"1", "a"}}, {{"1", "b"}}, {}, {{"1", "a"}}, {{"1", "b"}}},
        {"first of two old rows with one key pairs", {0},
         {{"1", "a"}, {"1", "b"}}, {{"1", "c"}},
         {{"1", "a"}, {"1", "c"}}, {{"1", "b"}}, {}},
        {"first of two new rows with one key pairs", {0},
         {{"1", "a"}}, {{"1", "b"}, {"1", "c"}},
         {{"1", "a"}, {"1", "b"}}, {}, {{"1", "c"}}},
        {"identical rows pair into an update", {0}, {{"1", "a"}}, {{"1", "a"}}, {{"1", "a"}, {"1", "a"}}, {}, {}},
        {"pairs in the order of the new rows", {0},
         {{"1", "a"}, {"2", "b"}, {"3", "c"}}, {{"3", "z"}, {"4", "n"}, {"1", "x"}},
         {{"3", "c"}, {"3", "z"}, {"1", "a"}, {"1", "x"}}, {{"2", "b"}}, {{"4", "n"}}},
        {"two key columns", {0, 1},
         {{"1", "1", "a"}, {"1", "2", "b"}}, {{"1", "2", "x"}, {"2", "1", "y"}},
         {{"1", "2", "b"}, {"1", "2", "x"}}, {{"1", "1", "a"}}, {{"2", "1", "y"}}},
        {"short rows never match", {1}, {{"1"}, {"1", "k"}}, {{"1"}, {"2", "k"}},
         {{"1", "k"}, {"2", "k"}}, {{"1"}}, {{"1"}}},
    };
    for (const auto& c : cases) {
        TableChanges table = Table(c.oldRows, c.newRows, c.keys);
        table.updates = {RowPair{mergetest::Row({U("stale")}), mergetest::Row({U("stale")})}};
        BuildUpdates(table);
        EXPECT_EQ(PairTexts(table), c.updates) << c.name;
        EXPECT_EQ(mergetest::Texts(table.deletes), c.deletes) << c.name;
        EXPECT_EQ(mergetest::Texts(table.adds), c.adds) << c.name;
        EXPECT_EQ(table.spelledName, "[T]") << c.name;
        EXPECT_EQ(table.keyColumns, c.keys) << c.name;
    }
}

TEST(BuildUpdates, KeepsTablesApart)
{
    TableChangesArray tables{Table({{"1", "a"}}, {{"1", "x"}}, {0}, "A"), Table({}, {}, {0}, "B"),
                             Table({{"1", "x"}}, {{"2", "y"}}, {0}, "C")};
    BuildUpdates(tables);
    ASSERT_EQ(tables.size(), 3u);
    EXPECT_EQ(tables[0].updates.size(), 1u);
    EXPECT_TRUE(tables[1].updates.empty());
    EXPECT_TRUE(tables[2].updates.empty());
    EXPECT_EQ(tables[2].deletes.size(), 1u);
    EXPECT_EQ(tables[2].adds.size(), 1u);
}

// The reference: whether two rows agree, byte for byte, on every key column;
// an empty key list, a negative index or one beyond either row never matches.
bool KeysMatch(const CRowValues& oldRow, const std::vector<std::int32_t>& keyColumns, const CRowValues& newRow)
{
    if (keyColumns.empty())
        return false;
    for (const std::int32_t x : keyColumns) {
        if (x < 0)
            return false;
        const auto i = static_cast<std::size_t>(x);
        if (i >= oldRow.size() || i >= newRow.size() || oldRow[i] != newRow[i])
            return false;
    }
    return true;
}

// The pairing as a nested scan over the rows: for each new row in turn, the
// first old row whose key matches; paired rows leave both lists at once.
void QuadraticBuildUpdates(TableChanges& table)
{
    table.updates.clear();
    CRowArray& oldRows = table.deletes;
    CRowArray& newRows = table.adds;
    std::size_t j = 0;
    while (j < newRows.size()) {
        bool found = false;
        for (std::size_t k = 0; k < oldRows.size(); ++k) {
            if (KeysMatch(oldRows[k], table.keyColumns, newRows[j])) {
                table.updates.push_back({oldRows[k], newRows[j]});
                oldRows.erase(oldRows.begin() + static_cast<std::ptrdiff_t>(k));
                newRows.erase(newRows.begin() + static_cast<std::ptrdiff_t>(j));
                found = true;
                break;
            }
        }
        if (!found)
            ++j;
    }
}

CRowArray RandomRows(std::mt19937& random)
{
    CRowArray table;
    const int rows = std::uniform_int_distribution<int>(0, 40)(random);
    for (int r = 0; r < rows; ++r) {
        CRowValues row;
        // Mostly three fields; sometimes fewer, so that some key indexes fall outside.
        const int fields = std::uniform_int_distribution<int>(0, 9)(random) == 0 ? 1 : 3;
        for (int f = 0; f < fields; ++f) {
            const int value = std::uniform_int_distribution<int>(0, f < 2 ? 3 : 99)(random);
            row.Add(value == 3 ? std::string("a\0b", 3) : std::to_string(value), value == 2);
        }
        table.push_back(row);
    }
    return table;
}

TEST(BuildUpdates, GivesTheSameResultAsTheNestedScanOnRandomTables)
{
    std::mt19937 random(20240611);
    const std::vector<std::vector<std::int32_t>> keyLists = {{0}, {0, 1}, {1}, {1, 0}, {}, {-1}, {0, 2}, {0, 5}, {0, 1, 0}};
    for (int round = 0; round < 400; ++round) {
        TableChangesArray tables;
        const int count = std::uniform_int_distribution<int>(1, 3)(random);
        for (int t = 0; t < count; ++t) {
            TableChanges table;
            table.spelledName = "[R]";
            table.keyColumns = keyLists[std::uniform_int_distribution<std::size_t>(0, keyLists.size() - 1)(random)];
            table.deletes = RandomRows(random);
            table.adds = RandomRows(random);
            tables.push_back(std::move(table));
        }
        TableChangesArray expected = tables;
        for (TableChanges& table : expected)
            QuadraticBuildUpdates(table);
        BuildUpdates(tables);
        ASSERT_EQ(tables.size(), expected.size()) << "round " << round;
        for (std::size_t i = 0; i < tables.size(); ++i) {
            ASSERT_EQ(PairTexts(tables[i]), PairTexts(expected[i])) << "round " << round << " table " << i;
            for (std::size_t k = 0; k < tables[i].updates.size(); ++k) {
                ASSERT_EQ(tables[i].updates[k].oldRow, expected[i].updates[k].oldRow);
                ASSERT_EQ(tables[i].updates[k].newRow, expected[i].updates[k].newRow);
            }
            ASSERT_EQ(tables[i].deletes, expected[i].deletes) << "round " << round << " table " << i;
            ASSERT_EQ(tables[i].adds, expected[i].adds) << "round " << round << " table " << i;
        }
    }
}

TEST(ChangeSummary, CountsRowsToAddUpdateAndDelete)
{
    const TableChanges none = Table({}, {}, {0});
    TableChanges some = Table({{"1"}, {"2"}, {"3"}}, {{"4"}, {"5"}}, {0});
    some.updates = {RowPair{mergetest::Row({U("6"), U("a")}), mergetest::Row({U("6"), U("b")})}};
    EXPECT_EQ(ChangeSummary(none), "No Changes");
    EXPECT_EQ(ChangeSummary(some), "2 to add, 1 to update, 3 to delete");
    const ChangeCounts counts = CountChanges(some);
    EXPECT_EQ(counts.toAdd, 2);
    EXPECT_EQ(counts.toUpdate, 1);
    EXPECT_EQ(counts.toDelete, 3);
    EXPECT_EQ(ChangeSummary(ChangeCounts{0, 1, 0}), "0 to add, 1 to update, 0 to delete");
}

TEST(KeyDescription, NamesTheColumnsThatFindTheRows)
{
    TableChanges table;
    table.keyColumns = {0, 2};
    table.columnNames = {"id", "name", "branch"};
    EXPECT_EQ(KeyDescription(table), "id, branch");
    table.columnNames.clear();
    EXPECT_EQ(KeyDescription(table), "columns 1, 3 (by position)");
    table.keyColumns.clear();
    EXPECT_EQ(KeyDescription(table), "all columns");
}

} // namespace
