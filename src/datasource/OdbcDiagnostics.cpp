#include "datasource/OdbcDiagnostics.h"

#include <sqlext.h>

#include <string>
#include <vector>

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

namespace {

constexpr std::size_t kFirstMessageBuffer = 8192;

} // namespace

DatabaseError MakeDatabaseError(SQLRETURN rc, SQLHENV env, SQLHDBC dbc, SQLHSTMT stmt)
{
    // The records belong to the most specific handle given.
    SQLSMALLINT type = SQL_HANDLE_STMT;
    SQLHANDLE handle = stmt;
    if (stmt == SQL_NULL_HSTMT) {
        type = dbc != SQL_NULL_HDBC ? SQL_HANDLE_DBC : SQL_HANDLE_ENV;
        handle = dbc != SQL_NULL_HDBC ? static_cast<SQLHANDLE>(dbc) : static_cast<SQLHANDLE>(env);
    }
    std::string message;
    DatabaseError::Diagnostic first;
    if (handle == SQL_NULL_HANDLE)
        return DatabaseError(rc, message, first);
    // psqlODBC cuts a message into records of the buffer's size, so the buffer
    // starts large; a text that still does not fit is read again at its length.
    std::vector<SQLCHAR> text(kFirstMessageBuffer);
    // Records are read until none is left; the cap guards against a driver that never says so.
    for (SQLSMALLINT record = 1; record <= 64; ++record) {
        SQLCHAR sqlState[6] = {};
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        SQLRETURN drc = SQLGetDiagRec(type, handle, record, sqlState, &native, text.data(),
                                      static_cast<SQLSMALLINT>(text.size()), &length);
        if (drc == SQL_SUCCESS_WITH_INFO && length >= static_cast<SQLSMALLINT>(text.size())) {
            text.resize(static_cast<std::size_t>(length) + 1);
            drc = SQLGetDiagRec(type, handle, record, sqlState, &native, text.data(),
                                static_cast<SQLSMALLINT>(text.size()), &length);
        }
        if (drc != SQL_SUCCESS && drc != SQL_SUCCESS_WITH_INFO)
            break;
        std::string origin;
        message += StripOriginTags(reinterpret_cast<char*>(text.data()), &origin);
        message += "\n";
        if (record == 1) {
            first.state = reinterpret_cast<char*>(sqlState);
            first.native = native;
            first.origin = origin;
        }
    }
    return DatabaseError(rc, message, first);
}
