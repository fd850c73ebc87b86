#include "datasource/TableListScope.h"

#include <algorithm>

#include "datasource/CatalogResult.h"
#include "datasource/DriverFacts.h"
#include "datasource/TableLocation.h"

namespace {

// The tables an unqualified name reaches, as psql's \dt lists them: of the
// schemas on the search path (the implicit pg_catalog and pg_temp left out),
// each the first relation of its name along the path.
constexpr const char kVisibleTablesQuery[] =
    "SELECT n.nspname, c.relname FROM pg_catalog.pg_class c "
    "JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace "
    "WHERE c.relkind IN ('r', 'p') AND n.nspname = ANY (pg_catalog.current_schemas(false)) "
    "AND n.nspname NOT IN ('pg_catalog', 'information_schema') AND pg_catalog.pg_table_is_visible(c.oid)";

bool Holds(const std::vector<std::string>& names, const std::string& name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

TableListScope PostgresScope(CDatabase& database)
{
    TableListScope scope;
    scope.systemSchemas = {"pg_catalog", "information_schema"};
    CatalogResult result = RunCatalogQuery(database, kVisibleTablesQuery, {});
    // A server that speaks PostgreSQL's protocol without its catalog: the
    // driver's list, less the system schemas, is all there is.
    if (!result.Ok())
        return scope;
    scope.visible.emplace();
    while (result.Next()) {
        const auto schema = result.Text(1);
        const auto name = result.Text(2);
        if (schema && name)
            scope.visible->emplace(*schema, *name);
    }
    return scope;
}

TableListScope MySqlScope(CDatabase& database)
{
    TableListScope scope;
    scope.systemCatalogs = {"information_schema", "performance_schema", "mysql", "sys"};
    scope.catalog = LocateTable(database, DbmsKind::MySql, std::string()).catalog;
    scope.reachesNothing = !scope.catalog;
    return scope;
}

} // namespace

bool TableListScope::Admits(const std::string& qualifier, const std::string& owner, const std::string& name) const
{
    if (reachesNothing || Holds(systemCatalogs, qualifier) || Holds(systemSchemas, owner))
        return false;
    // The catalog argument alone would do; a driver that takes it for a
    // pattern ("_" matching any character) must not bring in a neighbour.
    if (catalog && !qualifier.empty() && qualifier != *catalog)
        return false;
    return !visible || visible->count({owner, name}) > 0;
}

TableListScope TableListScopeOf(CDatabase& database)
{
    switch (ConnectedDbms(database)) {
    case DbmsKind::PostgreSql:
        return PostgresScope(database);
    case DbmsKind::MySql:
        return MySqlScope(database);
    default:
        return {};
    }
}
