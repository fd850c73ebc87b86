#pragma once
// Description of one result column, as SQLDescribeCol reports it.
#include <cstdint>
#include <string>

struct ColumnInfo {
    std::string name;              // at most 64 characters
    std::int16_t sqlType = 0;      // ODBC SQL data type code
    std::uint32_t precision = 0;   // column size
    std::int16_t scale = 0;        // decimal digits
    std::int16_t nullability = 2;  // 0 no nulls, 1 nullable, 2 unknown
    // The data source's own name of the type (SQL_DESC_TYPE_NAME), where the
    // SQL type code does not tell enough: PostgreSQL's bool and money, MariaDB's bit.
    std::string typeName;
};
