#include "datasource/CTables.h"

#include "datasource/CDatabase.h"
#include "datasource/DatabaseError.h"
#include "datasource/OdbcDiagnostics.h"

CTables::CTables(CDatabase& database) : CRecordsetEx(database) {}

void CTables::OpenCatalog(const char* qualifier, const char* owner, const char* name, const char* typeList,
                          unsigned openType)
{
    SQLUSMALLINT supported = SQL_FALSE;
    const SQLRETURN frc = SQLGetFunctions(m_database.Handle(), SQL_API_SQLTABLES, &supported);
    if (!SQL_SUCCEEDED(frc))
        throw MakeDatabaseError(frc, SQL_NULL_HENV, m_database.Handle(), SQL_NULL_HSTMT);
    if (supported != SQL_TRUE)
        throw PlainTextError("<::SQLTables> not supported.");

    AllocateStatement(openType, none, std::string());
    auto text = [](const char* s) { return reinterpret_cast<SQLCHAR*>(const_cast<char*>(s)); };
    auto length = [](const char* s) -> SQLSMALLINT { return s ? SQL_NTS : 0; };
    ExecuteAndPosition([&](SQLHSTMT statement) {
        return RetryWhileExecuting([&] {
            return SQLTables(statement, text(qualifier), length(qualifier), text(owner), length(owner), text(name),
                             length(name), text(typeList), length(typeList));
        });
    });
}

void CTables::OnRowFetched()
{
    std::string* fields[] = {&m_strTableQualifier, &m_strTableOwner, &m_strTableName, &m_strTableType,
                             &m_strRemarks};
    for (int i = 0; i < 5; ++i) {
        if (i < GetColumnCount())
            GetFieldText(i, *fields[i]);
        else
            fields[i]->clear();
    }
}
