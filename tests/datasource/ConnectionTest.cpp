#include <dlfcn.h>
#include <gtest/gtest.h>

#include "DriverCases.h"
#include "FakePrompt.h"
#include "TestEnv.h"
#include "datasource/CDatabase.h"
#include "datasource/CRecordsetEx.h"
#include "datasource/DataSourceList.h"
#include "datasource/DatabaseError.h"
#include "datasource/OdbcHandles.h"

namespace {

class ConnectionOnDriver : public ::testing::TestWithParam<DriverCase> {};

TEST_P(ConnectionOnDriver, NamedDataSourceOpensWithItsConnectString)
{
    REQUIRE_TEST_DATA_SOURCES();
    const char* dsn = GetParam().dsn;
    const int before = OdbcEnvironmentRef::Count();
    CDatabase db;
    ASSERT_TRUE(db.OpenDataSource(dsn)) << dsn;
    EXPECT_TRUE(db.IsOpen());
    EXPECT_EQ(db.m_strConnect.rfind(std::string("ODBC;DSN=") + dsn, 0), 0u) << db.m_strConnect;
    EXPECT_EQ(OdbcEnvironmentRef::Count(), before + 1);
    db.Close();
    EXPECT_FALSE(db.IsOpen());
    EXPECT_EQ(OdbcEnvironmentRef::Count(), before);
    db.Close();  // harmless when closed
}

TEST_P(ConnectionOnDriver, TransactionCapabilityIsReadAtConnectTime)
{
    REQUIRE_TEST_DATA_SOURCES();
    CDatabase db;
    ASSERT_TRUE(db.OpenDataSource(GetParam().dsn));
    EXPECT_NE(db.TransactionCapable(), 0);
}

// Each driver the program is tested on is recognised by the names it reports,
// so that its quirks are worked around (a renamed library would silently lose
// them) and block fetches go where they pay.
TEST_P(ConnectionOnDriver, IsRecognisedByTheNamesItReports)
{
    REQUIRE_TEST_DATA_SOURCES();
    CDatabase db;
    ASSERT_TRUE(db.OpenDataSource(GetParam().dsn));
    const DriverFacts facts = CRecordsetEx(db).Facts();
    const DriverFacts& expected = GetParam().facts;
    EXPECT_EQ(facts.dbms, expected.dbms);
    EXPECT_EQ(facts.jetDriver, expected.jetDriver);
    EXPECT_EQ(facts.blockFetchPays, expected.blockFetchPays);
    EXPECT_EQ(facts.getDataFollowsSetPos, expected.getDataFollowsSetPos);
}

INSTANTIATE_TEST_SUITE_P(Drivers, ConnectionOnDriver, ::testing::ValuesIn(AllDrivers()),
                         [](const auto& info) { return std::string(info.param.dsn); });

// The SQLite3 driver's library is started without its memory statistics
// (a lock on every allocation that two dumping connections fight over): the
// count of memory in use it would keep stays at zero however much it allocates.
TEST(Connection, EmbeddedSqliteKeepsNoMemoryStatistics)
{
    REQUIRE_TEST_DATA_SOURCES();
    CDatabase db;
    ASSERT_TRUE(db.OpenDataSource(testenv::kSqliteOld));
    CRecordsetEx(db).ExecuteDirect("CREATE TEMP TABLE memory_probe AS SELECT 'a value of some length' AS v");
    void* library = ::dlopen("libsqlite3.so.0", RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(library, nullptr) << "the driver did not load the shared SQLite library";
    using MemoryUsed = long long (*)();
    const auto memoryUsed = reinterpret_cast<MemoryUsed>(::dlsym(library, "sqlite3_memory_used"));
    ASSERT_NE(memoryUsed, nullptr);
    EXPECT_EQ(memoryUsed(), 0);
    ::dlclose(library);
}

TEST(Connection, MissingDataSourceRaisesIm002NamingIt)
{
    REQUIRE_TEST_DATA_SOURCES();
    const int before = OdbcEnvironmentRef::Count();
    CDatabase db;
    try {
        db.OpenDataSource("no_such_source");
        FAIL() << "no error raised";
    } catch (const DatabaseError& e) {
        EXPECT_EQ(e.state(), "IM002");
        EXPECT_NE(e.StateText().find("State:IM002,Native:"), std::string::npos) << e.StateText();
        EXPECT_NE(e.StateText().find(",Origin:["), std::string::npos) << e.StateText();
        EXPECT_NE(e.Message().find("no_such_source"), std::string::npos) << e.Message();
        // Diagnostic texts lose their bracketed origin tags and end in a line break.
        EXPECT_EQ(e.Message().find("[unixODBC]"), std::string::npos) << e.Message();
        EXPECT_EQ(e.Message().back(), '\n');
    }
    EXPECT_FALSE(db.IsOpen());
    EXPECT_EQ(OdbcEnvironmentRef::Count(), before);
}

TEST(Connection, ServerThatIsDownRaisesAClearError)
{
    REQUIRE_TEST_DATA_SOURCES();
    CDatabase db;
    try {
        db.OpenDataSource(testenv::kPostgresDown);
        FAIL() << "no error raised";
    } catch (const DatabaseError& e) {
        EXPECT_NE(e.Message().find(testenv::kPostgresDown), std::string::npos) << e.Message();
        EXPECT_NE(e.Message().find("refused"), std::string::npos) << e.Message();
    }
    EXPECT_FALSE(db.IsOpen());
}

TEST(Connection, ConnectPrefixMustBeOdbc)
{
    CDatabase db;
    EXPECT_FALSE(db.OpenDataSource(testenv::kSqliteOld, "DSN;", true));
    EXPECT_FALSE(db.IsOpen());
}

TEST(Connection, EmptyNameAsksThePromptAndCancelMeansNoConnection)
{
    REQUIRE_TEST_DATA_SOURCES();
    const int before = OdbcEnvironmentRef::Count();
    FakePrompt prompt;
    prompt.cancelChoose = true;
    CDatabase db;
    db.SetPrompt(&prompt);
    EXPECT_FALSE(db.OpenDataSource(""));
    EXPECT_EQ(prompt.chooseCalls, 1);
    EXPECT_FALSE(db.IsOpen());
    EXPECT_EQ(OdbcEnvironmentRef::Count(), before);

    prompt.cancelChoose = false;
    prompt.choices = {testenv::kSqliteNew};
    ASSERT_TRUE(db.OpenDataSource(""));
    std::string name = "unchanged";
    ExtractDataSourceName(db.m_strConnect, name);
    EXPECT_EQ(name, testenv::kSqliteNew);
}

TEST(Connection, NoPromptMeansCancel)
{
    CDatabase db;
    EXPECT_FALSE(db.OpenDataSource(""));
}

TEST(Connection, RejectedCredentialsGoThroughTheLoginPrompt)
{
    REQUIRE_TEST_DATA_SOURCES();
    FakePrompt prompt;
    prompt.logins = {{"tolvane", "wrong"}, {"tolvane", "tolvane"}};
    CDatabase db;
    db.SetPrompt(&prompt);
    ASSERT_TRUE(db.OpenDataSource(testenv::kPostgresLogin));
    EXPECT_EQ(prompt.loginCalls, 2);
    EXPECT_EQ(prompt.lastLoginDataSource, testenv::kPostgresLogin);
    EXPECT_NE(prompt.lastLoginReason.find("password"), std::string::npos) << prompt.lastLoginReason;
    std::string name;
    ExtractDataSourceName(db.m_strConnect, name);
    EXPECT_EQ(name, testenv::kPostgresLogin);
}

TEST(Connection, CancelledLoginReturnsFalseAndFreesTheHandle)
{
    REQUIRE_TEST_DATA_SOURCES();
    const int before = OdbcEnvironmentRef::Count();
    FakePrompt prompt;
    CDatabase db;
    db.SetPrompt(&prompt);
    EXPECT_FALSE(db.OpenDataSource(testenv::kPostgresLogin));
    EXPECT_EQ(prompt.loginCalls, 1);
    EXPECT_FALSE(db.IsOpen());
    EXPECT_EQ(OdbcEnvironmentRef::Count(), before);
}

TEST(Connection, WrongPasswordWithoutPromptIsAnError)
{
    REQUIRE_TEST_DATA_SOURCES();
    CDatabase db;
    EXPECT_THROW(db.OpenDataSource(testenv::kPostgresLogin), DatabaseError);
    EXPECT_FALSE(db.IsOpen());
}

TEST(Connection, ExtractDataSourceName)
{
    struct Case {
        const char* connect;
        const char* expected;
    };
    const Case cases[] = {
        {"ODBC;DSN=Sales;UID=user;", "Sales"},
        {"ODBC;DSN=Sales", "Sales"},
        {"ODBC;DRIVER={x};DSN=a b ;PWD=", "a b "},
        {"ODBC;DSN=;UID=x", ""},
        {"ODBC;DRIVER=SQLite3;Database=/tmp/x.db", "unchanged"},  // no DSN=: the field keeps its text
        {"ODBC;dsn=lower", "unchanged"},                           // the search is case-sensitive
    };
    for (const auto& c : cases) {
        std::string name = "unchanged";
        ExtractDataSourceName(c.connect, name);
        EXPECT_EQ(name, c.expected) << c.connect;
    }
}

TEST(Connection, ListsUserAndSystemDataSources)
{
    REQUIRE_TEST_DATA_SOURCES();
    const auto entries = ListDataSources();
    bool user = false, system = false;
    for (const auto& e : entries) {
        if (e.name == testenv::kPostgres && !e.system) {
            user = true;
            EXPECT_EQ(e.description, "PostgreSQL Unicode");
        }
        if (e.name == "tolvane_system" && e.system)
            system = true;
    }
    EXPECT_TRUE(user);
    EXPECT_TRUE(system);
}

} // namespace

namespace {

// A connection handle dropped while connected: the owner disconnects before it
// frees, or the handle stays allocated and its environment cannot be freed.
TEST(Connection, HandleOwnerDisconnectsWhatItFrees)
{
    REQUIRE_TEST_DATA_SOURCES();
    SQLHENV env = SQL_NULL_HENV;
    ASSERT_TRUE(SQL_SUCCEEDED(SQLAllocEnv(&env)));
    {
        SQLHDBC dbc = SQL_NULL_HDBC;
        ASSERT_TRUE(SQL_SUCCEEDED(SQLAllocConnect(env, &dbc)));
        OdbcConnectionHandle connection(dbc);
        const std::string connect = std::string("DSN=") + testenv::kSqliteOld;
        ASSERT_TRUE(SQL_SUCCEEDED(SQLDriverConnect(dbc, nullptr, (SQLCHAR*)connect.c_str(), SQL_NTS, nullptr, 0,
                                                   nullptr, SQL_DRIVER_NOPROMPT)));
        SQLHSTMT stmt = SQL_NULL_HSTMT;
        ASSERT_TRUE(SQL_SUCCEEDED(SQLAllocStmt(dbc, &stmt)));
        OdbcStatementHandle statement(stmt);
        OdbcStatementHandle moved = std::move(statement);
        EXPECT_FALSE(statement);
        EXPECT_TRUE(moved);
    }
    EXPECT_EQ(SQLFreeEnv(env), SQL_SUCCESS);
}

} // namespace
