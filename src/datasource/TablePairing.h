#pragma once
// Pairs the tables of the old and the new data source by name into the rows
// of the main dialog's table list. Names that match exactly pair first; names
// that differ only in ASCII case pair only where nothing else could be meant.
#include <string>
#include <vector>

struct TablePairRow {
    std::string oldName;
    std::string newName;
    bool selected = false;
    // Why a table was left without a partner that a name differing only in
    // case might have given it ("not paired: the names Users and users differ
    // only in case"); empty for every other row.
    std::string note = {};

    bool operator==(const TablePairRow&) const = default;
    // The row's table: its old name, else its new one.
    const std::string& Name() const { return oldName.empty() ? newName : oldName; }
};

// Every old name gets a row in catalog order. A new name fills column 1 of the
// row of the same old name (and selects it); else, of the old name that
// differs from it only in case when that name is the only one of its spelling
// on the old side and the new name the only one on the new side; else it gets
// a row of its own, after the old rows in new catalog order. A row left
// without a partner whose name differs only in case from another name of
// either side carries a note naming them all.
std::vector<TablePairRow> PairTables(const std::vector<std::string>& oldNames,
                                     const std::vector<std::string>& newNames);

// Index of the row that the new table `name` pairs with: the first row not
// yet paired whose old name equals `name`; else the one row not yet paired
// whose old name equals it ignoring ASCII case, when exactly one does; else -1.
// Whether the new side holds other names of that spelling is the caller's
// question (PairTables asks it).
int FindOldTableRow(const std::vector<TablePairRow>& rows, const std::string& name);
