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

// Owner of one ODBC handle of type H, released by Release (a function object
// that never throws). Move-only; the default is the null handle.
template <typename H, typename Release>
class OdbcHandle {
public:
    OdbcHandle() = default;
    explicit OdbcHandle(H h) : m_h(h) {}
    ~OdbcHandle() { reset(); }
    OdbcHandle(OdbcHandle&& o) noexcept : m_h(std::exchange(o.m_h, H{})) {}
    OdbcHandle& operator=(OdbcHandle&& o) noexcept
    {
        if (this != &o) {
            reset();
            m_h = std::exchange(o.m_h, H{});
        }
        return *this;
    }
    OdbcHandle(const OdbcHandle&) = delete;
    OdbcHandle& operator=(const OdbcHandle&) = delete;

    H get() const { return m_h; }
    explicit operator bool() const { return m_h != H{}; }
    void reset() noexcept
    {
        if (m_h != H{})
            Release{}(std::exchange(m_h, H{}));
    }

private:
    H m_h{};
};

struct DisconnectAndFreeConnection {
    void operator()(SQLHDBC h) const noexcept
    {
        // Every owner disconnects, so that no connection outlives its handle;
        // on a handle that never connected the call fails harmlessly (08003).
        SQLDisconnect(h);
        SQLFreeConnect(h);
    }
};

struct FreeStatement {
    void operator()(SQLHSTMT h) const noexcept { SQLFreeStmt(h, SQL_DROP); }
};

using OdbcConnectionHandle = OdbcHandle<SQLHDBC, DisconnectAndFreeConnection>;
using OdbcStatementHandle = OdbcHandle<SQLHSTMT, FreeStatement>;
