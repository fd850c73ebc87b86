#pragma once
// Owners of the SQLite library's handles, for reading a SQLite file without
// the ODBC driver (SqliteFileReader). Closing never throws.
#include <sqlite3.h>

#include <memory>

// The deleter of a connection. Closing with _v2 waits for statements still
// open instead of failing; a null handle is left alone.
struct CloseSqliteConnection {
    void operator()(sqlite3* connection) const noexcept { sqlite3_close_v2(connection); }
};

struct FinalizeSqliteStatement {
    void operator()(sqlite3_stmt* statement) const noexcept { sqlite3_finalize(statement); }
};

using SqliteStatementHandle = std::unique_ptr<sqlite3_stmt, FinalizeSqliteStatement>;
