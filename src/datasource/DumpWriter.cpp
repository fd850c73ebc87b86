// The table dump and the key column list of a recordset.
#include <algorithm>
#include <cstring>
#include <optional>

#include "common/AsciiNoCase.h"
#include "common/MergeFileLayout.h"
#include "common/DumpRowOutput.h"
#include "common/OutputFile.h"
#include "common/UiHooks.h"
#include "datasource/CDatabase.h"
#include "datasource/CRecordsetEx.h"
#include "datasource/DatabaseError.h"
#include "datasource/PostgresDumpQuery.h"
#include "datasource/SqliteDumpQuery.h"
#include "datasource/SqliteFileReader.h"
#include "datasource/TableCatalog.h"
#include "datasource/WholeTableQuery.h"

namespace {

// Where the driver's connection reads `table` from; nullopt where it cannot
// tell (SQLite before 3.37) or may hold changes that no other connection sees
// yet (autocommit off: a transaction is open or begins with the next statement).
std::optional<SqliteTableSource> SourceSeenByDriver(CDatabase& database, const std::string& table)
{
    SQLUINTEGER autocommit = SQL_AUTOCOMMIT_OFF;
    if (!SQL_SUCCEEDED(SQLGetConnectAttr(database.Handle(), SQL_ATTR_AUTOCOMMIT, &autocommit, 0, nullptr)) ||
        autocommit != SQL_AUTOCOMMIT_ON)
        return std::nullopt;
    CRecordsetEx query(database);
    try {
        query.OpenQuery(CRecordsetEx::forwardOnly, SqliteTableSourceQuery(table));
    } catch (const DatabaseError&) {
        return std::nullopt;
    }
    if (query.IsEOF())
        return std::nullopt;
    SqliteTableSource source;
    int column = 0;
    for (std::string* field : source.Fields())
        query.GetFieldText(column++, *field);
    return source;
}

} // namespace

void CRecordsetEx::OpenTable(const std::string& table)
{
    switch (m_driverFacts.dbms) {
    case DbmsKind::Sqlite:
        OpenSqliteTable(table);
        break;
    case DbmsKind::PostgreSql:
        OpenPostgresTable(table);
        break;
    case DbmsKind::MySql:
    case DbmsKind::Other:
        OpenQuery(forwardOnly, SelectAllText(table, LiteralFacts().identifierQuote), blockFetch);
        break;
    }
    m_strTable = table;
}

std::vector<ColumnInfo> CRecordsetEx::DescribeTable(const std::string& table)
{
    // No row is read: a driver that holds a whole result would read the table twice.
    OpenQuery(forwardOnly, SelectAllText(table, LiteralFacts().identifierQuote) + " where 1=0");
    std::vector<ColumnInfo> described = m_columns;
    Close();
    return described;
}

void CRecordsetEx::ExecuteTableQuery(const std::string& sql, const std::vector<ColumnInfo>& columns,
                                     std::vector<DumpColumn> reading)
{
    AllocateStatement(forwardOnly, blockFetch, sql);
    ExecuteAndPosition([&](SQLHSTMT statement) { return RunStatementText(statement); },
                       [&] {
                           const std::size_t expected = reading.size();
                           if (m_nColumns < 0 || static_cast<std::size_t>(m_nColumns) != expected)
                               throw DatabaseError(SQL_ERROR,
                                                   "The dump query of the table gave " + std::to_string(m_nColumns) +
                                                       " columns where " + std::to_string(expected) +
                                                       " were asked for.\n",
                                                   {"HY000", 0, ""});
                           // The expressions describe as text; the dump goes by the table's own columns.
                           m_columns = columns;
                           m_nColumns = static_cast<int>(columns.size());
                           m_reading = std::move(reading);
                       });
}

void CRecordsetEx::OpenSqliteTable(const std::string& table)
{
    const std::string& quote = LiteralFacts().identifierQuote;
    const std::vector<ColumnInfo> described = DescribeTable(table);
    std::vector<SqliteDeclaredColumn> declared;
    // On a recordset of its own: its rows are none of the table's.
    CRecordsetEx catalog(m_database);
    for (const bool tableList : {true, false}) {
        try {
            catalog.OpenQuery(forwardOnly, SqliteDeclaredColumnsQuery(table, tableList));
        } catch (const DatabaseError&) {
            continue;  // pragma table_list came with SQLite 3.37, table_xinfo with 3.26
        }
        for (; !catalog.IsEOF(); catalog.MoveNext()) {
            SqliteDeclaredColumn column;
            std::string alias;
            catalog.GetFieldText(0, column.name);
            catalog.GetFieldText(1, column.type);
            catalog.GetFieldText(2, alias);
            column.rowidAlias = alias == "1";
            declared.push_back(std::move(column));
        }
        catalog.Close();
        break;
    }
    if (declared.empty() || declared.size() != described.size()) {
        // Without the declared columns only the driver's own reading is left.
        OpenQuery(forwardOnly, SelectAllText(table, quote), blockFetch);
        return;
    }
    std::vector<DumpColumn> reading = PlanSqliteDump(declared, quote);
    if (m_readSqliteFile && OpenSqliteFile(table, declared, described, reading))
        return;
    std::vector<std::string> expressions;
    for (const DumpColumn& column : reading)
        expressions.push_back(column.expression);
    ExecuteTableQuery(SelectListText(expressions, table, quote), described, std::move(reading));
}

bool CRecordsetEx::OpenSqliteFile(const std::string& table, const std::vector<SqliteDeclaredColumn>& declared,
                                  const std::vector<ColumnInfo>& columns, const std::vector<DumpColumn>& reading)
{
    const std::optional<SqliteTableSource> seen = SourceSeenByDriver(m_database, table);
    if (!seen)
        return false;
    std::unique_ptr<SqliteFileReader> file =
        SqliteFileReader::Open(m_database.SqliteFile(), *seen, table, declared, reading);
    if (!file)
        return false;
    bool row = false;
    try {
        row = file->Step();
    } catch (const DatabaseError&) {
        return false;  // busy or damaged: the driver waits as it is set up to, or says what is wrong
    }
    Close();
    m_nOpenType = forwardOnly;
    m_dwOptions = none;
    m_strSQL = file->Sql();
    m_file = std::move(file);
    m_columns = columns;
    m_nColumns = static_cast<int>(columns.size());
    m_reading = reading;
    m_bEOF = !row;
    if (row) {
        try {
            OnRowFetched();
        } catch (...) {
            Close();
            throw;
        }
    }
    m_bBOF = m_bEOF;
    return true;
}

void CRecordsetEx::OpenPostgresTable(const std::string& table)
{
    const std::string& quote = LiteralFacts().identifierQuote;
    const std::vector<ColumnInfo> described = DescribeTable(table);
    std::vector<DumpColumn> reading = DescribedReading(described, DbmsKind::PostgreSql);
    if (!AddPostgresExpressions(reading, described, quote)) {
        OpenQuery(forwardOnly, SelectAllText(table, quote), blockFetch);
        return;
    }
    std::vector<std::string> expressions;
    for (std::size_t i = 0; i < described.size(); ++i)
        expressions.push_back(reading[i].expression.empty() ? QuotedIdentifier(described[i].name, quote)
                                                            : reading[i].expression);
    // The server writes dates in the session's DateStyle. psqlODBC sets ISO,
    // which it reads itself, at connect; a later SET may have changed it.
    CRecordsetEx session(m_database);
    session.OpenQuery(forwardOnly, "SELECT current_setting('DateStyle')");
    std::string dateStyle;
    session.GetFieldText(0, dateStyle);
    session.Close();
    if (!StartsWithNoCase(dateStyle, "ISO"))
        session.ExecuteDirect("SET DateStyle = 'ISO'");
    const std::string sql = SelectListText(expressions, table, quote);
    ExecuteTableQuery(sql, described, std::move(reading));
}

namespace {

// A value of a family written bare whose text would be misread there, or
// holds a NUL byte, which a merge file keeps only inside quotes.
bool NeedsQuotes(const std::string& value, const std::string& separator)
{
    return MergeFileLayout::NeedsQuotes(value, separator) || value.find('\0') != std::string::npos;
}

} // namespace

namespace {

// Ends each row of a dump, as a text-mode file ends its lines.
constexpr std::string_view kLineEnd = "\r\n";

// A text-mode dump file.
class DumpFileOutput : public DumpRowOutput {
public:
    explicit DumpFileOutput(OutputFile& file) : m_file(file) {}
    // Values go out byte for byte, the record end too.
    void WriteRow(std::string_view row) override { m_file.WriteUntranslated(row); }
    void Close() override { m_file.Close(); }

private:
    OutputFile& m_file;
};

} // namespace

bool CRecordsetEx::WriteRows(OutputFile& file, const std::string& separator)
{
    DumpFileOutput output(file);
    return WriteRows(output, separator);
}

bool CRecordsetEx::WriteRows(DumpRowOutput& output, const std::string& separator)
{
    WaitCursor wait;
    std::string line;
    for (int i = 0; i < m_nColumns; ++i) {
        line += m_columns[static_cast<std::size_t>(i)].name;
        if (i + 1 < m_nColumns)
            line += separator;
    }
    line += kLineEnd;
    output.WriteRow(line);

    if (!m_bBOF) {
        std::string value;
        while (!m_bEOF) {
            line.clear();
            for (int i = 0; i < m_nColumns; ++i) {
                GetFieldText(i, value);
                if (m_bValueIsNull)
                    line += MergeFileLayout::kNullField;
                else if (m_valueForm == FieldForm::quoted ||
                         (m_valueForm == FieldForm::checked && NeedsQuotes(value, separator)))
                    MergeFileLayout::AppendQuotedField(line, value);
                else
                    line += value;
                if (i + 1 < m_nColumns)
                    line += separator;
            }
            line += kLineEnd;
            output.WriteRow(line);
            MoveNext();
        }
    }
    // The statement goes with its last row: drivers that hold a whole result
    // (the MariaDB connector) would keep it through the comparison that follows.
    Close();
    output.Close();
    return true;
}

void CRecordsetEx::GetKeyColumnList(std::string& text)
{
    text = MergeFileLayout::KeyColumnListText(FindTableKey(m_database, m_strTable, m_columns).columns);
}
