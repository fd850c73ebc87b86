#include "datasource/SessionSettings.h"

#include <algorithm>
#include <cctype>

#include "common/AsciiNoCase.h"
#include "datasource/CatalogResult.h"

namespace {

// A character set name as the server reports it (utf8mb4, latin1): only such
// a name can follow the "_" of an introducer.
bool IsCharacterSetName(const std::string& name)
{
    return !name.empty() && std::all_of(name.begin(), name.end(), [](unsigned char c) {
        return std::isalnum(c) != 0 || c == '_';
    });
}

// SHOW rather than SELECT: psqlODBC with UseDeclareFetch=1 would open a
// cursor, and a transaction around it, for a SELECT.
void AskPostgreSql(CDatabase& database, SessionSettings& settings)
{
    CatalogResult result = RunCatalogQuery(database, "SHOW standard_conforming_strings", {});
    if (result.Next())
        settings.standardConformingStrings = !EqualsNoCase(result.Text(1).value_or("on"), "off");
}

void AskMySql(CDatabase& database, SessionSettings& settings)
{
    CatalogResult result =
        RunCatalogQuery(database, "SELECT @@SESSION.sql_mode, @@SESSION.character_set_connection", {});
    if (!result.Next())
        return;
    const std::string mode = result.Text(1).value_or("");
    settings.noBackslashEscapes = SqlModeHas(mode, "NO_BACKSLASH_ESCAPES");
    settings.ansiQuotes = SqlModeHas(mode, "ANSI_QUOTES");
    const std::string characterSet = result.Text(2).value_or("");
    if (IsCharacterSetName(characterSet))
        settings.characterSet = characterSet;
}

} // namespace

bool SqlModeHas(const std::string& sqlMode, const std::string& flag)
{
    std::size_t at = 0;
    while (at <= sqlMode.size()) {
        std::size_t end = sqlMode.find(',', at);
        if (end == std::string::npos)
            end = sqlMode.size();
        if (EqualsNoCase(sqlMode.substr(at, end - at), flag))
            return true;
        at = end + 1;
    }
    return false;
}

SessionSettings AskSessionSettings(CDatabase& database, DbmsKind dbms)
{
    SessionSettings settings;
    switch (dbms) {
    case DbmsKind::PostgreSql:
        AskPostgreSql(database, settings);
        break;
    case DbmsKind::MySql:
        AskMySql(database, settings);
        break;
    case DbmsKind::Sqlite:
    case DbmsKind::Other:
        break;
    }
    return settings;
}
