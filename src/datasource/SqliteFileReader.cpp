#include "datasource/SqliteFileReader.h"

#include <sql.h>
#include <sys/stat.h>

#include <charconv>
#include <cmath>
#include <filesystem>
#include <optional>
#include <system_error>

#include "datasource/DatabaseError.h"
#include "datasource/SqliteFileConnection.h"
#include "datasource/WholeTableQuery.h"

namespace {

using Shape = SqliteFileReader::Shape;

// PlanSqliteDump gives each family but the rowid's one expression.
Shape ShapeOf(const DumpColumn& reading)
{
    if (!reading.classInText)
        return Shape::column;
    switch (reading.family) {
    case ValueFamily::text:
        return Shape::textOrBlob;
    case ValueFamily::binary:
        return Shape::binary;
    case ValueFamily::floating:
        return Shape::real;
    case ValueFamily::temporal:
        return Shape::temporal;
    default:
        return Shape::general;
    }
}

// Whether `file` is a file this process holds open: the driver's connection
// does, and so does the program's own once it has opened the file after this
// check. A file put in its place since is another one, whatever it holds.
bool HeldOpen(const std::string& file)
{
    struct stat wanted {};
    if (::stat(file.c_str(), &wanted) != 0)
        return false;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
        struct stat held {};
        if (::stat(entry.path().c_str(), &held) == 0 && held.st_dev == wanted.st_dev && held.st_ino == wanted.st_ino)
            return true;
    }
    return false;
}

// Where this connection finds `table`; nullopt when it cannot tell.
std::optional<SqliteTableSource> SourceOf(sqlite3* connection, const std::string& table)
{
    const std::string sql = SqliteTableSourceQuery(table);
    sqlite3_stmt* prepared = nullptr;
    const int rc = sqlite3_prepare_v2(connection, sql.c_str(), static_cast<int>(sql.size()), &prepared, nullptr);
    SqliteStatementHandle statement(prepared);
    if (rc != SQLITE_OK || sqlite3_step(prepared) != SQLITE_ROW)
        return std::nullopt;
    SqliteTableSource source;
    int column = 0;
    for (std::string* field : source.Fields()) {
        // A NULL reads as empty, as through the driver.
        if (const unsigned char* text = sqlite3_column_text(prepared, column))
            field->assign(reinterpret_cast<const char*>(text),
                          static_cast<std::size_t>(sqlite3_column_bytes(prepared, column)));
        ++column;
    }
    return source;
}

void AssignBytes(sqlite3_stmt* statement, int column, std::string& value)
{
    const void* bytes = sqlite3_column_blob(statement, column);
    const int size = sqlite3_column_bytes(statement, column);
    if (bytes == nullptr || size <= 0)
        value.clear();  // an empty blob has no pointer
    else
        value.assign(static_cast<const char*>(bytes), static_cast<std::size_t>(size));
}

// A value converted to text as SQLite converts it (a real with 15 digits).
void AssignText(sqlite3_stmt* statement, int column, std::string& value)
{
    const unsigned char* text = sqlite3_column_text(statement, column);
    const int size = sqlite3_column_bytes(statement, column);
    if (text == nullptr || size <= 0)
        value.clear();
    else
        value.assign(reinterpret_cast<const char*>(text), static_cast<std::size_t>(size));
}

void AssignInteger(sqlite3_stmt* statement, int column, std::string& value)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, sqlite3_column_int64(statement, column)).ptr;
    value.assign(digits, end);
}

// The dump query's printf text of a real (SqliteDumpQuery's RealText), by the
// same formatting routine the query's printf() runs.
void AssignRealText(sqlite3_stmt* statement, int column, std::string& value)
{
    const double number = sqlite3_column_double(statement, column);
    char text[64];
    sqlite3_snprintf(sizeof text, text, std::fabs(number) < 1e100 ? "%!.17g" : "%!.20e", number);
    value.assign(text);
}

} // namespace

std::unique_ptr<SqliteFileReader> SqliteFileReader::Open(SqliteFileConnection& files, const SqliteTableSource& seen,
                                                         const std::string& table,
                                                         const std::vector<SqliteDeclaredColumn>& declared,
                                                         const std::vector<DumpColumn>& reading)
{
    if (!seen.ReadableFromFile() || declared.empty() || declared.size() != reading.size() || !HeldOpen(seen.file))
        return nullptr;
    std::unique_ptr<SqliteFileReader> reader(new SqliteFileReader);
    reader->m_connection = files.To(seen.file);
    sqlite3* opened = reader->m_connection.get();
    if (opened == nullptr)
        return nullptr;
    // The same file, schema and library, and the table the driver's connection reads by that name.
    if (SourceOf(opened, table) != seen)
        return nullptr;

    std::string& sql = reader->m_sql;
    sql = "SELECT ";
    for (std::size_t i = 0; i < declared.size(); ++i) {
        if (i > 0)
            sql += ", ";
        sql += QuotedIdentifier(declared[i].name, "\"");
    }
    sql += " FROM main." + QuotedIdentifier(table, "\"");
    sqlite3_stmt* prepared = nullptr;
    const int prepareRc = sqlite3_prepare_v2(opened, sql.c_str(), static_cast<int>(sql.size()), &prepared, nullptr);
    reader->m_statement.reset(prepared);
    if (prepareRc != SQLITE_OK || sqlite3_column_count(prepared) != static_cast<int>(declared.size()))
        return nullptr;
    reader->m_shapes.reserve(reading.size());
    for (const DumpColumn& column : reading)
        reader->m_shapes.push_back(ShapeOf(column));
    return reader;
}

SqliteFileReader::~SqliteFileReader()
{
    m_statement.reset();
    if (m_connection)
        sqlite3_db_release_memory(m_connection.get());
}

bool SqliteFileReader::Step()
{
    const int rc = sqlite3_step(m_statement.get());
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    throw DatabaseError(SQL_ERROR, std::string(sqlite3_errmsg(m_connection.get())) + "\n",
                        {"HY000", sqlite3_extended_errcode(m_connection.get()), "[SQLite]"});
}

bool SqliteFileReader::Read(std::size_t column, char& storageClass, std::string& value)
{
    sqlite3_stmt* statement = m_statement.get();
    const int index = static_cast<int>(column);
    const Shape shape = m_shapes[column];
    switch (sqlite3_column_type(statement, index)) {
    case SQLITE_NULL:
        return false;
    case SQLITE_INTEGER:
        if (shape == Shape::real) {
            // Its printf text, as of a real.
            AssignRealText(statement, index, value);
            storageClass = SqliteNumberClass(value);
        } else {
            // A rowid holds integers only and goes as the driver writes them.
            AssignInteger(statement, index, value);
            storageClass = shape == Shape::column ? StorageClass::none : shape == Shape::textOrBlob ? 't' : 'i';
        }
        return true;
    case SQLITE_FLOAT:
        if (shape == Shape::textOrBlob) {
            // CAST(x AS BLOB) gives a real's text.
            AssignText(statement, index, value);
            storageClass = 't';
        } else {
            AssignRealText(statement, index, value);
            storageClass = shape == Shape::binary ? 'r' : SqliteNumberClass(value);
        }
        return true;
    case SQLITE_BLOB:
        AssignBytes(statement, index, value);
        // A date column takes a blob for the text of its bytes.
        storageClass = shape == Shape::temporal ? 't' : 'b';
        return true;
    default:
        AssignBytes(statement, index, value);
        storageClass = 't';
        return true;
    }
}
