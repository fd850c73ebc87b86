#include "datasource/OdbcHandles.h"

SQLHENV& OdbcEnvironmentRef::Shared()
{
    static SQLHENV env = SQL_NULL_HENV;
    return env;
}

int& OdbcEnvironmentRef::References()
{
    static int count = 0;
    return count;
}

int OdbcEnvironmentRef::Count()
{
    return References();
}

SQLHENV OdbcEnvironmentRef::Acquire()
{
    if (m_held)
        return Shared();
    if (Shared() == SQL_NULL_HENV) {
        SQLHENV env = SQL_NULL_HENV;
        if (!SQL_SUCCEEDED(SQLAllocEnv(&env)))
            return SQL_NULL_HENV;
        Shared() = env;
    }
    ++References();
    m_held = true;
    return Shared();
}

void OdbcEnvironmentRef::Release()
{
    if (!m_held)
        return;
    m_held = false;
    if (--References() == 0) {
        SQLFreeEnv(Shared());
        Shared() = SQL_NULL_HENV;
    }
}
