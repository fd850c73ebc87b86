#pragma once
// One ODBC connection, opened from a data source name. The environment handle
// is shared by all connections of the process and freed with the last of them.
#include <cstdint>
#include <optional>
#include <string>

#include "datasource/OdbcHandles.h"
#include "datasource/SqlLiteralFacts.h"
#include "datasource/SqliteFileConnection.h"

class ConnectPrompt;

class CDatabase {
public:
    CDatabase() = default;
    ~CDatabase();
    CDatabase(const CDatabase&) = delete;
    CDatabase& operator=(const CDatabase&) = delete;

    // Connects. A non-empty name is reached with the connect string ";DSN=" + name,
    // or, when it holds "=", is itself the connection string
    // ("Driver=SQLite3;Database=/tmp/a.db"); an empty one asks the prompt to
    // choose a data source. Returns false when
    // the user cancels a prompt (or the prefix is not "ODBC;"); raises
    // DatabaseError on every other failure, the handle freed.
    bool OpenDataSource(const std::string& name, const std::string& connectPrefix = "ODBC;",
                        bool useCursorLibrary = true);
    void Close();
    bool IsOpen() const { return static_cast<bool>(m_hdbc); }

    // The prompt used for a missing name or rejected credentials (not owned; may be null,
    // then a prompt is taken as cancelled).
    void SetPrompt(ConnectPrompt* prompt) { m_prompt = prompt; }

    SQLHDBC Handle() const { return m_hdbc.get(); }

    // Query time-out for new statements; once a driver rejects the option it is not set again.
    void ApplyQueryTimeout(SQLHSTMT statement);

    // What the connected driver tells about writing and running SQL, and what
    // the session is set to, asked once per connection (a setting changed by a
    // statement later is not seen). Raises DatabaseError when the connection
    // is closed.
    const SqlLiteralFacts& Facts();
    // Where the program treats the connected driver differently, asked once too.
    const DriverFacts& Driver();
    // The program's own connection to the SQLite file this connection reads,
    // for reading tables straight from it; closed with this connection.
    SqliteFileConnection& SqliteFile() { return m_sqliteFile; }

    // Transactions: begins (autocommit off) where the data source supports them.
    // Returns whether a transaction was begun.
    bool BeginTrans();
    // Commits and turns autocommit back on, where a transaction was begun.
    void CommitTrans();
    // Undoes the open transaction and keeps it open (autocommit stays off), for
    // a caller that runs again what it still wants; nothing when none is open.
    void RollbackTrans();
    // Undoes the open transaction and turns autocommit back on; nothing when
    // none is open. Never throws: it is also the way out after a failure.
    void AbandonTrans() noexcept;
    bool InTransaction() const { return m_inTransaction; }
    // Whether the driver says the connection to the server is gone.
    bool ConnectionDead() const;
    // SQL_TXN_CAPABLE as reported at connect time.
    std::uint16_t TransactionCapable() const { return m_txnCapable; }

    std::string m_strConnect;               // "ODBC;" + the connect string the driver manager returned
    std::uint32_t m_dwLoginTimeout = 15;    // seconds
    std::uint32_t m_dwQueryTimeout = 15;    // seconds

private:
    bool Connect(const std::string& connectString, bool useCursorLibrary);

    OdbcEnvironmentRef m_env;
    OdbcConnectionHandle m_hdbc;
    ConnectPrompt* m_prompt = nullptr;
    bool m_bQueryTimeoutRejected = false;
    std::uint16_t m_txnCapable = 0;
    bool m_inTransaction = false;
    std::optional<SqlLiteralFacts> m_facts;
    DriverFacts m_driver;
    SqliteFileConnection m_sqliteFile;
};

// Keeps what follows the first "DSN=" up to the next ";". A text without "DSN="
// leaves `name` unchanged.
void ExtractDataSourceName(const std::string& connectString, std::string& name);

// Whether a data source argument is a connection string rather than a DSN.
bool IsConnectionString(const std::string& dataSource);

// A data source as messages and prompts name it: a DSN as it is, a
// connection string with its password values replaced by "***".
std::string DataSourceLabel(const std::string& dataSource);
