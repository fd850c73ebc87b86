#include "workflow/TableListing.h"

#include "datasource/CDatabase.h"
#include "datasource/CTables.h"
#include "datasource/TableListScope.h"

void ReadTableNames(CDatabase& database, std::vector<std::string>& names)
{
    const TableListScope scope = TableListScopeOf(database);
    if (scope.reachesNothing)
        return;
    CTables tables(database);
    tables.OpenCatalog(scope.catalog ? scope.catalog->c_str() : nullptr, nullptr, nullptr, "'TABLE'",
                       CRecordsetEx::forwardOnly);
    while (!tables.IsEOF()) {
        if (scope.Admits(tables.m_strTableQualifier, tables.m_strTableOwner, tables.m_strTableName))
            names.push_back(tables.m_strTableName);
        tables.MoveNext();
    }
}

std::vector<TablePairRow> ListTablePairs(CDatabase& oldDatabase, CDatabase& newDatabase)
{
    std::vector<std::string> oldNames;
    std::vector<std::string> newNames;
    if (oldDatabase.IsOpen())
        ReadTableNames(oldDatabase, oldNames);
    if (newDatabase.IsOpen())
        ReadTableNames(newDatabase, newNames);
    return PairTables(oldNames, newNames);
}
