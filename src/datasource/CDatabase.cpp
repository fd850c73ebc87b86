#include "datasource/CDatabase.h"

#include <strings.h>

#include <algorithm>
#include <optional>
#include <cctype>
#include <vector>

#include "common/AsciiNoCase.h"
#include "datasource/ConnectPrompt.h"
#include "datasource/DatabaseError.h"
#include "datasource/EmbeddedSqlite.h"
#include "datasource/OdbcDiagnostics.h"
#include "datasource/SessionSettings.h"

namespace {

constexpr std::size_t kConnectOutSize = 512;

// A connect string attribute value, braced when it holds characters that would
// otherwise end or confuse the attribute.
std::string ConnectValue(const std::string& value)
{
    if (value.find_first_of(";{}=") == std::string::npos)
        return value;
    std::string braced = "{";
    for (char c : value) {
        braced += c;
        if (c == '}')
            braced += '}';
    }
    return braced + "}";
}

// Whether a failed connection was refused for its credentials, so that asking
// the user for a login makes sense.
bool IsLoginRejected(const DatabaseError& error)
{
    const std::string& state = error.state();
    if (state.rfind("28", 0) == 0)
        return true;
    const std::string& text = error.Message();
    return ContainsNoCase(text, "password") || ContainsNoCase(text, "access denied") ||
           ContainsNoCase(text, "authentication") || ContainsNoCase(text, "login failed");
}

} // namespace

CDatabase::~CDatabase()
{
    Close();
}

bool CDatabase::OpenDataSource(const std::string& name, const std::string& connectPrefix, bool useCursorLibrary)
{
    static const std::string kOdbc = "ODBC;";
    if (connectPrefix.size() < kOdbc.size() ||
        strncasecmp(connectPrefix.c_str(), kOdbc.c_str(), kOdbc.size()) != 0)
        return false;
    Close();

    std::string base = connectPrefix.substr(kOdbc.size());
    std::string dataSource = name;
    if (dataSource.empty()) {
        // The driver manager cannot prompt here: let the user pick a data source.
        if (!m_prompt || !m_prompt->ChooseDataSource(dataSource) || dataSource.empty())
            return false;
    }
    // Drivers echo the string back; without a leading ";" the name stays first.
    // A connection string is taken as it stands.
    const std::string named = IsConnectionString(dataSource)
                                  ? dataSource.substr(0, dataSource.find_last_not_of(';') + 1)
                                  : (base.empty() ? "DSN=" : base + ";DSN=") + dataSource;
    const std::string label = DataSourceLabel(dataSource);

    std::string connectString = named;
    for (;;) {
        try {
            return Connect(connectString, useCursorLibrary);
        } catch (const DatabaseError& error) {
            if (!m_prompt || !IsLoginRejected(error))
                throw error.WithContext("Cannot connect to the data source " + label + ".\n");
            std::string user;
            std::string password;
            if (!m_prompt->Login(label, error.Message(), user, password))
                return false;
            connectString = named + ";UID=" + ConnectValue(user) + ";PWD=" + ConnectValue(password);
        }
    }
}

bool CDatabase::Connect(const std::string& connectString, bool useCursorLibrary)
{
    TuneEmbeddedSqlite();  // before any driver can start SQLite
    SQLHENV env = m_env.Acquire();
    if (env == SQL_NULL_HENV)
        throw DatabaseError(SQL_ERROR, "The ODBC environment could not be allocated.\n", {"HY001", 0, ""});

    SQLHDBC hdbc = SQL_NULL_HDBC;
    SQLRETURN rc = SQLAllocConnect(env, &hdbc);
    if (!SQL_SUCCEEDED(rc)) {
        DatabaseError error = MakeDatabaseError(rc, env, SQL_NULL_HDBC, SQL_NULL_HSTMT);
        m_env.Release();
        throw error;
    }
    OdbcConnectionHandle handle(hdbc);
    SQLSetConnectOption(hdbc, SQL_LOGIN_TIMEOUT, m_dwLoginTimeout);
    if (useCursorLibrary)
        SQLSetConnectOption(hdbc, SQL_ODBC_CURSORS, SQL_CUR_USE_IF_NEEDED);

    SQLCHAR out[kConnectOutSize] = {};
    SQLSMALLINT outLength = 0;
    rc = RetryWhileExecuting([&] {
        return SQLDriverConnect(hdbc, nullptr, (SQLCHAR*)connectString.c_str(), SQL_NTS, out, sizeof out,
                                &outLength, SQL_DRIVER_NOPROMPT);
    });
    if (rc == SQL_NO_DATA) {
        handle.reset();
        m_env.Release();
        return false;
    }
    if (!SQL_SUCCEEDED(rc)) {
        DatabaseError error = MakeDatabaseError(rc, env, hdbc, SQL_NULL_HSTMT);
        handle.reset();
        m_env.Release();
        throw error;
    }

    m_hdbc = std::move(handle);
    m_strConnect = "ODBC;" + std::string(reinterpret_cast<char*>(out));
    m_bQueryTimeoutRejected = false;
    m_inTransaction = false;
    m_facts.reset();
    SQLUSMALLINT txn = 0;
    if (SQL_SUCCEEDED(SQLGetInfo(m_hdbc.get(), SQL_TXN_CAPABLE, &txn, sizeof txn, nullptr)))
        m_txnCapable = txn;
    else
        m_txnCapable = 0;
    return true;
}

void CDatabase::Close()
{
    if (!m_hdbc)
        return;
    // A command that began a transaction and ended without deciding: nothing
    // it did may stay half done.
    AbandonTrans();
    m_sqliteFile.Close();
    m_hdbc.reset();
    m_facts.reset();
    m_env.Release();
}

void CDatabase::ApplyQueryTimeout(SQLHSTMT statement)
{
    if (m_bQueryTimeoutRejected || m_dwQueryTimeout == 0)
        return;
    if (!SQL_SUCCEEDED(SQLSetStmtOption(statement, SQL_QUERY_TIMEOUT, m_dwQueryTimeout)))
        m_bQueryTimeoutRejected = true;
}

bool CDatabase::BeginTrans()
{
    if (!m_hdbc || m_txnCapable == 0)
        return false;
    const SQLRETURN rc = SQLSetConnectOption(m_hdbc.get(), SQL_AUTOCOMMIT, SQL_AUTOCOMMIT_OFF);
    if (!SQL_SUCCEEDED(rc))
        throw MakeDatabaseError(rc, m_env.get(), m_hdbc.get(), SQL_NULL_HSTMT);
    m_inTransaction = true;
    return true;
}

void CDatabase::CommitTrans()
{
    if (!m_hdbc || !m_inTransaction)
        return;
    m_inTransaction = false;
    const SQLRETURN rc = SQLTransact(SQL_NULL_HENV, m_hdbc.get(), SQL_COMMIT);
    // The diagnostics are read before autocommit goes back on, which clears them.
    std::optional<DatabaseError> error;
    if (!SQL_SUCCEEDED(rc))
        error = MakeDatabaseError(rc, m_env.get(), m_hdbc.get(), SQL_NULL_HSTMT);
    SQLSetConnectOption(m_hdbc.get(), SQL_AUTOCOMMIT, SQL_AUTOCOMMIT_ON);
    if (error)
        throw *error;
}

void CDatabase::RollbackTrans()
{
    if (!m_hdbc || !m_inTransaction)
        return;
    const SQLRETURN rc = SQLTransact(SQL_NULL_HENV, m_hdbc.get(), SQL_ROLLBACK);
    if (!SQL_SUCCEEDED(rc))
        throw MakeDatabaseError(rc, m_env.get(), m_hdbc.get(), SQL_NULL_HSTMT);
}

void CDatabase::AbandonTrans() noexcept
{
    if (!m_hdbc || !m_inTransaction)
        return;
    m_inTransaction = false;
    SQLTransact(SQL_NULL_HENV, m_hdbc.get(), SQL_ROLLBACK);
    SQLSetConnectOption(m_hdbc.get(), SQL_AUTOCOMMIT, SQL_AUTOCOMMIT_ON);
}

bool CDatabase::ConnectionDead() const
{
    if (!m_hdbc)
        return true;
    SQLUINTEGER dead = SQL_CD_FALSE;
    return SQL_SUCCEEDED(SQLGetConnectAttr(m_hdbc.get(), SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr)) &&
           dead == SQL_CD_TRUE;
}

const SqlLiteralFacts& CDatabase::Facts()
{
    if (!m_hdbc)
        throw DatabaseError(SQL_ERROR, "The connection to the data source is not open.\n", {"08003", 0, ""});
    if (!m_facts) {
        const auto info = [this](SQLUSMALLINT item, std::size_t size) {
            std::vector<char> buffer(size, '\0');
            SQLSMALLINT length = 0;
            if (!SQL_SUCCEEDED(
                    SQLGetInfo(m_hdbc.get(), item, buffer.data(), static_cast<SQLSMALLINT>(size), &length)))
                return std::string();
            return std::string(buffer.data());
        };
        const std::string driverName = info(SQL_DRIVER_NAME, 200);
        const std::string dbmsName = info(SQL_DBMS_NAME, 256);
        SqlLiteralFacts facts = SqlLiteralFacts::ForDriver(driverName, info(SQL_IDENTIFIER_QUOTE_CHAR, 8), dbmsName);
        facts.session = AskSessionSettings(*this, facts.dbms);
        m_facts = std::move(facts);
        m_driver = DriverFacts::Of(driverName, dbmsName);
    }
    return *m_facts;
}

const DriverFacts& CDatabase::Driver()
{
    Facts();
    return m_driver;
}

void ExtractDataSourceName(const std::string& connectString, std::string& name)
{
    const std::size_t at = connectString.find("DSN=");
    if (at == std::string::npos)
        return;
    std::string rest = connectString.substr(at + 4);
    const std::size_t semicolon = rest.find(';');
    if (semicolon != std::string::npos)
        rest.erase(semicolon);
    name = rest;
}

bool IsConnectionString(const std::string& dataSource)
{
    return dataSource.find('=') != std::string::npos;
}

std::string DataSourceLabel(const std::string& dataSource)
{
    if (!IsConnectionString(dataSource))
        return dataSource;
    // Passwords do not belong in messages or on a terminal.
    std::string label;
    std::size_t at = 0;
    while (at < dataSource.size()) {
        std::size_t end = dataSource.find(';', at);
        if (end == std::string::npos)
            end = dataSource.size();
        const std::string attribute = dataSource.substr(at, end - at);
        const std::size_t equals = attribute.find('=');
        std::string key = attribute.substr(0, equals);
        std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return std::toupper(c); });
        if (equals != std::string::npos && (key == "PWD" || key == "PASSWORD"))
            label += attribute.substr(0, equals + 1) + "***";
        else
            label += attribute;
        if (end < dataSource.size())
            label += ';';
        at = end + 1;
    }
    return label;
}
