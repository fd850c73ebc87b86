#pragma once
// The tables of two data sources, listed from their catalogs and paired by
// name as the main dialog's Update and the command line's `tables` show them.
#include <string>
#include <vector>

#include "datasource/TablePairing.h"

class CDatabase;

// Appends the names of the data source's user tables (type TABLE) in catalog
// order. Names read before an error stay in `names`; the error is raised.
void ReadTableNames(CDatabase& database, std::vector<std::string>& names);

// Both catalogs read before any row is made, then paired (PairTables). A
// closed connection contributes no names.
std::vector<TablePairRow> ListTablePairs(CDatabase& oldDatabase, CDatabase& newDatabase);
