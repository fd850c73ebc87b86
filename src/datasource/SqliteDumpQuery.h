#pragma once
// The dump query of a SQLite table, which keeps every value's bytes and its
// storage class. The SQLite3 driver reads a text only up to its first NUL
// byte, writes a real with 15 digits, renders a blob in a column of another
// type as the text X'..', and tells nobody a value's storage class (any column
// may hold any class). So the query asks for every value as a blob of its
// bytes (CAST AS BLOB; a real as printf text with all its digits), and for a
// first result column that names the storage class of every value of a row
// whose values do not all have their column's usual class (NULL otherwise, so
// that ordinary rows cost one cheap test).
#include <string>
#include <vector>

#include "datasource/ColumnInfo.h"
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

struct SqliteDumpPlan {
    std::vector<DumpColumn> columns;  // fetched as bytes, with the class of an ordinary row
    std::string classesExpression;    // the first result column
};

SqliteDumpPlan PlanSqliteDump(const std::vector<SqliteDeclaredColumn>& declared, const std::string& identifierQuote);

// "Select" the classes column and every column's expression "from" the table.
std::string SqliteDumpSelect(const SqliteDumpPlan& plan, const std::string& table, const std::string& identifierQuote);
