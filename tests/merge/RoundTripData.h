#pragma once
// The tables of the round trip: their columns on each DBMS and the rows of the
// old and the new table. Values are written here as the test's own SQL, not
// through the program's statement generators.
#include <optional>

#include "RawOdbc.h"
#include <string>
#include <vector>

namespace roundtrip {

enum class Dbms { Sqlite, Postgres, MariaDb };
enum class Kind { Number, Text, Temporal, Binary, Bool };

using Value = std::optional<std::string>;  // nullopt: SQL NULL
using Row = std::vector<Value>;

struct Column {
    const char* name;
    Kind kind;
    const char* type[3];  // SQLite, PostgreSQL, MariaDB
};

struct Table {
    const char* name;
    std::vector<Column> columns;
    const char* primaryKey;  // column list of the primary key; empty for none
    const char* uniqueKey = "";  // column list of a UNIQUE constraint; empty for none
    std::vector<Row> oldRows;
    std::vector<Row> newRows;
    // What the merge must find: rows to add, pairs to update, rows to delete.
    int adds;
    int updates;
    int deletes;
};

// The test's own literal of a value (independent of the code under test).
std::string Literal(Dbms dbms, Kind kind, const Value& value);
// The table name in the identifier quotes of the DBMS.
std::string QuotedName(Dbms dbms, const std::string& name);
std::string CreateTable(Dbms dbms, const Table& table, const std::string& name);
std::string InsertRow(Dbms dbms, const Table& table, const std::string& name, const Row& row);
std::string SelectAll(const Table& table, const std::string& name, const std::string& quote);

// Rows sorted, for comparing tables without regard to row order.
std::vector<rawodbc::Row> Sorted(std::vector<rawodbc::Row> rows);
// The expected rows of a table, sorted.
std::vector<rawodbc::Row> Expected(const std::vector<Row>& rows);
// Rows read back from a data source as the drivers render them for comparison
// (CHAR padding and a fraction of zero seconds are the column's, not the
// value's), sorted.
std::vector<rawodbc::Row> Normalised(std::vector<rawodbc::Row> rows, const Table& table);

// Every common type, a primary key of one column.
Table TypesTable();
// A primary key of two columns.
Table PairTable();
// A first column that allows NULL: no key, so changes are deletes and adds.
Table NoKeyTable();
// A binary last column holding empty values, whose dump field is then the
// last one of its line.
Table LastBinaryTable();
// Text values that only the doubled double quote of the dump keeps apart, in a
// key column and in a column whose type the dump writes unquoted on SQLite.
Table QuotesTable();
// Floating-point values whose last digits, range ends and subnormals must all
// arrive.
Table FloatTable();
// A small table under a name that holds brackets.
Table BracketNameTable(const char* name);
// A primary key after a NOT NULL column: the key is the primary key alone, so
// a change of that column is an update.
Table LateKeyTable();
// A primary key on the second and fourth columns, declared in another order.
Table SplitKeyTable();
// No primary key, a nullable first column and a unique constraint of a NOT
// NULL column: the unique column is the key.
Table UniqueKeyTable();
// No key at all and rows that occur more than once on a side.
Table DuplicatesTable();

} // namespace roundtrip
