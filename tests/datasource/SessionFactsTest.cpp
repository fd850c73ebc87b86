// What a connection learns at connect about the session settings that change
// what a literal or a quoted name means, on the real servers, and that names
// are quoted so that these settings cannot change them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RawOdbc.h"
#include "TestEnv.h"
#include "datasource/CDatabase.h"
#include "datasource/CRecordsetEx.h"
#include "datasource/SessionSettings.h"

namespace {

struct SessionCase {
    const char* label;
    std::string dataSource;  // a DSN, or a connection string naming one
    bool standardConformingStrings;
    bool noBackslashEscapes;
    bool ansiQuotes;
    const char* characterSet;
    const char* quote;  // the quote the facts give names
};

// Sessions set up by the connection string: psqlODBC's ConnSettings and the
// MariaDB connector's InitStmt run their statement at connect.
std::vector<SessionCase> Sessions()
{
    const std::string pg = std::string("DSN=") + testenv::kPostgres;
    const std::string maria = std::string("DSN=") + testenv::kMariaDb;
    return {
        {"SQLite", testenv::kSqliteScratch, true, false, false, "", "\""},
        {"PostgreSQL", testenv::kPostgres, true, false, false, "", "\""},
        {"PostgreSQLNonStandardStrings", pg + ";ConnSettings=SET standard_conforming_strings=off", false, false, false,
         "", "\""},
        {"MariaDB", testenv::kMariaDb, true, false, false, "utf8mb4", "`"},
        {"MariaDBNoBackslashEscapes", maria + ";InitStmt=SET SESSION sql_mode='NO_BACKSLASH_ESCAPES'", true, true,
         false, "utf8mb4", "`"},
        {"MariaDBAnsiQuotes", maria + ";InitStmt=SET SESSION sql_mode='ANSI_QUOTES,STRICT_ALL_TABLES'", true, false,
         true, "utf8mb4", "`"},
        {"MariaDBAnsi", maria + ";InitStmt=SET SESSION sql_mode='ANSI,NO_BACKSLASH_ESCAPES'", true, true, true,
         "utf8mb4", "`"},
    };
}

class SessionFacts : public ::testing::TestWithParam<SessionCase> {};

TEST_P(SessionFacts, AreLearnedAtConnect)
{
    REQUIRE_TEST_DATA_SOURCES();
    const SessionCase& c = GetParam();
    CDatabase db;
    ASSERT_TRUE(db.OpenDataSource(c.dataSource));
    const SqlLiteralFacts& facts = db.Facts();
    EXPECT_EQ(facts.session.standardConformingStrings, c.standardConformingStrings);
    EXPECT_EQ(facts.session.noBackslashEscapes, c.noBackslashEscapes);
    EXPECT_EQ(facts.session.ansiQuotes, c.ansiQuotes);
    EXPECT_EQ(facts.session.characterSet, c.characterSet);
    EXPECT_EQ(facts.identifierQuote, c.quote);
}

// The dump of a table whose name holds the quote characters of every DBMS,
// in each session: its select names the table in quotes that the session
// reads as a name (a double-quoted name under MariaDB without ANSI_QUOTES
// would be a string, and the select would fail).
TEST_P(SessionFacts, ADumpNamesItsTableInEverySession)
{
    REQUIRE_TEST_DATA_SOURCES();
    const SessionCase& c = GetParam();
    const std::string table = "sf_" + std::string(c.label) + "_q\"u`o;te's";
    CDatabase db;
    ASSERT_TRUE(db.OpenDataSource(c.dataSource));
    const IdentifierQuoting names = db.Facts().Names();
    CRecordsetEx statement(db);
    statement.ExecuteDirect("DROP TABLE IF EXISTS " + names.Quoted(table));
    statement.ExecuteDirect("CREATE TABLE " + names.Quoted(table) + " (id INTEGER NOT NULL PRIMARY KEY, " +
                            names.Quoted("v\"`") + " VARCHAR(10))");
    statement.ExecuteDirect("INSERT INTO " + names.Quoted(table) + " VALUES (7, 'seven')");
    CRecordsetEx dump(db);
    dump.OpenTable(table);
    ASSERT_FALSE(dump.IsEOF());
    std::string text;
    dump.GetFieldText(1, text);
    EXPECT_EQ(text, "seven");
    ASSERT_EQ(dump.Columns().size(), 2u);
    EXPECT_EQ(dump.Columns()[1].name, "v\"`");
    dump.Close();
    statement.ExecuteDirect("DROP TABLE " + names.Quoted(table));
}

INSTANTIATE_TEST_SUITE_P(Sessions, SessionFacts, ::testing::ValuesIn(Sessions()),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(SqlModeHas, FindsWholeFlagsOnly)
{
    EXPECT_TRUE(SqlModeHas("STRICT_TRANS_TABLES,NO_BACKSLASH_ESCAPES", "NO_BACKSLASH_ESCAPES"));
    EXPECT_TRUE(SqlModeHas("ansi_quotes", "ANSI_QUOTES"));
    EXPECT_FALSE(SqlModeHas("ANSI", "ANSI_QUOTES"));
    EXPECT_FALSE(SqlModeHas("", "ANSI_QUOTES"));
    EXPECT_FALSE(SqlModeHas("XANSI_QUOTES", "ANSI_QUOTES"));
}

} // namespace
