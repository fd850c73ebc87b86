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
#include "datasource/OdbcHandles.h"
#include "datasource/SqlLiteralFacts.h"

class BoundRowBlock;
class CDatabase;
class OutputFile;

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
    // Opens the whole of `table` for a dump ("Select * from" the quoted name,
    // forward-only) and keeps the name for the key column list. On SQLite,
    // floating-point columns are asked for as printf text with all their
    // digits, since the driver hands them over with 15 whichever way they are read.
    void OpenTable(const std::string& table);
    // Applies to the next OpenTable.
    void SetFetchMode(FetchMode mode) { m_fetchMode = mode; }
    // The rows of the open statement come in blocks.
    bool FetchesBlocks() const { return static_cast<bool>(m_block); }
    virtual void MoveNext();
    void Close();
    bool IsOpen() const { return static_cast<bool>(m_hstmt); }
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

    // Reads column `index` (0-based) of the current row as text; sets m_bValueIsNull.
    // An index outside the columns raises FieldNotFoundError.
    void GetFieldText(int index, std::string& text);

    int GetColumnCount() const { return m_nColumns; }
    const std::vector<ColumnInfo>& Columns() const { return m_columns; }

    // Writes the header line and every row to `file` (a text-mode file), joined by
    // `separator`, then closes the statement and the file. Always true; errors are raised.
    bool WriteRows(OutputFile& file, const std::string& separator);

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
    std::int32_t m_lRowsAffected = 0;
    bool m_bJetDriver = true;
    std::string m_strDatePrefix = "#";
    std::string m_strDateSuffix = "#";
    std::string m_strTimePrefix = "#";
    std::string m_strTimeSuffix = "#";

    // Long types: only the terminator fits in the first read.
    static bool IsLongType(int sqlType);
    // SQL_FLOAT, SQL_DOUBLE and SQL_REAL: read as binary values.
    static bool IsFloatType(int sqlType);
    static bool IsBinaryType(int sqlType);
    // Types whose values the dump writes in double quotes.
    static bool IsQuotedInDump(int sqlType);

protected:
    // Closes what is open and sets up a new statement with the query time-out.
    // Raises DatabaseError when the connection is closed or gives none.
    void AllocateStatement(unsigned openType, std::uint32_t options, const std::string& sql);
    // Runs `execute` on the statement, describes the result and moves to its
    // first row; any error closes the statement and is raised.
    void ExecuteAndPosition(const std::function<SQLRETURN(SQLHSTMT)>& execute);
    void DescribeColumns();
    // A floating-point value read as a binary double (a float when `single`).
    void GetFloatText(int index, bool single, std::string& text);
    void Fetch();
    // Binds the described columns for block fetches when they were asked for
    // and the driver allows them.
    void SetUpBlockFetch();
    bool BlockFetchPays() const;
    // The value from the bound buffers; false when it must be read with
    // SQLGetData (the cursor is then on its row).
    bool GetBlockFieldText(int index, std::string& text);
    // Called after every fetch that delivered a row.
    virtual void OnRowFetched() {}
    [[noreturn]] void ThrowError(SQLRETURN rc) const;
    // SQLite lets a floating-point column hold any text, which a binary read
    // would turn into NULL or 0: there floats are read as text and rewritten.
    bool FloatsAsText() const { return m_driverFacts.dbms == DbmsKind::Sqlite; }

    CDatabase& m_database;
    OdbcStatementHandle m_hstmt;
    std::string m_strSQL;
    unsigned m_nOpenType = forwardOnly;
    std::uint32_t m_dwOptions = none;
    std::vector<ColumnInfo> m_columns;
    int m_nColumns = -1;
    bool m_bBOF = true;
    bool m_bEOF = true;
    SqlLiteralFacts m_literalFacts;
    DriverFacts m_driverFacts;
    std::vector<char> m_buffer;  // value buffer reused across reads
    std::string m_strTable;      // the table OpenTable opened; empty after OpenQuery
    FetchMode m_fetchMode = FetchMode::automatic;
    std::unique_ptr<BoundRowBlock> m_block;
    std::size_t m_blockRow = 0;  // the current row inside the block
};
