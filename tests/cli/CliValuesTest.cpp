// Values that the drivers' own conversions changed, through tolvane-cli from
// one end to the other on each engine: compare sees every change, apply
// carries every value into a copy of the old table, verify finds it equal to
// the new one, and the DBMS's own client reads the same values from both
// (PostgreSQL: BC dates, infinities, years past 9999, money, -0, NaN, and
// timestamptz into a database whose time zone is America/New_York; MariaDB:
// BIT, text with NUL bytes, fractions of seconds; SQLite: NUL bytes and the
// storage class of every value).
#include <gtest/gtest.h>

#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "CliRunner.h"
#include "RawOdbc.h"
#include "RoleClient.h"
#include "TestEnv.h"

namespace {

using clitest::CliResult;
using clitest::RunCli;
using testenv::Dbms;

struct EngineCase {
    const char* label;
    Dbms dbms;
    bool newYork;  // the target database's TimeZone is America/New_York
    std::string columns;
    std::vector<std::string> oldRows;  // VALUES tuples, the test's own SQL
    std::vector<std::string> newRows;
    // The client's query of table T, one line a row ordered by id, every
    // value as the DBMS writes it; and its lines for the new rows.
    std::string clientQuery;
    std::vector<std::string> expected;
    int removed;  // the old and new rows the comparison finds apart
    int added;
};

void PrintTo(const EngineCase& c, std::ostream* out)
{
    *out << c.label;
}

// SQLite: a value's storage class and its exact bytes or digits.
std::string SqliteValue(const std::string& column)
{
    return "typeof(" + column + ") || ':' || CASE typeof(" + column + ") WHEN 'real' THEN printf('%!.17g', " +
           column + ") ELSE hex(" + column + ") END";
}

EngineCase Postgres(const char* label, bool newYork)
{
    return {
        label,
        Dbms::PostgreSQL,
        newYork,
        "(id INTEGER NOT NULL PRIMARY KEY, d DATE, ts TIMESTAMP, tz TIMESTAMPTZ, m MONEY, r REAL, "
        "f DOUBLE PRECISION, b BOOLEAN, c CHAR(5), bin BYTEA)",
        {"(1, '4713-01-01', '2001-01-01 00:00:00', '2024-02-29 23:59:59.5+00', 0, 0, 0, FALSE, 'a', '\\x00')",
         "(2, '2001-01-01', '-infinity', 'infinity', 1, 1, 1, TRUE, 'b', NULL)",
         "(3, '10000-01-01', '2001-01-01 00:00:00', '2001-01-01 00:00:00+00', 2, 2, 2, NULL, NULL, NULL)",
         "(4, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL)"},
        {"(1, '4713-01-01 BC', '4713-01-01 10:00:00 BC', '2024-03-01 05:00:00.25+00', 90071992547409.93, '-0', "
         "'-0', TRUE, 'ab', '\\xDEADBEEF')",
         "(2, 'infinity', 'infinity', '-infinity', '-92233720368547758.08', 'Infinity', 'NaN', FALSE, 'b', '\\x')",
         "(3, '5874897-12-31', '294276-12-31 23:59:59.999999', '4713-01-01 00:00:00+00 BC', 2, 2, '-Infinity', "
         "NULL, NULL, NULL)",
         "(5, '-infinity', '2024-02-29 23:59:59.5', '2024-02-29 23:59:59.5+00', 0.01, 0.1, 0.30000000000000004, "
         "FALSE, NULL, NULL)"},
        "SELECT id || '|' || coalesce(d::text, 'N') || '|' || coalesce(ts::text, 'N') || '|' || "
        "coalesce((tz AT TIME ZONE 'UTC')::text, 'N') || '|' || coalesce(m::numeric::text, 'N') || '|' || "
        "coalesce(r::text, 'N') || '|' || coalesce(f::text, 'N') || '|' || coalesce(b::text, 'N') || '|' || "
        "coalesce(c::text, 'N') || '|' || coalesce(encode(bin, 'hex'), 'N') FROM T ORDER BY id;\n",
        {"1|4713-01-01 BC|4713-01-01 10:00:00 BC|2024-03-01 05:00:00.25|90071992547409.93|-0|-0|true|ab|deadbeef",
         "2|infinity|infinity|-infinity|-92233720368547758.08|Infinity|NaN|false|b|",
         "3|5874897-12-31|294276-12-31 23:59:59.999999|4713-01-01 00:00:00 BC|2.00|2|-Infinity|N|N|N",
         "5|-infinity|2024-02-29 23:59:59.5|2024-02-29 23:59:59.5|0.01|0.1|0.30000000000000004|false|N|N"},
        4,
        4,
    };
}

std::vector<EngineCase> Cases()
{
    return {
        Postgres("PostgreSQL", false),
        Postgres("PostgreSQLNewYork", true),
        {"MariaDB",
         Dbms::MariaDB,
         false,
         "(id INTEGER NOT NULL PRIMARY KEY, b1 BIT(1), b8 BIT(8), t TEXT, v VARCHAR(20), dt DATETIME(6), "
         "tm TIME(6), de DECIMAL(12,2), f FLOAT, d DOUBLE, bo BOOLEAN)",
         {"(1, b'1', b'1', 'a', 'x', '2024-02-29 23:59:59', '10:20:30', 1.5, 0.5, 0.1, 1)",
          "(2, b'0', 0, 'same', 'same', '2001-01-01 00:00:00', '00:00:00', 0, 1, 1, 0)",
          "(3, NULL, NULL, 'gone', NULL, NULL, NULL, NULL, NULL, NULL, NULL)"},
         {"(1, b'0', b'10101010', CONCAT('a', CHAR(0), 'b'), CONCAT('x', CHAR(0)), '2024-02-29 23:59:59.5', "
          "'-838:59:59.5', 1.50, -2.5, 0.30000000000000004, 0)",
          "(2, b'0', 0, 'same', 'same', '2001-01-01 00:00:00', '00:00:00', 0, 1, 1, 0)",
          "(4, b'1', b'11111111', '', NULL, '1000-01-01 00:00:00', '23:59:59.999999', 0, NULL, 1e22, 1)"},
         "SELECT CONCAT_WS('|', id, IFNULL(b1 + 0, 'N'), IFNULL(b8 + 0, 'N'), IFNULL(HEX(t), 'N'), "
         "IFNULL(HEX(v), 'N'), IFNULL(dt, 'N'), IFNULL(tm, 'N'), IFNULL(de, 'N'), IFNULL(f, 'N'), IFNULL(d, 'N'), "
         "IFNULL(bo, 'N')) FROM T ORDER BY id;\n",
         {"1|0|170|610062|7800|2024-02-29 23:59:59.500000|-838:59:59.500000|1.50|-2.5|0.30000000000000004|0",
          "2|0|0|73616D65|73616D65|2001-01-01 00:00:00.000000|00:00:00.000000|0.00|1|1|0",
          "4|1|255||N|1000-01-01 00:00:00.000000|23:59:59.999999|0.00|N|1e22|1"},
         2,
         2},
        {"SQLite",
         Dbms::SQLite,
         false,
         "(id INTEGER PRIMARY KEY, t TEXT, u, d DECIMAL(12,2), r REAL, bl BLOB, ts TIMESTAMP, b BOOLEAN)",
         {"(1, 'a', '7', 1.5, 0.5, X'00', '2024-02-29 23:59:59', 1)",
          "(2, 'X''00FF''', 1, 0, 1, X'01', '2001-01-01 00:00:00', 0)",
          "(3, 'gone', NULL, NULL, NULL, NULL, NULL, NULL)"},
         // Row 1: NUL bytes, an integer for a text; row 2: only storage classes
         // change (a blob for a text, a real for an integer, a text for a blob).
         {"(1, 'a' || char(0) || 'b' || char(0) || 'c', 7, 1.50, 0.5, X'00', '2024-02-29 23:59:59.5', 1)",
          "(2, X'00FF', 1.0, 0.00, 9e999, 'text', '2001-01-01 00:00:00', 'true')",
          "(4, '7', X'00FF', -12345.67, 0.30000000000000004, X'', 1700000000, NULL)"},
         "SELECT id || '|' || " + SqliteValue("t") + " || '|' || " + SqliteValue("u") + " || '|' || " +
             SqliteValue("d") + " || '|' || " + SqliteValue("r") + " || '|' || " + SqliteValue("bl") + " || '|' || " +
             SqliteValue("ts") + " || '|' || " + SqliteValue("b") + " FROM T ORDER BY id;\n",
         {"1|text:6100620063|integer:37|real:1.5|real:0.5|blob:00|text:323032342D30322D32392032333A35393A35392E35|"
          "integer:31",
          "2|blob:00FF|real:1.0|integer:30|real:Inf|text:74657874|text:323030312D30312D30312030303A30303A3030|"
          "text:74727565",
          "4|text:37|blob:00FF|real:-12345.67|real:0.30000000000000004|blob:|integer:31373030303030303030|null:"},
         3,
         3},
    };
}

// The merge role's PostgreSQL database in New York time for every new session,
// as its owner may set it, for the life of the object.
class NewYorkTime {
public:
    explicit NewYorkTime(const std::string& connection) : m_connection(connection)
    {
        rawodbc::Connection(m_connection).Exec("ALTER DATABASE tolvane_cli_merge SET TimeZone = 'America/New_York'");
    }
    ~NewYorkTime()
    {
        rawodbc::Connection(m_connection).ExecIgnoringErrors("ALTER DATABASE tolvane_cli_merge RESET TimeZone");
    }
    NewYorkTime(const NewYorkTime&) = delete;
    NewYorkTime& operator=(const NewYorkTime&) = delete;

private:
    std::string m_connection;
};

class CliValues : public ::testing::TestWithParam<EngineCase> {
protected:
    void SetUp() override
    {
        REQUIRE_TEST_DATA_SOURCES();
        // In lower case, as PostgreSQL names a table created without quotes.
        table = "cv_" + std::to_string(::getpid()) + "_";
        for (const char* c = GetParam().label; *c; ++c)
            table += static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
        for (const char* role : {"old", "new", "merge"})
            connections.push_back(testenv::RoleConnectionString(GetParam().dbms, role, work.path()));
    }

    void TearDown() override
    {
        for (const std::string& connection : connections)
            rawodbc::Connection(connection).ExecIgnoringErrors("DROP TABLE " + table);
    }

    void Create(const std::string& connection, const std::vector<std::string>& rows) const
    {
        rawodbc::Connection raw(connection);
        raw.ExecIgnoringErrors("DROP TABLE " + table);
        raw.Exec("CREATE TABLE " + table + " " + GetParam().columns);
        for (const std::string& row : rows)
            raw.Exec("INSERT INTO " + table + " VALUES " + row);
    }

    std::vector<std::string> ClientLines(const std::string& role) const
    {
        std::string query = GetParam().clientQuery;
        query.replace(query.find(" T "), 3, " " + table + " ");
        return testenv::TextLines(clitest::ClientRows(GetParam().dbms, role, work.path(), query));
    }

    testenv::TempDir work;
    std::string table;
    std::vector<std::string> connections;  // old, new, merge
};

} // namespace

TEST_P(CliValues, EveryValueArrivesExactly)
{
    const EngineCase& c = GetParam();
    Create(connections[0], c.oldRows);
    Create(connections[1], c.newRows);
    Create(connections[2], c.oldRows);
    std::unique_ptr<NewYorkTime> newYork;
    if (c.newYork) {
        newYork = std::make_unique<NewYorkTime>(connections[2]);
        EXPECT_EQ(clitest::ClientRows(c.dbms, "merge", work.path(), "SHOW TimeZone;\n"), "America/New_York\n");
    }

    const std::string out = (work.path() / "out").string();
    const CliResult compare = RunCli({"compare", connections[0], connections[1], "--out", out, "--table", table});
    EXPECT_EQ(compare.status, 1) << compare.err;
    EXPECT_EQ(compare.out, table + ": " + std::to_string(c.removed) + " removed, " + std::to_string(c.added) +
                               " added\n");
    const CliResult apply = RunCli({"apply", out + "/Vantor_Merge.txt", connections[2], "--yes"});
    EXPECT_EQ(apply.status, 0) << apply.out << apply.err;
    const CliResult verify = RunCli({"verify", connections[2], connections[1], "--table", table});
    EXPECT_EQ(verify.status, 0) << verify.out << verify.err;

    // The DBMS's own client: the new rows hold the values meant, and the
    // target holds them too.
    EXPECT_EQ(ClientLines("new"), c.expected);
    EXPECT_EQ(ClientLines("merge"), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Engines, CliValues, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<EngineCase>& info) { return std::string(info.param.label); });

namespace {

// A merge file in the spelling of the program before one spelling per family:
// booleans and long binaries in quotes, SQLite's decimals quoted and without
// their scale, fractions of seconds with trailing zeros.
struct OldSpellingCase {
    Dbms dbms;
    std::string columns;
    std::string clientQuery;
    std::vector<std::string> expected;
};

OldSpellingCase OldSpelling(Dbms dbms)
{
    switch (dbms) {
    case Dbms::SQLite:
        return {dbms, "(id INTEGER NOT NULL PRIMARY KEY, flag BOOLEAN, bin BLOB, amount DECIMAL(12,2), ts TIMESTAMP)",
                "SELECT id || '|' || typeof(flag) || ':' || flag || '|' || typeof(bin) || ':' || hex(bin) || '|' || "
                "typeof(amount) || ':' || amount || '|' || ts FROM T ORDER BY id;\n",
                {"1|integer:1|blob:DEADBEEF|real:1.5|2024-02-29 23:59:59.500000",
                 "2|integer:0|blob:|real:1.5|1999-12-31 23:59:59", "3|integer:1|blob:00FF|integer:0|2001-01-01 00:00:00.000"}};
    case Dbms::PostgreSQL:
        return {dbms, "(id INTEGER NOT NULL PRIMARY KEY, flag BOOLEAN, bin BYTEA, amount NUMERIC(12,2), ts TIMESTAMP)",
                "SELECT id || '|' || flag::text || '|' || encode(bin, 'hex') || '|' || amount::text || '|' || "
                "ts::text FROM T ORDER BY id;\n",
                {"1|true|deadbeef|1.50|2024-02-29 23:59:59.5", "2|false||1.50|1999-12-31 23:59:59",
                 "3|true|00ff|0.00|2001-01-01 00:00:00"}};
    case Dbms::MariaDB:
        break;
    }
    return {dbms, "(id INTEGER NOT NULL PRIMARY KEY, flag BOOLEAN, bin LONGBLOB, amount DECIMAL(12,2), ts DATETIME(6))",
            "SELECT CONCAT_WS('|', id, flag, HEX(bin), amount, ts) FROM T ORDER BY id;\n",
            {"1|1|DEADBEEF|1.50|2024-02-29 23:59:59.500000", "2|0||1.50|1999-12-31 23:59:59.000000",
             "3|1|00FF|0.00|2001-01-01 00:00:00.000000"}};
}

class CliOldSpelling : public ::testing::TestWithParam<Dbms> {};

} // namespace

TEST_P(CliOldSpelling, MergeFilesOfBeforeGiveTheValuesTheyGave)
{
    REQUIRE_TEST_DATA_SOURCES();
    const OldSpellingCase c = OldSpelling(GetParam());
    testenv::TempDir work;
    const std::string merge = testenv::RoleConnectionString(c.dbms, "merge", work.path());
    const std::string table = "cvo_" + std::to_string(::getpid());
    rawodbc::Connection raw(merge);
    raw.ExecIgnoringErrors("DROP TABLE " + table);
    raw.Exec("CREATE TABLE " + table + " " + c.columns);
    const std::string file = "\r\nTable=[" + table + "]0\r\nColumns=\"id\",\"flag\",\"bin\",\"amount\",\"ts\"\r\n\r\n"
                             "||>>1,\"1\",\"0xDEADBEEF\",1.5,2024-02-29 23:59:59.500000\r\n"
                             "||>>2,\"0\",\"0x\",\"1.5\",1999-12-31 23:59:59\r\n"
                             "||>>3,1,0x00FF,0,2001-01-01 00:00:00.000\r\n"
                             "\r\nEnd=[1]\r\n";
    const std::filesystem::path path = work.path() / "old-spelling.txt";
    testenv::WriteFile(path, file);
    const CliResult apply = RunCli({"apply", path.string(), merge, "--yes"});
    EXPECT_EQ(apply.status, 0) << apply.out << apply.err;
    std::string query = c.clientQuery;
    query.replace(query.find(" T "), 3, " " + table + " ");
    EXPECT_EQ(testenv::TextLines(clitest::ClientRows(c.dbms, "merge", work.path(), query)), c.expected);
    raw.Exec("DROP TABLE " + table);
}

INSTANTIATE_TEST_SUITE_P(Engines, CliOldSpelling, ::testing::Values(Dbms::SQLite, Dbms::PostgreSQL, Dbms::MariaDB),
                         [](const ::testing::TestParamInfo<Dbms>& info) { return testenv::DbmsLabel(info.param); });
