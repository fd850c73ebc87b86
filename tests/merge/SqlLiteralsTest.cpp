#include "merge/SqlLiterals.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "datasource/SqlLiteralFacts.h"

namespace {

ColumnInfo Column(std::int16_t sqlType)
{
    ColumnInfo column;
    column.name = "C";
    column.sqlType = sqlType;
    return column;
}

std::string SqlLiteral(const std::string& value, bool quoted, const ColumnInfo& column, const SqlLiteralFacts& facts)
{
    std::string out;
    AppendSqlLiteral(out, value, quoted, column, facts);
    return out;
}

std::string ConditionLiteral(const std::string& value, bool quoted, const ColumnInfo& column,
                             const SqlLiteralFacts& facts)
{
    std::string out;
    AppendConditionLiteral(out, value, quoted, column, facts);
    return out;
}

const SqlLiteralFacts kPostgres = SqlLiteralFacts::ForDriver("psqlodbcw.so", "\"", "PostgreSQL");
const SqlLiteralFacts kMaria = SqlLiteralFacts::ForDriver("libmaodbc.so", "`", "MariaDB");
const SqlLiteralFacts kSqlite = SqlLiteralFacts::ForDriver("sqlite3odbc.so", "\"", "SQLite");
const SqlLiteralFacts kJet = SqlLiteralFacts::ForDriver("ODBCJT32.DLL", "`", "ACCESS");
// A DBMS the program knows nothing particular of: it gets the ODBC escapes.
const SqlLiteralFacts kOdbc = SqlLiteralFacts::ForDriver("driver.so", "\"", "Microsoft SQL Server");

struct LiteralCase {
    const char* name;
    std::int16_t sqlType;
    std::string value;
    bool quoted;
    std::string odbc;
    std::string jet;
};

TEST(SqlLiteral, WritesEachTypeForJetAndOtherDrivers)
{
    const std::vector<LiteralCase> cases = {
        {"unquoted NULL in a text column", 12, "NULL", false, "NULL", "NULL"},
        {"unquoted NULL in a number column", 4, "NULL", false, "NULL", "NULL"},
        {"unquoted NULL in a date column", 9, "NULL", false, "NULL", "NULL"},
        {"quoted NULL is the text NULL", 12, "NULL", true, "'NULL'", "'NULL'"},
        {"lower-case null is text", 12, "null", false, "'null'", "'null'"},
        {"CHAR", 1, "abc", true, "'abc'", "'abc'"},
        {"VARCHAR with apostrophe", 12, "O'Neil", true, "'O''Neil'", "'O''Neil'"},
        {"LONGVARCHAR", -1, "a\r\nb", true, "'a\r\nb'", "'a\r\nb'"},
        {"WLONGVARCHAR", -10, "x", true, "'x'", "'x'"},
        {"driver text type -97", -97, "x", true, "'x'", "'x'"},
        {"WCHAR", -8, "Smith", true, "'Smith'", "'Smith'"},
        {"WVARCHAR", -9, "it's", true, "'it''s'", "'it''s'"},
        {"GUID", -11, "6f9619ff-8b86-d011-b42d-00c04fc964ff", false, "'6f9619ff-8b86-d011-b42d-00c04fc964ff'",
         "'6f9619ff-8b86-d011-b42d-00c04fc964ff'"},
        {"brackets in text", 12, "[x]", true, "'[x]'", "'[x]'"},
        {"DATE", 9, "2001-03-15", false, "{d '2001-03-15'}", "#2001-03-15#"},
        {"TIME", 10, "10:20:30", false, "{t '10:20:30'}", "#10:20:30#"},
        {"TIMESTAMP", 11, "2001-03-15 10:20:30", false, "{ts '2001-03-15 10:20:30'}", "#03/15/2001 10:20:30#"},
        {"TIMESTAMP at year end", 11, "1999-12-31 23:59:59", false, "{ts '1999-12-31 23:59:59'}",
         "#12/31/1999 23:59:59#"},
        {"TIMESTAMP date only", 11, "2001-03-15", false, "{ts '2001-03-15'}", "#03/15/2001#"},
        {"TIMESTAMP of another form", 11, "15.03.2001", false, "{ts '15.03.2001'}", "#15.03.2001#"},
        {"ODBC 3 date code", 91, "2001-03-15", false, "{d '2001-03-15'}", "#2001-03-15#"},
        {"ODBC 3 time code", 92, "10:20:30", false, "{t '10:20:30'}", "#10:20:30#"},
        {"ODBC 3 timestamp code", 93, "2001-03-15 10:20:30", false, "{ts '2001-03-15 10:20:30'}",
         "#03/15/2001 10:20:30#"},
        {"apostrophe cannot end a date literal", 9, "x'y", false, "{d 'x''y'}", "#x''y#"},
        {"INTEGER", 4, "-42", false, "-42", "-42"},
        {"DECIMAL", 3, "123.45", false, "123.45", "123.45"},
        {"DOUBLE", 8, "1.5E10", false, "1.5E10", "1.5E10"},
        {"BIT", -7, "1", false, "1", "1"},
        {"quoted text into a number column stays text", 4, "1); DROP TABLE T; --", true,
         "'1); DROP TABLE T; --'", "'1); DROP TABLE T; --'"},
        // Only a number goes into SQL as it stands: any other text would be read
        // as SQL, a column name as that column (WHERE [ID]=ID holds for every row).
        {"a column name in a number column is text", 4, "ID", false, "'ID'", "'ID'"},
        {"an expression in a number column is text", 4, "1 OR 1=1", false, "'1 OR 1=1'", "'1 OR 1=1'"},
        {"NaN in a float column is text", 8, "NaN", false, "'NaN'", "'NaN'"},
        {"empty text in a number column is text", 4, "", false, "''", "''"},
        {"signed number", 3, "+0.50", false, "+0.50", "+0.50"},
        {"number with exponent", 8, "-1.5e-07", false, "-1.5e-07", "-1.5e-07"},
        {"number without leading digit", 8, ".5", false, ".5", ".5"},
        {"number with trailing point", 3, "5.", false, "5.", "5."},
        {"a lone sign is no number", 4, "-", false, "'-'", "'-'"},
        {"a lone point is no number", 3, ".", false, "'.'", "'.'"},
        {"an exponent without digits is no number", 8, "1e", false, "'1e'", "'1e'"},
        {"VARBINARY", -3, "0x0102", false, "0x0102", "0x0102"},
        {"LONGVARBINARY quoted in the dump", -4, "0x0102", true, "0x0102", "0x0102"},
        {"a backslash is no escape there", 12, "a\\'b", true, "'a\\''b'", "'a\\''b'"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SqlLiteral(c.value, c.quoted, Column(c.sqlType), kOdbc), c.odbc) << c.name;
        EXPECT_EQ(SqlLiteral(c.value, c.quoted, Column(c.sqlType), kJet), c.jet) << c.name << " (Jet)";
    }
}

struct BinaryCase {
    const char* dbms;
    std::string value;
    std::string literal;
};

TEST(SqlLiteral, WritesBinaryValuesAsTheDbmsReadsThem)
{
    const std::vector<BinaryCase> cases = {
        {"SQLite", "0x0102ff", "X'0102ff'"},
        {"SQLite", "0x", "X''"},
        {"SQLite", "", "X''"},
        // In E'...': standard_conforming_strings cannot change it.
        {"PostgreSQL", "0x00FF", "E'\\\\x00FF'"},
        {"PostgreSQL", "", "E'\\\\x'"},
        {"MariaDB", "0x0102", "0x0102"},
        {"MariaDB", "", "''"},
        {"MySQL", "0X0a", "0x0a"},
        {"MySQL", "0x", "''"},
        {"Microsoft SQL Server", "0x0102", "0x0102"},
        {"Microsoft SQL Server", "", "0x"},
        {"SomeOtherDB", "0xab", "0xab"},
        {"SQLite", "0x123", "'0x123'"},
        {"MariaDB", "0xzz", "'0xzz'"},
        {"MariaDB", "1; DROP TABLE T", "'1; DROP TABLE T'"},
    };
    for (const int type : {-2, -3, -4}) {
        for (const auto& c : cases) {
            const auto facts = SqlLiteralFacts::ForDriver("driver.so", "\"", c.dbms);
            EXPECT_EQ(SqlLiteral(c.value, type == -4, Column(static_cast<std::int16_t>(type)), facts), c.literal)
                << c.dbms << " " << c.value << " type " << type;
        }
    }
}

// A backslash in '...' escapes on MySQL and MariaDB unless the sql_mode holds
// NO_BACKSLASH_ESCAPES, and on PostgreSQL when standard_conforming_strings is
// off: a value with one goes in a form that no setting changes.
TEST(SqlLiteral, KeepsBackslashesOutOfTheSessionSettings)
{
    const ColumnInfo text = Column(12);
    EXPECT_EQ(SqlLiteral("a\\b'\\", true, text, kMaria), "_utf8mb4 X'615C62275C'");
    EXPECT_EQ(SqlLiteral("a\\b", true, text, SqlLiteralFacts::ForDriver("libmaodbc.so", "`", "MySQL")),
              "_utf8mb4 X'615C62'");
    EXPECT_EQ(SqlLiteral("a\\b", true, text, kPostgres), "E'a\\\\b'");
    EXPECT_EQ(SqlLiteral("a\\b", true, text, kSqlite), "'a\\b'");
    // Dates, times and timestamps are written exactly like text.
    EXPECT_EQ(SqlLiteral("\\", false, Column(9), kMaria), "_utf8mb4 X'5C'");
    EXPECT_EQ(SqlLiteral("x\\'y", false, Column(10), kMaria), "_utf8mb4 X'785C2779'");
    EXPECT_EQ(SqlLiteral("\\", false, Column(93), kMaria), "_utf8mb4 X'5C'");
    EXPECT_EQ(SqlLiteral("\\", false, Column(9), kPostgres), "E'\\\\'");
    // The introducer is the connection's character set, in which the bytes came.
    SqlLiteralFacts latin1 = kMaria;
    latin1.session.characterSet = "latin1";
    EXPECT_EQ(SqlLiteral("\\", true, text, latin1), "_latin1 X'5C'");
}

struct NativeCase {
    const char* name;
    std::int16_t sqlType;
    std::string value;
    std::string sqlite;
    std::string postgres;
    std::string maria;
};

// The forms that mean the same under every session setting and in every
// client: no backslash in a plain literal, no control character but the line
// feed in any literal, no raw NUL; dates and times as the DBMS's own quoted
// literals. What each form stores is proven on the servers
// (LiteralsOnDriversTest, the command-line tests).
TEST(SqlLiteral, NativeFormsMeanTheSameInEverySessionAndClient)
{
    const std::string nul(1, '\0');
    const std::vector<NativeCase> cases = {
        {"plain text", 12, "abc", "'abc'", "'abc'", "'abc'"},
        {"empty text", 12, "", "''", "''", "''"},
        {"apostrophe", 12, "'", "''''", "''''", "''''"},
        {"two apostrophes", 12, "''", "''''''", "''''''", "''''''"},
        {"backslash", 12, "\\", "'\\'", "E'\\\\'", "_utf8mb4 X'5C'"},
        {"backslash apostrophe", 12, "\\'", "'\\'''", "E'\\\\'''", "_utf8mb4 X'5C27'"},
        {"a statement after an escaped apostrophe", 12, "a\\'; DROP TABLE x; --", "'a\\''; DROP TABLE x; --'",
         "E'a\\\\''; DROP TABLE x; --'", "_utf8mb4 X'615C273B2044524F50205441424C4520783B202D2D'"},
        {"carriage return", 12, "\r", "char(13)", "E'\\r'", "_utf8mb4 X'0D'"},
        {"CR LF inside text", 12, "a\r\nb", "'a'||char(13)||'\nb'", "E'a\\r\nb'", "_utf8mb4 X'610D0A62'"},
        {"a line feed alone stays", 12, "a\nb", "'a\nb'", "'a\nb'", "'a\nb'"},
        {"tab", 12, "a\tb", "'a'||char(9)||'b'", "E'a\\tb'", "_utf8mb4 X'610962'"},
        {"NUL", 12, "a" + nul + "b", "'a'||char(0)||'b'", "E'a\\000b'", "_utf8mb4 X'610062'"},
        {"control characters in a row", 12, "\x1b\x7f" + nul, "char(27,127,0)", "E'\\033\\177\\000'",
         "_utf8mb4 X'1B7F00'"},
        {"two bytes a character", 12, "\xC3\xBC", "'\xC3\xBC'", "'\xC3\xBC'", "'\xC3\xBC'"},
        // A client connected as utf8mb3 (the mariadb client's default) cannot pass it.
        {"beyond the BMP", 12, "\xF0\x9F\x98\x80", "'\xF0\x9F\x98\x80'", "'\xF0\x9F\x98\x80'", "_utf8mb4 X'F09F9880'"},
        {"DATE", 9, "2001-03-15", "'2001-03-15'", "'2001-03-15'", "'2001-03-15'"},
        {"TIME", 92, "10:20:30", "'10:20:30'", "'10:20:30'", "'10:20:30'"},
        {"TIMESTAMP", 93, "2001-03-15 10:20:30.5", "'2001-03-15 10:20:30.5'", "'2001-03-15 10:20:30.5'",
         "'2001-03-15 10:20:30.5'"},
        {"a date of another era", 91, "4713-01-01 BC", "'4713-01-01 BC'", "'4713-01-01 BC'", "'4713-01-01 BC'"},
        {"VARBINARY", -3, "0x00FF", "X'00FF'", "E'\\\\x00FF'", "0x00FF"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SqlLiteral(c.value, true, Column(c.sqlType), kSqlite), c.sqlite) << c.name;
        EXPECT_EQ(SqlLiteral(c.value, true, Column(c.sqlType), kPostgres), c.postgres) << c.name;
        EXPECT_EQ(SqlLiteral(c.value, true, Column(c.sqlType), kMaria), c.maria) << c.name;
    }
}

// Text with a NUL byte is never written cut: where the DBMS cannot store it,
// the statement cannot run, and the reason names the column.
TEST(LiteralProblem, NamesTheColumnOfAValueTheDbmsCannotTake)
{
    ColumnInfo column = Column(12);
    column.name = "note";
    const std::string withNul("a\0b", 3);
    EXPECT_EQ(LiteralProblem(withNul, column, kPostgres),
              "The value of column note holds a NUL byte, which PostgreSQL cannot store in text.");
    EXPECT_NE(LiteralProblem(withNul, column, kOdbc).find("column note"), std::string::npos);
    EXPECT_EQ(LiteralProblem(withNul, column, kSqlite), "");
    EXPECT_EQ(LiteralProblem(withNul, column, kMaria), "");
    EXPECT_EQ(LiteralProblem("ab", column, kPostgres), "");
}

TEST(JetTimestamp, RewritesOnlyIsoDates)
{
    EXPECT_EQ(JetTimestamp("2001-03-15 10:20:30"), "03/15/2001 10:20:30");
    EXPECT_EQ(JetTimestamp("2001-03-15"), "03/15/2001");
    EXPECT_EQ(JetTimestamp("01-03-2001"), "01-03-2001");
    EXPECT_EQ(JetTimestamp("20010315"), "20010315");
    EXPECT_EQ(JetTimestamp(""), "");
}

struct FactsCase {
    std::string driver;
    std::string quote;
    bool jet;
    std::string expectedQuote;
};

TEST(SqlLiteralFacts, ComeFromTheDriverName)
{
    const std::vector<FactsCase> cases = {
        {"ODBCJT32.DLL", "`", true, "`"},
        {"odbcjt32.dll", "\"", true, "\""},
        {"OdbcJt32.Dll", "", true, " "},
        {"psqlodbcw.so", "\"", false, "\""},
        {"libmaodbc.so", "`", false, "`"},
        {"sqlite3odbc.so", "\"\"", false, " "},
        {"ODBCJT32.DLL.so", "\"", false, "\""},
    };
    for (const auto& c : cases) {
        const auto facts = SqlLiteralFacts::ForDriver(c.driver, c.quote, "DB");
        EXPECT_EQ(facts.jetDriver, c.jet) << c.driver;
        EXPECT_EQ(facts.identifierQuote, c.expectedQuote) << c.driver;
        EXPECT_EQ(facts.dbmsName, "DB");
        if (c.jet) {
            EXPECT_EQ(facts.datePrefix + facts.dateSuffix + facts.timePrefix + facts.timeSuffix, "####") << c.driver;
        } else {
            EXPECT_EQ(facts.datePrefix, "{d '") << c.driver;
            EXPECT_EQ(facts.dateSuffix, "'}") << c.driver;
            EXPECT_EQ(facts.timePrefix, "{t '") << c.driver;
            EXPECT_EQ(facts.timeSuffix, "'}") << c.driver;
        }
    }
}

struct FormCase {
    const char* driver;
    const char* dbms;
    SqlLiteralFacts::TemporalForm temporal;
    bool jetWays;  // brackets kept, a counter key left out of INSERT
};

// Dates are native literals where the program knows the DBMS; the Jet
// driver's ways are decided with the facts and nowhere else.
TEST(SqlLiteralFacts, DecideTheFormsOnce)
{
    using Form = SqlLiteralFacts::TemporalForm;
    const std::vector<FormCase> cases = {
        {"sqlite3odbc.so", "SQLite", Form::Quoted, false},
        {"psqlodbcw.so", "PostgreSQL", Form::Quoted, false},
        {"libmaodbc.so", "MariaDB", Form::Quoted, false},
        {"libmyodbc8w.so", "MySQL", Form::Quoted, false},
        {"driver.so", "Microsoft SQL Server", Form::OdbcEscape, false},
        {"ODBCJT32.DLL", "ACCESS", Form::Jet, true},
    };
    for (const auto& c : cases) {
        const auto facts = SqlLiteralFacts::ForDriver(c.driver, "\"", c.dbms);
        EXPECT_EQ(facts.temporal, c.temporal) << c.dbms;
        EXPECT_EQ(facts.Names().KeepsBrackets(), c.jetWays) << c.dbms;
        EXPECT_EQ(facts.insertLeavesOutCounter, c.jetWays) << c.dbms;
    }
    // MySQL and MariaDB names go in backquotes, whatever the driver reports.
    EXPECT_EQ(SqlLiteralFacts::ForDriver("libmaodbc.so", "\"", "MariaDB").identifierQuote, "`");
}

// A floating-point column finds the value it holds only through a literal of
// its own precision; every other literal is the one of a value list.
TEST(ConditionLiteral, GivesFloatingPointTheColumnsPrecision)
{
    const auto maria = SqlLiteralFacts::ForDriver("libmaodbc.so", "`", "MariaDB");
    const auto sqlite = SqlLiteralFacts::ForDriver("sqlite3odbc.so", "\"", "SQLite");
    struct Case {
        const char* name;
        std::int16_t sqlType;
        std::string value;
        const SqlLiteralFacts* facts;
        std::string literal;
    };
    const std::vector<Case> cases = {
        {"REAL on PostgreSQL", 7, "0.1", &kPostgres, "'0.1'"},
        {"DOUBLE on PostgreSQL", 8, "-1.5e-300", &kPostgres, "'-1.5e-300'"},
        {"FLOAT on PostgreSQL", 6, "3", &kPostgres, "'3'"},
        {"REAL on MariaDB", 7, "0.1", &maria, "CAST(0.1 AS FLOAT)"},
        {"DOUBLE on MariaDB", 8, "0.1", &maria, "0.1"},
        {"REAL on SQLite", 7, "0.1", &sqlite, "0.1"},
        {"INTEGER on PostgreSQL", 4, "7", &kPostgres, "7"},
        {"text that is no number", 7, "NaN", &kPostgres, "'NaN'"},
        {"NULL", 7, "NULL", &kPostgres, "NULL"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ConditionLiteral(c.value, false, Column(c.sqlType), *c.facts), c.literal) << c.name;
}

} // namespace
