#pragma once
// What a connection tells about writing SQL literals for its data source.
#include <string>

struct SqlLiteralFacts {
    std::string datePrefix = "{d '";
    std::string dateSuffix = "'}";
    std::string timePrefix = "{t '";
    std::string timeSuffix = "'}";
    bool jetDriver = false;        // SQL_DRIVER_NAME is "ODBCJT32.DLL" (any case)
    std::string identifierQuote;   // SQL_IDENTIFIER_QUOTE_CHAR when it is one character, else " "
    std::string dbmsName;          // SQL_DBMS_NAME

    // The literal strings of the Jet driver ("#") or of every other driver.
    static SqlLiteralFacts ForDriver(const std::string& driverName, const std::string& identifierQuote,
                                     const std::string& dbmsName);
};
