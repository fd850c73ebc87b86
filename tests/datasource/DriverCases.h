#pragma once
// The three drivers the tests run on, with what differs in their SQL.
#include <string>
#include <vector>

#include "TestEnv.h"
#include "datasource/DriverFacts.h"

struct DriverCase {
    const char* dsn;
    const char* quote;         // identifier quote of the DBMS
    const char* longText;      // a long character type
    const char* unicodeText;   // a type for unicode text
    const char* binary;        // a binary type
    const char* timestamp;
    const char* binaryLiteral; // literal of the bytes 01 02 FF 00
    const char* crlfText;      // expression of the text line1 CR LF line2
    const char* doubleType;    // an 8-byte floating-point type
    DriverFacts facts;         // what the program knows of the driver by its names
};

inline std::vector<DriverCase> AllDrivers()
{
    return {
        {testenv::kSqliteOld, "\"", "TEXT", "VARCHAR(40)", "BLOB", "TIMESTAMP", "X'0102FF00'",
         "'line1' || char(13, 10) || 'line2'", "DOUBLE", {DbmsKind::Sqlite, false, true, true}},
        {testenv::kPostgres, "\"", "TEXT", "VARCHAR(40)", "BYTEA", "TIMESTAMP", "'\\x0102FF00'::bytea",
         "'line1' || chr(13) || chr(10) || 'line2'", "DOUBLE PRECISION", {DbmsKind::PostgreSql, false, true, true}},
        {testenv::kMariaDb, "`", "LONGTEXT", "NVARCHAR(40)", "VARBINARY(40)", "DATETIME", "0x0102FF00",
         "CONCAT('line1', CHAR(13), CHAR(10), 'line2')", "DOUBLE", {DbmsKind::MySql, false, true, false}},
    };
}

inline void PrintTo(const DriverCase& d, std::ostream* os)
{
    *os << d.dsn;
}

inline std::string Quoted(const DriverCase& d, const std::string& name)
{
    return d.quote + name + d.quote;
}
