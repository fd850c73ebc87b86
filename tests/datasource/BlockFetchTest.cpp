// A dump read in blocks of rows is byte for byte the dump read one row at a
// time, for every kind of value and on every driver.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <tuple>

#include "DriverCases.h"
#include "RawOdbc.h"
#include "TestEnv.h"
#include "common/OutputFile.h"
#include "datasource/CDatabase.h"
#include "OpenTableAgain.h"
#include "datasource/CRecordsetEx.h"

namespace {

bool IsSqlite(const DriverCase& d)
{
    return std::string(d.dsn) == testenv::kSqliteOld;
}

bool IsMaria(const DriverCase& d)
{
    return std::string(d.dsn) == testenv::kMariaDb;
}

bool IsPostgres(const DriverCase& d)
{
    return std::string(d.dsn) == testenv::kPostgres;
}

// A column of one kind and the values its rows take in turn.
struct ColumnSetup {
    std::string type;
    std::vector<std::string> values;  // SQL expressions
};

struct ValueKind {
    const char* name;
    std::function<ColumnSetup(const DriverCase&)> setup;
};

std::string TextOf(std::size_t length, char first)
{
    std::string text(length, first);
    for (std::size_t i = 0; i < length; ++i)
        text[i] = static_cast<char>(first + i % 23);
    return "'" + text + "'";
}

// Bytes 00 01 ... of `count` as the driver's binary expression.
std::string BytesOf(const DriverCase& d, std::size_t count)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (std::size_t i = 0; i < count; ++i) {
        hex += digits[(i * 7 % 256) >> 4];
        hex += digits[(i * 7 % 256) & 15];
    }
    if (IsPostgres(d))
        return "'\\x" + hex + "'::bytea";
    return "X'" + hex + "'";
}

const std::vector<ValueKind>& Kinds()
{
    static const std::vector<ValueKind> kinds = {
        {"NullsEmptiesAndQuotes",
         [](const DriverCase& d) {
             return ColumnSetup{"VARCHAR(40)",
                                {"NULL", "''", "'NULL'", "'a,b'", "'say \"hi\"'", "'O''Neil'", d.crlfText, "' '"}};
         }},
        {"LongTextBeyondItsBuffer",
         [](const DriverCase& d) {
             return ColumnSetup{d.longText, {TextOf(10000, 'a'), "NULL", "''", TextOf(255, 'b'), TextOf(256, 'c'),
                                             TextOf(257, 'd'), "'short'"}};
         }},
        {"VarcharWiderThanABoundBuffer",
         [](const DriverCase&) {
             return ColumnSetup{"VARCHAR(6000)", {TextOf(5000, 'e'), "'x'", "NULL", TextOf(4095, 'f'),
                                                  TextOf(4096, 'g')}};
         }},
        {"UnicodeText",
         [](const DriverCase& d) {
             return ColumnSetup{d.unicodeText,
                                {IsMaria(d) ? "N'Grüße ✓'" : "'Grüße ✓'", "NULL", IsMaria(d) ? "N''" : "''"}};
         }},
        {"ShortBinary",
         [](const DriverCase& d) {
             return ColumnSetup{d.binary, {d.binaryLiteral, "NULL", IsPostgres(d) ? "''::bytea" : "X''"}};
         }},
        {"LongBinary",
         [](const DriverCase& d) {
             const char* type = IsPostgres(d) ? "BYTEA" : IsMaria(d) ? "LONGBLOB" : "BLOB";
             return ColumnSetup{type, {BytesOf(d, 3000), "NULL", BytesOf(d, 2), BytesOf(d, 300)}};
         }},
        {"Doubles",
         [](const DriverCase& d) {
             return ColumnSetup{d.doubleType, {"0.30000000000000004", "1.7976931348623157e308", "NULL",
                                               "4.9406564584124654e-324", "-0.1", "1e22", "95125"}};
         }},
        // Four-byte floats (MariaDB's REAL has eight).
        {"Reals",
         [](const DriverCase& d) {
             return ColumnSetup{IsMaria(d) ? "FLOAT" : "REAL",
                                {"0.1", "3.4e38", "NULL", "-2.5", "16777216", "1e-45", "-0.0"}};
         }},
        {"Decimals",
         [](const DriverCase&) {
             return ColumnSetup{"DECIMAL(12,4)", {"-12345678.1234", "0", "NULL", "0.0001", "99999999.9999"}};
         }},
        {"Integers",
         [](const DriverCase&) {
             return ColumnSetup{"BIGINT", {"-9223372036854775808", "9223372036854775807", "NULL", "0"}};
         }},
        {"UnboundedDecimals",
         [](const DriverCase& d) {
             return ColumnSetup{IsPostgres(d) ? "NUMERIC" : IsMaria(d) ? "DECIMAL(65,30)" : "NUMERIC",
                                {"12345678901234567890123456789012345.123456789012345678901234567891", "NULL", "-0.5",
                                 "0"}};
         }},
        {"Booleans",
         [](const DriverCase& d) {
             return ColumnSetup{"BOOLEAN", IsSqlite(d) ? std::vector<std::string>{"1", "0", "NULL"}
                                                       : std::vector<std::string>{"TRUE", "FALSE", "NULL"}};
         }},
        {"Bits",
         [](const DriverCase& d) {
             return ColumnSetup{IsSqlite(d) ? "INTEGER" : "BIT(8)",
                                IsSqlite(d) ? std::vector<std::string>{"170", "NULL"}
                                            : std::vector<std::string>{"B'10101010'", "NULL", "B'00000000'"}};
         }},
        {"ZonedTimestamps",
         [](const DriverCase& d) {
             return ColumnSetup{IsPostgres(d) ? "TIMESTAMPTZ" : IsMaria(d) ? "TIMESTAMP(6) NULL" : "TIMESTAMP",
                                {"'2001-03-15 10:20:30'", "NULL", "'2024-02-29 23:59:59.25'"}};
         }},
        {"Dates", [](const DriverCase&) { return ColumnSetup{"DATE", {"'2001-03-15'", "NULL", "'1999-12-31'"}}; }},
        {"Times", [](const DriverCase&) { return ColumnSetup{"TIME", {"'10:20:30'", "NULL", "'00:00:00'"}}; }},
        {"Timestamps",
         [](const DriverCase& d) {
             // MariaDB keeps fractions only when the column declares them.
             const std::string type = IsMaria(d) ? "DATETIME(6)" : d.timestamp;
             return ColumnSetup{type, {"'2001-03-15 10:20:30'", "NULL", "'2024-02-29 23:59:59.5'",
                                       "'1970-01-01 00:00:00.123456'"}};
         }},
    };
    return kinds;
}

void PrintTo(const ValueKind& kind, std::ostream* os)
{
    *os << kind.name;
}

using Param = std::tuple<DriverCase, ValueKind>;

class BlockFetch : public ::testing::TestWithParam<Param> {
protected:
    void SetUp() override
    {
        REQUIRE_TEST_DATA_SOURCES();
        ASSERT_TRUE(db.OpenDataSource(Driver().dsn));
    }

    const DriverCase& Driver() const { return std::get<0>(GetParam()); }
    const ValueKind& Kind() const { return std::get<1>(GetParam()); }

    // Dumps `table` through the driver with the given fetch mode; says whether
    // it came in blocks. `fromFile`: on SQLite straight from the file instead.
    std::string Dump(const std::string& table, CRecordsetEx::FetchMode mode, bool& blocks, bool fromFile = false)
    {
        CRecordsetEx rs(db);
        rs.SetFetchMode(mode);
        rs.SetReadSqliteFile(fromFile);
        OpenTableAgainIfSentToTheDriver(rs, table, fromFile);
        EXPECT_EQ(rs.ReadsSqliteFile(), fromFile);
        blocks = rs.FetchesBlocks();
        const auto path = dir.path() / "dump.csv";
        OutputFile file(path.string(), OutputFile::Mode::Text);
        rs.WriteRows(file, ",");
        return testenv::ReadFile(path);
    }

    CDatabase db;
    testenv::TempDir dir;
};

TEST_P(BlockFetch, DumpsTheSameBytesAsOneRowAtATime)
{
    const DriverCase& d = Driver();
    const ColumnSetup column = Kind().setup(d);
    const std::string name = std::string("block_") + Kind().name;
    const std::string table = Quoted(d, name);
    rawodbc::Connection raw(d.dsn);
    raw.ExecIgnoringErrors("DROP TABLE " + table);
    raw.Exec("CREATE TABLE " + table + " (id INTEGER NOT NULL PRIMARY KEY, v " + column.type + ", tail VARCHAR(8))");
    std::string insert = "INSERT INTO " + table + " VALUES ";
    for (std::size_t i = 0; i < column.values.size(); ++i)
        insert += (i ? ", (" : "(") + std::to_string(i + 1) + ", " + column.values[i] + ", 't" + std::to_string(i) +
                  "')";
    raw.Exec(insert);
    // Doubled until the rows span several blocks, with every value at many
    // places in a block, its first and last row among them.
    std::size_t rows = column.values.size();
    while (rows < 2500) {
        raw.Exec("INSERT INTO " + table + " SELECT id + " + std::to_string(rows) + ", v, tail FROM " + table);
        rows *= 2;
    }

    bool blocks = false;
    const std::string oneRow = Dump(name, CRecordsetEx::FetchMode::oneRow, blocks);
    EXPECT_FALSE(blocks);
    const std::string blockwise = Dump(name, CRecordsetEx::FetchMode::block, blocks);
    EXPECT_TRUE(blocks);
    EXPECT_EQ(blockwise.size(), oneRow.size());
    const auto differs = std::mismatch(blockwise.begin(), blockwise.end(), oneRow.begin(), oneRow.end()).first;
    EXPECT_TRUE(blockwise == oneRow) << "the dumps differ from byte " << differs - blockwise.begin();
    if (d.facts.dbms == DbmsKind::Sqlite) {
        EXPECT_EQ(Dump(name, CRecordsetEx::FetchMode::automatic, blocks, true), oneRow) << "straight from the file";
    }
    // Every row is there to its last column.
    std::size_t tails = 0;
    for (std::size_t at = oneRow.find(",\"t"); at != std::string::npos; at = oneRow.find(",\"t", at + 1))
        ++tails;
    EXPECT_EQ(tails, rows);
    raw.Exec("DROP TABLE " + table);
}

INSTANTIATE_TEST_SUITE_P(ValueKinds, BlockFetch, ::testing::Combine(::testing::ValuesIn(AllDrivers()),
                                                                     ::testing::ValuesIn(Kinds())),
                         [](const ::testing::TestParamInfo<Param>& info) {
                             return std::string(std::get<0>(info.param).dsn) + "_" + std::get<1>(info.param).name;
                         });

TEST(BlockFetchChoice, BlocksForDumpsOnly)
{
    REQUIRE_TEST_DATA_SOURCES();
    for (const DriverCase& d : AllDrivers()) {
        CDatabase db;
        ASSERT_TRUE(db.OpenDataSource(d.dsn));
        rawodbc::Connection raw(d.dsn);
        raw.ExecIgnoringErrors("DROP TABLE " + Quoted(d, "block_choice"));
        raw.Exec("CREATE TABLE " + Quoted(d, "block_choice") + " (a INTEGER)");
        CRecordsetEx rs(db);
        rs.SetReadSqliteFile(false);
        rs.OpenTable("block_choice");
        EXPECT_TRUE(rs.FetchesBlocks()) << d.dsn;
        // Other statements keep reading one row at a time.
        rs.OpenQuery(CRecordsetEx::forwardOnly, "SELECT a FROM " + Quoted(d, "block_choice"));
        EXPECT_FALSE(rs.FetchesBlocks()) << d.dsn;
        rs.Close();
        raw.Exec("DROP TABLE " + Quoted(d, "block_choice"));
    }
}

} // namespace
