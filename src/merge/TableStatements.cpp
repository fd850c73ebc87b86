#include "merge/TableStatements.h"

#include <cstdint>
#include <string_view>

#include "datasource/CRecordsetEx.h"
#include "merge/StatementBuilder.h"

namespace {

// Whether a name the bracket rewrite gets as "[" + name + "]" comes out as one
// quoted name: a name that begins with "[" would start with "[[", which the
// rewrite reads as a bracket outside any name, and the rest of the name would
// go into the statement as SQL.
bool NameCanBeBracketed(const std::string& name)
{
    return !name.starts_with('[');
}

// Whether the table's name, as the merge file spells it, is one bracketed name:
// "[", the name with each of its "]" doubled, "]". A head the program did not
// write may spell it otherwise ("[a]b]", "[Log" without its bracket); such a
// name would not stay inside its quotes.
bool IsBracketedName(const std::string& spelled)
{
    if (spelled.size() < 2 || spelled.front() != '[' || spelled.back() != ']')
        return false;
    const std::string_view inner = std::string_view(spelled).substr(1, spelled.size() - 2);
    if (!NameCanBeBracketed(std::string(inner)))
        return false;
    for (std::size_t i = 0; i < inner.size(); ++i) {
        if (inner[i] != ']')
            continue;
        if (i + 1 >= inner.size() || inner[i + 1] != ']')
            return false;
        ++i;
    }
    return true;
}

// Why the statements of a table cannot be formed safely, or nothing. A key
// column list must name columns of the table in ascending order: the condition
// of an UPDATE or DELETE would otherwise leave key columns out and match rows
// it must not touch.
std::string TableProblem(const CColumnInfoArray& columns, const CTableRows& table, bool needsKeys)
{
    if (!IsBracketedName(table.m_strTable))
        return "The table name " + table.m_strTable + " cannot be written into a statement.\n";
    for (const ColumnInfo& column : columns) {
        if (!NameCanBeBracketed(column.name))
            return "The column name " + column.name + " cannot be written into a statement.\n";
    }
    if (!needsKeys)
        return {};
    std::int64_t previous = -1;
    for (const std::int32_t key : table.m_keyColumns) {
        if (key <= previous || static_cast<std::size_t>(key) >= columns.size())
            return "The key column list of table " + table.m_strTable + " does not fit its " +
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

} // namespace

void AppendTableStatements(CRecordsetEx& recordset, const CTableRows& deleteTable, const CTableRows& addTable,
                           const CTableRows& updateTable, std::vector<GeneratedStatement>& statements)
{
    const SqlLiteralFacts facts = recordset.LiteralFacts();
    // The recordset rewrites the brackets of the name to the data source's quotes:
    // a name that would not stay inside them is not sent even for its columns.
    CColumnInfoArray columns;
    if (IsBracketedName(addTable.m_strTable))
        recordset.GetColumns(addTable.m_strTable, columns);
    AppendTableStatements(columns, facts, deleteTable, addTable, updateTable, statements);
}

void AppendTableStatements(const CColumnInfoArray& columns, const SqlLiteralFacts& facts,
                           const CTableRows& deleteTable, const CTableRows& addTable, const CTableRows& updateTable,
                           std::vector<GeneratedStatement>& statements)
{
    const std::string insertProblem = addTable.empty() ? std::string() : TableProblem(columns, addTable, false);
    const std::string keyedProblem =
        updateTable.empty() && deleteTable.empty() ? std::string() : TableProblem(columns, deleteTable, true);
    for (const CRowValues& row : addTable)
        statements.push_back(
            WithProblem(BuildInsert(row, columns, addTable.m_strTable, addTable.m_keyColumns, facts), insertProblem));
    for (std::size_t k = 1; k < updateTable.size(); k += 2)
        statements.push_back(WithProblem(
            BuildUpdate(updateTable[k], columns, deleteTable.m_strTable, deleteTable.m_keyColumns, facts),
            keyedProblem));
    for (const CRowValues& row : deleteTable)
        statements.push_back(WithProblem(
            BuildDelete(row, columns, deleteTable.m_strTable, deleteTable.m_keyColumns, facts), keyedProblem));
}
