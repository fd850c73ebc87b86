#include "datasource/CRecordsetEx.h"

#include <algorithm>
#include <functional>

#include "datasource/BoundRowBlock.h"
#include "datasource/CDatabase.h"
#include "datasource/DatabaseError.h"
#include "datasource/FloatText.h"
#include "datasource/OdbcDiagnostics.h"

namespace {

constexpr std::size_t kNameBufferSize = CRecordsetEx::kMaxColumnName + 1;  // and the terminator
constexpr std::size_t kMaxFirstBuffer = 64 * 1024;   // first read of a value of unknown or huge size
constexpr std::size_t kLongFirstBuffer = 256;        // first read of a long value
// First read of any other value at least: a number's text can be longer than
// its precision (0.30000000000000004 in a DOUBLE of precision 15), and the
// MariaDB connector returns garbage for the rest of a number read in pieces.
constexpr std::size_t kMinFirstBuffer = 64;
// Rows of a fetched block, and the largest buffer bound to one value: longer
// values (long types above all) are read with SQLGetData when they come.
constexpr std::size_t kBlockRows = 1024;
constexpr std::size_t kMaxBoundValue = 4096;

void AppendHex(std::string& text, const unsigned char* bytes, std::size_t count)
{
    static const char digits[] = "0123456789ABCDEF";
    const std::size_t start = text.size();
    text.resize(start + 2 * count);
    char* out = text.data() + start;
    for (std::size_t i = 0; i < count; ++i) {
        *out++ = digits[bytes[i] >> 4];
        *out++ = digits[bytes[i] & 0x0F];
    }
}

// The size of the first read of a value: fixed-size values fit in one call.
std::size_t FirstReadSize(const ColumnInfo& column)
{
    std::size_t size;
    if (CRecordsetEx::IsLongType(column.sqlType) || column.precision == 0)
        size = kLongFirstBuffer;
    else if (column.sqlType == SQL_NUMERIC || column.sqlType == SQL_DECIMAL)
        size = std::min<std::size_t>(column.precision + 3u, kMaxFirstBuffer);
    else
        size = std::min<std::size_t>(column.precision + 1u, kMaxFirstBuffer);
    return std::max(size, kMinFirstBuffer);
}

} // namespace

CRecordsetEx::CRecordsetEx(CDatabase& database) : m_database(database)
{
    // On a closed connection every statement fails anyway; the facts stay the defaults.
    if (database.IsOpen()) {
        m_literalFacts = database.Facts();
        m_driverFacts = database.Driver();
    } else {
        m_literalFacts.identifierQuote = " ";
    }
    m_bJetDriver = m_literalFacts.jetDriver;
    m_strDatePrefix = m_literalFacts.datePrefix;
    m_strDateSuffix = m_literalFacts.dateSuffix;
    m_strTimePrefix = m_literalFacts.timePrefix;
    m_strTimeSuffix = m_literalFacts.timeSuffix;
}

CRecordsetEx::~CRecordsetEx()
{
    Close();
}

bool CRecordsetEx::IsLongType(int sqlType)
{
    return sqlType == SQL_LONGVARCHAR || sqlType == SQL_LONGVARBINARY || sqlType == SQL_WLONGVARCHAR ||
           sqlType == -97;
}

bool CRecordsetEx::IsFloatType(int sqlType)
{
    return sqlType == SQL_FLOAT || sqlType == SQL_DOUBLE || sqlType == SQL_REAL;
}

bool CRecordsetEx::IsBinaryType(int sqlType)
{
    return sqlType == SQL_BINARY || sqlType == SQL_VARBINARY || sqlType == SQL_LONGVARBINARY;
}

bool CRecordsetEx::IsQuotedInDump(int sqlType)
{
    switch (sqlType) {
    case SQL_CHAR:
    case SQL_VARCHAR:
    case SQL_LONGVARCHAR:
    case SQL_LONGVARBINARY:
    case SQL_WLONGVARCHAR:
    case -97:
    // Wide text and GUIDs hold separators and line breaks like any text.
    case SQL_WCHAR:
    case SQL_WVARCHAR:
    case SQL_GUID:
        return true;
    default:
        return false;
    }
}

void CRecordsetEx::ThrowError(SQLRETURN rc) const
{
    throw MakeDatabaseError(rc, SQL_NULL_HENV, m_database.Handle(), m_hstmt.get());
}

void CRecordsetEx::AllocateStatement(unsigned openType, std::uint32_t options, const std::string& sql)
{
    Close();
    m_nOpenType = openType;
    m_dwOptions = options;
    m_strSQL = sql;
    m_strTable.clear();
    if (!m_database.IsOpen())
        throw DatabaseError(SQL_ERROR, "The connection to the data source is not open.\n", {"08003", 0, ""});
    SQLHSTMT statement = SQL_NULL_HSTMT;
    const SQLRETURN rc = SQLAllocStmt(m_database.Handle(), &statement);
    if (!SQL_SUCCEEDED(rc))
        throw MakeDatabaseError(rc, SQL_NULL_HENV, m_database.Handle(), SQL_NULL_HSTMT);
    m_hstmt = OdbcStatementHandle(statement);
    m_database.ApplyQueryTimeout(statement);
}

void CRecordsetEx::ExecuteAndPosition(const std::function<SQLRETURN(SQLHSTMT)>& execute)
{
    try {
        const SQLRETURN rc = execute(m_hstmt.get());
        // A change that touched no row may answer "no data"; that is no failure.
        if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA)
            ThrowError(rc);
        DescribeColumns();
        SetUpBlockFetch();
        if (m_nColumns > 0)
            Fetch();
        else
            m_bEOF = true;
        m_bBOF = m_bEOF;
    } catch (...) {
        Close();
        throw;
    }
}

void CRecordsetEx::OpenQuery(unsigned openType, const std::string& sql, std::uint32_t options)
{
    AllocateStatement(openType, options, sql);
    ExecuteAndPosition([&](SQLHSTMT statement) {
        SQLCHAR* text = reinterpret_cast<SQLCHAR*>(m_strSQL.data());
        const SQLINTEGER length = static_cast<SQLINTEGER>(m_strSQL.size());
        if (options & executeDirect)
            return RetryWhileExecuting([&] { return SQLExecDirect(statement, text, length); });
        const SQLRETURN rc = RetryWhileExecuting([&] { return SQLPrepare(statement, text, length); });
        if (!SQL_SUCCEEDED(rc))
            return rc;
        return RetryWhileExecuting([&] { return SQLExecute(statement); });
    });
}

void CRecordsetEx::DescribeColumns()
{
    SQLHSTMT statement = m_hstmt.get();
    m_columns.clear();
    m_nColumns = -1;
    if (m_dwOptions & executeDirect) {
        SQLLEN count = 0;
        m_lRowsAffected = SQL_SUCCEEDED(SQLRowCount(statement, &count)) ? static_cast<std::int32_t>(count) : -1;
    }
    SQLSMALLINT count = 0;
    SQLRETURN rc = RetryWhileExecuting([&] { return SQLNumResultCols(statement, &count); });
    if (!SQL_SUCCEEDED(rc))
        ThrowError(rc);
    m_columns.reserve(count > 0 ? count : 0);
    for (SQLSMALLINT n = 1; n <= count; ++n) {
        SQLCHAR name[kNameBufferSize] = {};
        SQLSMALLINT nameLength = 0, type = 0, scale = 0, nullable = 0;
        SQLULEN precision = 0;
        rc = RetryWhileExecuting([&] {
            return SQLDescribeCol(statement, n, name, kNameBufferSize, &nameLength, &type, &precision, &scale,
                                  &nullable);
        });
        if (!SQL_SUCCEEDED(rc))
            ThrowError(rc);
        ColumnInfo info;
        const std::size_t length = std::min<std::size_t>(nameLength > 0 ? nameLength : 0, kNameBufferSize - 1);
        info.name.assign(reinterpret_cast<char*>(name), std::min(length, std::char_traits<char>::length(
                                                                                reinterpret_cast<char*>(name))));
        info.sqlType = type;
        info.precision = static_cast<std::uint32_t>(std::min<SQLULEN>(precision, 0xFFFFFFFFu));
        info.scale = scale;
        info.nullability = nullable;
        m_columns.push_back(std::move(info));
    }
    m_nColumns = count;
}

void CRecordsetEx::Fetch()
{
    if (m_block) {
        if (m_blockRow + 1 < m_block->Rows()) {
            ++m_blockRow;
        } else {
            const SQLRETURN rc = m_block->Fetch();
            if (rc == SQL_NO_DATA || (SQL_SUCCEEDED(rc) && m_block->Rows() == 0)) {
                m_bEOF = true;
                return;
            }
            if (!SQL_SUCCEEDED(rc))
                ThrowError(rc);
            m_blockRow = 0;
        }
        m_bEOF = false;
        OnRowFetched();
        return;
    }
    const SQLRETURN rc = RetryWhileExecuting([&] { return SQLFetch(m_hstmt.get()); });
    if (rc == SQL_NO_DATA) {
        m_bEOF = true;
        return;
    }
    if (!SQL_SUCCEEDED(rc))
        ThrowError(rc);
    m_bEOF = false;
    OnRowFetched();
}

void CRecordsetEx::MoveNext()
{
    if (!m_hstmt || m_bEOF)
        return;
    m_bBOF = false;
    Fetch();
}

void CRecordsetEx::Close()
{
    // The statement first: the driver writes into the block's buffers until it is freed.
    m_hstmt.reset();
    m_block.reset();
    m_bBOF = m_bEOF = true;
}

void CRecordsetEx::ExecuteDirect(const std::string& sql)
{
    m_lRowsAffected = 0;
    OpenQuery(forwardOnly, sql, executeDirect);
    Close();
}

void CRecordsetEx::ExecuteInSeries(const std::string& sql)
{
    m_lRowsAffected = 0;
    if (!m_hstmt || m_dwOptions != executeDirect || !m_columns.empty())
        AllocateStatement(forwardOnly, executeDirect, sql);
    m_strSQL = sql;
    SQLHSTMT statement = m_hstmt.get();
    SQLCHAR* text = reinterpret_cast<SQLCHAR*>(m_strSQL.data());
    const SQLINTEGER length = static_cast<SQLINTEGER>(m_strSQL.size());
    const SQLRETURN rc = RetryWhileExecuting([&] { return SQLExecDirect(statement, text, length); });
    // A change that touched no row may answer "no data"; that is no failure.
    if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA) {
        const DatabaseError error = MakeDatabaseError(rc, SQL_NULL_HENV, m_database.Handle(), statement);
        SQLFreeStmt(statement, SQL_CLOSE);
        throw error;
    }
    SQLLEN count = 0;
    m_lRowsAffected = SQL_SUCCEEDED(SQLRowCount(statement, &count)) ? static_cast<std::int32_t>(count) : -1;
    SQLFreeStmt(statement, SQL_CLOSE);
}

void CRecordsetEx::ReplaceBrackets(std::string& statement) const
{
    LiteralFacts().Names().RewriteBrackets(statement);
}

void CRecordsetEx::GetColumns(const std::string& table, std::vector<ColumnInfo>& columns)
{
    columns.clear();
    std::string sql = "SELECT * FROM " + table;
    ReplaceBrackets(sql);
    OpenQuery(forwardOnly, sql);
    columns = m_columns;
    Close();
}

void CRecordsetEx::GetFieldText(int index, std::string& text)
{
    if (m_nColumns <= 0)
        return;
    if (index < 0 || index >= m_nColumns)
        throw FieldNotFoundError(index);
    m_bValueIsNull = false;
    text.clear();

    if (m_block && GetBlockFieldText(index, text))
        return;
    const ColumnInfo& column = m_columns[static_cast<std::size_t>(index)];
    if (IsFloatType(column.sqlType) && !FloatsAsText()) {
        GetFloatText(index, column.sqlType == SQL_REAL, text);
        return;
    }
    const bool binary = IsBinaryType(column.sqlType);
    const SQLSMALLINT target = binary ? SQL_C_BINARY : SQL_C_CHAR;
    const std::size_t terminator = binary ? 0 : 1;
    std::size_t size = FirstReadSize(column);

    SQLHSTMT statement = m_hstmt.get();
    const SQLUSMALLINT columnNumber = static_cast<SQLUSMALLINT>(index + 1);
    std::string& value = text;
    bool first = true;
    for (;;) {
        if (m_buffer.size() < size)
            m_buffer.resize(size);
        SQLLEN indicator = 0;
        const SQLRETURN rc = RetryWhileExecuting([&] {
            return SQLGetData(statement, columnNumber, target, m_buffer.data(), static_cast<SQLLEN>(size),
                              &indicator);
        });
        if (rc == SQL_NO_DATA && !first)
            break;  // everything was read by the earlier calls
        if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO)
            ThrowError(rc);
        if (indicator == SQL_NULL_DATA) {
            m_bValueIsNull = true;
            text.clear();
            return;
        }
        const std::size_t room = size - terminator;
        const bool more = indicator == SQL_NO_TOTAL || static_cast<std::size_t>(indicator) > room;
        const std::size_t got = more ? room : static_cast<std::size_t>(indicator);
        if (binary)
            AppendHex(value, reinterpret_cast<const unsigned char*>(m_buffer.data()), got);
        else
            value.append(m_buffer.data(), got);
        if (!more || rc == SQL_SUCCESS)
            break;
        // The rest of a value that did not fit: read it in one more call when
        // the driver tells its length, else in growing pieces.
        size = indicator == SQL_NO_TOTAL ? std::max<std::size_t>(size * 2, 4096)
                                         : static_cast<std::size_t>(indicator) - got + terminator;
        first = false;
    }
    // An empty value is "0x" too: written as nothing, it would vanish as the
    // last field of a dump line (a trailing separator gives no field).
    if (binary)
        value.insert(0, "0x");
    // Text that is no number stays as it is.
    if (IsFloatType(column.sqlType))
        RewriteAsShortestDouble(value);
}

void CRecordsetEx::GetFloatText(int index, bool single, std::string& text)
{
    // One call: the MariaDB connector returns garbage for a second read of a number.
    double wide = 0;
    float narrow = 0;
    SQLLEN indicator = 0;
    const SQLRETURN rc = RetryWhileExecuting([&] {
        return single ? SQLGetData(m_hstmt.get(), static_cast<SQLUSMALLINT>(index + 1), SQL_C_FLOAT, &narrow,
                                   sizeof narrow, &indicator)
                      : SQLGetData(m_hstmt.get(), static_cast<SQLUSMALLINT>(index + 1), SQL_C_DOUBLE, &wide,
                                   sizeof wide, &indicator);
    });
    if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO)
        ThrowError(rc);
    if (indicator == SQL_NULL_DATA) {
        m_bValueIsNull = true;
        return;
    }
    text = single ? ShortestText(narrow) : ShortestText(wide);
}

bool CRecordsetEx::BlockFetchPays() const
{
    switch (m_fetchMode) {
    case FetchMode::oneRow:
        return false;
    case FetchMode::block:
        return true;
    case FetchMode::automatic:
        break;
    }
    return m_driverFacts.blockFetchPays;
}

void CRecordsetEx::SetUpBlockFetch()
{
    m_block.reset();
    m_blockRow = 0;
    if (!(m_dwOptions & blockFetch) || m_nColumns <= 0 || !BlockFetchPays())
        return;
    // A value longer than its buffer is read with SQLGetData from its bound
    // column, on its row of the block: drivers without that ability get
    // blocks of one row, which still saves the calls for the other values.
    SQLUINTEGER extensions = 0;
    if (!SQL_SUCCEEDED(SQLGetInfo(m_database.Handle(), SQL_GETDATA_EXTENSIONS, &extensions, sizeof extensions,
                                  nullptr)) ||
        !(extensions & SQL_GD_BOUND))
        return;
    std::vector<BoundRowBlock::Column> layout;
    layout.reserve(m_columns.size());
    bool everyValueFits = true;
    for (const ColumnInfo& column : m_columns) {
        BoundRowBlock::Column bound;
        if (IsFloatType(column.sqlType) && !FloatsAsText()) {
            bound.target = column.sqlType == SQL_REAL ? BoundRowBlock::Target::singleValue
                                                      : BoundRowBlock::Target::doubleValue;
            bound.size = sizeof(double);
            layout.push_back(bound);
            continue;
        }
        bound.target = IsBinaryType(column.sqlType) ? BoundRowBlock::Target::binary : BoundRowBlock::Target::text;
        std::size_t size = FirstReadSize(column);
        // The size of a text column counts characters; its UTF-8 takes up to four bytes each.
        const bool text = column.sqlType == SQL_CHAR || column.sqlType == SQL_VARCHAR ||
                          column.sqlType == SQL_WCHAR || column.sqlType == SQL_WVARCHAR;
        if (text && !IsLongType(column.sqlType) && column.precision > 0)
            size = std::max<std::size_t>(size, std::size_t{column.precision} * 4 + 1);
        if (IsLongType(column.sqlType) || column.precision == 0 || size > kMaxBoundValue)
            everyValueFits = false;
        bound.size = std::min(size, kMaxBoundValue);
        layout.push_back(bound);
    }
    // Where SQLGetData does not follow SQLSetPos to a row of the block, a
    // value too long for its buffer is read right only from a block of one row.
    const bool oneRow =
        !(extensions & SQL_GD_BLOCK) || (!m_driverFacts.getDataFollowsSetPos && !everyValueFits);
    m_block = BoundRowBlock::Bind(m_hstmt.get(), layout, kBlockRows, oneRow);
}

bool CRecordsetEx::GetBlockFieldText(int index, std::string& text)
{
    const std::size_t column = static_cast<std::size_t>(index);
    if (!m_block->RowFailed(m_blockRow) && m_block->Complete(m_blockRow, column)) {
        const SQLLEN indicator = m_block->Indicator(m_blockRow, column);
        if (indicator == SQL_NULL_DATA) {
            m_bValueIsNull = true;
            return true;
        }
        const char* data = m_block->Data(m_blockRow, column);
        switch (m_block->Layout(column).target) {
        case BoundRowBlock::Target::doubleValue:
            text = ShortestText(*reinterpret_cast<const double*>(data));
            return true;
        case BoundRowBlock::Target::singleValue:
            // The float the driver converted to a double, in its own shortest text.
            text = ShortestText(static_cast<float>(*reinterpret_cast<const double*>(data)));
            return true;
        case BoundRowBlock::Target::binary:
            // An empty value is "0x" too, as when it is read on its own.
            text = "0x";
            AppendHex(text, reinterpret_cast<const unsigned char*>(data), static_cast<std::size_t>(indicator));
            return true;
        case BoundRowBlock::Target::text:
            text.assign(data, static_cast<std::size_t>(indicator));
            if (IsFloatType(m_columns[column].sqlType))
                RewriteAsShortestDouble(text);
            return true;
        }
    }
    if (!m_driverFacts.getDataFollowsSetPos) {
        // Such a driver reads the first row of a block, where the fetch left
        // it; it gets longer blocks only when no value can outgrow its buffer,
        // and never may another row's value take this one's place.
        if (m_blockRow > 0)
            throw DatabaseError(SQL_ERROR, "A value was longer than its column allows and could not be read.\n",
                                {"HY000", 0, ""});
        return false;
    }
    const SQLRETURN rc = m_block->Position(m_blockRow);
    if (!SQL_SUCCEEDED(rc))
        ThrowError(rc);
    return false;
}
