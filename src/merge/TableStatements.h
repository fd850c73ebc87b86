#pragma once
// The statements of one table of the change set: one INSERT per row to add,
// one UPDATE per pair, one DELETE per row to delete, kept apart so that the
// merge can order them across tables.
#include <cstddef>
#include <string>
#include <vector>

#include "merge/StatementBuilder.h"
#include "merge/TableChanges.h"

struct TableStatementSet {
    std::vector<GeneratedStatement> inserts;
    std::vector<GeneratedStatement> updates;
    std::vector<GeneratedStatement> deletes;
};

// The order in which a table's rows to add and to delete become statements
// (indexes into TableChanges::adds and ::deletes); empty: file order.
struct RowOrders {
    std::vector<std::size_t> adds;
    std::vector<std::size_t> deletes;
};

// `columns` describes the values of the table's rows, one per value in row
// order, with the names and types of the merge data source. Inserts take the
// key columns to leave out a Jet counter; updates and deletes find rows by
// them. The table is named by its name (TableChanges::name), which goes into
// the statements through IdentifierQuoting. A name that would not come through
// the bracket form as itself, or a key column list that does not fit the
// columns, makes every statement of the table one that cannot run.
TableStatementSet MakeTableStatements(const CColumnInfoArray& columns, const SqlLiteralFacts& facts,
                                      const TableChanges& table, const RowOrders& orders = RowOrders());
