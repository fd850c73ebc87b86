#pragma once
// Plain ODBC access for setting up and checking test data, independent of the
// program's own data source layer.
#include <optional>
#include <string>
#include <vector>

namespace rawodbc {

using Value = std::optional<std::string>;  // nullopt for SQL NULL
using Row = std::vector<Value>;

// Connects to a data source by name (or connection string, when it holds "=")
// for the lifetime of the object.
class Connection {
public:
    explicit Connection(const std::string& dsn);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Runs a statement; throws std::runtime_error with the driver's text on failure.
    void Exec(const std::string& sql);
    // Runs statements separated by ";\n"-free list (one per element).
    void ExecAll(const std::vector<std::string>& statements);
    // Runs a statement and ignores any failure (DROP TABLE of a missing table).
    void ExecIgnoringErrors(const std::string& sql);
    // Runs a query and returns all rows; character data as bytes, binary as raw bytes.
    std::vector<Row> Query(const std::string& sql);
    std::string DbmsName();

private:
    void* m_env = nullptr;
    void* m_dbc = nullptr;
};

} // namespace rawodbc
