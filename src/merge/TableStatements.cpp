#include "merge/TableStatements.h"

#include "datasource/CRecordsetEx.h"
#include "merge/StatementBuilder.h"

namespace {

GeneratedStatement Generated(const std::string& text)
{
    if (IsIncompleteStatement(text))
        return {text, "The statement is incomplete and was not sent to the data source.\n"};
    return {text, {}};
}

} // namespace

void AppendTableStatements(CRecordsetEx& recordset, const CTableRows& deleteTable, const CTableRows& addTable,
                           const CTableRows& updateTable, std::vector<GeneratedStatement>& statements)
{
    const SqlLiteralFacts facts = recordset.LiteralFacts();
    // The recordset rewrites the brackets of the name to the data source's quotes.
    CColumnInfoArray columns;
    recordset.GetColumns(addTable.m_strTable, columns);
    AppendTableStatements(columns, facts, deleteTable, addTable, updateTable, statements);
}

void AppendTableStatements(const CColumnInfoArray& columns, const SqlLiteralFacts& facts,
                           const CTableRows& deleteTable, const CTableRows& addTable, const CTableRows& updateTable,
                           std::vector<GeneratedStatement>& statements)
{
    std::string statement;
    for (const CRowValues& row : addTable) {
        BuildInsert(statement, row, columns, addTable.m_strTable, addTable.m_keyColumns, facts);
        statements.push_back(Generated(statement));
    }
    for (std::size_t k = 1; k < updateTable.size(); k += 2) {
        BuildUpdate(statement, updateTable[k], columns, deleteTable.m_strTable, deleteTable.m_keyColumns, facts);
        statements.push_back(Generated(statement));
    }
    for (const CRowValues& row : deleteTable) {
        BuildDelete(statement, row, columns, deleteTable.m_strTable, deleteTable.m_keyColumns, facts);
        statements.push_back(Generated(statement));
    }
}
