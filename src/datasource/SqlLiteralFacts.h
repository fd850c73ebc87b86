#pragma once
// What a connection tells about writing and running SQL on its data source,
// decided once from the names and characters the driver reports: the kind of
// DBMS, the identifier quote, how literals are written, and how a failing
// statement affects the transaction around it.
#include <string>

#include "datasource/DriverFacts.h"

struct SqlLiteralFacts {
    enum class BinaryForm { SqliteBlob, PostgresBytea, HexNumber };

    DbmsKind dbms = DbmsKind::Other;
    std::string dbmsName;          // SQL_DBMS_NAME, for messages
    std::string datePrefix = "{d '";
    std::string dateSuffix = "'}";
    std::string timePrefix = "{t '";
    std::string timeSuffix = "'}";
    bool jetDriver = false;        // SQL_DRIVER_NAME is "ODBCJT32.DLL" (any case)
    std::string identifierQuote;   // SQL_IDENTIFIER_QUOTE_CHAR when it is one character, else " "

    BinaryForm binary = BinaryForm::HexNumber;
    // MySQL and MariaDB read a backslash in a string literal as an escape.
    bool backslashEscapes = false;
    // MySQL and MariaDB have no empty 0x literal.
    bool emptyHexAsString = false;
    // SAVEPOINT, ROLLBACK TO SAVEPOINT and RELEASE SAVEPOINT work inside a transaction.
    bool savepoints = false;
    // A failed statement aborts the whole transaction (PostgreSQL): every later
    // statement fails until the transaction, or a savepoint, is rolled back.
    bool errorAbortsTransaction = false;

    static SqlLiteralFacts ForDriver(const std::string& driverName, const std::string& identifierQuote,
                                     const std::string& dbmsName);
};
