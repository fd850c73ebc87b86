#include <gtest/gtest.h>

#include "DriverCases.h"
#include "RawOdbc.h"
#include "TestEnv.h"
#include "common/OutputFile.h"
#include "datasource/CDatabase.h"
#include "datasource/CRecordsetEx.h"
#include "datasource/DatabaseError.h"

namespace {

class DumpOnDriver : public ::testing::TestWithParam<DriverCase> {
protected:
    void SetUp() override
    {
        REQUIRE_TEST_DATA_SOURCES();
        ASSERT_TRUE(db.OpenDataSource(GetParam().dsn));
    }

    std::string Dump(const std::string& table)
    {
        CRecordsetEx rs(db);
        EXPECT_NO_THROW(rs.OpenTable(table));
        const auto path = dir.path() / (table + ".csv");
        OutputFile file(path.string(), OutputFile::Mode::Text);
        EXPECT_TRUE(rs.WriteRows(file, ","));
        EXPECT_FALSE(file.IsOpen());
        EXPECT_TRUE(rs.IsEOF());
        // The driver's result is freed once the rows are out.
        EXPECT_FALSE(rs.IsOpen());
        return testenv::ReadFile(path);
    }

    struct KeyCase {
        const char* table;
        const char* columns;
        const char* keys;
    };

    // Creates every table of `cases` at once (so that like-named tables stand
    // side by side), checks each one's key column list, drops them again.
    void ExpectKeyColumns(const std::vector<KeyCase>& cases)
    {
        const DriverCase& d = GetParam();
        rawodbc::Connection raw(d.dsn);
        for (const auto& c : cases) {
            raw.ExecIgnoringErrors("DROP TABLE " + Quoted(d, c.table));
            raw.Exec("CREATE TABLE " + Quoted(d, c.table) + " " + c.columns);
        }
        for (const auto& c : cases)
            EXPECT_EQ(KeyColumns(c.table), c.keys) << d.dsn << " " << c.table;
        for (const auto& c : cases)
            raw.Exec("DROP TABLE " + Quoted(d, c.table));
    }

    std::string KeyColumns(const std::string& table)
    {
        CRecordsetEx rs(db);
        EXPECT_NO_THROW(rs.OpenTable(table));
        std::string keys = "stale";
        rs.GetKeyColumnList(keys);
        rs.Close();
        return keys;
    }

    CDatabase db;
    testenv::TempDir dir;
};

TEST_P(DumpOnDriver, WritesAwkwardValuesByteForByte)
{
    const DriverCase& d = GetParam();
    rawodbc::Connection raw(d.dsn);
    const std::string t = Quoted(d, "dump_awkward");
    raw.ExecIgnoringErrors("DROP TABLE " + t);
    raw.Exec("CREATE TABLE " + t + " (id INTEGER NOT NULL PRIMARY KEY, name VARCHAR(40), note " + d.longText +
             ", born DATE, data " + d.binary + ", amount DECIMAL(6,2))");
    const std::string insert = "INSERT INTO " + t + " VALUES ";
    raw.Exec(insert + "(1, 'Smith', 'say \"hi\"', '1960-04-01', " + d.binaryLiteral + ", 12.50)");
    raw.Exec(insert + "(2, 'a,b', " + std::string(d.crlfText) + ", NULL, NULL, NULL)");
    raw.Exec(insert + "(3, 'NULL', NULL, '2000-02-29', NULL, -0.5)");
    raw.Exec(insert + "(4, 'O''Neil', '', NULL, NULL, 0)");

    // The same on every driver: binaries unquoted whatever their type (PostgreSQL
    // reports bytea as a long one), exact numbers at their declared scale (SQLite
    // keeps 12.50 as the real 12.5 and 0.00 as the integer 0).
    const std::string expected = "id,name,note,born,data,amount\r\n"
                                 "1,\"Smith\",\"say \"\"hi\"\"\",1960-04-01,0x0102FF00,12.50\r\n"
                                 "2,\"a,b\",\"line1\r\nline2\",NULL,NULL,NULL\r\n"
                                 "3,\"NULL\",NULL,2000-02-29,NULL,-0.50\r\n"
                                 "4,\"O'Neil\",\"\",NULL,NULL,0.00\r\n";
    EXPECT_EQ(Dump("dump_awkward"), expected);
    raw.Exec("DROP TABLE " + t);
}

// Every digit of a floating-point value survives the dump, in the shortest text
// that reads back to the same value, and the same value dumps alike on every
// driver (SQLite's driver alone would write 0.3 and 95125.0).
TEST_P(DumpOnDriver, FloatingPointValuesKeepEveryDigit)
{
    const DriverCase& d = GetParam();
    rawodbc::Connection raw(d.dsn);
    const std::string t = Quoted(d, "dump_float");
    raw.ExecIgnoringErrors("DROP TABLE " + t);
    raw.Exec("CREATE TABLE " + t + " (id INTEGER NOT NULL PRIMARY KEY, d " + d.doubleType + ", r REAL)");
    const std::string insert = "INSERT INTO " + t + " VALUES ";
    raw.Exec(insert + "(1, 0.30000000000000004, 0.1)");
    raw.Exec(insert + "(2, 1.7976931348623157e308, 3.4028235e38)");
    raw.Exec(insert + "(3, 2.2250738585072014e-308, 1e-7)");
    raw.Exec(insert + "(4, 4.9406564584124654e-324, -2.5)");
    raw.Exec(insert + "(5, 1e-7, 95125)");
    raw.Exec(insert + "(6, 1e22, NULL)");
    raw.Exec(insert + "(7, 95125, 0)");
    raw.Exec(insert + "(8, -0.1, 16777216)");
    EXPECT_EQ(Dump("dump_float"), "id,d,r\r\n"
                                  "1,0.30000000000000004,0.1\r\n"
                                  "2,1.7976931348623157e+308,3.4028235e+38\r\n"
                                  "3,2.2250738585072014e-308,1e-07\r\n"
                                  "4,5e-324,-2.5\r\n"
                                  "5,1e-07,95125\r\n"
                                  "6,1e+22,NULL\r\n"
                                  "7,95125,0\r\n"
                                  "8,-0.1,16777216\r\n");
    raw.Exec("DROP TABLE " + t);
}

TEST_P(DumpOnDriver, EmptyTableIsTheHeaderLineAlone)
{
    const DriverCase& d = GetParam();
    rawodbc::Connection raw(d.dsn);
    raw.ExecIgnoringErrors("DROP TABLE " + Quoted(d, "dump_empty"));
    raw.Exec("CREATE TABLE " + Quoted(d, "dump_empty") + " (a INTEGER, b VARCHAR(3))");
    EXPECT_EQ(Dump("dump_empty"), "a,b\r\n");
    raw.Exec("DROP TABLE " + Quoted(d, "dump_empty"));
}

TEST_P(DumpOnDriver, KeyColumnListsAreTheLeadingNotNullColumns)
{
    ExpectKeyColumns({
        {"key_a", "(a INTEGER NOT NULL, b VARCHAR(5) NOT NULL, c INTEGER, d INTEGER NOT NULL)", "0,1"},
        {"key_b", "(a INTEGER, b INTEGER NOT NULL)", ""},
        {"key_c", "(a INTEGER NOT NULL PRIMARY KEY, b INTEGER)", "0"},
        {"key_d", "(a INTEGER NOT NULL, b INTEGER NOT NULL, PRIMARY KEY (a, b))", "0,1"},
    });
}

// A row is identified by the table's declared key, not by every leading NOT
// NULL column: renaming a customer must stay an update of that row.
TEST_P(DumpOnDriver, KeyColumnListIsTheDeclaredKey)
{
    ExpectKeyColumns({
        {"key_customers", "(id INTEGER NOT NULL PRIMARY KEY, name VARCHAR(20) NOT NULL, email VARCHAR(40))", "0"},
        {"key_second", "(name VARCHAR(20) NOT NULL, id INTEGER NOT NULL PRIMARY KEY, email VARCHAR(40))", "1"},
        {"key_unique", "(note VARCHAR(20), code VARCHAR(10) NOT NULL, UNIQUE (code))", "1"},
    });
}

// The catalog takes a table name as a pattern, where "_" stands for any
// character: the columns of kpAx must not decide the key of kp_x.
TEST_P(DumpOnDriver, KeyColumnListTakesNoColumnsOfLikeNamedTables)
{
    ExpectKeyColumns({
        {"kpAx", "(a INTEGER NOT NULL, b INTEGER NOT NULL)", "0,1"},
        {"kp_x", "(a INTEGER, b INTEGER NOT NULL)", ""},
        {"kpBx", "(a INTEGER NOT NULL, b INTEGER)", "0"},
    });
}

INSTANTIATE_TEST_SUITE_P(Drivers, DumpOnDriver, ::testing::ValuesIn(AllDrivers()),
                         [](const auto& info) { return std::string(info.param.dsn); });

TEST(Dump, SqlitePrimaryKeyWithoutNotNullIsAKey)
{
    REQUIRE_TEST_DATA_SOURCES();
    rawodbc::Connection raw(testenv::kSqliteOld);
    raw.ExecIgnoringErrors("DROP TABLE \"key_rowid\"");
    raw.Exec("CREATE TABLE \"key_rowid\" (id INTEGER PRIMARY KEY, v TEXT)");
    CDatabase db;
    ASSERT_TRUE(db.OpenDataSource(testenv::kSqliteOld));
    CRecordsetEx rs(db);
    ASSERT_NO_THROW(rs.OpenTable("key_rowid"));
    std::string keys;
    rs.GetKeyColumnList(keys);
    EXPECT_EQ(keys, "0");
    rs.Close();
    raw.Exec("DROP TABLE \"key_rowid\"");
}

// SQLite keeps any text in a floating-point column: it is dumped as text, in
// quotes, never as a number it is not.
TEST(Dump, SqliteTextInAFloatColumnStaysText)
{
    REQUIRE_TEST_DATA_SOURCES();
    rawodbc::Connection raw(testenv::kSqliteOld);
    raw.ExecIgnoringErrors("DROP TABLE \"float_text\"");
    raw.Exec("CREATE TABLE \"float_text\" (id INTEGER NOT NULL PRIMARY KEY, d DOUBLE, r REAL)");
    raw.Exec("INSERT INTO \"float_text\" VALUES (1, 'abc', '1,5'), (2, '', 'NULL'), (3, 7, 'x\"y')");
    testenv::TempDir dir;
    {
        CDatabase db;
        ASSERT_TRUE(db.OpenDataSource(testenv::kSqliteOld));
        CRecordsetEx rs(db);
        ASSERT_NO_THROW(rs.OpenTable("float_text"));
        OutputFile file((dir.path() / "f.csv").string(), OutputFile::Mode::Text);
        rs.WriteRows(file, ",");
    }
    EXPECT_EQ(testenv::ReadFile(dir.path() / "f.csv"),
              "id,d,r\r\n1,\"abc\",\"1,5\"\r\n2,\"\",\"NULL\"\r\n3,7,\"x\"\"y\"\r\n");
    raw.Exec("DROP TABLE \"float_text\"");
}

TEST(Dump, FileErrorsNameTheFile)
{
    REQUIRE_TEST_DATA_SOURCES();
    testenv::TempDir dir;
    const std::string missing = (dir.path() / "no_such_dir" / "x.csv").string();
    try {
        OutputFile file(missing, OutputFile::Mode::Text);
        FAIL() << "created a file in a missing directory";
    } catch (const FileError& e) {
        EXPECT_NE(std::string(e.what()).find(missing), std::string::npos) << e.what();
    }

    // A full disk: every write to /dev/full fails with "No space left on device".
    CDatabase db;
    ASSERT_TRUE(db.OpenDataSource(testenv::kSqliteOld));
    CRecordsetEx rs(db);
    ASSERT_NO_THROW(rs.OpenQuery(CRecordsetEx::forwardOnly, "SELECT 1 AS a"));
    OutputFile full("/dev/full", OutputFile::Mode::Text);
    try {
        rs.WriteRows(full, ",");
        FAIL() << "a write to a full disk went unnoticed";
    } catch (const FileError& e) {
        EXPECT_NE(std::string(e.what()).find("/dev/full"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(full.IsOpen());
}

} // namespace

namespace {

// GUIDs are written in quotes like text, so that the merge writes them as
// character literals.
TEST(Dump, PostgresUuidIsAQuotedGuid)
{
    REQUIRE_TEST_DATA_SOURCES();
    rawodbc::Connection raw(testenv::kPostgres);
    raw.ExecIgnoringErrors("DROP TABLE dump_uuid");
    raw.Exec("CREATE TABLE dump_uuid (id INTEGER NOT NULL, u UUID)");
    raw.Exec("INSERT INTO dump_uuid VALUES (1, 'a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11')");
    testenv::TempDir dir;
    {
        CDatabase db;
        ASSERT_TRUE(db.OpenDataSource(testenv::kPostgres));
        CRecordsetEx rs(db);
        ASSERT_NO_THROW(rs.OpenTable("dump_uuid"));
        EXPECT_EQ(rs.Columns()[1].sqlType, SQL_GUID);
        OutputFile file((dir.path() / "u.csv").string(), OutputFile::Mode::Text);
        rs.WriteRows(file, ",");
    }
    EXPECT_EQ(testenv::ReadFile(dir.path() / "u.csv"), "id,u\r\n1,\"A0EEBC99-9C0B-4EF8-BB6D-6BB9BD380A11\"\r\n");
    raw.Exec("DROP TABLE dump_uuid");
}

} // namespace

namespace {

// Two PostgreSQL schemas with a table of the same name: the catalog cannot tell
// which one an unqualified query reads, so the other table's NOT NULL columns
// must not make a key of the nullable columns the query really read.
TEST(Dump, SameNamedTableInAnotherSchemaGivesNoKey)
{
    REQUIRE_TEST_DATA_SOURCES();
    rawodbc::Connection raw(testenv::kPostgres);
    raw.ExecIgnoringErrors("DROP TABLE kq_schema");
    raw.ExecIgnoringErrors("DROP SCHEMA kq_other CASCADE");
    raw.Exec("CREATE SCHEMA kq_other");
    raw.Exec("CREATE TABLE kq_other.kq_schema (a INTEGER NOT NULL, b INTEGER NOT NULL, PRIMARY KEY (a, b))");
    raw.Exec("CREATE TABLE kq_schema (a INTEGER, b INTEGER)");
    std::string keys = "stale";
    {
        CDatabase db;
        ASSERT_TRUE(db.OpenDataSource(testenv::kPostgres));
        CRecordsetEx rs(db);
        ASSERT_NO_THROW(rs.OpenTable("kq_schema"));
        rs.GetKeyColumnList(keys);
    }
    EXPECT_EQ(keys, "");
    raw.Exec("DROP TABLE kq_schema");
    raw.Exec("DROP SCHEMA kq_other CASCADE");
}

} // namespace
