#pragma once
// The tables of two data sources, listed from their catalogs and paired by
// name as the main dialog's Update and the command line's `tables` show them.
#include <string>
#include <vector>

#include "datasource/TablePairing.h"

class CDatabase;

// Appends the names of the data source's user tables (type TABLE) that its
// own unqualified queries reach, in catalog order: on MySQL and MariaDB those
// of the current database, never of the system databases; on PostgreSQL those
// of the schemas on the search path, each name once, as the path finds it;
// elsewhere all the driver lists. Names read before an error stay in `names`;
// the error is raised.
void ReadTableNames(CDatabase& database, std::vector<std::string>& names);

// Both catalogs read before any row is made, then paired (PairTables). A
// closed connection contributes no names.
std::vector<TablePairRow> ListTablePairs(CDatabase& oldDatabase, CDatabase& newDatabase);
