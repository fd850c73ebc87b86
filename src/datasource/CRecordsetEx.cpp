#include "datasource/CRecordsetEx.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include "datasource/BoundRowBlock.h"
#include "datasource/CDatabase.h"
#include "datasource/DatabaseError.h"
#include "datasource/FloatText.h"
#include "datasource/OdbcDiagnostics.h"
#include "datasource/SqliteDumpQuery.h"
#include "datasource/SqliteFileReader.h"

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

// The size of the first read of a value: fixed-size values fit in one call.
std::size_t FirstReadSize(const ColumnInfo& column, const DumpColumn& reading)
{
    std::size_t size;
    if (CRecordsetEx::IsLongType(column.sqlType) || column.precision == 0)
        size = kLongFirstBuffer;
    else if (column.sqlType == SQL_NUMERIC || column.sqlType == SQL_DECIMAL)
        size = std::min<std::size_t>(column.precision + 3u, kMaxFirstBuffer);
    else
        size = std::min<std::size_t>(column.precision + 1u, kMaxFirstBuffer);
    size = std::max(size, kMinFirstBuffer);
    // Two hexadecimal digits a byte, and X'..' around them.
    return reading.classInText ? 2 * size + 4 : size;
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

bool CRecordsetEx::IsBinaryType(int sqlType)
{
    return sqlType == SQL_BINARY || sqlType == SQL_VARBINARY || sqlType == SQL_LONGVARBINARY;
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

void CRecordsetEx::ExecuteAndPosition(const std::function<SQLRETURN(SQLHSTMT)>& execute,
                                      const std::function<void()>& adoptColumns)
{
    try {
        const SQLRETURN rc = execute(m_hstmt.get());
        // A change that touched no row may answer "no data"; that is no failure.
        if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA)
            ThrowError(rc);
        DescribeColumns();
        m_reading = DescribedReading(m_columns, m_driverFacts.dbms);
        if (adoptColumns)
            adoptColumns();
        m_firstReadSizes.clear();
        for (std::size_t i = 0; i < m_columns.size(); ++i)
            m_firstReadSizes.push_back(FirstReadSize(m_columns[i], m_reading[i]));
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

SQLRETURN CRecordsetEx::RunStatementText(SQLHSTMT statement)
{
    SQLCHAR* text = reinterpret_cast<SQLCHAR*>(m_strSQL.data());
    const SQLINTEGER length = static_cast<SQLINTEGER>(m_strSQL.size());
    if (m_dwOptions & executeDirect)
        return RetryWhileExecuting([&] { return SQLExecDirect(statement, text, length); });
    const SQLRETURN rc = RetryWhileExecuting([&] { return SQLPrepare(statement, text, length); });
    if (!SQL_SUCCEEDED(rc))
        return rc;
    return RetryWhileExecuting([&] { return SQLExecute(statement); });
}

void CRecordsetEx::OpenQuery(unsigned openType, const std::string& sql, std::uint32_t options)
{
    AllocateStatement(openType, options, sql);
    ExecuteAndPosition([&](SQLHSTMT statement) { return RunStatementText(statement); });
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
        char typeName[kNameBufferSize] = {};
        SQLSMALLINT typeNameLength = 0;
        if (SQL_SUCCEEDED(SQLColAttribute(statement, n, SQL_DESC_TYPE_NAME, typeName, sizeof typeName,
                                          &typeNameLength, nullptr)))
            info.typeName = typeName;
        m_columns.push_back(std::move(info));
    }
    m_nColumns = count;
}

void CRecordsetEx::Fetch()
{
    if (m_file) {
        m_bEOF = !m_file->Step();
        if (!m_bEOF)
            OnRowFetched();
        return;
    }
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
    if (!IsOpen() || m_bEOF)
        return;
    m_bBOF = false;
    Fetch();
}

void CRecordsetEx::Close()
{
    // The statement first: the driver writes into the block's buffers until it is freed.
    m_hstmt.reset();
    m_block.reset();
    m_file.reset();
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
    m_bValueIsText = false;
    const std::size_t column = static_cast<std::size_t>(index);
    const DumpColumn& reading = m_reading[column];
    char storageClass = StorageClass::none;
    const bool value = m_file ? m_file->Read(column, storageClass, text)
                              : ReadColumn(column, reading.fetch, m_firstReadSizes[column], text);
    if (!value) {
        m_bValueIsNull = true;
        text.clear();
        return;
    }
    if (!m_file && reading.classInText)
        storageClass = DecodeSqliteValue(reading, text, m_scratch);
    m_valueForm = SpellValue(reading, storageClass, text, m_scratch);
    m_bValueIsText = m_valueForm == FieldForm::quoted;
}

bool CRecordsetEx::ReadColumn(std::size_t column, FetchAs fetch, std::size_t firstRead, std::string& value)
{
    value.clear();
    if (m_block) {
        bool null = false;
        if (ReadBlockColumn(column, value, null))
            return !null;
    }
    switch (fetch) {
    case FetchAs::doubleValue:
        return ReadNumber(column, false, value);
    case FetchAs::singleValue:
        return ReadNumber(column, true, value);
    case FetchAs::binary:
        return ReadData(column, true, firstRead, value);
    case FetchAs::text:
        break;
    }
    return ReadData(column, false, firstRead, value);
}

bool CRecordsetEx::ReadData(std::size_t column, bool binary, std::size_t firstRead, std::string& value)
{
    const SQLSMALLINT target = binary ? SQL_C_BINARY : SQL_C_CHAR;
    const std::size_t terminator = binary ? 0 : 1;
    SQLHSTMT statement = m_hstmt.get();
    const SQLUSMALLINT columnNumber = static_cast<SQLUSMALLINT>(column + 1);
    std::size_t size = std::max(firstRead, kMinFirstBuffer);
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
        if (indicator == SQL_NULL_DATA)
            return false;
        // By the length the driver reports, never up to a NUL: text may hold NUL bytes.
        const std::size_t room = size - terminator;
        const bool more = indicator == SQL_NO_TOTAL || static_cast<std::size_t>(indicator) > room;
        const std::size_t got = more ? room : static_cast<std::size_t>(indicator);
        value.append(m_buffer.data(), got);
        if (!more || rc == SQL_SUCCESS)
            break;
        // The rest of a value that did not fit: read it in one more call when
        // the driver tells its length, else in growing pieces.
        size = indicator == SQL_NO_TOTAL ? std::max<std::size_t>(size * 2, 4096)
                                         : static_cast<std::size_t>(indicator) - got + terminator;
        first = false;
    }
    return true;
}

bool CRecordsetEx::ReadNumber(std::size_t column, bool single, std::string& value)
{
    // One call: the MariaDB connector returns garbage for a second read of a number.
    double wide = 0;
    float narrow = 0;
    SQLLEN indicator = 0;
    const SQLUSMALLINT columnNumber = static_cast<SQLUSMALLINT>(column + 1);
    const SQLRETURN rc = RetryWhileExecuting([&] {
        return single ? SQLGetData(m_hstmt.get(), columnNumber, SQL_C_FLOAT, &narrow, sizeof narrow, &indicator)
                      : SQLGetData(m_hstmt.get(), columnNumber, SQL_C_DOUBLE, &wide, sizeof wide, &indicator);
    });
    if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO)
        ThrowError(rc);
    if (indicator == SQL_NULL_DATA)
        return false;
    value = single ? ShortestText(narrow) : ShortestText(wide);
    return true;
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
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        const ColumnInfo& column = m_columns[i];
        BoundRowBlock::Column bound;
        switch (m_reading[i].fetch) {
        case FetchAs::doubleValue:
        case FetchAs::singleValue:
            bound.target = m_reading[i].fetch == FetchAs::singleValue ? BoundRowBlock::Target::singleValue
                                                                       : BoundRowBlock::Target::doubleValue;
            bound.size = sizeof(double);
            layout.push_back(bound);
            continue;
        case FetchAs::binary:
            bound.target = BoundRowBlock::Target::binary;
            break;
        case FetchAs::text:
            bound.target = BoundRowBlock::Target::text;
            break;
        }
        std::size_t size = m_firstReadSizes[i];
        // The size of a text column counts characters; its UTF-8 takes up to four bytes each.
        const bool text = column.sqlType == SQL_CHAR || column.sqlType == SQL_VARCHAR ||
                          column.sqlType == SQL_WCHAR || column.sqlType == SQL_WVARCHAR;
        if (text && !IsLongType(column.sqlType) && column.precision > 0)
            size = std::max<std::size_t>(size, std::size_t{column.precision} * (m_reading[i].classInText ? 8 : 4) + 4);
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

bool CRecordsetEx::ReadBlockColumn(std::size_t column, std::string& value, bool& null)
{
    if (!m_block->RowFailed(m_blockRow) && m_block->Complete(m_blockRow, column)) {
        const SQLLEN indicator = m_block->Indicator(m_blockRow, column);
        if (indicator == SQL_NULL_DATA) {
            null = true;
            return true;
        }
        const char* data = m_block->Data(m_blockRow, column);
        double number = 0;
        switch (m_block->Layout(column).target) {
        case BoundRowBlock::Target::doubleValue:
            std::memcpy(&number, data, sizeof number);
            value = ShortestText(number);
            return true;
        case BoundRowBlock::Target::singleValue:
            // The float the driver converted to a double, in its own shortest text.
            std::memcpy(&number, data, sizeof number);
            value = ShortestText(static_cast<float>(number));
            return true;
        case BoundRowBlock::Target::binary:
        case BoundRowBlock::Target::text:
            // By its length: text may hold NUL bytes.
            value.assign(data, static_cast<std::size_t>(indicator));
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
