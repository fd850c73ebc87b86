#include "workflow/TableListing.h"

#include "datasource/CDatabase.h"
#include "datasource/CTables.h"

void ReadTableNames(CDatabase& database, std::vector<std::string>& names)
{
    CTables tables(database);
    tables.OpenCatalog(nullptr, nullptr, nullptr, "'TABLE'", CRecordsetEx::forwardOnly);
    while (!tables.IsEOF()) {
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
