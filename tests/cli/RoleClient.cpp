#include "RoleClient.h"

#include <cstdlib>

#include <gtest/gtest.h>

#include "CliRunner.h"

namespace clitest {

std::string ClientRows(testenv::Dbms dbms, const std::string& role, const std::filesystem::path& folder,
                       const std::string& query)
{
    testenv::TempDir scratch;
    const std::filesystem::path script = scratch.path() / "query.sql";
    testenv::WriteFile(script, query);
    std::string command;
    switch (dbms) {
    case testenv::Dbms::SQLite:
        command = "sqlite3 -bail '" + (folder / (role + ".db")).string() + "' < '" + script.string() + "'";
        break;
    case testenv::Dbms::PostgreSQL:
        command = "PGPASSWORD=tolvane '" + testenv::Env("TOLVANE_PG_BIN") +
                  "/psql' -X -q -A -t -v ON_ERROR_STOP=1 -h 127.0.0.1 -p " + testenv::Env("TOLVANE_PG_PORT") +
                  " -U tolvane -d tolvane_cli_" + role + " -f '" + script.string() + "'";
        break;
    case testenv::Dbms::MariaDB:
        command = "mariadb --no-defaults --batch --skip-column-names --raw -h 127.0.0.1 -P " +
                  testenv::Env("TOLVANE_MARIA_PORT") + " -u tolvane -ptolvane tolvane_cli_" + role + " < '" +
                  script.string() + "'";
        break;
    }
    std::string out;
    EXPECT_EQ(ShellOutput(command, out), 0) << command;
    return out;
}

} // namespace clitest
