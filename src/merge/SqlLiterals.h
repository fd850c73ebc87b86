#pragma once
// The SQL literal of one value read back from the merge file, for a column of
// the merge data source. On SQLite, PostgreSQL, MySQL and MariaDB a literal
// means the same under every session setting and in the DBMS's own client, so
// that the statements run as they are in a script too.
#include <string>
#include <string_view>

#include "datasource/ColumnInfo.h"
#include "datasource/SqlLiteralFacts.h"

// Appends the literal of `value` to `out`:
// - an unquoted NULL is SQL NULL, whatever the type (a quoted one is the text);
// - character types (also wide ones and GUID) are text literals: in
//   apostrophes, inner apostrophes doubled; a value with backslashes or
//   control characters (all but the line feed) as E'...' on PostgreSQL, as a
//   hex literal with a character set introducer on MySQL and MariaDB, with its
//   control characters joined in as char(n) on SQLite;
// - binary types (0x + hex digits) are the DBMS's binary literal;
// - DATE, TIME and TIMESTAMP are text literals on SQLite, PostgreSQL, MySQL and
//   MariaDB, which read them in the column's type; elsewhere they get the
//   driver's escapes ({d '...'}, {t '...'}, {ts '...'}; #...# with the Jet
//   driver, whose timestamps are rewritten to mm/dd/yyyy);
// - other types (numbers, bit) are written as they are when they are plain
//   decimal numbers; a quoted field or any other text is a text literal.
void AppendSqlLiteral(std::string& out, const std::string& value, bool quoted, const ColumnInfo& column,
                      const SqlLiteralFacts& facts);

// The same for a comparison in a condition, where a floating-point column must
// find the value it holds: PostgreSQL compares a REAL with a double literal as
// a double, and MariaDB likewise a FLOAT, so the literal is given the column's
// own precision there.
void AppendConditionLiteral(std::string& out, const std::string& value, bool quoted, const ColumnInfo& column,
                            const SqlLiteralFacts& facts);

// Why `value` cannot go into a statement for `column`, naming the column; empty
// when it can. PostgreSQL text cannot hold a NUL byte, and on a DBMS the
// program does not know, a NUL could cut the statement: such a value is not
// written rather than written cut.
std::string LiteralProblem(const std::string& value, const ColumnInfo& column, const SqlLiteralFacts& facts);

// The Jet form of a timestamp: yyyy-mm-dd[ rest] becomes mm/dd/yyyy[ rest];
// a value whose first '-' is not at index 4 stays as it is.
std::string JetTimestamp(const std::string& value);

// The binary literal of a dump value ("0x0102"; empty text or "0x" alone is the
// empty value). False when the text is no even-length run of hex digits.
bool AppendBinaryLiteral(std::string& out, std::string_view value, const SqlLiteralFacts& facts);
