#include "datasource/SqliteFileConnection.h"

#include "datasource/SqliteHandles.h"

std::shared_ptr<sqlite3> SqliteFileConnection::To(const std::string& file)
{
    if (m_connection && m_file == file)
        return m_connection;
    Close();
    sqlite3* opened = nullptr;
    // Read-only: it never creates a file or rolls back another's journal.
    // Without mutexes: one thread at a time works on a connection and its readers.
    const int rc = sqlite3_open_v2(file.c_str(), &opened, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    std::shared_ptr<sqlite3> connection(opened, CloseSqliteConnection{});  // a failed open leaves a handle to close too
    if (rc != SQLITE_OK)
        return nullptr;
    m_file = file;
    m_connection = std::move(connection);
    return m_connection;
}

void SqliteFileConnection::Close()
{
    m_connection.reset();
    m_file.clear();
}
