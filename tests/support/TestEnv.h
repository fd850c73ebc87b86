#pragma once
// What the test script set up: the temporary directory, the data source names
// of the throwaway servers and SQLite files, and small file helpers.
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace testenv {

// Data source names registered by scripts/lib/testenv.sh.
inline constexpr const char* kSqliteOld = "tolvane_old";
inline constexpr const char* kSqliteNew = "tolvane_new";
inline constexpr const char* kSqliteMerge = "tolvane_merge";
inline constexpr const char* kSqliteScratch = "tolvane_scratch";
inline constexpr const char* kSqliteCatalogOld = "tolvane_cat_old";  // only catalog tests use these
inline constexpr const char* kSqliteCatalogNew = "tolvane_cat_new";
inline constexpr const char* kPostgres = "tolvane_pg";
inline constexpr const char* kPostgresCatalog = "tolvane_pg_cat";   // a database of its own
inline constexpr const char* kPostgresLogin = "tolvane_pg_login";  // no stored password
inline constexpr const char* kPostgresDown = "tolvane_pg_down";    // nothing listens there
inline constexpr const char* kMariaDb = "tolvane_maria";

// The database systems of the tests.
enum class Dbms { SQLite, PostgreSQL, MariaDB };
void PrintTo(Dbms dbms, std::ostream* out);
// "SQLite", "PostgreSQL" or "MariaDB", for test names.
std::string DbmsLabel(Dbms dbms);
// The same as the name generator of a suite instantiated over Dbms values.
inline std::string DbmsParamName(const ::testing::TestParamInfo<Dbms>& info)
{
    return DbmsLabel(info.param);
}
// A table name quoted for the DBMS's SQL: backquotes on MariaDB, double quotes else.
inline std::string QuotedTableName(Dbms dbms, const std::string& name)
{
    const char* quote = dbms == Dbms::MariaDB ? "`" : "\"";
    return quote + name + quote;
}

// A connection string for one of the roles "old", "new" and "merge": the
// servers keep a database per role (tolvane_cli_<role>); SQLite files live in
// `folder` and enforce foreign keys. MariaDB counts the rows an UPDATE finds.
std::string RoleConnectionString(Dbms dbms, const std::string& role, const std::filesystem::path& folder);

// True when the test script's data sources are there (TOLVANE_TEST_SERVERS=1).
bool Available();

// The test script's temporary directory.
std::filesystem::path Dir();

// Path of the SQLite file behind one of the SQLite data sources ("old", "new", ...).
std::filesystem::path SqliteFile(const std::string& role);

// A fresh, empty directory that is removed again with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return m_path; }
    std::string str() const { return m_path.string(); }

private:
    std::filesystem::path m_path;
};

std::string ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::string& bytes);
// The names of the entries of a folder, sorted.
std::vector<std::string> FolderEntries(const std::filesystem::path& folder);
// The lines of a text (without their line feeds), in order and sorted.
std::vector<std::string> TextLines(const std::string& text);
std::vector<std::string> SortedTextLines(const std::string& text);
// The test MariaDB server with `database` as the current database (none when
// empty).
std::string MariaDbConnectionString(const std::string& database);
// An environment variable's value; empty when it is not set.
std::string Env(const char* name);

// What this process holds now: its threads and its open file descriptors.
std::size_t ThreadCount();
std::size_t OpenDescriptorCount();
// The thread count once threads that were joined are gone: the kernel takes a
// thread out of /proc a moment after its join has returned, so a count taken
// at once may still see it. Waits until the count is `expected` or less, at
// most a few seconds (a thread left running is still counted then).
std::size_t ThreadCountSettledAt(std::size_t expected);

} // namespace testenv

// Skips the test when the data sources are not set up, for instance when ctest
// is run by hand without scripts/test. scripts/test always sets them up.
#define REQUIRE_TEST_DATA_SOURCES()                                                   \
    do {                                                                            \
        if (!testenv::Available())                                                  \
            GTEST_SKIP() << "data sources not set up: run the tests with scripts/test"; \
    } while (0)
