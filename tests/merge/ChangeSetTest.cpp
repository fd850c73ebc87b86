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

CTableRows Table(const Rows& rows, std::vector<std::int32_t> keys, const std::string& name = "[T]")
{
    CTableRows table;
    for (const auto& texts : rows) {
        CRowValues row;
        for (const auto& t : texts)
            row.Add(t);
        table.push_back(row);
    }
    table.m_strTable = name;
    table.m_keyColumns = std::move(keys);
    return table;
}

struct KeysCase {
    const char* name;
    std::vector<std::string> oldRow;
    std::vector<std::int32_t> keys;
    std::vector<std::string> newRow;
    bool match;
};

TEST(KeysMatch, ComparesTheKeyColumnsAsExactTexts)
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
        CRowValues oldRow, newRow;
        for (const auto& t : c.oldRow)
            oldRow.Add(t);
        for (const auto& t : c.newRow)
            newRow.Add(t);
        EXPECT_EQ(KeysMatch(oldRow, c.keys, newRow), c.match) << c.name;
    }
}

TEST(KeysMatch, TheTextNullMatchesSqlNullAsText)
{
    // Keys are compared by text alone; key columns cannot hold SQL NULL anyway.
    EXPECT_TRUE(KeysMatch(mergetest::Row({Q("NULL"), U("1")}), {0}, mergetest::Row({U("NULL"), U("2")})));
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
        CTableRowsArray deletes{Table(c.oldRows, c.keys)};
        CTableRowsArray adds{Table(c.newRows, c.keys)};
        CTableRowsArray updates{Table({{"stale"}}, {})};
        BuildUpdates(deletes, adds, updates);
        ASSERT_EQ(updates.size(), 1u) << c.name;
        EXPECT_EQ(mergetest::Texts(updates[0]), c.updates) << c.name;
        EXPECT_EQ(mergetest::Texts(deletes[0]), c.deletes) << c.name;
        EXPECT_EQ(mergetest::Texts(adds[0]), c.adds) << c.name;
        EXPECT_TRUE(updates[0].m_strTable.empty()) << c.name;
        EXPECT_TRUE(updates[0].m_keyColumns.empty()) << c.name;
        EXPECT_EQ(deletes[0].m_strTable, "[T]") << c.name;
        EXPECT_EQ(deletes[0].m_keyColumns, c.keys) << c.name;
    }
}

TEST(BuildUpdates, GivesOneEntryPerTableAndKeepsTablesApart)
{
    CTableRowsArray deletes{Table({{"1", "a"}}, {0}, "[A]"), Table({}, {0}, "[B]"), Table({{"1", "x"}}, {0}, "[C]")};
    CTableRowsArray adds{Table({{"1", "x"}}, {0}, "[A]"), Table({}, {0}, "[B]"), Table({{"2", "y"}}, {0}, "[C]")};
    CTableRowsArray updates;
    BuildUpdates(deletes, adds, updates);
    ASSERT_EQ(updates.size(), 3u);
    EXPECT_EQ(updates[0].size(), 2u);
    EXPECT_TRUE(updates[1].empty());
    EXPECT_TRUE(updates[2].empty());
    EXPECT_EQ(deletes[2].size(), 1u);
    EXPECT_EQ(adds[2].size(), 1u);
}

TEST(BuildUpdates, ToleratesFewerAddTablesThanDeleteTables)
{
    CTableRowsArray deletes{Table({{"1"}}, {0}), Table({{"2"}}, {0})};
    CTableRowsArray adds{Table({{"1"}}, {0})};
    CTableRowsArray updates;
    BuildUpdates(deletes, adds, updates);
    ASSERT_EQ(updates.size(), 2u);
    EXPECT_EQ(updates[0].size(), 2u);
    EXPECT_TRUE(updates[1].empty());
    EXPECT_EQ(deletes[1].size(), 1u);
}

// The pairing as a nested scan over the rows: for each new row in turn, the
// first old row whose key matches; paired rows leave both lists at once.
void QuadraticBuildUpdates(CTableRowsArray& deleteTables, CTableRowsArray& addTables, CTableRowsArray& updateTables)
{
    updateTables.clear();
    for (std::size_t i = 0; i < deleteTables.size(); ++i) {
        CTableRows scratch;
        CTableRows& oldRows = deleteTables[i];
        CTableRows& newRows = addTables[i];
        std::size_t j = 0;
        while (j < newRows.size()) {
            bool found = false;
            for (std::size_t k = 0; k < oldRows.size(); ++k) {
                if (KeysMatch(oldRows[k], oldRows.m_keyColumns, newRows[j])) {
                    scratch.push_back(oldRows[k]);
                    scratch.push_back(newRows[j]);
                    oldRows.erase(oldRows.begin() + static_cast<std::ptrdiff_t>(k));
                    newRows.erase(newRows.begin() + static_cast<std::ptrdiff_t>(j));
                    found = true;
                    break;
                }
            }
            if (!found)
                ++j;
        }
        updateTables.push_back(scratch);
    }
}

CTableRows RandomTable(std::mt19937& random, const std::vector<std::int32_t>& keys)
{
    CTableRows table;
    table.m_strTable = "[R]";
    table.m_keyColumns = keys;
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
        CTableRowsArray deletes, adds;
        const int tables = std::uniform_int_distribution<int>(1, 3)(random);
        for (int t = 0; t < tables; ++t) {
            const auto& keys = keyLists[std::uniform_int_distribution<std::size_t>(0, keyLists.size() - 1)(random)];
            deletes.push_back(RandomTable(random, keys));
            adds.push_back(RandomTable(random, keys));
        }
        CTableRowsArray expectedDeletes = deletes, expectedAdds = adds, expectedUpdates;
        QuadraticBuildUpdates(expectedDeletes, expectedAdds, expectedUpdates);
        CTableRowsArray updates;
        BuildUpdates(deletes, adds, updates);
        ASSERT_EQ(updates.size(), expectedUpdates.size()) << "round " << round;
        for (std::size_t i = 0; i < updates.size(); ++i) {
            ASSERT_EQ(static_cast<const CRowArray&>(updates[i]), static_cast<const CRowArray&>(expectedUpdates[i]))
                << "round " << round << " table " << i;
            ASSERT_EQ(static_cast<const CRowArray&>(deletes[i]), static_cast<const CRowArray&>(expectedDeletes[i]))
                << "round " << round << " table " << i;
            ASSERT_EQ(static_cast<const CRowArray&>(adds[i]), static_cast<const CRowArray&>(expectedAdds[i]))
                << "round " << round << " table " << i;
        }
    }
}

TEST(ChangeSummary, CountsRowsToAddUpdateAndDelete)
{
    CTableRowsArray deletes{Table({}, {0}), Table({{"1"}, {"2"}, {"3"}}, {0})};
    CTableRowsArray adds{Table({}, {0}), Table({{"4"}, {"5"}}, {0})};
    CTableRowsArray updates{Table({}, {}), Table({{"6", "a"}, {"6", "b"}}, {})};
    EXPECT_EQ(ChangeSummary(deletes, adds, updates, 0), "No Changes");
    EXPECT_EQ(ChangeSummary(deletes, adds, updates, 1), "2 to add, 1 to update, 3 to delete");
    const ChangeCounts counts = CountChanges(deletes, adds, updates, 1);
    EXPECT_EQ(counts.toAdd, 2);
    EXPECT_EQ(counts.toUpdate, 1);
    EXPECT_EQ(counts.toDelete, 3);
    EXPECT_EQ(ChangeSummary(ChangeCounts{0, 1, 0}), "0 to add, 1 to update, 0 to delete");
}

} // namespace
