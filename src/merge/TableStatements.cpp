#include "merge/TableStatements.h"

#include "datasource/CRecordsetEx.h"
#include "merge/StatementBuilder.h"

void AppendTableStatements(CRecordsetEx& recordset, const CTableRows& deleteTable, const CTableRows& addTable,
                           const CTableRows& updateTable, std::vector<std::string>& statements)
{
    const SqlLiteralFacts facts = recordset.LiteralFacts();
    // The recordset rewrites the brackets of the name to the data source's quotes.
    CColumnInfoArray columns;
    recordset.GetColumns(addTable.m_strTable, columns);
    std::string statement;
    for (const CRowValues& row : addTable) {
        BuildInsert(statement, row, columns, addTable.m_strTable, addTable.m_keyColumns, facts);
        statements.push_back(statement);
    }
    for (std::size_t k = 1; k < updateTable.size(); k += 2) {
        BuildUpdate(statement, updateTable[k], columns, deleteTable.m_strTable, deleteTable.m_keyColumns, facts);
        statements.push_back(statement);
    }
    for (const CRowValues& row : deleteTable) {
        BuildDelete(statement, row, columns, deleteTable.m_strTable, deleteTable.m_keyColumns, facts);
        statements.push_back(statement);
    }
}
