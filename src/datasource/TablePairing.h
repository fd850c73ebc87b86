#pragma once
// Pairs the tables of the old and the new data source by name (ASCII case
// folded) into the rows of the main dialog's table list.
#include <string>
#include <vector>

struct TablePairRow {
    std::string oldName;
    std::string newName;
    bool selected = false;

    bool operator==(const TablePairRow&) const = default;
};

// Every old name gets a row in catalog order; each new name fills column 1 of
// the first row whose old name matches it (and selects it), or gets a row of its own.
std::vector<TablePairRow> PairTables(const std::vector<std::string>& oldNames,
                                     const std::vector<std::string>& newNames);

// Index of the first of `rows` whose old name equals `name` without regard to
// ASCII case, or -1.
int FindOldTableRow(const std::vector<TablePairRow>& rows, const std::string& name);
