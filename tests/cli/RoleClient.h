#pragma once
// The DBMS's own client (sqlite3, psql, mariadb) on the database of a role
// ("old", "new", "merge"), for reading what a table holds as the DBMS itself
// writes it, independent of the program and of ODBC.
#include <filesystem>
#include <string>

#include "TestEnv.h"

namespace clitest {

// Runs `query` (statements ending in ";") through the client of `dbms` on the
// database of `role` (SQLite: <role>.db in `folder`) and returns what it
// printed: one line a row, fields as the query joins them, no headers.
std::string ClientRows(testenv::Dbms dbms, const std::string& role, const std::filesystem::path& folder,
                       const std::string& query);

} // namespace clitest
