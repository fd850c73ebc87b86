#include "merge/TableStatements.h"

#include <cstdint>

#include "datasource/IdentifierQuoting.h"
#include "merge/StatementBuilder.h"

namespace {

// Why the statements of a table cannot be formed safely, or nothing. A key
// column list must name columns of the table in ascending order: the condition
// of an UPDATE or DELETE would otherwise leave key columns out and match rows
// it must not touch.
std::string TableProblem(const CColumnInfoArray& columns, const TableChanges& table, bool needsKeys)
{
    if (!IdentifierQuoting::CanBracket(table.name))
        return "The table name " + table.name + " cannot be written into a statement.\n";
    for (const ColumnInfo& column : columns) {
        if (!IdentifierQuoting::CanBracket(column.name))
            return "The column name " + column.name + " cannot be written into a statement.\n";
    }
    if (!needsKeys)
        return {};
    std::int64_t previous = -1;
    for (const std::int32_t key : table.keyColumns) {
        if (key <= previous || static_cast<std::size_t>(key) >= columns.size())
            return "The key column list of table " + table.name + " does not fit its " +
                   std::to_string(columns.size()) + " columns.\n";
        previous = key;
    }
    return {};
}

// The statement as formed, for the user to see, with the table's problem when
// it has one: such a statement is never sent to the data source.
GeneratedStatement WithProblem(GeneratedStatement statement, const std::string& tableProblem)
{
    if (!tableProblem.empty() && statement.Complete())
        statement.problem = tableProblem;
    return statement;
}

// The rows in the given order, or in file order when none is given.
template <class Visit>
void InOrder(const CRowArray& rows, const std::vector<std::size_t>& order, Visit visit)
{
    if (order.empty()) {
        for (const CRowValues& row : rows)
            visit(row);
        return;
    }
    for (const std::size_t i : order)
        visit(rows[i]);
}

} // namespace

TableStatementSet MakeTableStatements(const CColumnInfoArray& columns, const SqlLiteralFacts& facts,
                                      const TableChanges& table, const RowOrders& orders)
{
    TableStatementSet set;
    const std::string insertProblem = table.adds.empty() ? std::string() : TableProblem(columns, table, false);
    const std::string keyedProblem =
        table.updates.empty() && table.deletes.empty() ? std::string() : TableProblem(columns, table, true);
    const std::string name = IdentifierQuoting::Bracketed(table.name);
    set.inserts.reserve(table.adds.size());
    InOrder(table.adds, orders.adds, [&](const CRowValues& row) {
        set.inserts.push_back(WithProblem(BuildInsert(row, columns, name, table.keyColumns, facts), insertProblem));
    });
    set.updates.reserve(table.updates.size());
    for (const RowPair& pair : table.updates)
        set.updates.push_back(
            WithProblem(BuildUpdate(pair.newRow, columns, name, table.keyColumns, facts), keyedProblem));
    set.deletes.reserve(table.deletes.size());
    InOrder(table.deletes, orders.deletes, [&](const CRowValues& row) {
        set.deletes.push_back(WithProblem(BuildDelete(row, columns, name, table.keyColumns, facts), keyedProblem));
    });
    return set;
}
