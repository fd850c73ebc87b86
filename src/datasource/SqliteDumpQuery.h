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
//
// SqliteFileReader reads the same values straight from the file; it follows
// the expressions of PlanSqliteDump class by class.
#include <array>
#include <string>
#include <string_view>
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

// The storage class of a number's text as the dump query gives it: a real's
// printf text has a point, an exponent or is Inf; an integer's has none.
char SqliteNumberClass(std::string_view text);

// Where a connection finds a table by its bare name, as SqliteTableSourceQuery
// reads it (one row, these columns in this order). Two connections that give
// the same row read the same table of the same file.
struct SqliteTableSource {
    std::string file;           // the main schema's file; empty for a database in memory
    std::string tables;         // tables and views of that name in every schema, temporary and attached ones too
    std::string mainTables;     // of these, ordinary tables of the main schema
    std::string schemaVersion;  // the main schema's version
    std::string encoding;       // of the main schema's texts
    std::string sourceId;       // of the SQLite library

    bool operator==(const SqliteTableSource&) const = default;
    // The fields in the order SqliteTableSourceQuery selects them.
    std::array<std::string*, 6> Fields() { return {&file, &tables, &mainTables, &schemaVersion, &encoding, &sourceId}; }
    // Another connection that opens `file` reads the table alike: it is the
    // one table of its name, an ordinary table of the main schema, whose
    // texts are UTF-8 (in a UTF-16 file, CAST(t AS BLOB) gives the UTF-16 bytes).
    bool ReadableFromFile() const;
};

// The query of SqliteTableSource. Needs SQLite 3.37 (pragma table_list).
std::string SqliteTableSourceQuery(const std::string& table);
