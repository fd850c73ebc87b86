#include "merge/TableStatements.h"

#include "datasource/CRecordsetEx.h"
#include "merge/StatementBuilder.h"

void AppendTableStatements(CRecordsetEx& recordset, const CTableRows& deleteTable, const CTableRows& addTable,
                           const CTableRows& updateTable, std::vector<GeneratedStatement>& statements)
{
    const SqlLiteralFacts facts = recordset.LiteralFacts();
    // The recordset rewrites the brackets of the name to the data source's quotes.
    CColumnInfoArray columns;
    recordset.GetColumns(addTable.m_strTable, columns);
    for (const CRowValues& row : addTable)
        statements.push_back(BuildInsert(row, columns, addTable.m_strTable, addTable.m_keyColumns, facts));
    for (std::size_t k = 1; k < updateTable.size(); k += 2)
        statements.push_back(
            BuildUpdate(updateTable[k], columns, deleteTable.m_strTable, deleteTable.m_keyColumns, facts));
    for (const CRowValues& row : deleteTable)
        statements.push_back(BuildDelete(row, columns, deleteTable.m_strTable, deleteTable.m_keyColumns, facts));
}
