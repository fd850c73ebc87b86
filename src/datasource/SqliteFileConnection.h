#pragma once
// A read-only connection of the program's own to the SQLite file that an ODBC
// connection has open (CDatabase holds one), kept from one table to the next:
// opening one reads the file's whole schema, which in a file of a thousand
// tables costs more than dumping a small table through the driver.
#include <memory>
#include <string>

struct sqlite3;

class SqliteFileConnection {
public:
    // The connection to `file`, opened read-only when none is open to that
    // file yet; null when it cannot be opened. Whoever takes it keeps it open
    // until done with it, also when this one is closed.
    std::shared_ptr<sqlite3> To(const std::string& file);
    void Close();

private:
    std::string m_file;
    std::shared_ptr<sqlite3> m_connection;
};
