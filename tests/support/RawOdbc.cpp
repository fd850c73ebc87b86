#include "RawOdbc.h"

#include <sql.h>
#include <sqlext.h>

#include <stdexcept>

namespace rawodbc {
namespace {

std::string Diagnostics(SQLSMALLINT type, SQLHANDLE handle)
{
    std::string text;
    SQLCHAR state[6];
    SQLCHAR message[1024];
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    for (SQLSMALLINT i = 1;
         SQLGetDiagRec(type, handle, i, state, &native, message, sizeof message, &length) == SQL_SUCCESS; ++i) {
        text += reinterpret_cast<char*>(state);
        text += ": ";
        text += reinterpret_cast<char*>(message);
        text += "\n";
    }
    return text;
}

void Check(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle, const std::string& what)
{
    if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA)
        throw std::runtime_error(what + ": " + Diagnostics(type, handle));
}

struct Stmt {
    SQLHSTMT h = SQL_NULL_HSTMT;
    explicit Stmt(SQLHDBC dbc) { SQLAllocHandle(SQL_HANDLE_STMT, dbc, &h); }
    ~Stmt() { SQLFreeHandle(SQL_HANDLE_STMT, h); }
};

} // namespace

Connection::Connection(const std::string& dsn)
{
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &m_env);
    SQLSetEnvAttr(m_env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLAllocHandle(SQL_HANDLE_DBC, m_env, &m_dbc);
    // A connection string is taken as it stands.
    const std::string connect = dsn.find('=') != std::string::npos ? dsn : "DSN=" + dsn;
    SQLRETURN rc = SQLDriverConnect(m_dbc, nullptr, (SQLCHAR*)connect.c_str(), SQL_NTS, nullptr, 0, nullptr,
                                    SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc)) {
        std::string text = Diagnostics(SQL_HANDLE_DBC, m_dbc);
        SQLFreeHandle(SQL_HANDLE_DBC, m_dbc);
        SQLFreeHandle(SQL_HANDLE_ENV, m_env);
        throw std::runtime_error("connect " + dsn + ": " + text);
    }
}

Connection::~Connection()
{
    SQLDisconnect(m_dbc);
    SQLFreeHandle(SQL_HANDLE_DBC, m_dbc);
    SQLFreeHandle(SQL_HANDLE_ENV, m_env);
}

void Connection::Exec(const std::string& sql)
{
    Stmt s(m_dbc);
    Check(SQLExecDirect(s.h, (SQLCHAR*)sql.data(), (SQLINTEGER)sql.size()), SQL_HANDLE_STMT, s.h, sql);
}

void Connection::ExecAll(const std::vector<std::string>& statements)
{
    for (const auto& sql : statements)
        Exec(sql);
}

void Connection::ExecIgnoringErrors(const std::string& sql)
{
    Stmt s(m_dbc);
    SQLExecDirect(s.h, (SQLCHAR*)sql.data(), (SQLINTEGER)sql.size());
}

std::vector<Row> Connection::Query(const std::string& sql)
{
    Stmt s(m_dbc);
    Check(SQLExecDirect(s.h, (SQLCHAR*)sql.data(), (SQLINTEGER)sql.size()), SQL_HANDLE_STMT, s.h, sql);
    SQLSMALLINT columns = 0;
    SQLNumResultCols(s.h, &columns);
    std::vector<SQLSMALLINT> types(columns);
    for (SQLSMALLINT c = 0; c < columns; ++c) {
        SQLCHAR name[256];
        SQLSMALLINT nameLength, type, digits, nullable;
        SQLULEN size;
        SQLDescribeCol(s.h, c + 1, name, sizeof name, &nameLength, &type, &size, &digits, &nullable);
        types[c] = type;
    }
    std::vector<Row> rows;
    for (;;) {
        SQLRETURN rc = SQLFetch(s.h);
        if (rc == SQL_NO_DATA)
            break;
        Check(rc, SQL_HANDLE_STMT, s.h, "fetch");
        Row row;
        for (SQLSMALLINT c = 0; c < columns; ++c) {
            const bool binary = types[c] == SQL_BINARY || types[c] == SQL_VARBINARY || types[c] == SQL_LONGVARBINARY;
            const SQLSMALLINT target = binary ? SQL_C_BINARY : SQL_C_CHAR;
            std::string value;
            char buffer[4096];
            SQLLEN indicator = 0;
            bool isNull = false;
            for (;;) {
                rc = SQLGetData(s.h, c + 1, target, buffer, sizeof buffer, &indicator);
                if (rc == SQL_NO_DATA)
                    break;
                Check(rc, SQL_HANDLE_STMT, s.h, "get data");
                if (indicator == SQL_NULL_DATA) {
                    isNull = true;
                    break;
                }
                const std::size_t room = binary ? sizeof buffer : sizeof buffer - 1;
                const std::size_t got =
                    (indicator == SQL_NO_TOTAL || static_cast<std::size_t>(indicator) > room) ? room : indicator;
                value.append(buffer, got);
                if (rc == SQL_SUCCESS)
                    break;
            }
            row.push_back(isNull ? Value() : Value(value));
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string Connection::DbmsName()
{
    char name[256] = {};
    SQLSMALLINT length = 0;
    SQLGetInfo(m_dbc, SQL_DBMS_NAME, name, sizeof name, &length);
    return name;
}

} // namespace rawodbc
