#pragma once
// What a connection tells about writing and running SQL on its data source,
// decided once from the names and characters the driver reports and what the
// session is set to: the kind of DBMS, how names are quoted, how literals are
// written, and how a failing statement affects the transaction around it.
#include <string>

#include "datasource/DriverFacts.h"
#include "datasource/IdentifierQuoting.h"
#include "datasource/SessionSettings.h"

struct SqlLiteralFacts {
    enum class BinaryForm { SqliteBlob, PostgresBytea, HexNumber };
    // How dates, times and timestamps are written.
    enum class TemporalForm {
        OdbcEscape,  // {d '...'}, {t '...'}, {ts '...'}, which the driver translates
        Jet,         // #...#, timestamps rewritten to mm/dd/yyyy
        // The DBMS's own quoted literal, the text of the value as a string
        // literal: the DBMS reads it in the column's type, and its own client
        // runs it too (psql knows no ODBC escapes).
        Quoted,
    };

    DbmsKind dbms = DbmsKind::Other;
    std::string dbmsName;          // SQL_DBMS_NAME, for messages
    // The driver's delimiters of date and time escapes; with the Jet driver "#".
    std::string datePrefix = "{d '";
    std::string dateSuffix = "'}";
    std::string timePrefix = "{t '";
    std::string timeSuffix = "'}";
    bool jetDriver = false;        // SQL_DRIVER_NAME is "ODBCJT32.DLL" (any case)
    // The quote that names get (IdentifierQuoting::QuoteFor): " " for none.
    std::string identifierQuote;

    // What follows from the Jet driver, decided here and nowhere else: it reads
    // [name] itself, takes #...# dates, and numbers a counter key itself, so
    // an INSERT leaves out a sole key column 0.
    bool keepsBrackets = false;
    TemporalForm temporal = TemporalForm::OdbcEscape;
    bool insertLeavesOutCounter = false;

    BinaryForm binary = BinaryForm::HexNumber;
    // MySQL and MariaDB have no empty 0x literal.
    bool emptyHexAsString = false;
    // What the session is set to (asked at connect; the defaults otherwise).
    SessionSettings session;
    // SAVEPOINT, ROLLBACK TO SAVEPOINT and RELEASE SAVEPOINT work inside a transaction.
    bool savepoints = false;
    // A failed statement aborts the whole transaction (PostgreSQL): every later
    // statement fails until the transaction, or a savepoint, is rolled back.
    bool errorAbortsTransaction = false;

    // How this data source's names are written.
    IdentifierQuoting Names() const { return IdentifierQuoting(identifierQuote, keepsBrackets); }

    static SqlLiteralFacts ForDriver(const std::string& driverName, const std::string& identifierQuote,
                                     const std::string& dbmsName);
};
