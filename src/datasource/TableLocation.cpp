#include "datasource/TableLocation.h"

#include <sqlext.h>

#include "datasource/CDatabase.h"
#include "datasource/CatalogResult.h"

namespace {

// The table an unqualified name reads is the one pg_table_is_visible admits:
// the first of that name along the search path (temporary tables first).
constexpr const char kVisibleSchemaQuery[] =
    "SELECT n.nspname FROM pg_catalog.pg_class c JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace "
    "WHERE c.relname = ? AND pg_catalog.pg_table_is_visible(c.oid)";

TableLocation LocateOnPostgres(CDatabase& database, const std::string& table)
{
    CatalogResult result = RunCatalogQuery(database, kVisibleSchemaQuery, {table});
    TableLocation location;
    // A server that speaks PostgreSQL's protocol without its catalog: the
    // driver's own guess is all there is.
    if (!result.Ok())
        return location;
    if (result.Next())
        location.schema = result.Text(1);
    location.found = location.schema.has_value();
    return location;
}

TableLocation LocateOnMySql(CDatabase& database)
{
    TableLocation location;
    char name[256] = {};
    SQLINTEGER length = 0;
    if (SQL_SUCCEEDED(SQLGetConnectAttr(database.Handle(), SQL_ATTR_CURRENT_CATALOG, name, sizeof name, &length)) &&
        name[0] != '\0')
        location.catalog = std::string(name);
    return location;
}

} // namespace

bool TableLocation::Holds(const std::optional<std::string>& rowCatalog,
                          const std::optional<std::string>& rowSchema) const
{
    const auto same = [](const std::optional<std::string>& mine, const std::optional<std::string>& row) {
        return !mine || !row || row->empty() || *mine == *row;
    };
    return same(catalog, rowCatalog) && same(schema, rowSchema);
}

DbmsKind ConnectedDbms(CDatabase& database)
{
    return DbmsKindOf(ConnectionInfoText(database, SQL_DBMS_NAME));
}

void RefreshSchema(CDatabase& database, DbmsKind dbms)
{
    if (dbms != DbmsKind::Sqlite)
        return;
    CatalogResult result = RunCatalogQuery(database, "SELECT 1 FROM sqlite_master WHERE 0", {});
    // With StepAPI=1 the driver runs the statement only on the first fetch.
    result.Next();
}

TableLocation LocateTable(CDatabase& database, DbmsKind dbms, const std::string& table)
{
    switch (dbms) {
    case DbmsKind::PostgreSql:
        return LocateOnPostgres(database, table);
    case DbmsKind::MySql:
        return LocateOnMySql(database);
    default:
        return {};
    }
}
