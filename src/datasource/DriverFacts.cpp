#include "datasource/DriverFacts.h"

#include "common/AsciiNoCase.h"

DbmsKind DbmsKindOf(const std::string& dbmsName)
{
    if (ContainsNoCase(dbmsName, "sqlite"))
        return DbmsKind::Sqlite;
    if (ContainsNoCase(dbmsName, "postgres"))
        return DbmsKind::PostgreSql;
    if (ContainsNoCase(dbmsName, "mysql") || ContainsNoCase(dbmsName, "mariadb"))
        return DbmsKind::MySql;
    return DbmsKind::Other;
}

DriverFacts DriverFacts::Of(const std::string& driverName, const std::string& dbmsName)
{
    DriverFacts facts;
    facts.dbms = DbmsKindOf(dbmsName);
    // No Jet driver on Linux: kept, as stored files and language modules may rely on it.
    facts.jetDriver = EqualsNoCase(driverName, "ODBCJT32.DLL");
    const bool mariaDbConnector = StartsWithNoCase(driverName, "libmaodbc");
    // The SQLite3 driver gains once a dump reads texts as blobs (its X'..'
    // rendering), which makes the values it copies into bound buffers longer.
    facts.blockFetchPays =
        StartsWithNoCase(driverName, "psqlodbc") || mariaDbConnector || ContainsNoCase(driverName, "sqlite3odbc");
    facts.getDataFollowsSetPos = !mariaDbConnector;
    return facts;
}
