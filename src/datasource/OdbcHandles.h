#pragma once
// Move-only owners of ODBC handles. The environment is shared by every
// connection of the process: it is allocated with the first reference and freed
// with the last, which also keeps the count of open connections.
#include <sql.h>
#include <sqlext.h>

#include <utility>

// A reference to the process's ODBC environment (SQLAllocEnv on first use).
class OdbcEnvironmentRef {
public:
    OdbcEnvironmentRef() = default;
    ~OdbcEnvironmentRef() { Release(); }
    OdbcEnvironmentRef(const OdbcEnvironmentRef&) = delete;
    OdbcEnvironmentRef& operator=(const OdbcEnvironmentRef&) = delete;

    // Takes a reference; returns the environment or SQL_NULL_HENV when it cannot be allocated.
    SQLHENV Acquire();
    void Release();
    SQLHENV get() const { return m_held ? Shared() : SQL_NULL_HENV; }

    // Number of references held in the process (open connections).
    static int Count();

private:
    static SQLHENV& Shared();
    static int& References();
    bool m_held = false;
};

class OdbcConnectionHandle {
public:
    OdbcConnectionHandle() = default;
    explicit OdbcConnectionHandle(SQLHDBC h) : m_h(h) {}
    ~OdbcConnectionHandle() { reset(); }
    OdbcConnectionHandle(OdbcConnectionHandle&& o) noexcept : m_h(std::exchange(o.m_h, SQLHDBC{})) {}
    OdbcConnectionHandle& operator=(OdbcConnectionHandle&& o) noexcept
    {
        if (this != &o) {
            reset();
            m_h = std::exchange(o.m_h, SQLHDBC{});
        }
        return *this;
    }
    OdbcConnectionHandle(const OdbcConnectionHandle&) = delete;
    OdbcConnectionHandle& operator=(const OdbcConnectionHandle&) = delete;

    SQLHDBC get() const { return m_h; }
    explicit operator bool() const { return m_h != SQL_NULL_HDBC; }
    // Frees the handle (disconnecting when `connected`).
    void reset(bool connected = false)
    {
        if (m_h != SQL_NULL_HDBC) {
            if (connected)
                SQLDisconnect(m_h);
            SQLFreeConnect(m_h);
            m_h = SQL_NULL_HDBC;
        }
    }

private:
    SQLHDBC m_h = SQL_NULL_HDBC;
};

class OdbcStatementHandle {
public:
    OdbcStatementHandle() = default;
    explicit OdbcStatementHandle(SQLHSTMT h) : m_h(h) {}
    ~OdbcStatementHandle() { reset(); }
    OdbcStatementHandle(OdbcStatementHandle&& o) noexcept : m_h(std::exchange(o.m_h, SQLHSTMT{})) {}
    OdbcStatementHandle& operator=(OdbcStatementHandle&& o) noexcept
    {
        if (this != &o) {
            reset();
            m_h = std::exchange(o.m_h, SQLHSTMT{});
        }
        return *this;
    }
    OdbcStatementHandle(const OdbcStatementHandle&) = delete;
    OdbcStatementHandle& operator=(const OdbcStatementHandle&) = delete;

    SQLHSTMT get() const { return m_h; }
    explicit operator bool() const { return m_h != SQL_NULL_HSTMT; }
    void reset()
    {
        if (m_h != SQL_NULL_HSTMT) {
            SQLFreeStmt(m_h, SQL_DROP);
            m_h = SQL_NULL_HSTMT;
        }
    }

private:
    SQLHSTMT m_h = SQL_NULL_HSTMT;
};
