#pragma once
// The dump query of a SQLite table, which keeps every value's bytes and its
// storage class. The SQLite3 driver reads a text only up to its first NUL
// byte, writes a real with 15 digits, renders a blob as the text X'..' (also
// in a column of another type), and tells nobody a value's storage class (any
// column may hold any class). So the query selects for every column an
// expression whose text, read as characters, carries the value whole and
// says its class: a text as a blob of its bytes (which the driver renders
// X'..', NUL bytes and all), a real as printf text with all its digits, and
// whatever is not the column's usual class behind a letter.
#include <string>
#include <vector>

#include "datasource/DumpColumn.h"

// A column as the table declares it (pragma table_xinfo).
struct SqliteDeclaredColumn {
    std::string name;  // whole, where the description cuts names at 64 characters
    std::string type;  // the declared type as written ("DECIMAL(12,2)"); empty for none
    // An INTEGER PRIMARY KEY of a table with rowids: it holds integers only.
    bool rowidAlias = false;
};

// Lists the columns `Select *` gives of `table`: name, declared type, whether
// it stands for the rowid (1 or 0); one row each, in their order. Without
// `tableList` (pragma table_list came with SQLite 3.37) no column is taken for
// the rowid.
std::string SqliteDeclaredColumnsQuery(const std::string& table, bool tableList);

// The dump columns of a table: family by declared type, the expression each
// is selected as, read as text.
std::vector<DumpColumn> PlanSqliteDump(const std::vector<SqliteDeclaredColumn>& declared,
                                       const std::string& identifierQuote);

// Turns the text of such an expression (its column's classInText set) back
// into the value: the bytes of a text or blob, the digits of a number. Returns
// the value's storage class as typeof() names it by its first letter ('t',
// 'b', 'i', 'r').
char DecodeSqliteValue(const DumpColumn& column, std::string& value, std::string& scratch);
