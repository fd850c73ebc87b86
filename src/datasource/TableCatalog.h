#pragma once
// What the catalog of a data source says about one table beyond its result
// columns: which columns identify a row, which foreign keys tie tables
// together, and which columns a row must give. Tables are named bare, as the
// catalog lists them (no brackets, no quotes). Names are matched as the
// catalog spells them; a table is looked up where the connection's own
// queries find it (PostgreSQL: the first of that name on the search path;
// MariaDB: the current database), never a same-named table elsewhere.
#include <cstdint>
#include <string>
#include <vector>

#include "datasource/ColumnInfo.h"

class CDatabase;

// Where a table's row identity came from.
enum class KeySource {
    PrimaryKey,      // SQLPrimaryKeys (MariaDB names a table's first unique index of NOT NULL
                     // columns so when no primary key is declared)
    UniqueIndex,     // the first unique index (SQLStatistics) whose columns are all NOT NULL
    LeadingNotNull,  // no declared key: the leading NOT NULL columns
    None,            // none of these: rows are matched on all their columns
};

struct TableKey {
    KeySource source = KeySource::None;
    // Zero-based indexes into the result columns, ascending.
    std::vector<std::int32_t> columns;
};

// The row identity of `table`, whose result columns (in dump order) are
// `columns`: its primary key; else a unique index whose columns are all NOT
// NULL; else the leading NOT NULL columns (declared nullability from the
// catalog where the driver's description is wrong). A key column that is not
// among the result columns makes that key unusable, and the next rule is tried.
// Catalog calls that fail count as "nothing declared". An empty `table` (a
// query, not a table) leaves the column descriptions alone to decide.
TableKey FindTableKey(CDatabase& database, const std::string& table, const std::vector<ColumnInfo>& columns);

// One foreign key: the child's columns refer to the parent's, pairwise, in key
// sequence order.
struct ForeignKey {
    std::string name;  // empty where the catalog names none (SQLite)
    std::string childTable;
    std::vector<std::string> childColumns;
    std::string parentTable;
    std::vector<std::string> parentColumns;
};

// The foreign keys whose child and parent are both among `tables` (a table
// referring to itself included). Table names are returned as `tables` spells
// them: a catalog name matches exactly, or, when no name matches exactly,
// ignoring ASCII case if that leaves one. A key whose clause names no parent
// columns refers to the parent's primary key, and lists those. Catalog calls
// that fail give no keys.
std::vector<ForeignKey> ForeignKeysAmong(CDatabase& database, const std::vector<std::string>& tables);

// A column of a table of the merge data source, as an INSERT must fill it.
struct TargetColumn {
    std::string name;
    bool nullable = true;
    // The DBMS fills it when a row leaves it out: a declared default, an
    // identity, serial or auto-increment column, SQLite's rowid alias.
    bool hasDefault = false;
};

// The columns of `table` in the merge data source, in table order. Raises
// DatabaseError when the table cannot be described (SQLSTATE 42S02 when the
// connection finds no such table).
std::vector<TargetColumn> DescribeTargetColumns(CDatabase& database, const std::string& table);
