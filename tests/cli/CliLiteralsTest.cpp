// Values and names that a session setting or a client could change, merged by
// `apply` and by the script of `sql` run through the DBMS's own client: on
// PostgreSQL with standard_conforming_strings off (a database setting), on
// MariaDB with NO_BACKSLASH_ESCAPES and with ANSI_QUOTES, and with the
// defaults. After either way the target holds the merge file's values byte for
// byte, and no other table changed.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "CliRunner.h"
#include "RawOdbc.h"
#include "TestEnv.h"
#include "common/MergeFileLayout.h"

namespace {

namespace fs = std::filesystem;
using clitest::CliResult;
using clitest::RunCli;
using testenv::Dbms;

enum class Session { Default, NonStandardStrings, NoBackslashEscapes, AnsiQuotes };

struct Target {
    const char* label;
    Dbms dbms;
    Session session;
};

const Target kTargets[] = {
    {"SQLite", Dbms::SQLite, Session::Default},
    {"PostgreSQL", Dbms::PostgreSQL, Session::Default},
    {"PostgreSQLNonStandardStrings", Dbms::PostgreSQL, Session::NonStandardStrings},
    {"MariaDB", Dbms::MariaDB, Session::Default},
    {"MariaDBNoBackslashEscapes", Dbms::MariaDB, Session::NoBackslashEscapes},
    {"MariaDBAnsiQuotes", Dbms::MariaDB, Session::AnsiQuotes},
};

void PrintTo(const Target& target, std::ostream* out)
{
    *out << target.label;
}

// The sql_mode statement of a MariaDB session; empty for the default one.
std::string SqlModeStatement(Session session)
{
    switch (session) {
    case Session::NoBackslashEscapes:
        return "SET SESSION sql_mode='NO_BACKSLASH_ESCAPES'";
    case Session::AnsiQuotes:
        return "SET SESSION sql_mode='ANSI_QUOTES'";
    case Session::Default:
    case Session::NonStandardStrings:
        break;
    }
    return {};
}

// standard_conforming_strings off for every new session of the merge role's
// database, as a database owner may set it, for the life of the object.
class NonStandardStrings {
public:
    explicit NonStandardStrings(const std::string& connection) : m_connection(connection)
    {
        rawodbc::Connection(m_connection)
            .Exec("ALTER DATABASE tolvane_cli_merge SET standard_conforming_strings = off");
    }
    ~NonStandardStrings()
    {
        rawodbc::Connection(m_connection).ExecIgnoringErrors("ALTER DATABASE tolvane_cli_merge RESET "
                                                             "standard_conforming_strings");
    }
    NonStandardStrings(const NonStandardStrings&) = delete;
    NonStandardStrings& operator=(const NonStandardStrings&) = delete;

private:
    std::string m_connection;
};

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

// One value of the table's text column, and the row it goes into.
struct TextRow {
    int id;
    std::string text;
};

class CliLiterals : public ::testing::TestWithParam<Target> {
protected:
    void SetUp() override
    {
        REQUIRE_TEST_DATA_SOURCES();
        const Target& target = GetParam();
        merge = testenv::RoleConnectionString(target.dbms, "merge", work.path());
        const std::string mode = SqlModeStatement(target.session);
        if (!mode.empty())
            merge += ";InitStmt=" + mode;
        // Tests of one program run at the same time on the servers.
        const std::string suffix = "_" + std::to_string(::getpid()) + "_" + target.label;
        table = "cl" + suffix + " q\"u`o;t'e";
        bystander = "clx" + suffix;
        if (target.session == Session::NonStandardStrings)
            nonStandardStrings = std::make_unique<NonStandardStrings>(merge);
    }

    std::string Quote() const { return GetParam().dbms == Dbms::MariaDB ? "`" : "\""; }
    std::string Quoted(const std::string& name) const
    {
        std::string quoted = Quote();
        for (const char c : name) {
            quoted += c;
            if (std::string(1, c) == Quote())
                quoted += c;
        }
        return quoted + Quote();
    }

    // The values that went wrong: escapes a setting changes, a statement
    // after an escaped apostrophe, control characters a client changes, quotes
    // of names, text beyond the Basic Multilingual Plane (which a utf8mb3
    // client cannot pass), and a NUL byte where the DBMS stores one.
    std::vector<TextRow> NewTexts() const
    {
        std::vector<std::string> texts = {"\\", "\\'", "a\\'; DROP TABLE " + bystander + "; --", "'", "''",
                                          "\r", "\r\n", "\t", "line\nbreak", "\"q\" `b` [x] ;",
                                          "\xC3\xBC\xE2\x82\xAC\xF0\x9F\x98\x80", "", "NULL"};
        if (GetParam().dbms != Dbms::PostgreSQL)
            texts.push_back(std::string("a\0b\0", 4));
        // Row 1 gets the first text, rows from 3 on the others (row 2 goes).
        std::vector<TextRow> rows;
        for (std::size_t i = 0; i < texts.size(); ++i)
            rows.push_back({i == 0 ? 1 : static_cast<int>(i) + 2, texts[i]});
        return rows;
    }

    // The target as the old data source left it: rows 1 and 2, which the
    // merge changes and deletes, and the bystander table.
    void CreateTarget() const
    {
        const bool maria = GetParam().dbms == Dbms::MariaDB;
        const std::string text = maria ? "LONGTEXT" : "TEXT";
        const std::string stamp = maria ? "DATETIME" : "TIMESTAMP";
        rawodbc::Connection connection(merge);
        connection.ExecIgnoringErrors("DROP TABLE " + Quoted(table));
        connection.ExecIgnoringErrors("DROP TABLE " + bystander);
        connection.ExecAll({"CREATE TABLE " + Quoted(table) + " (id INTEGER NOT NULL PRIMARY KEY, " + Quoted(kColumn) +
                                " " + text + ", d DATE, ts " + stamp + ")",
                            "INSERT INTO " + Quoted(table) + " VALUES (1, 'old', '2001-01-01', '2001-01-01 00:00:00')",
                            "INSERT INTO " + Quoted(table) + " VALUES (2, 'gone', NULL, NULL)",
                            "CREATE TABLE " + bystander + " (id INTEGER NOT NULL PRIMARY KEY, v VARCHAR(10))",
                            "INSERT INTO " + bystander + " VALUES (1, 'kept')"});
    }

    // A merge file as the compare run writes it: row 1 changed to the first
    // text, row 2 deleted, a row added for each other text.
    std::string MergeFile(const std::vector<TextRow>& rows) const
    {
        using namespace MergeFileLayout;
        std::string file = SectionHead(table, "0", {"id", kColumn, "d", "ts"});
        file += "|<<1,\"old\",2001-01-01,2001-01-01 00:00:00\r\n|<<2,\"gone\",NULL,NULL\r\n";
        for (const TextRow& row : rows) {
            file += "||>>" + std::to_string(row.id) + ",";
            AppendQuotedField(file, row.text);
            file += ",2001-03-15,2001-03-15 10:20:30\r\n";
        }
        file += EndMark(1);
        const fs::path path = work.path() / "merge.txt";
        testenv::WriteFile(path, file);
        return path.string();
    }

    // What the target holds, one line a row: id, the text's bytes in hex, date
    // and timestamp, as the DBMS's own text; then the bystander's rows.
    std::string ContentQuery() const
    {
        const std::string column = Quoted(kColumn);
        switch (GetParam().dbms) {
        case Dbms::SQLite:
            return "SELECT id || '|' || coalesce(hex(" + column + "), 'NULL') || '|' || d || '|' || ts FROM " +
                   Quoted(table) + " ORDER BY id;\nSELECT 'x|' || id || '|' || v FROM " + bystander + ";\n";
        case Dbms::PostgreSQL:
            return "SELECT id || '|' || coalesce(upper(encode(convert_to(" + column +
                   ", 'UTF8'), 'hex')), 'NULL') || '|' || d::text || '|' || ts::text FROM " + Quoted(table) +
                   " ORDER BY id;\nSELECT 'x|' || id || '|' || v FROM " + bystander + ";\n";
        case Dbms::MariaDB:
            break;
        }
        return "SELECT CONCAT(id, '|', coalesce(HEX(" + column + "), 'NULL'), '|', d, '|', ts) FROM " +
               Quoted(table) + " ORDER BY id;\nSELECT CONCAT('x|', id, '|', v) FROM " + bystander + ";\n";
    }

    // The content as the merge file says it must be.
    static std::string Expected(const std::vector<TextRow>& rows)
    {
        std::string lines;
        for (const TextRow& row : rows)
            lines += std::to_string(row.id) + "|" + Hex(row.text) + "|2001-03-15|2001-03-15 10:20:30\n";
        return lines + "x|1|kept\n";
    }

    // The content read by the test's own connection.
    std::string ContentByQuery() const
    {
        rawodbc::Connection connection(merge);
        std::string lines;
        std::istringstream queries(ContentQuery());
        for (std::string query; std::getline(queries, query);) {
            for (const rawodbc::Row& row : connection.Query(query))
                lines += row.at(0).value_or("(null)") + "\n";
        }
        return lines;
    }

    // The content read by the DBMS's own client.
    std::string ContentByClient() const
    {
        const fs::path query = work.path() / "content.sql";
        testenv::WriteFile(query, ContentQuery());
        std::string command = clitest::ClientCommand(GetParam().dbms, work.path(), query);
        if (GetParam().dbms == Dbms::PostgreSQL)
            command += " -A -t";
        else if (GetParam().dbms == Dbms::MariaDB)
            command.replace(command.find(" -h "), 0, " --batch --skip-column-names --raw");
        std::string out;
        EXPECT_EQ(clitest::ShellOutput(command, out), 0) << command;
        return out;
    }

    static constexpr const char* kColumn = "v\"a`l;u'e";

    testenv::TempDir work;
    std::string merge;
    std::string table;
    std::string bystander;
    std::unique_ptr<NonStandardStrings> nonStandardStrings;
};

std::string TargetName(const ::testing::TestParamInfo<Target>& info)
{
    return info.param.label;
}

} // namespace

TEST_P(CliLiterals, ApplyAndTheClientsScriptStoreTheMergeFilesBytes)
{
    if (GetParam().session == Session::NonStandardStrings) {
        rawodbc::Connection probe(merge);
        ASSERT_EQ(probe.Query("SHOW standard_conforming_strings"), std::vector<rawodbc::Row>{{"off"}});
    }
    const std::vector<TextRow> rows = NewTexts();
    const std::string expected = Expected(rows);
    CreateTarget();
    const std::string mergeFile = MergeFile(rows);

    const CliResult apply = RunCli({"apply", mergeFile, merge, "--yes"});
    EXPECT_EQ(apply.status, 0) << apply.err;
    EXPECT_EQ(apply.err, "");
    EXPECT_EQ(ContentByQuery(), expected);
    EXPECT_EQ(ContentByClient(), expected);

    // The script, from the same target before the merge, run by the client in
    // a session of the same settings.
    CreateTarget();
    const CliResult sql = RunCli({"sql", mergeFile, merge});
    ASSERT_EQ(sql.status, 0) << sql.err;
    EXPECT_EQ(sql.out.find('\0'), std::string::npos) << "no NUL byte in the script";
    EXPECT_EQ(sql.out.find('\r'), std::string::npos) << "no carriage return in the script";
    const fs::path script = work.path() / "merge.sql";
    testenv::WriteFile(script, sql.out);
    const std::string client = clitest::ClientCommand(GetParam().dbms, work.path(), script,
                                                      SqlModeStatement(GetParam().session));
    ASSERT_EQ(clitest::Shell(client), 0) << client << "\n" << sql.out;
    EXPECT_EQ(ContentByQuery(), expected);
    EXPECT_EQ(ContentByClient(), expected);

    rawodbc::Connection connection(merge);
    connection.Exec("DROP TABLE " + Quoted(table));
    connection.Exec("DROP TABLE " + bystander);
}

INSTANTIATE_TEST_SUITE_P(Targets, CliLiterals, ::testing::ValuesIn(kTargets), TargetName);

// PostgreSQL text cannot hold a NUL byte: the statement that would need one
// is not run, whose message names the value's column, and apply leaves the
// target as it was; sql leaves the statement out of the script and says so.
TEST(CliLiteralsOnPostgreSql, TextWithANulByteIsRefusedNamingItsColumn)
{
    REQUIRE_TEST_DATA_SOURCES();
    testenv::TempDir work;
    const std::string merge = testenv::RoleConnectionString(Dbms::PostgreSQL, "merge", work.path());
    const std::string table = "clnul_" + std::to_string(::getpid());
    rawodbc::Connection connection(merge);
    connection.ExecIgnoringErrors("DROP TABLE " + table);
    connection.ExecAll({"CREATE TABLE " + table + " (id INTEGER NOT NULL PRIMARY KEY, note TEXT)",
                        "INSERT INTO " + table + " VALUES (1, 'one')"});
    std::string file = MergeFileLayout::SectionHead(table, "0", {"id", "note"}) + "||>>2,\"two\"\r\n||>>3,";
    MergeFileLayout::AppendQuotedField(file, std::string("a\0b", 3));
    file += "\r\n" + MergeFileLayout::EndMark(1);
    const fs::path path = work.path() / "merge.txt";
    testenv::WriteFile(path, file);

    const CliResult apply = RunCli({"apply", path.string(), merge, "--yes"});
    EXPECT_EQ(apply.status, 1) << apply.err;
    EXPECT_NE(apply.err.find("The value of column note holds a NUL byte"), std::string::npos) << apply.err;
    EXPECT_EQ(connection.Query("SELECT id, note FROM " + table + " ORDER BY id"),
              (std::vector<rawodbc::Row>{{"1", "one"}}));

    const CliResult sql = RunCli({"sql", path.string(), merge});
    EXPECT_EQ(sql.status, 1) << sql.err;
    EXPECT_NE(sql.err.find("The value of column note holds a NUL byte"), std::string::npos) << sql.err;
    EXPECT_NE(sql.out.find("'two'"), std::string::npos) << sql.out;
    EXPECT_EQ(sql.out.find("\\000"), std::string::npos) << sql.out;
    connection.Exec("DROP TABLE " + table);
}
