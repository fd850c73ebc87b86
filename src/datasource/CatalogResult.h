#pragma once
// The rows of one catalog call (SQLColumns, SQLPrimaryKeys, ...) or of a small
// query about the catalog, read one by one as text or number. It owns its
// statement: nothing of it outlives the object.
#include <sql.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "datasource/OdbcHandles.h"

class CDatabase;

class CatalogResult {
public:
    // Allocates a statement on the open `database` and runs `call` on it.
    // Whether that worked is Ok(); a failure raises nothing, as callers mostly
    // take a failed catalog call for "nothing declared".
    CatalogResult(CDatabase& database, const std::function<SQLRETURN(SQLHSTMT)>& call);

    bool Ok() const { return SQL_SUCCEEDED(m_rc); }
    // The DatabaseError of the failed call (statement diagnostics where there
    // is a statement, else the connection's).
    [[noreturn]] void Raise() const;

    // Moves to the next row; false after the last one or when the call failed.
    bool Next();
    // Column `column` (1-based) of the current row; nullopt for NULL or when it
    // cannot be read.
    std::optional<std::string> Text(SQLUSMALLINT column);
    std::optional<std::int32_t> Number(SQLUSMALLINT column);

    SQLHSTMT Handle() const { return m_statement.get(); }

private:
    CDatabase& m_database;
    OdbcStatementHandle m_statement;
    SQLRETURN m_rc = SQL_ERROR;
};

// Runs `sql`, its ? markers bound in turn to `parameters` as text: a query of
// the DBMS's own catalog where the ODBC catalog functions say too little.
CatalogResult RunCatalogQuery(CDatabase& database, const std::string& sql, const std::vector<std::string>& parameters);

// A catalog argument: a null pointer for "any" or "the driver's default", else
// the text (which must outlive the call).
struct CatalogArgument {
    SQLCHAR* text = nullptr;
    SQLSMALLINT length = 0;

    static CatalogArgument Of(const std::optional<std::string>& value);
    static CatalogArgument Of(const std::string& value);
};

// A text item of SQLGetInfo on the connection; empty when the driver has none.
std::string ConnectionInfoText(CDatabase& database, SQLUSMALLINT item);
