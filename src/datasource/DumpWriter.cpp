// The table dump and the key column list of a recordset.
#include <algorithm>
#include <cstring>

#include "common/MergeFileLayout.h"
#include "common/OutputFile.h"
#include "common/UiHooks.h"
#include "datasource/CDatabase.h"
#include "datasource/CRecordsetEx.h"
#include "datasource/OdbcDiagnostics.h"
#include "datasource/WholeTableQuery.h"

void CRecordsetEx::OpenTable(const std::string& table)
{
    const std::string& quote = LiteralFacts().identifierQuote;
    OpenQuery(forwardOnly, SelectAllText(table, quote), blockFetch);
    if (FloatsAsText()) {
        // SQLite renders a real with 15 digits, which loses the last ones. Its
        // printf with the "!" flag gives 17, which read back to the same double
        // below 1e100; above, its digits drift, and 21 of them are needed.
        // Other values in such a column (any text, integers) come as they are.
        std::string columns;
        bool wrapped = false;
        for (const ColumnInfo& column : m_columns) {
            const std::string name = QuotedIdentifier(column.name, quote);
            if (!columns.empty())
                columns += ", ";
            // A name cut to 64 characters by the column description cannot be selected.
            if (IsFloatType(column.sqlType) && column.name.size() < kMaxColumnName) {
                columns += "CASE WHEN typeof(" + name + ") <> 'real' THEN " + name + " WHEN abs(" + name +
                           ") < 1e100 THEN printf('%!.17g', " + name + ") ELSE printf('%!.20e', " + name +
                           ") END AS " + name;
                wrapped = true;
            } else {
                columns += name;
            }
        }
        if (wrapped) {
            const std::vector<ColumnInfo> described = m_columns;
            OpenQuery(forwardOnly, "Select " + columns + " from " + QuotedIdentifier(table, quote), blockFetch);
            // The expressions describe as text; the dump goes by the table's own types.
            m_columns = described;
        }
    }
    m_strTable = table;
}

bool CRecordsetEx::WriteRows(OutputFile& file, const std::string& separator)
{
    WaitCursor wait;
    std::string line;
    for (int i = 0; i < m_nColumns; ++i) {
        line += m_columns[static_cast<std::size_t>(i)].name;
        if (i + 1 < m_nColumns)
            line += separator;
    }
    file.WriteUntranslated(line);
    file.Write("\n", 1);

    if (!m_bBOF) {
        std::vector<bool> quoted(static_cast<std::size_t>(std::max(m_nColumns, 0)));
        for (int i = 0; i < m_nColumns; ++i)
            quoted[static_cast<std::size_t>(i)] = IsQuotedInDump(m_columns[static_cast<std::size_t>(i)].sqlType);
        std::string value;
        while (!m_bEOF) {
            line.clear();
            for (int i = 0; i < m_nColumns; ++i) {
                GetFieldText(i, value);
                if (m_bValueIsNull)
                    line += MergeFileLayout::kNullField;
                else if (quoted[static_cast<std::size_t>(i)] || MergeFileLayout::NeedsQuotes(value, separator))
                    MergeFileLayout::AppendQuotedField(line, value);
                else
                    line += value;
                if (i + 1 < m_nColumns)
                    line += separator;
            }
            // Values go out byte for byte; only the record end becomes CR LF.
            file.WriteUntranslated(line);
            file.Write("\n", 1);
            MoveNext();
        }
    }
    // The statement goes with its last row: drivers that hold a whole result
    // (the MariaDB connector) would keep it through the comparison that follows.
    Close();
    file.Close();
    return true;
}

void CRecordsetEx::GetKeyColumnList(std::string& text)
{
    std::vector<std::int32_t> keyColumns;
    for (int i = 0; i < m_nColumns; ++i) {
        std::int16_t nullability = m_columns[static_cast<std::size_t>(i)].nullability;
        if (nullability != SQL_NO_NULLS)
            nullability = CatalogNullability(static_cast<std::size_t>(i));
        if (nullability != SQL_NO_NULLS)
            break;
        keyColumns.push_back(i);
    }
    text = MergeFileLayout::KeyColumnListText(keyColumns);
}

std::int16_t CRecordsetEx::CatalogNullability(std::size_t column)
{
    const ColumnInfo& info = m_columns[column];
    if (!m_catalogLoaded) {
        m_catalogLoaded = true;
        m_catalogNullability.clear();
        if (m_strTable.empty() || !m_database.IsOpen())
            return info.nullability;
        SQLCHAR* table = reinterpret_cast<SQLCHAR*>(m_strTable.data());
        const SQLSMALLINT tableLength = static_cast<SQLSMALLINT>(m_strTable.size());

        // Declared nullability of every column (SQLColumns column 11, NULLABLE).
        OdbcStatementHandle columns;
        SQLHSTMT h = SQL_NULL_HSTMT;
        if (SQL_SUCCEEDED(SQLAllocStmt(m_database.Handle(), &h))) {
            columns = OdbcStatementHandle(h);
            if (SQL_SUCCEEDED(RetryWhileExecuting(
                    [&] { return SQLColumns(h, nullptr, 0, nullptr, 0, table, tableLength, nullptr, 0); }))) {
                while (SQL_SUCCEEDED(RetryWhileExecuting([&] { return SQLFetch(h); }))) {
                    // The table name is a search pattern ("_" is any character):
                    // columns of other tables that match it are left out.
                    char tableName[256] = {};
                    SQLLEN foundLength = 0;
                    if (!SQL_SUCCEEDED(SQLGetData(h, 3, SQL_C_CHAR, tableName, sizeof tableName, &foundLength)) ||
                        m_strTable != tableName)
                        continue;
                    char name[256] = {};
                    SQLLEN nameLength = 0, nullableLength = 0;
                    SQLSMALLINT nullable = SQL_NULLABLE_UNKNOWN;
                    SQLGetData(h, 4, SQL_C_CHAR, name, sizeof name, &nameLength);
                    if (!SQL_SUCCEEDED(SQLGetData(h, 11, SQL_C_SSHORT, &nullable, 0, &nullableLength)) ||
                        nullableLength == SQL_NULL_DATA)
                        nullable = SQL_NULLABLE_UNKNOWN;
                    m_catalogNullability.emplace_back(name, nullable);
                }
            }
        }
        columns.reset();
        // A primary key column is never NULL, declared so or not.
        h = SQL_NULL_HSTMT;
        if (SQL_SUCCEEDED(SQLAllocStmt(m_database.Handle(), &h))) {
            OdbcStatementHandle keys(h);
            if (SQL_SUCCEEDED(RetryWhileExecuting(
                    [&] { return SQLPrimaryKeys(h, nullptr, 0, nullptr, 0, table, tableLength); }))) {
                while (SQL_SUCCEEDED(RetryWhileExecuting([&] { return SQLFetch(h); }))) {
                    char name[256] = {};
                    SQLLEN nameLength = 0;
                    SQLGetData(h, 4, SQL_C_CHAR, name, sizeof name, &nameLength);
                    bool found = false;
                    for (auto& entry : m_catalogNullability)
                        if (entry.first == name) {
                            entry.second = SQL_NO_NULLS;
                            found = true;
                        }
                    if (!found)
                        m_catalogNullability.emplace_back(name, SQL_NO_NULLS);
                }
            }
        }
    }
    for (const auto& entry : m_catalogNullability)
        if (entry.first == info.name)
            return entry.second;
    return info.nullability;
}
