#pragma once
// Where the values of a table's rows go in the merge data source's table. A
// merge file that names its columns places each value by its column's name,
// whatever order the target keeps its columns in; one written before is read
// by position, and only when the target has as many columns as the rows have
// values.
#include <string>
#include <vector>

#include "datasource/TableCatalog.h"
#include "merge/TableChanges.h"

struct ColumnPlacement {
    // One per value of the table's rows, in row order: the target's column
    // that takes it, with the target's name and type.
    CColumnInfoArray columns;
    // Why the values cannot be placed, naming both column lists; empty when they can.
    std::string problem;

    bool Placed() const { return problem.empty(); }
};

// `target` are the target table's result columns; `described` tells which of
// them a row must give (NOT NULL without a default). A file column the target
// lacks, or a target column that must be given but is not among the file's
// columns, leaves the values unplaced.
ColumnPlacement PlaceColumns(const TableChanges& table, const CColumnInfoArray& target,
                             const std::vector<TargetColumn>& described);
