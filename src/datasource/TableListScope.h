#pragma once
// Which rows of a data source's table catalog (SQLTables) name a table that
// the connection's own unqualified queries reach. Left to themselves the
// drivers list more: the MariaDB connector every database the login sees,
// system ones included, and psqlODBC every schema, whether on the search path
// or not.
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

class CDatabase;

struct TableListScope {
    // The catalog argument of SQLTables; nullopt leaves it out.
    std::optional<std::string> catalog;
    // Catalogs (TABLE_QUALIFIER) and schemas (TABLE_OWNER) never listed.
    std::vector<std::string> systemCatalogs;
    std::vector<std::string> systemSchemas;
    // When known, the only (schema, name) pairs listed: on PostgreSQL the
    // tables that an unqualified name finds along the search path.
    std::optional<std::set<std::pair<std::string, std::string>>> visible;
    // No table is reachable without a qualifier (a MariaDB connection without
    // a current database).
    bool reachesNothing = false;

    // Whether the catalog row naming `name` in `qualifier`.`owner` is listed.
    bool Admits(const std::string& qualifier, const std::string& owner, const std::string& name) const;
};

// The scope of `database`'s table list: on MySQL and MariaDB the current
// database, on PostgreSQL what the search path reaches (as the server says;
// a server that cannot say lists every schema but the system ones), elsewhere
// everything the driver lists.
TableListScope TableListScopeOf(CDatabase& database);
