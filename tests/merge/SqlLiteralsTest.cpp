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
const SqlLiteralFacts kJet = SqlLiteralFacts::ForDriver("ODBCJT32.DLL", "`", "ACCESS");

struct LiteralCase {
    const char* name;
    std::int16_t sqlType;
    std::string value;
    bool quoted;
    std::string nonJet;
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
        // PostgreSQL: an untyped literal takes the column's type, which keeps a
        // double's -0 and infinities and makes 1 a boolean.
        {"DOUBLE", 8, "1.5E10", false, "'1.5E10'", "1.5E10"},
        {"BIT", -7, "1", false, "'1'", "1"},
        {"quoted text into a number column stays text", 4, "1); DROP TABLE T; --", true,
         "'1); DROP TABLE T; --'", "'1); DROP TABLE T; --'"},
        // Only a number goes into SQL as it stands: any other text would be read
        // as SQL, a column name as that column (WHERE [ID]=ID holds for every row).
        {"a column name in a number column is text", 4, "ID", false, "'ID'", "'ID'"},
        {"an expression in a number column is text", 4, "1 OR 1=1", false, "'1 OR 1=1'", "'1 OR 1=1'"},
        {"NaN in a float column is text", 8, "NaN", false, "'NaN'", "'NaN'"},
        {"empty text in a number column is text", 4, "", false, "''", "''"},
        {"signed number", 3, "+0.50", false, "+0.50", "+0.50"},
        {"number with exponent", 8, "-1.5e-07", false, "'-1.5e-07'", "-1.5e-07"},
        {"number without leading digit", 3, ".5", false, ".5", ".5"},
        {"number with trailing point", 3, "5.", false, "5.", "5."},
        {"a lone sign is no number", 4, "-", false, "'-'", "'-'"},
        {"a lone point is no number", 3, ".", false, "'.'", "'.'"},
        {"an exponent without digits is no number", 8, "1e", false, "'1e'", "'1e'"},
        {"VARBINARY", -3, "0x0102", false, "'\\x0102'", "0x0102"},
        {"LONGVARBINARY quoted in the dump", -4, "0x0102", true, "'\\x0102'", "0x0102"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SqlLiteral(c.value, c.quoted, Column(c.sqlType), kPostgres), c.nonJet) << c.name;
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
        {"PostgreSQL", "0x00FF", "'\\x00FF'"},
        {"PostgreSQL", "", "'\\x'"},
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

TEST(SqlLiteral, DoublesBackslashesWhereTheDbmsEscapesWithThem)
{
    const ColumnInfo text = Column(12);
    EXPECT_EQ(SqlLiteral("a\\b'\\", true, text, SqlLiteralFacts::ForDriver("libmaodbc.so", "`", "MariaDB")),
              "'a\\\\b''\\\\'");
    EXPECT_EQ(SqlLiteral("a\\b", true, text, SqlLiteralFacts::ForDriver("libmaodbc.so", "`", "MySQL")), "'a\\\\b'");
    EXPECT_EQ(SqlLiteral("a\\b", true, text, kPostgres), "'a\\b'");
    EXPECT_EQ(SqlLiteral("a\\b", true, text, SqlLiteralFacts::ForDriver("sqlite3odbc.so", "\"", "SQLite")),
              "'a\\b'");
    // Dates, times and timestamps are escaped exactly like text.
    const auto mariaDb = SqlLiteralFacts::ForDriver("libmaodbc.so", "`", "MariaDB");
    EXPECT_EQ(SqlLiteral("\\", false, Column(9), mariaDb), "{d '\\\\'}");
    EXPECT_EQ(SqlLiteral("x\\'y", false, Column(10), mariaDb), "{t 'x\\\\''y'}");
    EXPECT_EQ(SqlLiteral("\\", false, Column(93), mariaDb), "{ts '\\\\'}");
    EXPECT_EQ(SqlLiteral("\\", false, Column(9), kPostgres), "{d '\\'}");
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
