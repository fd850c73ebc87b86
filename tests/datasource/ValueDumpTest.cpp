// Every value dumped exactly, in the one spelling of its type family: values
// the drivers' own conversions change (PostgreSQL's BC dates, infinities,
// years past 9999, money, timestamptz; MariaDB's BIT; SQLite's storage classes
// and NUL bytes), each inserted by the test's own SQL and read back through
// the program's dump, one row at a time and in blocks, and on SQLite also
// straight from the file.
#include <gtest/gtest.h>

#include <algorithm>

#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "RawOdbc.h"
#include "TestEnv.h"
#include "common/OutputFile.h"
#include "datasource/CDatabase.h"
#include "OpenTableAgain.h"
#include "datasource/CRecordsetEx.h"

namespace {

using testenv::Dbms;

// A column type and the values it takes: the SQL that inserts each and the
// field the dump writes for it.
struct Value {
    std::string sql;
    std::string field;
};
struct TypeCase {
    const char* name;
    Dbms dbms;
    std::string type;
    std::vector<Value> values;
};

std::string Nul(const std::string& before, const std::string& after)
{
    return before + std::string(1, '\0') + after;
}

std::vector<TypeCase> Cases()
{
    const Dbms pg = Dbms::PostgreSQL, maria = Dbms::MariaDB, sqlite = Dbms::SQLite;
    return {
        {"PostgresDates", pg, "DATE",
         {{"'4713-01-01 BC'", "4713-01-01 BC"},
          {"'4713-01-01'", "4713-01-01"},
          {"'infinity'", "infinity"},
          {"'-infinity'", "-infinity"},
          {"'10000-01-01'", "10000-01-01"},
          {"'5874897-12-31'", "5874897-12-31"}}},
        {"PostgresTimestamps", pg, "TIMESTAMP",
         {{"'4713-01-01 10:00:00 BC'", "4713-01-01 10:00:00 BC"},
          {"'infinity'", "infinity"},
          {"'-infinity'", "-infinity"},
          {"'294276-12-31 23:59:59.999999'", "294276-12-31 23:59:59.999999"},
          {"'2024-02-29 23:59:59.500'", "2024-02-29 23:59:59.5"},
          {"'2024-02-29 23:59:59'", "2024-02-29 23:59:59"}}},
        // Whatever the session's time zone, the instant at UTC.
        {"PostgresZonedTimestamps", pg, "TIMESTAMPTZ",
         {{"'2024-02-29 23:59:59.5+00'", "2024-02-29 23:59:59.5+00"},
          {"'2024-03-01 00:30:00+05:30'", "2024-02-29 19:00:00+00"},
          {"'4713-01-01 00:00:00+00 BC'", "4713-01-01 00:00:00+00 BC"},
          {"'infinity'", "infinity"},
          {"'-infinity'", "-infinity"}}},
        {"PostgresMoney", pg, "MONEY",
         {{"90071992547409.93", "90071992547409.93"},
          {"'-92233720368547758.08'", "-92233720368547758.08"},
          {"0", "0.00"}}},
        {"PostgresDoubles", pg, "DOUBLE PRECISION",
         {{"'-0'", "-0"}, {"'NaN'", "NaN"}, {"'Infinity'", "Infinity"}, {"'-Infinity'", "-Infinity"}, {"0.1", "0.1"}}},
        {"PostgresReals", pg, "REAL", {{"'-0'", "-0"}, {"'Infinity'", "Infinity"}, {"0.1", "0.1"}}},
        {"PostgresBooleans", pg, "BOOLEAN", {{"TRUE", "1"}, {"FALSE", "0"}}},
        {"PostgresChars", pg, "CHAR(6)", {{"'ab'", "\"ab\""}, {"' a b'", "\" a b\""}}},
        {"PostgresBytea", pg, "BYTEA", {{"'\\xDEADBEEF'", "0xDEADBEEF"}, {"''", "0x"}}},
        {"MariaBits1", maria, "BIT(1)", {{"b'0'", "0"}, {"b'1'", "1"}}},
        {"MariaBits64", maria, "BIT(64)",
         {{"b'101'", "5"}, {"0xFFFFFFFFFFFFFFFF", "18446744073709551615"}, {"0", "0"}}},
        {"MariaTextsWithNul", maria, "TEXT",
         {{"CONCAT('a', CHAR(0), 'b')", "\"" + Nul("a", "b") + "\""}, {"'a'", "\"a\""}}},
        {"MariaVarcharsWithNul", maria, "VARCHAR(10)", {{"CONCAT(CHAR(0), 'x')", "\"" + Nul("", "x") + "\""}}},
        {"MariaDatetimes", maria, "DATETIME(6)",
         {{"'2024-02-29 23:59:59.5'", "2024-02-29 23:59:59.5"}, {"'1999-12-31 23:59:59'", "1999-12-31 23:59:59"}}},
        {"MariaTimes", maria, "TIME(6)", {{"'-838:59:59.5'", "-838:59:59.5"}, {"'10:20:30'", "10:20:30"}}},
        {"MariaBooleans", maria, "BOOLEAN", {{"TRUE", "1"}, {"FALSE", "0"}}},
        {"SqliteTextsWithNul", sqlite, "TEXT",
         {{"'a' || char(0) || 'b' || char(0) || 'c'", "\"" + Nul("a", Nul("b", "c")) + "\""},
          {"'a'", "\"a\""},
          {"X'00FF'", "0x00FF"},
          {"'X''00FF'''", "\"X'00FF'\""}}},
        // Without a declared type every value keeps its storage class.
        {"SqliteUntyped", sqlite, "",
         {{"7", "7"},
          {"'7'", "\"7\""},
          {"1.0", "1.0"},
          {"0.30000000000000004", "0.30000000000000004"},
          {"X'00FF'", "0x00FF"},
          {"'a' || char(0)", "\"" + Nul("a", "") + "\""},
          {"9e999", "Infinity"}}},
        {"SqliteDecimals", sqlite, "DECIMAL(12,2)",
         {{"1.50", "1.50"}, {"0.00", "0.00"}, {"-12345.67", "-12345.67"}, {"'abc'", "\"abc\""}, {"7", "7.00"}}},
        {"SqliteReals", sqlite, "REAL",
         {{"0.30000000000000004", "0.30000000000000004"},
          {"1e308 * 10", "Infinity"},
          {"2", "2"},
          {"'1.5x'", "\"1.5x\""},
          {"X'01'", "0x01"}}},
        {"SqliteTimestamps", sqlite, "TIMESTAMP",
         {{"'2024-02-29 23:59:59.500000'", "2024-02-29 23:59:59.5"},
          {"1700000000", "1700000000"},
          {"2460000.25", "2460000.25"}}},
        {"SqliteBooleans", sqlite, "BOOLEAN", {{"1", "1"}, {"0", "0"}, {"'true'", "\"true\""}}},
        {"SqliteBlobs", sqlite, "BLOB",
         {{"X'00FF'", "0x00FF"}, {"X''", "0x"}, {"'text'", "\"text\""}, {"5", "5"}, {"1.5", "1.5"}}},
    };
}

void PrintTo(const TypeCase& c, std::ostream* out)
{
    *out << c.name;
}

std::string DataSource(Dbms dbms)
{
    switch (dbms) {
    case Dbms::SQLite:
        return testenv::kSqliteOld;
    case Dbms::PostgreSQL:
        return testenv::kPostgres;
    case Dbms::MariaDB:
        break;
    }
    return testenv::kMariaDb;
}

class ValueDump : public ::testing::TestWithParam<TypeCase> {
protected:
    void SetUp() override
    {
        REQUIRE_TEST_DATA_SOURCES();
        const TypeCase& c = GetParam();
        table = std::string("vd_") + c.name + "_" + std::to_string(::getpid());
        quoted = testenv::QuotedTableName(c.dbms, table);
        raw = std::make_unique<rawodbc::Connection>(DataSource(c.dbms));
        raw->ExecIgnoringErrors("DROP TABLE " + quoted);
        raw->Exec("CREATE TABLE " + quoted + " (id INTEGER NOT NULL PRIMARY KEY, v " + c.type + ")");
        for (std::size_t i = 0; i < c.values.size(); ++i)
            raw->Exec("INSERT INTO " + quoted + " VALUES (" + std::to_string(i + 1) + ", " + c.values[i].sql + ")");
    }

    void TearDown() override
    {
        if (raw)
            raw->ExecIgnoringErrors("DROP TABLE " + quoted);
    }

    // Through the driver, one row at a time or in blocks.
    std::string Dump(CRecordsetEx::FetchMode mode, const std::string& sessionSetting = "")
    {
        return Dump(mode, false, sessionSetting);
    }

    std::string Dump(CRecordsetEx::FetchMode mode, bool fromFile, const std::string& sessionSetting)
    {
        CDatabase db;
        EXPECT_TRUE(db.OpenDataSource(DataSource(GetParam().dbms)));
        if (!sessionSetting.empty())
            CRecordsetEx(db).ExecuteDirect(sessionSetting);
        CRecordsetEx rs(db);
        rs.SetFetchMode(mode);
        rs.SetReadSqliteFile(fromFile);
        OpenTableAgainIfSentToTheDriver(rs, table, fromFile);
        EXPECT_EQ(rs.ReadsSqliteFile(), fromFile);
        if (!fromFile) {
            EXPECT_EQ(rs.FetchesBlocks(), mode == CRecordsetEx::FetchMode::block);
        }
        const auto path = dir.path() / "dump.csv";
        OutputFile file(path.string(), OutputFile::Mode::Text);
        rs.WriteRows(file, ",");
        return testenv::ReadFile(path);
    }

    std::string Expected() const
    {
        std::string lines = "id,v\r\n";
        for (std::size_t i = 0; i < GetParam().values.size(); ++i)
            lines += std::to_string(i + 1) + "," + GetParam().values[i].field + "\r\n";
        return lines;
    }

    testenv::TempDir dir;
    std::string table;
    std::string quoted;
    std::unique_ptr<rawodbc::Connection> raw;
};

} // namespace

TEST_P(ValueDump, WritesEachValueInItsFamilysSpelling)
{
    const std::string oneRow = Dump(CRecordsetEx::FetchMode::oneRow);
    EXPECT_EQ(oneRow, Expected());
    EXPECT_EQ(Dump(CRecordsetEx::FetchMode::block), oneRow);
    if (GetParam().dbms == Dbms::SQLite) {
        EXPECT_EQ(Dump(CRecordsetEx::FetchMode::automatic, true, ""), oneRow);
    }
}

// The dump of a timestamptz does not depend on the session's time zone, and
// neither does anything else the server writes as text for it.
class PostgresValueDump : public ValueDump {};

TEST_P(PostgresValueDump, DoesNotDependOnTheSessionsTimeZoneOrDateStyle)
{
    EXPECT_EQ(Dump(CRecordsetEx::FetchMode::block, "SET TimeZone = 'America/New_York'"), Expected());
    EXPECT_EQ(Dump(CRecordsetEx::FetchMode::oneRow, "SET DateStyle = 'SQL, DMY'"), Expected());
}

namespace {

std::string CaseName(const ::testing::TestParamInfo<TypeCase>& info)
{
    return info.param.name;
}

std::vector<TypeCase> PostgresCases()
{
    std::vector<TypeCase> cases = Cases();
    cases.erase(std::remove_if(cases.begin(), cases.end(),
                               [](const TypeCase& c) { return c.dbms != Dbms::PostgreSQL; }),
                cases.end());
    return cases;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Types, ValueDump, ::testing::ValuesIn(Cases()), CaseName);
INSTANTIATE_TEST_SUITE_P(Types, PostgresValueDump, ::testing::ValuesIn(PostgresCases()), CaseName);

namespace {

// The SQLite3 driver itself cuts a text at its first NUL byte, whichever way it
// is read: only the dump's own query gets the whole text.
TEST(ValueDumpOnSqlite, TheDriverCutsTextAtANulByteAndTheDumpDoesNot)
{
    REQUIRE_TEST_DATA_SOURCES();
    const std::string table = "vd_nulcut_" + std::to_string(::getpid());
    rawodbc::Connection raw(testenv::kSqliteOld);
    raw.ExecIgnoringErrors("DROP TABLE \"" + table + "\"");
    raw.Exec("CREATE TABLE \"" + table + "\" (id INTEGER NOT NULL PRIMARY KEY, t TEXT)");
    raw.Exec("INSERT INTO \"" + table + "\" VALUES (1, 'a' || char(0) || 'b')");
    EXPECT_EQ(raw.Query("SELECT t, length(CAST(t AS BLOB)) FROM \"" + table + "\""),
              (std::vector<rawodbc::Row>{{"a", "3"}}));

    CDatabase db;
    ASSERT_TRUE(db.OpenDataSource(testenv::kSqliteOld));
    CRecordsetEx rs(db);
    rs.OpenQuery(CRecordsetEx::forwardOnly, "SELECT t FROM \"" + table + "\"");
    std::string text;
    rs.GetFieldText(0, text);
    EXPECT_EQ(text, "a") << "the driver's own reading";
    for (const bool fromFile : {false, true}) {
        rs.SetReadSqliteFile(fromFile);
        OpenTableAgainIfSentToTheDriver(rs, table, fromFile);
        EXPECT_EQ(rs.ReadsSqliteFile(), fromFile);
        rs.GetFieldText(1, text);
        EXPECT_EQ(text, std::string("a\0b", 3));
        EXPECT_TRUE(rs.m_bValueIsText);
        rs.Close();
    }
    raw.Exec("DROP TABLE \"" + table + "\"");
}

} // namespace
