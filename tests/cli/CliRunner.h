#pragma once
// Runs tolvane-cli as a child process with its standard output and error
// captured and standard input not a terminal.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "TestEnv.h"

namespace clitest {

struct CliResult {
    int status = -1;  // exit status; -1 when it did not exit normally
    std::string out;
    std::string err;
};

// Runs the program with `args`. `whileRunning`, when given, is called with the
// child's process id once it has started (the run then waits for it to end).
// A `fileSizeLimit` above 0 makes every write that would take a file of the
// child past that many bytes fail with EFBIG, as a full disk fails it.
CliResult RunCli(const std::vector<std::string>& args,
                 const std::function<void(int pid)>& whileRunning = nullptr, std::uint64_t fileSizeLimit = 0);

// Runs a shell command line; returns its exit status.
int Shell(const std::string& commandLine);
// The same with its standard output kept in `out`.
int ShellOutput(const std::string& commandLine, std::string& out);

// The command line that runs the SQL script file `script` through the DBMS's
// own client on the database of the role "merge" (SQLite: merge.db in
// `folder`), as a user would: sqlite3 and psql stop at the first error, psql
// runs the script in one transaction. `mariadbInit`, when given, is the
// mariadb client's first statement (a session setting).
std::string ClientCommand(testenv::Dbms dbms, const std::filesystem::path& folder, const std::filesystem::path& script,
                          const std::string& mariadbInit = "");

} // namespace clitest
