// The same rows, of every common type, in SQLite, PostgreSQL and MariaDB: the
// engines compare equal with each other, and a change compared on one engine
// merges into a copy of the old rows on another, after which verify finds the
// target equal to the new rows of both engines and the target's own client
// reads the values the new rows hold there.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
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

enum class Kind { Number, Text, Temporal, Bool, Binary };

struct Column {
    const char* name;
    Kind kind;
    const char* type[3];  // SQLite, PostgreSQL, MariaDB
};

const std::vector<Column>& Columns()
{
    static const std::vector<Column> columns = {
        {"id", Kind::Number, {"INTEGER NOT NULL PRIMARY KEY", "INTEGER NOT NULL PRIMARY KEY", "INTEGER NOT NULL PRIMARY KEY"}},
        {"big", Kind::Number, {"BIGINT", "BIGINT", "BIGINT"}},
        {"small", Kind::Number, {"SMALLINT", "SMALLINT", "SMALLINT"}},
        {"amount", Kind::Number, {"DECIMAL(12,2)", "NUMERIC(12,2)", "DECIMAL(12,2)"}},
        {"dbl", Kind::Number, {"DOUBLE", "DOUBLE PRECISION", "DOUBLE"}},
        {"rl", Kind::Number, {"REAL", "REAL", "FLOAT"}},
        {"ch", Kind::Text, {"CHAR(10)", "CHAR(10)", "CHAR(10)"}},
        {"vc", Kind::Text, {"VARCHAR(40)", "VARCHAR(40)", "VARCHAR(40)"}},
        {"txt", Kind::Text, {"TEXT", "TEXT", "LONGTEXT"}},
        {"d", Kind::Temporal, {"DATE", "DATE", "DATE"}},
        {"tm", Kind::Temporal, {"TIME", "TIME", "TIME(6)"}},
        {"ts", Kind::Temporal, {"TIMESTAMP", "TIMESTAMP", "DATETIME(6)"}},
        {"flag", Kind::Bool, {"BOOLEAN", "BOOLEAN", "BOOLEAN"}},
        {"bin", Kind::Binary, {"BLOB", "BYTEA", "LONGBLOB"}},
        {"vb", Kind::Binary, {"VARBINARY(16)", "BYTEA", "VARBINARY(16)"}},
    };
    return columns;
}

const char* const N = nullptr;  // SQL NULL
using Row = std::vector<const char*>;

// Binary values are hex digits; texts may hold CR and LF.
const std::vector<Row> kOldRows = {
    {"1", "9007199254740993", "-32768", "1.50", "0.30000000000000004", "0.5", "abc", "a, \"quoted\" it's",
     "line1\r\nline2", "2024-02-29", "23:59:59.5", "2024-02-29 23:59:59.5", "1", "00FF01", "DEADBEEF"},
    {"2", "0", "0", "0.00", "-1234.25", "-2.5", "x", "Gr\xC3\xBC\xC3\x9F" "e \xE2\x9C\x93", "", "1999-12-31",
     "10:20:30", "1999-12-31 23:59:59", "0", "", N},
    {"3", N, N, N, N, N, N, "gone", N, N, N, N, N, N, N},
    {"4", "42", "7", "-12345.67", "1e22", "0.1", N, "unchanged", N, N, N, N, N, N, N},
};
const std::vector<Row> kNewRows = {
    {"1", "9007199254740993", "-32768", "2.25", "0.30000000000000004", "0.5", "abc", "changed, \"again\"",
     "line1\r\nline2", "2024-02-29", "23:59:59.5", "2024-03-01 00:00:00.25", "0", "00", "DEADBEEF"},
    {"2", "0", "0", "0.00", "1e-07", "-2.5", "x", "Gr\xC3\xBC\xC3\x9F" "e \xE2\x9C\x93", "multi\r\nline\r\n",
     "1999-12-31", "00:00:00", "1999-12-31 23:59:59", "0", "", N},
    {"4", "42", "7", "-12345.67", "1e22", "0.1", N, "unchanged", N, N, N, N, N, N, N},
    {"5", "-9007199254740993", "32767", "1234567890.12", "-0.5", "1e-07", "xyz", "new row", "text", "2000-01-01",
     "12:00:00", "2000-01-01 00:00:00", "1", "", "00"},
};

int Index(Dbms dbms)
{
    return dbms == Dbms::SQLite ? 0 : dbms == Dbms::PostgreSQL ? 1 : 2;
}

// The test's own literal of a value on `dbms`.
std::string Literal(Dbms dbms, Kind kind, const char* value)
{
    if (!value)
        return "NULL";
    const std::string v = value;
    switch (kind) {
    case Kind::Number:
        return v;
    case Kind::Bool:
        return dbms == Dbms::PostgreSQL ? (v == "1" ? "TRUE" : "FALSE") : v;
    case Kind::Binary:
        if (dbms == Dbms::SQLite)
            return "X'" + v + "'";
        if (dbms == Dbms::PostgreSQL)
            return "'\\x" + v + "'::bytea";
        return v.empty() ? "''" : "0x" + v;
    case Kind::Text:
    case Kind::Temporal:
        break;
    }
    // PostgreSQL reads \r and \n in E'...', MariaDB in '...'; SQLite joins the characters in.
    std::string literal = dbms == Dbms::PostgreSQL ? "E'" : "'";
    for (const char c : v) {
        if (c == '\'')
            literal += "''";
        else if (c == '\r' || c == '\n')
            literal += dbms == Dbms::SQLite ? std::string("' || char(") + std::to_string(c) + ") || '"
                                            : std::string(c == '\r' ? "\\r" : "\\n");
        else
            literal += c;
    }
    return literal + "'";
}

// Every value of the table as the DBMS's own client writes it, ordered by id.
std::string ClientQuery(Dbms dbms, const std::string& table)
{
    std::string fields;
    for (const Column& column : Columns()) {
        const std::string c = column.name;
        std::string field;
        switch (dbms) {
        case Dbms::SQLite:
            field = "typeof(" + c + ") || ':' || CASE typeof(" + c + ") WHEN 'real' THEN printf('%!.17g', " + c +
                    ") ELSE hex(" + c + ") END";
            break;
        case Dbms::PostgreSQL:
            field = column.kind == Kind::Binary ? "coalesce(encode(" + c + ", 'hex'), 'N')"
                                                : "coalesce(" + c + "::text, 'N')";
            break;
        case Dbms::MariaDB:
            field = column.kind == Kind::Binary || column.kind == Kind::Text ? "IFNULL(HEX(" + c + "), 'N')"
                                                                               : "IFNULL(" + c + ", 'N')";
            break;
        }
        if (!fields.empty())
            fields += dbms == Dbms::MariaDB ? ", '|', " : " || '|' || ";
        fields += field;
    }
    if (dbms == Dbms::MariaDB)
        fields = "CONCAT(" + fields + ")";
    return "SELECT " + fields + " FROM " + table + " ORDER BY id;\n";
}

struct EnginePair {
    Dbms source;  // where the change is compared
    Dbms target;  // where it is merged
};

void PrintTo(const EnginePair& pair, std::ostream* out)
{
    *out << testenv::DbmsLabel(pair.source) << "Into" << testenv::DbmsLabel(pair.target);
}

class CrossEngine : public ::testing::TestWithParam<EnginePair> {
protected:
    void SetUp() override
    {
        REQUIRE_TEST_DATA_SOURCES();
        table = "cx_" + std::to_string(::getpid());
    }

    void TearDown() override
    {
        if (!testenv::Available())
            return;  // skipped: no server to clean up
        for (const Dbms dbms : {GetParam().source, GetParam().target})
            for (const char* role : {"old", "new", "merge"})
                rawodbc::Connection(Connection(dbms, role)).ExecIgnoringErrors("DROP TABLE " + table);
    }

    std::string Connection(Dbms dbms, const std::string& role) const
    {
        // SQLite files of each engine's roles in a folder of its own.
        return testenv::RoleConnectionString(dbms, role, work.path() / testenv::DbmsLabel(dbms));
    }

    void Create(Dbms dbms, const std::string& role, const std::vector<Row>& rows) const
    {
        std::filesystem::create_directories(work.path() / testenv::DbmsLabel(dbms));
        rawodbc::Connection raw(Connection(dbms, role));
        raw.ExecIgnoringErrors("DROP TABLE " + table);
        std::string create = "CREATE TABLE " + table + " (";
        for (const Column& column : Columns())
            create += std::string(&column == &Columns().front() ? "" : ", ") + column.name + " " +
                      column.type[Index(dbms)];
        raw.Exec(create + ")");
        for (const Row& row : rows) {
            std::string insert = "INSERT INTO " + table + " VALUES (";
            for (std::size_t i = 0; i < row.size(); ++i)
                insert += (i ? ", " : "") + Literal(dbms, Columns()[i].kind, row[i]);
            raw.Exec(insert + ")");
        }
    }

    std::string Client(Dbms dbms, const std::string& role) const
    {
        return clitest::ClientRows(dbms, role, work.path() / testenv::DbmsLabel(dbms), ClientQuery(dbms, table));
    }

    testenv::TempDir work;
    std::string table;
};

} // namespace

TEST_P(CrossEngine, EqualRowsCompareEqualAndAMergeLeavesTheTargetEqual)
{
    const Dbms source = GetParam().source, target = GetParam().target;
    Create(source, "old", kOldRows);
    Create(source, "new", kNewRows);
    Create(target, "old", kOldRows);
    Create(target, "new", kNewRows);
    Create(target, "merge", kOldRows);

    // One spelling: the same rows on the two engines differ in no line.
    for (const char* role : {"old", "new"}) {
        const CliResult same = RunCli({"compare", Connection(source, role), Connection(target, role), "--out",
                                       (work.path() / (std::string("same_") + role)).string(), "--table", table});
        EXPECT_EQ(same.status, 0) << role << ": " << same.out << same.err;
        EXPECT_EQ(same.out, table + ": 0 removed, 0 added\n") << role;
    }

    const std::string out = (work.path() / "out").string();
    const CliResult compare =
        RunCli({"compare", Connection(source, "old"), Connection(source, "new"), "--out", out, "--table", table});
    EXPECT_EQ(compare.status, 1) << compare.err;
    EXPECT_EQ(compare.out, table + ": 3 removed, 3 added\n");
    const CliResult apply = RunCli({"apply", out + "/Vantor_Merge.txt", Connection(target, "merge"), "--yes"});
    EXPECT_EQ(apply.status, 0) << apply.out << apply.err;

    for (const Dbms newSide : {source, target}) {
        const CliResult verify =
            RunCli({"verify", Connection(target, "merge"), Connection(newSide, "new"), "--table", table});
        EXPECT_EQ(verify.status, 0) << testenv::DbmsLabel(newSide) << ": " << verify.out << verify.err;
    }
    const std::string wanted = Client(target, "new");
    EXPECT_EQ(std::count(wanted.begin(), wanted.end(), '|'), 4 * static_cast<long>(Columns().size() - 1));
    EXPECT_EQ(Client(target, "merge"), wanted);
}

INSTANTIATE_TEST_SUITE_P(Engines, CrossEngine,
                         ::testing::Values(EnginePair{Dbms::SQLite, Dbms::PostgreSQL},
                                           EnginePair{Dbms::SQLite, Dbms::MariaDB},
                                           EnginePair{Dbms::PostgreSQL, Dbms::SQLite},
                                           EnginePair{Dbms::PostgreSQL, Dbms::MariaDB},
                                           EnginePair{Dbms::MariaDB, Dbms::SQLite},
                                           EnginePair{Dbms::MariaDB, Dbms::PostgreSQL}),
                         [](const ::testing::TestParamInfo<EnginePair>& info) {
                             return testenv::DbmsLabel(info.param.source) + "Into" +
                                    testenv::DbmsLabel(info.param.target);
                         });
