#pragma once
// Turns the diagnostics of a failed ODBC call into a DatabaseError.
#include <sql.h>

#include "datasource/DatabaseError.h"

// Gathers every diagnostic record of the most specific handle given (statement,
// else connection, else environment) into a DatabaseError. The message holds each record's text without its
// leading bracketed origin tags, followed by a line break; the state text names
// the first record's SQLSTATE, native error and origin.
DatabaseError MakeDatabaseError(SQLRETURN rc, SQLHENV env, SQLHDBC dbc, SQLHSTMT stmt);

// Drops the leading "[vendor][component]..." tags of a diagnostic message and
// returns them joined (the origin) through `origin`.
std::string StripOriginTags(const std::string& message, std::string* origin = nullptr);

// Repeats an ODBC call while it returns SQL_STILL_EXECUTING.
template <typename Call>
SQLRETURN RetryWhileExecuting(Call call)
{
    SQLRETURN rc;
    do {
        rc = call();
    } while (rc == SQL_STILL_EXECUTING);
    return rc;
}
