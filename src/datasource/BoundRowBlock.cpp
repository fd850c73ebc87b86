#include "datasource/BoundRowBlock.h"

#include <algorithm>
#include <cstdint>

#include "datasource/OdbcDiagnostics.h"

namespace {

// The buffers of one block stay around this size whatever the row width, so
// that wide rows do not make a block of many megabytes.
constexpr std::size_t kBlockBytes = 2 * 1024 * 1024;

SQLSMALLINT CType(BoundRowBlock::Target target)
{
    switch (target) {
    case BoundRowBlock::Target::binary:
        return SQL_C_BINARY;
    // Single-precision values too: the MariaDB connector writes the rows of
    // an SQL_C_FLOAT array eight bytes apart, over their neighbours.
    case BoundRowBlock::Target::doubleValue:
    case BoundRowBlock::Target::singleValue:
        return SQL_C_DOUBLE;
    case BoundRowBlock::Target::text:
        break;
    }
    return SQL_C_CHAR;
}

SQLRETURN SetAttribute(SQLHSTMT statement, SQLINTEGER attribute, SQLPOINTER value)
{
    return SQLSetStmtAttr(statement, attribute, value, 0);
}

// Back to one row per fetch with nothing bound.
void Unbind(SQLHSTMT statement)
{
    SQLFreeStmt(statement, SQL_UNBIND);
    SetAttribute(statement, SQL_ATTR_ROW_STATUS_PTR, nullptr);
    SetAttribute(statement, SQL_ATTR_ROWS_FETCHED_PTR, nullptr);
    SetAttribute(statement, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(std::uintptr_t{1}));
}

} // namespace

BoundRowBlock::BoundRowBlock(SQLHSTMT statement, std::size_t capacity)
    : m_statement(statement), m_capacity(capacity), m_status(capacity, SQL_ROW_NOROW)
{
}

std::unique_ptr<BoundRowBlock> BoundRowBlock::Bind(SQLHSTMT statement, const std::vector<Column>& columns,
                                                   std::size_t maxRows, bool oneRowOnly)
{
    if (columns.empty() || columns.size() > 0x7FFF)
        return nullptr;
    std::size_t rowBytes = 0;
    for (const Column& column : columns)
        rowBytes += column.size + sizeof(SQLLEN);
    const std::size_t capacity =
        oneRowOnly ? 1 : std::clamp<std::size_t>(kBlockBytes / rowBytes, 1, std::max<std::size_t>(maxRows, 1));

    std::unique_ptr<BoundRowBlock> block(new BoundRowBlock(statement, capacity));
    block->m_columns.reserve(columns.size());
    for (const Column& column : columns) {
        Buffer buffer;
        static_cast<Column&>(buffer) = column;
        buffer.data.assign(column.size * capacity, '\0');
        buffer.indicators.assign(capacity, 0);
        block->m_columns.push_back(std::move(buffer));
    }
    bool bound = SQL_SUCCEEDED(SetAttribute(statement, SQL_ATTR_ROW_BIND_TYPE,
                                            reinterpret_cast<SQLPOINTER>(std::uintptr_t{SQL_BIND_BY_COLUMN}))) &&
                 SQL_SUCCEEDED(SetAttribute(statement, SQL_ATTR_ROW_ARRAY_SIZE,
                                            reinterpret_cast<SQLPOINTER>(static_cast<std::uintptr_t>(capacity)))) &&
                 SQL_SUCCEEDED(SetAttribute(statement, SQL_ATTR_ROWS_FETCHED_PTR, &block->m_fetched)) &&
                 SQL_SUCCEEDED(SetAttribute(statement, SQL_ATTR_ROW_STATUS_PTR, block->m_status.data()));
    // A driver may take the attribute and quietly keep a smaller block.
    if (bound) {
        SQLULEN granted = 0;
        bound = SQL_SUCCEEDED(SQLGetStmtAttr(statement, SQL_ATTR_ROW_ARRAY_SIZE, &granted, 0, nullptr)) &&
                granted == capacity;
    }
    for (std::size_t i = 0; bound && i < block->m_columns.size(); ++i) {
        Buffer& buffer = block->m_columns[i];
        bound = SQL_SUCCEEDED(SQLBindCol(statement, static_cast<SQLUSMALLINT>(i + 1), CType(buffer.target),
                                         buffer.data.data(), static_cast<SQLLEN>(buffer.size),
                                         buffer.indicators.data()));
    }
    if (!bound) {
        Unbind(statement);
        return nullptr;
    }
    return block;
}

SQLRETURN BoundRowBlock::Fetch()
{
    // The driver leaves the count as it was when no row comes.
    m_fetched = 0;
    return RetryWhileExecuting([&] { return SQLFetch(m_statement); });
}

bool BoundRowBlock::RowFailed(std::size_t row) const
{
    return m_status[row] == SQL_ROW_ERROR;
}

bool BoundRowBlock::Complete(std::size_t row, std::size_t column) const
{
    const Buffer& buffer = m_columns[column];
    const SQLLEN indicator = buffer.indicators[row];
    if (indicator == SQL_NULL_DATA)
        return true;
    if (indicator < 0)  // SQL_NO_TOTAL: longer than the buffer, length unknown
        return false;
    switch (buffer.target) {
    case Target::text:
        return static_cast<std::size_t>(indicator) < buffer.size;  // and the terminator
    case Target::binary:
        return static_cast<std::size_t>(indicator) <= buffer.size;
    case Target::doubleValue:
    case Target::singleValue:
        return true;
    }
    return false;
}

SQLRETURN BoundRowBlock::Position(std::size_t row) const
{
    // A block of one row stands on its row already; drivers that read bound
    // columns with SQLGetData only on such blocks need no SQLSetPos.
    if (m_capacity == 1)
        return SQL_SUCCESS;
    return RetryWhileExecuting(
        [&] { return SQLSetPos(m_statement, static_cast<SQLSETPOSIROW>(row + 1), SQL_POSITION, SQL_LOCK_NO_CHANGE); });
}
