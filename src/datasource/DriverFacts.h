#pragma once
// Where the program treats drivers or database systems differently, decided in
// one place from the names a connection reports: SQL_DRIVER_NAME (the driver's
// library) and SQL_DBMS_NAME. Names are matched ignoring ASCII case.
#include <string>

enum class DbmsKind {
    Other,
    Sqlite,      // binary literals X'..'; floating-point columns may hold any text
    PostgreSql,  // bytea literals; an error aborts the whole transaction
    MySql,       // MySQL or MariaDB: backslash escapes in string literals
};

struct DriverFacts {
    DbmsKind dbms = DbmsKind::Other;
    // The Jet driver (ODBCJT32.DLL) writes date and time literals as #...#.
    bool jetDriver = false;
    // Fetching rows in blocks with bound columns pays: measured on a million
    // rows, psqlODBC and the MariaDB connector spend most of a dump in
    // SQLGetData; the SQLite3 driver gains a tenth since its dump reads texts
    // as blobs (it gained nothing on texts read as they are).
    bool blockFetchPays = false;
    // SQLGetData reads the row of a block that SQLSetPos put the cursor on. The
    // MariaDB connector takes SQLSetPos but goes on reading the block's first row.
    bool getDataFollowsSetPos = true;

    static DriverFacts Of(const std::string& driverName, const std::string& dbmsName);
};

// The kind of database system a SQL_DBMS_NAME names.
DbmsKind DbmsKindOf(const std::string& dbmsName);
