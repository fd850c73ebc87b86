#pragma once
// The rows of a SQLite table read straight from its file through the SQLite
// library, where a dump would otherwise read them through the SQLite3 ODBC
// driver. The driver copies and converts every value, and renders the texts
// of the dump query (SqliteDumpQuery) as hexadecimal digits that the dump
// turns back into bytes: most of a dump's time. Each value comes out as
// DecodeSqliteValue makes it of the dump query's text, storage class and all,
// so that either way writes the same dump.
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "datasource/DumpColumn.h"
#include "datasource/SqliteDumpQuery.h"
#include "datasource/SqliteHandles.h"

class SqliteFileConnection;

class SqliteFileReader {
public:
    // How a column's value is turned into the dump query's value: one shape
    // per expression of PlanSqliteDump.
    enum class Shape { column, textOrBlob, binary, real, temporal, general };

    // Selects the `declared` columns of `table`, to be read as `reading`
    // says, on `files`'s connection to the file the driver's connection reads
    // the table from. Null when the file does not read as the driver's connection reads
    // it (`seen`: a file no longer the one the driver has open, a different
    // schema, a view, a table of another schema, a text encoding other than
    // UTF-8) or when anything fails on the way: the caller then reads through
    // the driver.
    static std::unique_ptr<SqliteFileReader> Open(SqliteFileConnection& files, const SqliteTableSource& seen,
                                                  const std::string& table,
                                                  const std::vector<SqliteDeclaredColumn>& declared,
                                                  const std::vector<DumpColumn>& reading);

    // Moves to the next row; false after the last. Raises DatabaseError.
    bool Step();
    // Column `column` (0-based) of the current row: false for NULL; else the
    // value's storage class as DecodeSqliteValue gives it (StorageClass::none
    // for a column the dump query selects as it is) and its bytes or digits in
    // `value`.
    bool Read(std::size_t column, char& storageClass, std::string& value);

    // The statement that reads the rows.
    const std::string& Sql() const { return m_sql; }

    // Gives back the pages the connection keeps in memory: it stays open
    // with its ODBC connection, the memory need not.
    ~SqliteFileReader();
    SqliteFileReader(const SqliteFileReader&) = delete;
    SqliteFileReader& operator=(const SqliteFileReader&) = delete;

private:
    SqliteFileReader() = default;

    std::shared_ptr<sqlite3> m_connection;
    SqliteStatementHandle m_statement;  // finalized before the connection is let go
    std::vector<Shape> m_shapes;
    std::string m_sql;
};
