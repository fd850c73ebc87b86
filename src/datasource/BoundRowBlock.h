#pragma once
// Column buffers bound to a statement so that one SQLFetch brings a block of
// rows. Drivers such as psqlODBC and the MariaDB connector spend a large part
// of a dump on the way into and out of every SQLGetData call; bound buffers
// take a whole block of values per call. A value that does not fit its buffer
// is left to the caller, who reads it with SQLGetData after Position().
#include <sql.h>
#include <sqlext.h>

#include <cstddef>
#include <memory>
#include <vector>

class BoundRowBlock {
public:
    // The C type a column is bound as. Single-precision values come as
    // doubles, which hold every float exactly.
    enum class Target { text, binary, doubleValue, singleValue };
    struct Column {
        Target target = Target::text;
        std::size_t size = 0;  // bytes of one value's buffer (text: terminator included)
    };

    // Binds `columns` (in result order) to `statement` in blocks of up to
    // `maxRows` rows, fewer when the rows are wide, one when `oneRowOnly` (a
    // driver that reads values with SQLGetData only on a one-row block).
    // Null when the driver refuses a block or a binding; the statement is then
    // left as it was (nothing bound, one row per fetch).
    static std::unique_ptr<BoundRowBlock> Bind(SQLHSTMT statement, const std::vector<Column>& columns,
                                               std::size_t maxRows, bool oneRowOnly);

    // The buffers must outlive the bindings: free the statement (or unbind it)
    // before the block.
    ~BoundRowBlock() = default;
    BoundRowBlock(const BoundRowBlock&) = delete;
    BoundRowBlock& operator=(const BoundRowBlock&) = delete;

    // Fetches the next block (SQLFetch); SQL_NO_DATA after the last one.
    SQLRETURN Fetch();
    // Rows the last Fetch delivered.
    std::size_t Rows() const { return m_fetched; }

    // The driver reported an error for this row: its values are to be read
    // one by one, which raises the error.
    bool RowFailed(std::size_t row) const;
    SQLLEN Indicator(std::size_t row, std::size_t column) const { return m_columns[column].indicators[row]; }
    const char* Data(std::size_t row, std::size_t column) const
    {
        return m_columns[column].data.data() + row * m_columns[column].size;
    }
    const Column& Layout(std::size_t column) const { return m_columns[column]; }
    // True when the value was delivered whole (or is NULL).
    bool Complete(std::size_t row, std::size_t column) const;

    // Puts the cursor on `row` of the block, for SQLGetData.
    SQLRETURN Position(std::size_t row) const;

private:
    struct Buffer : Column {
        std::vector<char> data;
        std::vector<SQLLEN> indicators;
    };

    BoundRowBlock(SQLHSTMT statement, std::size_t capacity);

    SQLHSTMT m_statement;
    std::size_t m_capacity;
    std::vector<Buffer> m_columns;
    std::vector<SQLUSMALLINT> m_status;
    SQLULEN m_fetched = 0;
};
