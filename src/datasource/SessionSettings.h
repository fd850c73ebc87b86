#pragma once
// The settings of a session that change what a string literal or a quoted name
// means, asked on the open connection. The program writes literals and names
// that mean the same under every one of them; these say what the session is
// set to, and the character set that MySQL's hex literals are introduced with.
#include <string>

#include "datasource/DriverFacts.h"

class CDatabase;

struct SessionSettings {
    // PostgreSQL: off, a backslash in '...' escapes (a database or role may set it so).
    bool standardConformingStrings = true;
    // MySQL and MariaDB sql_mode: a backslash in '...' is an ordinary character.
    bool noBackslashEscapes = false;
    // MySQL and MariaDB sql_mode: "..." names a column rather than being a string.
    bool ansiQuotes = false;
    // MySQL and MariaDB: character_set_connection, in which the server reads
    // the statement's text; empty when not asked or unknown.
    std::string characterSet;
};

// Asks the DBMS of `dbms` kind what the connection's session is set to; the
// defaults where it cannot tell (another DBMS, a failed query).
SessionSettings AskSessionSettings(CDatabase& database, DbmsKind dbms);

// Whether a sql_mode value (flags joined by ",") holds `flag`.
bool SqlModeHas(const std::string& sqlMode, const std::string& flag);
