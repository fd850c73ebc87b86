#include "merge/ColumnPlacement.h"

#include "common/AsciiNoCase.h"

namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

std::string NameList(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text;
}

std::vector<std::string> NamesOf(const CColumnInfoArray& columns)
{
    std::vector<std::string> names;
    for (const ColumnInfo& column : columns)
        names.push_back(column.name);
    return names;
}

// The target column of that name: spelled the same, or, when none is, the one
// column that differs only in the case of ASCII letters.
std::size_t FindColumn(const CColumnInfoArray& target, const std::string& name)
{
    for (std::size_t i = 0; i < target.size(); ++i)
        if (target[i].name == name)
            return i;
    std::size_t found = kNone;
    for (std::size_t i = 0; i < target.size(); ++i) {
        if (!EqualsNoCase(target[i].name, name))
            continue;
        if (found != kNone)
            return kNone;
        found = i;
    }
    return found;
}

// The number of values of the table's rows, from any row; 0 without rows.
std::size_t ValueCount(const TableChanges& table)
{
    if (!table.adds.empty())
        return table.adds.front().size();
    if (!table.updates.empty())
        return table.updates.front().newRow.size();
    if (!table.deletes.empty())
        return table.deletes.front().size();
    return 0;
}

std::string BothLists(const TableChanges& table, const std::vector<std::string>& fileColumns,
                      const CColumnInfoArray& target)
{
    return "\nThe merge file has the columns: " + NameList(fileColumns) + "\nThe table " + table.name +
           " of the merge data source has: " + NameList(NamesOf(target));
}

} // namespace

ColumnPlacement PlaceColumns(const TableChanges& table, const CColumnInfoArray& target,
                             const std::vector<TargetColumn>& described)
{
    ColumnPlacement placement;
    if (table.columnNames.empty()) {
        const std::size_t values = ValueCount(table);
        if (values != 0 && values != target.size())
            placement.problem = "The merge file names no columns for the table " + table.name +
                                ", whose rows have " + std::to_string(values) +
                                " values, and the table of the merge data source has " +
                                std::to_string(target.size()) + " columns: the values cannot be placed." +
                                "\nThe table " + table.name + " of the merge data source has: " +
                                NameList(NamesOf(target));
        else
            placement.columns = target;
        return placement;
    }
    std::vector<bool> given(target.size(), false);
    std::vector<std::string> missing;
    for (const std::string& name : table.columnNames) {
        const std::size_t at = FindColumn(target, name);
        if (at == kNone || given[at]) {
            missing.push_back(name);
            continue;
        }
        given[at] = true;
        placement.columns.push_back(target[at]);
    }
    if (!missing.empty()) {
        placement.columns.clear();
        placement.problem = "The table " + table.name + " of the merge data source has no column " +
                            NameList(missing) + "." + BothLists(table, table.columnNames, target);
        return placement;
    }
    std::vector<std::string> required;
    for (std::size_t i = 0; i < target.size(); ++i) {
        if (given[i])
            continue;
        for (const TargetColumn& column : described)
            if (column.name == target[i].name && !column.nullable && !column.hasDefault)
                required.push_back(column.name);
    }
    if (!required.empty()) {
        placement.columns.clear();
        placement.problem = "The table " + table.name + " of the merge data source needs a value for " +
                            NameList(required) + " (NOT NULL without a default), which the merge file does not give." +
                            BothLists(table, table.columnNames, target);
    }
    return placement;
}
