// The generated literals against the real drivers: statements built for one
// row are run through plain ODBC and the stored values read back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "RawOdbc.h"
#include "TestEnv.h"
#include "TestRows.h"
#include "merge/StatementBuilder.h"

namespace {

using mergetest::Q;
using mergetest::U;

struct Driver {
    const char* label;
    std::string dsn;         // a DSN, or a connection string that sets up the session
    const char* driverFile;
    const char* identifierQuote;
    const char* columns;     // ID, B (binary), T (long text), TS (timestamp), V (varchar)
    const char* suffix;      // of the table names: sessions of one server run at the same time
    const char* textHex;     // an expression of a text column's bytes in hex, the column as {}
    bool storesNul;          // whether text can hold a NUL byte
};

// Each server also with the session settings that change what a literal or a
// quoted name means: the statements must mean the same there.
const Driver kDrivers[] = {
    {"SQLite", testenv::kSqliteScratch, "sqlite3odbc.so", "\"",
     "(ID INTEGER NOT NULL PRIMARY KEY, B BLOB, T TEXT, TS TIMESTAMP, V VARCHAR(40))", "", "hex({})", true},
    {"PostgreSQL", testenv::kPostgres, "psqlodbcw.so", "\"",
     "(ID INTEGER NOT NULL PRIMARY KEY, B BYTEA, T TEXT, TS TIMESTAMP, V VARCHAR(40))", "",
     "encode(convert_to({}, 'UTF8'), 'hex')", false},
    {"PostgreSQLNonStandardStrings",
     std::string("DSN=") + testenv::kPostgres + ";ConnSettings=SET standard_conforming_strings=off", "psqlodbcw.so",
     "\"", "(ID INTEGER NOT NULL PRIMARY KEY, B BYTEA, T TEXT, TS TIMESTAMP, V VARCHAR(40))", "_scs",
     "encode(convert_to({}, 'UTF8'), 'hex')", false},
    {"MariaDB", testenv::kMariaDb, "libmaodbc.so", "`",
     "(ID INTEGER NOT NULL PRIMARY KEY, B LONGBLOB, T LONGTEXT, TS DATETIME, V VARCHAR(40))", "", "HEX({})", true},
    {"MariaDBNoBackslashEscapes",
     std::string("DSN=") + testenv::kMariaDb + ";InitStmt=SET SESSION sql_mode='NO_BACKSLASH_ESCAPES'",
     "libmaodbc.so", "`", "(ID INTEGER NOT NULL PRIMARY KEY, B LONGBLOB, T LONGTEXT, TS DATETIME, V VARCHAR(40))",
     "_nbe", "HEX({})", true},
    // The connector reports the double quote as its identifier quote here.
    {"MariaDBAnsiQuotes", std::string("DSN=") + testenv::kMariaDb + ";InitStmt=SET SESSION sql_mode='ANSI_QUOTES'",
     "libmaodbc.so", "\"", "(ID INTEGER NOT NULL PRIMARY KEY, B LONGBLOB, T LONGTEXT, TS DATETIME, V VARCHAR(40))",
     "_aq", "HEX({})", true},
};

// A table of the test for one driver.
std::string Table(const Driver& driver, const char* base)
{
    return base + std::string(driver.suffix);
}

std::string Bracketed(const Driver& driver, const char* base)
{
    return "[" + Table(driver, base) + "]";
}

std::string HexOf(const Driver& driver, const std::string& column)
{
    std::string expression = driver.textHex;
    return expression.replace(expression.find("{}"), 2, column);
}

std::string Upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
    return text;
}

std::string Hex(const std::string& bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (const char c : bytes) {
        hex += digits[static_cast<unsigned char>(c) >> 4];
        hex += digits[static_cast<unsigned char>(c) & 15];
    }
    return hex;
}

ColumnInfo Column(const char* name, std::int16_t sqlType)
{
    ColumnInfo column;
    column.name = name;
    column.sqlType = sqlType;
    return column;
}

// Lower-case names: PostgreSQL folds the unquoted names of CREATE TABLE.
const CColumnInfoArray kColumns = {Column("id", 4), Column("b", -4), Column("t", -1), Column("ts", 11),
                                   Column("v", 12)};

std::string AllBytesHex()
{
    static const char digits[] = "0123456789ABCDEF";
    std::string hex = "0x";
    for (int b = 0; b < 256; ++b) {
        hex += digits[b >> 4];
        hex += digits[b & 15];
    }
    return hex;
}

std::string AllBytes()
{
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        bytes += static_cast<char>(b);
    return bytes;
}

void PrintTo(const Driver& driver, std::ostream* os)
{
    *os << driver.label;
}

class LiteralsOnDriver : public testing::TestWithParam<Driver> {};

struct Stored {
    CRowValues row;
    rawodbc::Row expected;
};

TEST_P(LiteralsOnDriver, StoreTheValuesUnchanged)
{
    REQUIRE_TEST_DATA_SOURCES();
    const std::string text = "back\\slash \\' it's \"quoted\" [x] ]] a,b\r\nline 2 \xC3\xBC\xE2\x82\xAC";
    const std::vector<Stored> rows = {
        {mergetest::Row({U("1"), U(AllBytesHex()), Q(text), U("2001-03-15 10:20:30"), Q("NULL")}),
         {"1", AllBytes(), text, "2001-03-15 10:20:30", "NULL"}},
        {mergetest::Row({U("2"), U("0x"), Q(""), U("1999-12-31 23:59:59"), U("NULL")}),
         {"2", std::string(), std::string(), "1999-12-31 23:59:59", std::nullopt}},
        {mergetest::Row({U("3"), U(""), U("NULL"), U("NULL"), Q("ends with \\")}),
         {"3", std::string(), std::nullopt, std::nullopt, "ends with \\"}},
    };
    const Driver& driver = GetParam();
    rawodbc::Connection connection(driver.dsn);
    connection.ExecIgnoringErrors("DROP TABLE " + Table(driver, "lit_t"));
    connection.Exec("CREATE TABLE " + Table(driver, "lit_t") + " " + driver.columns);
    // A value that would end its literal where a backslash escapes, and run a
    // statement of its own: the table it names must stay.
    const std::string dropX = "a\\'; DROP TABLE " + Table(driver, "lit_x") + "; --";
    connection.ExecIgnoringErrors("DROP TABLE " + Table(driver, "lit_x"));
    connection.Exec("CREATE TABLE " + Table(driver, "lit_x") + " (id INTEGER NOT NULL PRIMARY KEY)");
    connection.Exec("INSERT INTO " + Table(driver, "lit_x") + " VALUES (1)");
    const auto facts = SqlLiteralFacts::ForDriver(driver.driverFile, driver.identifierQuote,
                                                  connection.DbmsName());
    std::string statement;  // the text of the last statement built
    for (const auto& stored : rows) {
        statement = BuildInsert(stored.row, kColumns, Bracketed(driver, "lit_t"), {0}, facts).text;
        EXPECT_NO_THROW(connection.Exec(statement)) << statement;
    }
    const auto read = connection.Query("SELECT ID, B, T, TS, V FROM " + Table(driver, "lit_t") + " ORDER BY ID");
    ASSERT_EQ(read.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rawodbc::Row got = read[i];
        // Drivers may render fractions of a second; the value is what counts.
        if (got[3] && got[3]->size() > 19 && got[3]->substr(19).find_first_not_of(".0") == std::string::npos)
            got[3]->resize(19);
        EXPECT_EQ(got, rows[i].expected) << "row " << i;
    }

    // An update by key and a delete by key change exactly their row.
    const CRowValues changed =
        mergetest::Row({U("2"), U("0x00ff"), Q("O'Neil"), U("2020-02-29 00:00:01"), Q("[y]")});
    statement = BuildUpdate(changed, kColumns, Bracketed(driver, "lit_t"), {0}, facts).text;
    EXPECT_NO_THROW(connection.Exec(statement)) << statement;
    statement = BuildDelete(rows[2].row, kColumns, Bracketed(driver, "lit_t"), {0}, facts).text;
    EXPECT_NO_THROW(connection.Exec(statement)) << statement;
    const auto after = connection.Query("SELECT ID, B, T, TS, V FROM " + Table(driver, "lit_t") + " ORDER BY ID");
    ASSERT_EQ(after.size(), 2u);
    rawodbc::Row second = after[1];
    if (second[3] && second[3]->size() > 19)
        second[3]->resize(19);
    EXPECT_EQ(second, (rawodbc::Row{"2", std::string("\x00\xff", 2), "O'Neil", "2020-02-29 00:00:01", "[y]"}));

    // Texts that a session setting or a client could change are stored byte
    // for byte, and found again by a condition on them.
    std::vector<std::string> texts = {"\\", "\\'", dropX, "'", "''", "\r", "\r\n", "\t", "a\nb", "\x1b[0m\x7f"};
    if (driver.storesNul)
        texts.push_back(std::string("a\0b\0", 4));
    std::vector<rawodbc::Row> expected;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const std::string id = std::to_string(10 + i);
        const CRowValues row = mergetest::Row({U(id), U("NULL"), Q(texts[i]), U("NULL"), Q(texts[i])});
        statement = BuildInsert(row, kColumns, Bracketed(driver, "lit_t"), {0}, facts).text;
        EXPECT_NO_THROW(connection.Exec(statement)) << statement;
        expected.push_back({id, Hex(texts[i]), Hex(texts[i])});
    }
    std::vector<rawodbc::Row> stored =
        connection.Query("SELECT ID, " + HexOf(driver, "t") + ", " + HexOf(driver, "v") + " FROM " +
                         Table(driver, "lit_t") + " WHERE ID >= 10 ORDER BY ID");
    for (rawodbc::Row& row : stored) {
        for (rawodbc::Value& value : row)
            value = Upper(value.value_or("NULL"));
    }
    EXPECT_EQ(stored, expected);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const CRowValues row =
            mergetest::Row({U(std::to_string(10 + i)), U("NULL"), Q(texts[i]), U("NULL"), Q(texts[i])});
        statement = BuildDelete(row, kColumns, Bracketed(driver, "lit_t"), {}, facts).text;
        EXPECT_NO_THROW(connection.Exec(statement)) << statement;
    }
    EXPECT_EQ(connection.Query("SELECT ID FROM " + Table(driver, "lit_t") + " ORDER BY ID"),
              (std::vector<rawodbc::Row>{{"1"}, {"2"}}));
    EXPECT_EQ(connection.Query("SELECT id FROM " + Table(driver, "lit_x")), std::vector<rawodbc::Row>{{"1"}});
    connection.Exec("DROP TABLE " + Table(driver, "lit_x"));
    connection.Exec("DROP TABLE " + Table(driver, "lit_t"));
}

// Column names holding an apostrophe, the identifier quote or brackets (names
// carried over from desktop databases): the statements must still be valid
// SQL. A syntax error on PostgreSQL also undoes every earlier statement of the
// merge's transaction.
TEST_P(LiteralsOnDriver, NamesWithApostrophesQuotesAndBracketsWork)
{
    REQUIRE_TEST_DATA_SOURCES();
    const Driver& driver = GetParam();
    const std::string q = driver.identifierQuote;
    const std::string table = Table(driver, "lit_odd");
    const std::string bracketed = Bracketed(driver, "lit_odd");
    rawodbc::Connection connection(driver.dsn);
    connection.ExecIgnoringErrors("DROP TABLE " + table);
    connection.Exec("CREATE TABLE " + table + " (id INTEGER NOT NULL PRIMARY KEY, " + q + "Customer's Name" + q +
                    " VARCHAR(20), " + q + "say " + q + q + "hi" + q + q + q + " VARCHAR(20), " + q + "a[1]" +
                    q + " INTEGER)");
    const auto facts = SqlLiteralFacts::ForDriver(driver.driverFile, driver.identifierQuote,
                                                  connection.DbmsName());
    const CColumnInfoArray columns = {Column("id", 4), Column("Customer's Name", 12),
                                      Column(q == "\"" ? "say \"hi\"" : "say `hi`", 12), Column("a[1]", 4)};
    std::string statement;  // the text of the last statement built
    statement =
        BuildInsert(mergetest::Row({U("1"), Q("O'Neil"), Q("x"), U("5")}), columns, bracketed, {0}, facts).text;
    EXPECT_NO_THROW(connection.Exec(statement)) << statement;
    statement =
        BuildUpdate(mergetest::Row({U("1"), Q("Smith"), Q("y"), U("6")}), columns, bracketed, {0}, facts).text;
    EXPECT_NO_THROW(connection.Exec(statement)) << statement;
    EXPECT_EQ(connection.Query("SELECT * FROM " + table), (std::vector<rawodbc::Row>{{"1", "Smith", "y", "6"}}));
    statement =
        BuildDelete(mergetest::Row({U("1"), Q("Smith"), Q("y"), U("6")}), columns, bracketed, {0}, facts).text;
    EXPECT_NO_THROW(connection.Exec(statement)) << statement;
    EXPECT_TRUE(connection.Query("SELECT * FROM " + table).empty());
    connection.Exec("DROP TABLE " + table);
}

// When two dumps' columns differ, their column-name lines reach the change set
// as an old and a new row with the same "key" (the key column's name). The
// update built from them must change no stored row.
TEST_P(LiteralsOnDriver, AColumnNameLineChangesNoRow)
{
    REQUIRE_TEST_DATA_SOURCES();
    const CColumnInfoArray columns = {Column("id", 4), Column("v", 12)};
    const CRowValues nameLine = mergetest::Row({U("id"), U("v")});
    const Driver& driver = GetParam();
    const std::string table = Table(driver, "lit_names");
    const std::string bracketed = Bracketed(driver, "lit_names");
    rawodbc::Connection connection(driver.dsn);
    connection.ExecIgnoringErrors("DROP TABLE " + table);
    connection.Exec("CREATE TABLE " + table + " (id INTEGER NOT NULL PRIMARY KEY, v VARCHAR(20))");
    connection.Exec("INSERT INTO " + table + " VALUES (1, 'one')");
    connection.Exec("INSERT INTO " + table + " VALUES (2, 'two')");
    const auto facts = SqlLiteralFacts::ForDriver(driver.driverFile, driver.identifierQuote,
                                                  connection.DbmsName());
    std::string statement;  // the text of the last statement built
    statement = BuildUpdate(nameLine, columns, bracketed, {0}, facts).text;
    connection.ExecIgnoringErrors(statement);  // an error is the data source's fair answer
    EXPECT_EQ(connection.Query("SELECT id, v FROM " + table + " ORDER BY id"),
              (std::vector<rawodbc::Row>{{"1", "one"}, {"2", "two"}}))
        << statement;
    connection.Exec("DROP TABLE " + table);
}

// A source that stores any text in a date column (SQLite) can hand over a date
// that ends in a backslash, followed by a key value that is SQL. Where a
// backslash escapes (MariaDB, MySQL), a literal that did not escape it would end
// early and make the rest of the statement SQL: here a condition true for every
// row. The statement must fail or match nothing, and leave every row as it was.
TEST_P(LiteralsOnDriver, CraftedDateValuesCannotWidenACondition)
{
    REQUIRE_TEST_DATA_SOURCES();
    const Driver& driver = GetParam();
    const std::string table = Table(driver, "lit_dates");
    const std::string bracketed = Bracketed(driver, "lit_dates");
    rawodbc::Connection connection(driver.dsn);
    connection.ExecIgnoringErrors("DROP TABLE " + table);
    const std::string stamp = std::string(driver.driverFile) == "libmaodbc.so" ? "DATETIME" : "TIMESTAMP";
    connection.Exec("CREATE TABLE " + table + " (d DATE NOT NULL, t TIME NOT NULL, ts " + stamp +
                    " NOT NULL, note VARCHAR(20), PRIMARY KEY (d, t, ts))");
    connection.Exec("INSERT INTO " + table + " VALUES ('2001-03-15', '10:20:30', '2001-03-15 10:20:30', 'one')");
    connection.Exec("INSERT INTO " + table + " VALUES ('1999-12-31', '23:59:59', '1999-12-31 23:59:59', 'two')");
    const std::vector<rawodbc::Row> before = connection.Query("SELECT note FROM " + table + " ORDER BY note");
    const auto facts = SqlLiteralFacts::ForDriver(driver.driverFile, driver.identifierQuote, connection.DbmsName());
    const CColumnInfoArray columns = {Column("d", 9), Column("t", 10), Column("ts", 11), Column("note", 12)};
    const std::string sql = "} OR 1=1 -- ";
    const std::vector<CRowValues> crafted = {
        mergetest::Row({U("\\"), U(sql), U("2001-03-15 10:20:30"), Q("x")}),
        mergetest::Row({U("2001-03-15"), U("\\"), U(sql), Q("x")}),
        mergetest::Row({U("2001-03-15\\"), U("10:20:30' OR 1=1 OR '"), U("2001-03-15 10:20:30"), Q("x")}),
    };
    std::string statement;  // the text of the last statement built
    for (const CRowValues& row : crafted) {
        statement = BuildUpdate(row, columns, bracketed, {0, 1, 2}, facts).text;
        connection.ExecIgnoringErrors(statement);
        statement = BuildDelete(row, columns, bracketed, {0, 1, 2}, facts).text;
        connection.ExecIgnoringErrors(statement);
        EXPECT_EQ(connection.Query("SELECT note FROM " + table + " ORDER BY note"), before) << statement;
    }
    connection.Exec("DROP TABLE " + table);
}


INSTANTIATE_TEST_SUITE_P(Drivers, LiteralsOnDriver, testing::ValuesIn(kDrivers),
                         [](const testing::TestParamInfo<Driver>& info) { return std::string(info.param.label); });

} // namespace
