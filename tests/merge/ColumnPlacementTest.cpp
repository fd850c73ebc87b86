#include "merge/ColumnPlacement.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestRows.h"

namespace {

using mergetest::Column;
using mergetest::U;

std::vector<std::string> Names(const CColumnInfoArray& columns)
{
    std::vector<std::string> names;
    for (const ColumnInfo& column : columns)
        names.push_back(column.name);
    return names;
}

TableChanges Table(std::vector<std::string> columnNames, std::size_t values)
{
    TableChanges table;
    table.name = "t";
    table.spelledName = "[t]";
    table.columnNames = std::move(columnNames);
    CRowValues row;
    for (std::size_t i = 0; i < values; ++i)
        row.Add(std::to_string(i));
    table.adds.push_back(row);
    return table;
}

struct PlacementCase {
    const char* name;
    std::vector<std::string> fileColumns;  // empty: a file written before columns were named
    std::size_t values;
    std::vector<TargetColumn> target;
    std::vector<std::string> placed;  // the target's names, one per value; empty when refused
    std::string says;                 // part of the problem when refused
};

TEST(PlaceColumns, PutsEveryValueInTheColumnOfItsName)
{
    const std::vector<PlacementCase> cases = {
        {"same order", {"id", "name"}, 2, {{"id", false, false}, {"name", true, false}}, {"id", "name"}, ""},
        {"another order", {"id", "name", "email"}, 3,
         {{"email", true, false}, {"id", false, false}, {"name", false, false}}, {"id", "name", "email"}, ""},
        {"a name in another case", {"ID", "Name"}, 2, {{"id", false, false}, {"name", true, false}},
         {"id", "name"}, ""},
        {"an extra nullable column", {"id"}, 1, {{"id", false, false}, {"note", true, false}}, {"id"}, ""},
        {"an extra column with a default", {"id"}, 1, {{"id", false, false}, {"made", false, true}}, {"id"}, ""},
        {"a column the target lacks", {"id", "gone"}, 2, {{"id", false, false}}, {},
         "has no column gone.\nThe merge file has the columns: id, gone\nThe table t of the merge data source "
         "has: id"},
        {"a column that must be given", {"id"}, 1, {{"id", false, false}, {"must", false, false}}, {},
         "needs a value for must (NOT NULL without a default)"},
        {"a file without names, counts equal", {}, 2, {{"a", false, false}, {"b", true, false}}, {"a", "b"}, ""},
        {"a file without names, counts differ", {}, 2, {{"a", false, false}}, {},
         "names no columns for the table t, whose rows have 2 values, and the table of the merge data source has "
         "1 columns"},
    };
    for (const auto& c : cases) {
        CColumnInfoArray target;
        for (const TargetColumn& column : c.target)
            target.push_back(Column(column.name, 12));
        const ColumnPlacement placement = PlaceColumns(Table(c.fileColumns, c.values), target, c.target);
        EXPECT_EQ(Names(placement.columns), c.placed) << c.name;
        EXPECT_EQ(placement.Placed(), c.says.empty()) << c.name;
        EXPECT_NE(placement.problem.find(c.says), std::string::npos) << c.name << ": " << placement.problem;
    }
}

} // namespace
