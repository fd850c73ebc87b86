#pragma once
// A recordset over any SQL text: it describes its result columns at run time and
// reads every value of the current row as text. It also keeps the facts of the
// connected driver that decide how SQL literals are written.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "datasource/ColumnInfo.h"
#include "datasource/DriverFacts.h"
#include "datasource/DumpColumn.h"
#include "datasource/OdbcHandles.h"
#include "datasource/SqlLiteralFacts.h"

class BoundRowBlock;
class CDatabase;
class OutputFile;
class DumpRowOutput;
class SqliteFileReader;
struct SqliteDeclaredColumn;

class CRecordsetEx {
public:
    enum OpenType : unsigned { forwardOnly = 3 };
    // blockFetch: the rows may come in blocks (see FetchMode); OpenTable asks
    // for it, as only a dump reads enough rows for it to pay.
    enum Options : std::uint32_t { none = 0, executeDirect = 0x2000, blockFetch = 0x4000 };
    // Column names are described up to this length; longer ones are cut.
    static constexpr std::size_t kMaxColumnName = 64;
    // How OpenTable reads its rows: one row per SQLFetch with every value
    // through SQLGetData, or blocks of rows into bound buffers (SQLGetData
    // only for a value longer than its buffer). The same text either way;
    // `automatic` takes blocks on the drivers where they pay.
    enum class FetchMode { automatic, oneRow, block };

    explicit CRecordsetEx(CDatabase& database);  // the connection must be open
    virtual ~CRecordsetEx();
    CRecordsetEx(const CRecordsetEx&) = delete;
    CRecordsetEx& operator=(const CRecordsetEx&) = delete;

    // Runs `sql` unchanged; a result set is positioned on its first row.
    // Raises DatabaseError on every failure, the statement closed, also when
    // the connection is not open or gives no statement.
    void OpenQuery(unsigned openType, const std::string& sql, std::uint32_t options = none);
    // Opens the whole of `table` for a dump (forward-only) and keeps the name
    // for the key column list. The columns are those of "Select * from" the
    // quoted name; where the driver's own reading would change values, the
    // query asks for them in another form: on SQLite every value as its bytes
    // with its storage class (SqliteDumpQuery), on PostgreSQL dates,
    // timestamps and money as the server's text (PostgresDumpQuery).
    // A SQLite table that a connection of its own reads alike is read
    // straight from its file (SqliteFileReader), the same text much faster.
    void OpenTable(const std::string& table);
    // Applies to the next OpenTable.
    void SetFetchMode(FetchMode mode) { m_fetchMode = mode; }
    // Whether the next OpenTable may read a SQLite table from its file (the
    // default) or reads it through the driver in any case.
    void SetReadSqliteFile(bool allowed) { m_readSqliteFile = allowed; }
    // The rows of the open statement come in blocks.
    bool FetchesBlocks() const { return static_cast<bool>(m_block); }
    // The rows of the open table come straight from its SQLite file.
    bool ReadsSqliteFile() const { return static_cast<bool>(m_file); }
    virtual void MoveNext();
    void Close();
    bool IsOpen() const { return m_hstmt || m_file; }
    bool IsBOF() const { return m_bBOF; }
    bool IsEOF() const { return m_bEOF; }

    // Runs a statement without result set; the affected row count goes to m_lRowsAffected.
    void ExecuteDirect(const std::string& sql);
    // The same for a long series of statements: the statement handle is kept
    // from one call to the next (only its cursor is closed), which saves
    // allocating and setting up a handle per statement.
    void ExecuteInSeries(const std::string& sql);

    // The columns of "SELECT * FROM " + table. The table is named as the merge
    // file spells it, [name]; the brackets become the data source's identifier
    // quotes (servers other than SQLite reject brackets).
    void GetColumns(const std::string& table, std::vector<ColumnInfo>& columns);

    // Reads column `index` (0-based) of the current row as its dump text, in
    // the spelling of its type family (DumpColumn); sets m_bValueIsNull and
    // m_bValueIsText. An index outside the columns raises FieldNotFoundError.
    void GetFieldText(int index, std::string& text);

    int GetColumnCount() const { return m_nColumns; }
    const std::vector<ColumnInfo>& Columns() const { return m_columns; }

    // Writes the header line and every row to `file` (a text-mode file), joined by
    // `separator`, then closes the statement and the file. Always true; errors are raised.
    bool WriteRows(OutputFile& file, const std::string& separator);
    // The same rows to `output`, which is closed at the end.
    bool WriteRows(DumpRowOutput& output, const std::string& separator);

    // The columns that identify a row of the table OpenTable opened (its
    // declared key, see FindTableKey), as ascending indexes joined by ",".
    // After OpenQuery: the leading columns described as NOT NULL.
    void GetKeyColumnList(std::string& text);

    // The literal facts of the connected driver (for SQL generation).
    const SqlLiteralFacts& LiteralFacts() const { return m_literalFacts; }
    // Where the program treats the connected driver differently.
    const DriverFacts& Facts() const { return m_driverFacts; }

    // Rewrites [name] to the connection's identifier quotes outside text
    // literals (IdentifierQuoting); the Jet driver reads brackets itself and keeps them.
    void ReplaceBrackets(std::string& statement) const;

    const std::string& GetSQL() const { return m_strSQL; }
    CDatabase& Database() const { return m_database; }

    bool m_bValueIsNull = false;
    // Set by each GetFieldText: the value is text, which the dump writes in quotes.
    bool m_bValueIsText = false;
    std::int32_t m_lRowsAffected = 0;
    bool m_bJetDriver = true;
    std::string m_strDatePrefix = "#";
    std::string m_strDateSuffix = "#";
    std::string m_strTimePrefix = "#";
    std::string m_strTimeSuffix = "#";

    // Long types: only the terminator fits in the first read.
    static bool IsLongType(int sqlType);
    static bool IsBinaryType(int sqlType);

protected:
    // Closes what is open and sets up a new statement with the query time-out.
    // Raises DatabaseError when the connection is closed or gives none.
    void AllocateStatement(unsigned openType, std::uint32_t options, const std::string& sql);
    // Runs `execute` on the statement, describes the result and moves to its
    // first row; any error closes the statement and is raised. `adoptColumns`,
    // when given, may replace the described columns and their reading before
    // the first fetch.
    void ExecuteAndPosition(const std::function<SQLRETURN(SQLHSTMT)>& execute,
                            const std::function<void()>& adoptColumns = {});
    // Prepares and executes the SQL text of AllocateStatement (directly with executeDirect).
    SQLRETURN RunStatementText(SQLHSTMT statement);
    // As ExecuteAndPosition, for a dump query whose result columns are read
    // as `reading` says and stand for the table's `columns`.
    void ExecuteTableQuery(const std::string& sql, const std::vector<ColumnInfo>& columns,
                           std::vector<DumpColumn> reading);
    void DescribeColumns();
    // The columns "Select *" gives of `table`, without reading a row.
    std::vector<ColumnInfo> DescribeTable(const std::string& table);
    void OpenSqliteTable(const std::string& table);
    // Reads the rows of `table` from its file, positioned on the first row,
    // the table's `columns` planned as `reading`; false where the table must
    // be read through the driver.
    bool OpenSqliteFile(const std::string& table, const std::vector<SqliteDeclaredColumn>& declared,
                        const std::vector<ColumnInfo>& columns, const std::vector<DumpColumn>& reading);
    void OpenPostgresTable(const std::string& table);
    // The raw value of result column `column` (0-based) of the current row:
    // text, bytes, or a number's shortest text, as `fetch` says; false for NULL.
    bool ReadColumn(std::size_t column, FetchAs fetch, std::size_t firstRead, std::string& value);
    bool ReadNumber(std::size_t column, bool single, std::string& value);
    bool ReadData(std::size_t column, bool binary, std::size_t firstRead, std::string& value);
    void Fetch();
    // Binds the described columns for block fetches when they were asked for
    // and the driver allows them.
    void SetUpBlockFetch();
    bool BlockFetchPays() const;
    // The value of result column `column` from the bound buffers into
    // `value` (`null` for NULL); false when it must be read with SQLGetData
    // (the cursor is then on its row).
    bool ReadBlockColumn(std::size_t column, std::string& value, bool& null);
    // Called after every fetch that delivered a row.
    virtual void OnRowFetched() {}
    [[noreturn]] void ThrowError(SQLRETURN rc) const;

    CDatabase& m_database;
    OdbcStatementHandle m_hstmt;
    std::string m_strSQL;
    unsigned m_nOpenType = forwardOnly;
    std::uint32_t m_dwOptions = none;
    std::vector<ColumnInfo> m_columns;
    int m_nColumns = -1;
    // How each column is read and spelled, and the size of its first read.
    std::vector<DumpColumn> m_reading;
    std::vector<std::size_t> m_firstReadSizes;
    bool m_bBOF = true;
    bool m_bEOF = true;
    SqlLiteralFacts m_literalFacts;
    DriverFacts m_driverFacts;
    std::vector<char> m_buffer;  // value buffer reused across reads
    std::string m_scratch;       // room for spelling a value, reused
    FieldForm m_valueForm = FieldForm::checked;  // how the dump writes the value GetFieldText read
    std::string m_strTable;      // the table OpenTable opened; empty after OpenQuery
    FetchMode m_fetchMode = FetchMode::automatic;
    std::unique_ptr<BoundRowBlock> m_block;
    std::size_t m_blockRow = 0;  // the current row inside the block
    bool m_readSqliteFile = true;
    std::unique_ptr<SqliteFileReader> m_file;  // the rows of a table read from its SQLite file
};
