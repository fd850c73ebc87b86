#include "datasource/OdbcDiagnostics.h"

#include <sqlext.h>

#include <string>

std::string StripOriginTags(const std::string& message, std::string* origin)
{
    std::size_t pos = 0;
    std::string tags;
    while (pos < message.size() && message[pos] == '[') {
        const std::size_t close = message.find(']', pos);
        if (close == std::string::npos)
            break;
        tags.append(message, pos, close - pos + 1);
        pos = close + 1;
    }
    if (origin)
        *origin = tags;
    return message.substr(pos);
}

DatabaseError MakeDatabaseError(SQLRETURN rc, SQLHENV env, SQLHDBC dbc, SQLHSTMT stmt)
{
    std::string message;
    std::string state;
    std::string firstSqlState;
    // Records are read until none is left; the cap guards against a driver that never says so.
    for (int record = 0; record < 64; ++record) {
        SQLCHAR sqlState[6] = {};
        SQLINTEGER native = 0;
        SQLCHAR text[SQL_MAX_MESSAGE_LENGTH + 1] = {};
        SQLSMALLINT length = 0;
        const SQLRETURN erc = SQLError(env, dbc, stmt, sqlState, &native, text, sizeof text, &length);
        if (erc != SQL_SUCCESS && erc != SQL_SUCCESS_WITH_INFO)
            break;
        std::string origin;
        message += StripOriginTags(reinterpret_cast<char*>(text), &origin);
        message += "\n";
        if (record == 0) {
            firstSqlState = reinterpret_cast<char*>(sqlState);
            state = "State:" + firstSqlState + ",Native:" + std::to_string(native) + ",Origin:" + origin;
        }
    }
    return DatabaseError(rc, message, state, firstSqlState);
}
