#pragma once
// Where a connection's own queries find a table by its bare name, as the
// catalog and schema arguments of the catalog functions. Left to themselves
// the drivers look elsewhere: psqlODBC in current_schema() alone (not the rest
// of the search path), and a catalog call without catalog may see every
// database a MariaDB login can reach.
#include <optional>
#include <string>

#include "datasource/DriverFacts.h"

class CDatabase;

struct TableLocation {
    // nullopt: the argument is left out (the driver's default).
    std::optional<std::string> catalog;
    std::optional<std::string> schema;
    // False when the connection finds no table of that name at all.
    bool found = true;

    // Whether a catalog row's own catalog and schema (TABLE_CAT, TABLE_SCHEM,
    // or the PKTABLE_ ones) name this place; a side the location leaves open,
    // or the row leaves empty, matches.
    bool Holds(const std::optional<std::string>& rowCatalog, const std::optional<std::string>& rowSchema) const;
};

// The DBMS the connection talks to (from SQL_DBMS_NAME).
DbmsKind ConnectedDbms(CDatabase& database);

// SQLite answers catalog calls (its PRAGMAs) from the schema the connection
// read last, even when another connection has changed it since; a statement
// that reads the schema brings it up to date. Nothing elsewhere.
void RefreshSchema(CDatabase& database, DbmsKind dbms);

// Where `database` finds `table`: on PostgreSQL the schema of the table the
// search path leads to, on MySQL and MariaDB the current database, elsewhere
// the driver's default.
TableLocation LocateTable(CDatabase& database, DbmsKind dbms, const std::string& table);
