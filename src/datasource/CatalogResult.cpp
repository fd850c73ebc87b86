#include "datasource/CatalogResult.h"

#include <sqlext.h>

#include <algorithm>
#include <vector>

#include "datasource/CDatabase.h"
#include "datasource/OdbcDiagnostics.h"

namespace {

// Names and short texts fit at once; a longer value is read on in pieces.
constexpr std::size_t kTextPiece = 512;

} // namespace

CatalogResult::CatalogResult(CDatabase& database, const std::function<SQLRETURN(SQLHSTMT)>& call)
    : m_database(database)
{
    if (!database.IsOpen())
        return;
    SQLHSTMT h = SQL_NULL_HSTMT;
    m_rc = SQLAllocStmt(database.Handle(), &h);
    if (!SQL_SUCCEEDED(m_rc))
        return;
    m_statement = OdbcStatementHandle(h);
    m_rc = RetryWhileExecuting([&] { return call(h); });
}

void CatalogResult::Raise() const
{
    if (!m_database.IsOpen())
        throw DatabaseError(SQL_ERROR, "The connection to the data source is not open.\n", {"08003", 0, ""});
    throw MakeDatabaseError(m_rc, SQL_NULL_HENV, m_database.Handle(), m_statement.get());
}

bool CatalogResult::Next()
{
    if (!Ok())
        return false;
    return SQL_SUCCEEDED(RetryWhileExecuting([&] { return SQLFetch(m_statement.get()); }));
}

std::optional<std::string> CatalogResult::Text(SQLUSMALLINT column)
{
    std::string text;
    std::vector<char> piece(kTextPiece);
    for (;;) {
        SQLLEN length = 0;
        const SQLRETURN rc = SQLGetData(m_statement.get(), column, SQL_C_CHAR, piece.data(),
                                        static_cast<SQLLEN>(piece.size()), &length);
        if (rc == SQL_NO_DATA)
            return text;
        if (!SQL_SUCCEEDED(rc))
            return std::nullopt;
        if (length == SQL_NULL_DATA)
            return std::nullopt;
        // The piece holds its terminator: all of it but that is value, unless
        // the value ends inside it.
        const std::size_t room = piece.size() - 1;
        if (rc == SQL_SUCCESS || (length != SQL_NO_TOTAL && static_cast<std::size_t>(length) <= room)) {
            text.append(piece.data(), length == SQL_NO_TOTAL ? std::char_traits<char>::length(piece.data())
                                                             : static_cast<std::size_t>(length));
            return text;
        }
        text.append(piece.data(), room);
    }
}

std::optional<std::int32_t> CatalogResult::Number(SQLUSMALLINT column)
{
    SQLINTEGER value = 0;
    SQLLEN length = 0;
    if (!SQL_SUCCEEDED(SQLGetData(m_statement.get(), column, SQL_C_SLONG, &value, 0, &length)) ||
        length == SQL_NULL_DATA)
        return std::nullopt;
    return value;
}

CatalogResult RunCatalogQuery(CDatabase& database, const std::string& sql, const std::vector<std::string>& parameters)
{
    std::vector<std::string> values = parameters;
    std::vector<SQLLEN> lengths(values.size());
    return CatalogResult(database, [&](SQLHSTMT h) {
        for (std::size_t i = 0; i < values.size(); ++i) {
            lengths[i] = static_cast<SQLLEN>(values[i].size());
            const SQLRETURN rc = SQLBindParameter(h, static_cast<SQLUSMALLINT>(i + 1), SQL_PARAM_INPUT, SQL_C_CHAR,
                                                  SQL_VARCHAR, std::max<std::size_t>(values[i].size(), 1), 0,
                                                  values[i].data(), 0, &lengths[i]);
            if (!SQL_SUCCEEDED(rc))
                return rc;
        }
        return SQLExecDirect(h, reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql.c_str())),
                             static_cast<SQLINTEGER>(sql.size()));
    });
}

CatalogArgument CatalogArgument::Of(const std::optional<std::string>& value)
{
    return value ? Of(*value) : CatalogArgument{};
}

CatalogArgument CatalogArgument::Of(const std::string& value)
{
    return {const_cast<SQLCHAR*>(reinterpret_cast<const SQLCHAR*>(value.c_str())),
            static_cast<SQLSMALLINT>(value.size())};
}

std::string ConnectionInfoText(CDatabase& database, SQLUSMALLINT item)
{
    char buffer[256] = {};
    SQLSMALLINT length = 0;
    if (!database.IsOpen() || !SQL_SUCCEEDED(SQLGetInfo(database.Handle(), item, buffer, sizeof buffer, &length)))
        return {};
    return buffer;
}
