#include "datasource/DataSourceList.h"

#include "datasource/OdbcHandles.h"

namespace {

void Collect(SQLHENV env, SQLUSMALLINT first, bool system, std::vector<DataSourceEntry>& out)
{
    SQLUSMALLINT direction = first;
    for (;;) {
        SQLCHAR name[SQL_MAX_DSN_LENGTH + 1] = {};
        SQLCHAR description[512] = {};
        SQLSMALLINT nameLength = 0, descriptionLength = 0;
        const SQLRETURN rc = SQLDataSources(env, direction, name, sizeof name, &nameLength, description,
                                            sizeof description, &descriptionLength);
        if (!SQL_SUCCEEDED(rc))
            break;
        out.push_back({reinterpret_cast<char*>(name), reinterpret_cast<char*>(description), system});
        direction = SQL_FETCH_NEXT;
    }
}

} // namespace

std::vector<DataSourceEntry> ListDataSources()
{
    std::vector<DataSourceEntry> entries;
    OdbcEnvironmentRef env;
    SQLHENV h = env.Acquire();
    if (h == SQL_NULL_HENV)
        return entries;
    Collect(h, SQL_FETCH_FIRST_USER, false, entries);
    Collect(h, SQL_FETCH_FIRST_SYSTEM, true, entries);
    return entries;
}
