// A SQLite table dumped straight from its file writes the same bytes as the
// same table dumped through the SQLite3 ODBC driver: every storage class in
// every declared type, in tables of every kind. Where a connection of its own
// would not read the table as the driver's connection does (a view, a
// temporary or attached table, uncommitted changes, a file moved or replaced
// since), the dump goes through the driver, with the driver's rows.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "RawOdbc.h"
#include "TestEnv.h"
#include "common/OutputFile.h"
#include "datasource/CDatabase.h"
#include "datasource/CRecordsetEx.h"

namespace {

std::string ConnectTo(const std::filesystem::path& file)
{
    return "Driver=SQLite3;Database=" + file.string() + ";StepAPI=1";
}

// Makes the SQLite file `file` by `statements` on a connection of the test's own.
void MakeSqliteFile(const std::filesystem::path& file, const std::vector<std::string>& statements)
{
    rawodbc::Connection raw(ConnectTo(file));
    raw.ExecAll(statements);
}

// The dump of `table` on `db`, from the file where it may be; says which way it went.
std::string Dump(CDatabase& db, const std::string& table, bool mayReadFile, bool& readFile,
                 const std::filesystem::path& to)
{
    CRecordsetEx rs(db);
    rs.SetReadSqliteFile(mayReadFile);
    rs.OpenTable(table);
    readFile = rs.ReadsSqliteFile();
    OutputFile file(to.string(), OutputFile::Mode::Text);
    rs.WriteRows(file, ",");
    EXPECT_FALSE(rs.IsOpen());
    return testenv::ReadFile(to);
}

// Every value a column may hold, as SQL. Each goes into every column type
// below, so that each storage class meets each type family.
const std::vector<std::string>& Values()
{
    static const std::vector<std::string> values = {
        "NULL", "'NULL'", "''", "X''", "X'00FF'", "X'41'", "'a' || char(0) || 'b'", "char(0)", "'say \"hi\"'",
        "'a,b'", "'line1' || char(13, 10) || 'line2'", "'O''Neil'", "'X''00FF'''", "'b00'", "'  7 '", "'7'",
        "'1.5x'", "'true'", "'f'", "'Inf'", "'NaN'", "'-0'", "'caf' || char(233)", "'2024-02-29 23:59:59.500000'",
        "'2024-02-29 23:59:59.000'", "'10:20:30.120'", "0", "1", "-1", "7", "9223372036854775807",
        "-9223372036854775807 - 1", "-9223372036854775808", "9007199254740993", "0.0", "-0.0", "1.5", "12.50",
        "-0.5", "0.1", "0.30000000000000004", "2.0", "95125.0", "1e15", "1e22", "1e100", "1e101", "-1e300",
        "1.7976931348623157e308", "2.2250738585072014e-308", "5e-324", "1e-7", "9e999", "-9e999", "1700000000",
        "2460000.25",
    };
    return values;
}

// Every family of declared types, and types of no family.
const std::vector<std::string>& Types()
{
    static const std::vector<std::string> types = {
        "",        "TEXT",          "VARCHAR(10)", "CHAR(3)", "CLOB",    "BLOB",      "VARBINARY(8)",
        "REAL",    "DOUBLE",        "FLOAT",       "DECIMAL(12,2)", "NUMERIC(10)", "NUMERIC", "INTEGER",
        "BIGINT",  "BOOLEAN",       "DATE",        "TIME",    "TIMESTAMP", "DATETIME", "ANY",
    };
    return types;
}

// One table with a column of each type and a row of each value in every column.
std::vector<std::string> EveryValueInEveryType()
{
    std::string create = "CREATE TABLE every (id INTEGER PRIMARY KEY";
    for (std::size_t i = 0; i < Types().size(); ++i)
        create += ", c" + std::to_string(i) + " " + Types()[i];
    std::vector<std::string> statements = {create + ")"};
    for (std::size_t row = 0; row < Values().size(); ++row) {
        std::string insert = "INSERT INTO every VALUES (" + std::to_string(row + 1);
        for (std::size_t i = 0; i < Types().size(); ++i)
            insert += ", " + Values()[row];
        statements.push_back(insert + ")");
    }
    // The rowid at both ends of its range.
    statements.push_back("INSERT INTO every (id, c0) VALUES (9223372036854775807, 'last')");
    statements.push_back("INSERT INTO every (id, c0) VALUES (-9223372036854775807 - 1, 'first')");
    return statements;
}

struct TableCase {
    const char* name;
    std::vector<std::string> statements;  // make the file
    std::string table;
    std::string expected;  // the dump; empty where the two ways need only agree
};

void PrintTo(const TableCase& c, std::ostream* out)
{
    *out << c.name;
}

std::vector<TableCase> TableCases()
{
    const std::string longName(70, 'n');
    return {
        {"EveryValueInEveryType", EveryValueInEveryType(), "every", ""},
        // Not a rowid: it holds any value, which a rowid cannot.
        {"DescendingIntegerKey",
         {"CREATE TABLE desc_key (x INTEGER PRIMARY KEY DESC, y INTEGER)",
          "INSERT INTO desc_key VALUES ('a' || char(0) || 'b', 1), (1.5, 2), (X'00FF', 3), (7, 4)"},
         "desc_key",
         "x,y\r\n\"" + std::string("a\0b", 3) + "\",1\r\n1.5,2\r\n0x00FF,3\r\n7,4\r\n"},
        {"WithoutRowid",
         {"CREATE TABLE keyed (k TEXT PRIMARY KEY, v REAL, n INTEGER) WITHOUT ROWID",
          "INSERT INTO keyed VALUES ('m', 0.1, 1), ('a', 2, NULL), ('z', 'x', 3)"},
         "keyed",
         "k,v,n\r\n\"a\",2,NULL\r\n\"m\",0.1,1\r\n\"z\",\"x\",3\r\n"},
        // Every column in one index: the rows may come in the index's order.
        {"CoveringIndex",
         {"CREATE TABLE covered (a INTEGER, b TEXT, UNIQUE (b, a))",
          "INSERT INTO covered VALUES (3, 'c'), (1, 'z'), (2, 'a')"},
         "covered", ""},
        {"AwkwardNames",
         {"CREATE TABLE \"we\"\"ird, tab le\" (\"co\"\"l\" TEXT, \"x,y\" INTEGER, \"" + longName + "\" REAL)",
          "INSERT INTO \"we\"\"ird, tab le\" VALUES ('v', 1, 2.5)"},
         "we\"ird, tab le",
         "co\"l,x,y," + std::string(64, 'n') + "\r\n\"v\",1,2.5\r\n"},
        {"GeneratedColumns",
         {"CREATE TABLE made (a INTEGER, b TEXT GENERATED ALWAYS AS (a || 'x') VIRTUAL, "
          "c REAL GENERATED ALWAYS AS (a * 1.5) STORED)",
          "INSERT INTO made (a) VALUES (1), (NULL), (4)"},
         "made",
         "a,b,c\r\n1,\"1x\",1.5\r\nNULL,NULL,NULL\r\n4,\"4x\",6\r\n"},
        {"Strict",
         {"CREATE TABLE strict_t (id INTEGER PRIMARY KEY, a ANY, t TEXT, r REAL) STRICT",
          "INSERT INTO strict_t VALUES (1, 'x', 'y', 1), (2, 2.5, '', 0.5), (3, X'01', NULL, NULL)"},
         "strict_t",
         "id,a,t,r\r\n1,\"x\",\"y\",1\r\n2,2.5,\"\",0.5\r\n3,0x01,NULL,NULL\r\n"},
        {"Empty", {"CREATE TABLE no_rows (a INTEGER, b TEXT)"}, "no_rows", "a,b\r\n"},
    };
}

class SqliteFileDump : public ::testing::TestWithParam<TableCase> {
protected:
    void SetUp() override
    {
        REQUIRE_TEST_DATA_SOURCES();
        MakeSqliteFile(File(), GetParam().statements);
    }

    std::filesystem::path File() const { return dir.path() / "tables.db"; }

    testenv::TempDir dir;
};

TEST_P(SqliteFileDump, WritesTheSameBytesAsTheDriver)
{
    const TableCase& c = GetParam();
    CDatabase db;
    ASSERT_TRUE(db.OpenDataSource(ConnectTo(File())));
    bool readFile = false;
    const std::string fromFile = Dump(db, c.table, true, readFile, dir.path() / "file.csv");
    EXPECT_TRUE(readFile);
    const std::string throughDriver = Dump(db, c.table, false, readFile, dir.path() / "driver.csv");
    EXPECT_FALSE(readFile);
    const auto differs = std::mismatch(fromFile.begin(), fromFile.end(), throughDriver.begin(), throughDriver.end());
    EXPECT_TRUE(fromFile == throughDriver) << "the dumps differ from byte " << differs.first - fromFile.begin()
                                           << ":\n" << fromFile.substr(differs.first - fromFile.begin(), 200);
    if (!c.expected.empty()) {
        EXPECT_EQ(fromFile, c.expected);
    }
    // Every row is there: the header, a row per value and the two rowids,
    // and the value with a line break holds one in each column.
    if (c.table == "every") {
        EXPECT_EQ(static_cast<std::size_t>(std::count(fromFile.begin(), fromFile.end(), '\n')),
                  1 + Values().size() + 2 + Types().size());
    }
}

INSTANTIATE_TEST_SUITE_P(Tables, SqliteFileDump, ::testing::ValuesIn(TableCases()),
                         [](const ::testing::TestParamInfo<TableCase>& info) { return std::string(info.param.name); });

// What happens between connecting and dumping.
enum class FileChange { none, movedAway, replacedByNoDatabase, replacedByAnotherDatabase };

struct FallbackCase {
    const char* name;
    std::vector<std::string> fileStatements;     // make the file, before the dump's connection
    std::vector<std::string> sessionStatements;  // on the dump's connection; {dir} is the test's folder
    bool inTransaction;                          // the session statements in a transaction left open
    FileChange change;
    std::string table;
    std::string expected;
};

void PrintTo(const FallbackCase& c, std::ostream* out)
{
    *out << c.name;
}

std::vector<FallbackCase> FallbackCases()
{
    const std::vector<std::string> fileTable = {"CREATE TABLE t (id INTEGER PRIMARY KEY, v TEXT)",
                                                "INSERT INTO t VALUES (1, 'in the file')"};
    const std::string fileRows = "id,v\r\n1,\"in the file\"\r\n";
    return {
        {"View",
         {"CREATE TABLE t (id INTEGER PRIMARY KEY, v TEXT)", "INSERT INTO t VALUES (1, 'a' || char(0) || 'b')",
          "CREATE VIEW w AS SELECT id, v FROM t"},
         {}, false, FileChange::none, "w", "id,v\r\n1,\"" + std::string("a\0b", 3) + "\"\r\n"},
        {"TemporaryTable",
         {},
         {"CREATE TEMP TABLE tt (id INTEGER PRIMARY KEY, v TEXT)", "INSERT INTO tt VALUES (2, 'temporary')"},
         false, FileChange::none, "tt", "id,v\r\n2,\"temporary\"\r\n"},
        {"TemporaryTableHidingTheFilesTable",
         fileTable,
         {"CREATE TEMP TABLE t (id INTEGER PRIMARY KEY, v TEXT)", "INSERT INTO t VALUES (2, 'temporary')"},
         false, FileChange::none, "t", "id,v\r\n2,\"temporary\"\r\n"},
        {"AttachedTable",
         {},
         {"ATTACH DATABASE '{dir}/other.db' AS other", "CREATE TABLE other.o (id INTEGER PRIMARY KEY, v TEXT)",
          "INSERT INTO other.o VALUES (3, 'attached')"},
         false, FileChange::none, "o", "id,v\r\n3,\"attached\"\r\n"},
        {"SameNameInAnAttachedFile",
         fileTable,
         {"ATTACH DATABASE '{dir}/other.db' AS other", "CREATE TABLE other.t (id INTEGER PRIMARY KEY, v TEXT)",
          "INSERT INTO other.t VALUES (3, 'attached')"},
         false, FileChange::none, "t", fileRows},
        {"UncommittedChanges",
         fileTable,
         {"INSERT INTO t VALUES (4, 'not yet committed')"},
         true, FileChange::none, "t", fileRows + "4,\"not yet committed\"\r\n"},
        {"FileMovedAway", fileTable, {}, false, FileChange::movedAway, "t", fileRows},
        {"FileReplacedByNoDatabase", fileTable, {}, false, FileChange::replacedByNoDatabase, "t", fileRows},
        {"FileReplacedByAnotherDatabase", fileTable, {}, false, FileChange::replacedByAnotherDatabase, "t",
         fileRows},
    };
}

class SqliteFileFallback : public ::testing::TestWithParam<FallbackCase> {
protected:
    void SetUp() override { REQUIRE_TEST_DATA_SOURCES(); }

    std::filesystem::path File() const { return dir.path() / "tables.db"; }

    void Change(FileChange change)
    {
        if (change == FileChange::none)
            return;
        std::filesystem::rename(File(), dir.path() / "moved.db");
        if (change == FileChange::replacedByNoDatabase) {
            testenv::WriteFile(File(), std::string(4096, 'x'));
        } else if (change == FileChange::replacedByAnotherDatabase) {
            // The same schema, other rows; closed again before the dump.
            rawodbc::Connection other(ConnectTo(File()));
            other.Exec("CREATE TABLE t (id INTEGER PRIMARY KEY, v TEXT)");
            other.Exec("INSERT INTO t VALUES (9, 'another file')");
        }
    }

    testenv::TempDir dir;
};

TEST_P(SqliteFileFallback, ReadsThroughTheDriver)
{
    const FallbackCase& c = GetParam();
    MakeSqliteFile(File(), c.fileStatements);
    CDatabase db;
    ASSERT_TRUE(db.OpenDataSource(ConnectTo(File())));
    if (c.inTransaction) {
        ASSERT_TRUE(db.BeginTrans());
    }
    for (std::string statement : c.sessionStatements) {
        const std::size_t at = statement.find("{dir}");
        if (at != std::string::npos)
            statement.replace(at, 5, dir.str());
        CRecordsetEx(db).ExecuteDirect(statement);
    }
    Change(c.change);
    bool readFile = true;
    EXPECT_EQ(Dump(db, c.table, true, readFile, dir.path() / "dump.csv"), c.expected);
    EXPECT_FALSE(readFile);
    db.AbandonTrans();
}

INSTANTIATE_TEST_SUITE_P(Cases, SqliteFileFallback, ::testing::ValuesIn(FallbackCases()),
                         [](const ::testing::TestParamInfo<FallbackCase>& info) {
                             return std::string(info.param.name);
                         });

// A database in memory has no file to read.
TEST(SqliteFileFallbackInMemory, ReadsThroughTheDriver)
{
    REQUIRE_TEST_DATA_SOURCES();
    testenv::TempDir dir;
    CDatabase db;
    ASSERT_TRUE(db.OpenDataSource("Driver=SQLite3;Database=:memory:;StepAPI=1"));
    CRecordsetEx(db).ExecuteDirect("CREATE TABLE m (id INTEGER PRIMARY KEY, v TEXT)");
    CRecordsetEx(db).ExecuteDirect("INSERT INTO m VALUES (1, 'in memory')");
    bool readFile = true;
    EXPECT_EQ(Dump(db, "m", true, readFile, dir.path() / "dump.csv"), "id,v\r\n1,\"in memory\"\r\n");
    EXPECT_FALSE(readFile);
}

// Counts the rows it fetches; stops the dump by an exception after `stopAfter` rows.
class CountingRecordset : public CRecordsetEx {
public:
    CountingRecordset(CDatabase& db, std::size_t stopAfter) : CRecordsetEx(db), m_stopAfter(stopAfter) {}
    std::size_t rows = 0;

private:
    void OnRowFetched() override
    {
        if (++rows == m_stopAfter)
            throw std::runtime_error("stopped");
    }
    std::size_t m_stopAfter;
};

// Every row read from the file is counted as it comes, and a count that says
// stop ends the dump there, as through the driver.
TEST(SqliteFileRows, EachRowIsFetchedOnceAndAStopEndsTheDump)
{
    REQUIRE_TEST_DATA_SOURCES();
    testenv::TempDir dir;
    const auto file = dir.path() / "rows.db";
    MakeSqliteFile(file, {"CREATE TABLE r (id INTEGER PRIMARY KEY, v TEXT)",
                          "INSERT INTO r WITH RECURSIVE n(i) AS "
                          "(SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2500) SELECT i, 'row ' || i FROM n"});
    CDatabase db;
    ASSERT_TRUE(db.OpenDataSource(ConnectTo(file)));
    for (const bool mayReadFile : {true, false}) {
        CountingRecordset all(db, 0);
        all.SetReadSqliteFile(mayReadFile);
        all.OpenTable("r");
        EXPECT_EQ(all.ReadsSqliteFile(), mayReadFile);
        EXPECT_EQ(all.rows, 1u) << "the first row is fetched by the opening";
        OutputFile out((dir.path() / "all.csv").string(), OutputFile::Mode::Text);
        all.WriteRows(out, ",");
        EXPECT_EQ(all.rows, 2500u);
        const std::string dump = testenv::ReadFile(dir.path() / "all.csv");
        EXPECT_EQ(std::count(dump.begin(), dump.end(), '\n'), 2501);

        CountingRecordset stopped(db, 1000);
        stopped.SetReadSqliteFile(mayReadFile);
        stopped.OpenTable("r");
        OutputFile part((dir.path() / "part.csv").string(), OutputFile::Mode::Text);
        EXPECT_THROW(stopped.WriteRows(part, ","), std::runtime_error);
        EXPECT_EQ(stopped.rows, 1000u);
    }
}

// The program's own connection to the file serves table after table, two
// tables open at once among them, and reads what the driver's connection has
// committed since, new tables too.
TEST(SqliteFileRows, OneConnectionServesEveryTableAndSeesEveryCommit)
{
    REQUIRE_TEST_DATA_SOURCES();
    testenv::TempDir dir;
    const auto file = dir.path() / "tables.db";
    MakeSqliteFile(file,
                   {"CREATE TABLE a (id INTEGER PRIMARY KEY, v TEXT)", "INSERT INTO a VALUES (1, 'one'), (2, 'two')"});
    CDatabase db;
    ASSERT_TRUE(db.OpenDataSource(ConnectTo(file)));
    bool readFile = false;
    EXPECT_EQ(Dump(db, "a", true, readFile, dir.path() / "a.csv"), "id,v\r\n1,\"one\"\r\n2,\"two\"\r\n");
    EXPECT_TRUE(readFile);

    CRecordsetEx(db).ExecuteDirect("INSERT INTO a VALUES (3, 'three')");
    CRecordsetEx(db).ExecuteDirect("CREATE TABLE b (k TEXT, n REAL)");
    CRecordsetEx(db).ExecuteDirect("INSERT INTO b VALUES ('x', 0.5)");
    // Both open at once, read in turns.
    CRecordsetEx first(db);
    CRecordsetEx second(db);
    first.OpenTable("a");
    second.OpenTable("b");
    ASSERT_TRUE(first.ReadsSqliteFile());
    ASSERT_TRUE(second.ReadsSqliteFile());
    std::vector<std::string> values;
    std::string value;
    for (; !first.IsEOF(); first.MoveNext()) {
        first.GetFieldText(1, value);
        values.push_back(value);
        if (!second.IsEOF()) {
            second.GetFieldText(0, value);
            values.push_back(value);
            second.GetFieldText(1, value);
            values.push_back(value);
            second.MoveNext();
        }
    }
    EXPECT_EQ(values, (std::vector<std::string>{"one", "x", "0.5", "two", "three"}));
    EXPECT_TRUE(second.IsEOF());
}

} // namespace
