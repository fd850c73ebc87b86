#include "merge/StatementBuilder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestRows.h"

namespace {

using mergetest::Q;
using mergetest::U;

using mergetest::Column;

// A and B integer keys, C text, D text.
const CColumnInfoArray kColumns = {Column("A", 4), Column("B", 4), Column("C", 12), Column("D", 12)};
const CRowValues kRow = mergetest::Row({U("1"), U("2"), Q("x"), U("NULL")});

// Jet takes the brackets as they are, so its statements show the raw forms.
const SqlLiteralFacts kJet = SqlLiteralFacts::ForDriver("ODBCJT32.DLL", "`", "ACCESS");
const SqlLiteralFacts kPostgres = SqlLiteralFacts::ForDriver("psqlodbcw.so", "\"", "PostgreSQL");
const SqlLiteralFacts kMaria = SqlLiteralFacts::ForDriver("libmaodbc.so", "`", "MariaDB");

enum class Kind { Insert, Update, Delete };

GeneratedStatement Generate(Kind kind, const CRowValues& values, const CColumnInfoArray& columns,
                            const KeyColumnList& keys, const SqlLiteralFacts& facts)
{
    switch (kind) {
    case Kind::Insert:
        return BuildInsert(values, columns, "[T]", keys, facts);
    case Kind::Update:
        return BuildUpdate(values, columns, "[T]", keys, facts);
    case Kind::Delete:
        return BuildDelete(values, columns, "[T]", keys, facts);
    }
    return {};
}

std::string Build(Kind kind, const CRowValues& values, const CColumnInfoArray& columns, const KeyColumnList& keys,
                  const SqlLiteralFacts& facts)
{
    return Generate(kind, values, columns, keys, facts).text;
}

struct StatementCase {
    const char* name;
    Kind kind;
    CRowValues values;
    KeyColumnList keys;
    const SqlLiteralFacts* facts;
    std::string statement;
};

TEST(Statements, HaveTheirForms)
{
    const CRowValues threeValues = mergetest::Row({U("1"), U("2"), Q("x")});
    const std::vector<StatementCase> cases = {
        {"insert", Kind::Insert, kRow, {0, 1}, &kJet, "INSERT INTO [T] ([A],[B],[C],[D]) VALUES (1,2,'x',NULL)"},
        {"update", Kind::Update, kRow, {0, 1}, &kJet, "UPDATE [T] SET [C]='x',[D]=NULL WHERE [A]=1 AND [B]=2"},
        {"delete", Kind::Delete, kRow, {0, 1}, &kJet, "DELETE FROM [T] WHERE [A]=1 AND [B]=2"},
        {"insert with double quotes", Kind::Insert, kRow, {0, 1}, &kPostgres,
         "INSERT INTO \"T\" (\"A\",\"B\",\"C\",\"D\") VALUES (1,2,'x',NULL)"},
        {"update with double quotes", Kind::Update, kRow, {0, 1}, &kPostgres,
         "UPDATE \"T\" SET \"C\"='x',\"D\"=NULL WHERE \"A\"=1 AND \"B\"=2"},
        {"delete with backquotes", Kind::Delete, kRow, {0, 1}, &kMaria, "DELETE FROM `T` WHERE `A`=1 AND `B`=2"},
        {"Jet insert leaves out a single key column 0", Kind::Insert, kRow, {0}, &kJet,
         "INSERT INTO [T] ([B],[C],[D]) VALUES (2,'x',NULL)"},
        {"Jet insert with two key columns keeps all", Kind::Insert, kRow, {0, 1}, &kJet,
         "INSERT INTO [T] ([A],[B],[C],[D]) VALUES (1,2,'x',NULL)"},
        {"other drivers insert every column", Kind::Insert, kRow, {0}, &kPostgres,
         "INSERT INTO \"T\" (\"A\",\"B\",\"C\",\"D\") VALUES (1,2,'x',NULL)"},
        {"update with one key column", Kind::Update, kRow, {0}, &kJet,
         "UPDATE [T] SET [B]=2,[C]='x',[D]=NULL WHERE [A]=1"},
        {"update without key columns is empty", Kind::Update, kRow, {}, &kPostgres, ""},
        {"delete without key columns finds one row by all of them", Kind::Delete, kRow, {}, &kPostgres,
         "DELETE FROM \"T\" WHERE ctid IN (SELECT ctid FROM \"T\" WHERE \"A\"=1 AND \"B\"=2 AND \"C\"='x' AND "
         "\"D\" IS NULL LIMIT 1)"},
        {"update when every column is a key", Kind::Update, kRow, {0, 1, 2, 3}, &kPostgres, "UPDATE [T] SET "},
        {"insert with three values for four columns", Kind::Insert, threeValues, {0, 1}, &kPostgres,
         "INSERT INTO [T] ([A],[B],[C],[D]) VALUES ("},
        {"update with three values for four columns", Kind::Update, threeValues, {0, 1}, &kPostgres,
         "UPDATE [T] SET "},
        {"delete with three values for four columns", Kind::Delete, threeValues, {0, 1}, &kPostgres,
         "DELETE FROM [T] WHERE "},
        {"brackets inside text survive the rewrite", Kind::Insert,
         mergetest::Row({U("1"), U("2"), Q("[x] it's"), Q("NULL")}), {0, 1}, &kPostgres,
         "INSERT INTO \"T\" (\"A\",\"B\",\"C\",\"D\") VALUES (1,2,'[x] it''s','NULL')"},
        {"key list out of column order finds fewer columns", Kind::Delete, kRow, {1, 0}, &kJet,
         "DELETE FROM [T] WHERE [B]=2"},
        {"trailing-comma key list 0,1,0", Kind::Delete, kRow, {0, 1, 0}, &kJet,
         "DELETE FROM [T] WHERE [A]=1 AND [B]=2"},
        // The column-name lines of two dumps whose columns differ reach the
        // change set as a row pair: their names must not become SQL names.
        {"update from a column-name line", Kind::Update, mergetest::Row({U("A"), U("B"), U("C2"), U("D")}),
         {0, 1}, &kPostgres, "UPDATE \"T\" SET \"C\"='C2',\"D\"='D' WHERE \"A\"='A' AND \"B\"='B'"},
        {"delete from a column-name line", Kind::Delete, mergetest::Row({U("A"), U("B"), U("C"), U("D")}),
         {0, 1}, &kMaria, "DELETE FROM `T` WHERE `A`='A' AND `B`='B'"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Build(c.kind, c.values, kColumns, c.keys, *c.facts), c.statement) << c.name;
}

TEST(Statements, WriteEveryTypeThroughItsLiteral)
{
    const CColumnInfoArray columns = {Column("ID", 4), Column("D", 9), Column("T", 10), Column("TS", 11),
                                      Column("B", -3), Column("N", -9)};
    const CRowValues values = mergetest::Row(
        {U("7"), U("2001-03-15"), U("10:20:30"), U("2001-03-15 10:20:30"), U("0x00ff"), Q("Ünïcode")});
    const auto sqlite = SqlLiteralFacts::ForDriver("sqlite3odbc.so", "\"", "SQLite");
    EXPECT_EQ(BuildInsert(values, columns, "[T]", {0}, sqlite).text,
              "INSERT INTO \"T\" (\"ID\",\"D\",\"T\",\"TS\",\"B\",\"N\") VALUES (7,'2001-03-15','10:20:30',"
              "'2001-03-15 10:20:30',X'00ff','Ünïcode')");
    // A DBMS the program knows nothing particular of gets the ODBC escapes.
    const auto other = SqlLiteralFacts::ForDriver("driver.so", "\"", "Microsoft SQL Server");
    EXPECT_EQ(BuildInsert(values, columns, "[T]", {0}, other).text,
              "INSERT INTO \"T\" (\"ID\",\"D\",\"T\",\"TS\",\"B\",\"N\") VALUES (7,{d '2001-03-15'},{t '10:20:30'},"
              "{ts '2001-03-15 10:20:30'},0x00ff,'Ünïcode')");
    EXPECT_EQ(BuildUpdate(values, columns, "[T]", {0}, kJet).text,
              "UPDATE [T] SET [D]=#2001-03-15#,[T]=#10:20:30#,[TS]=#03/15/2001 10:20:30#,[B]=0x00ff,"
              "[N]='Ünïcode' WHERE [ID]=7");
}

struct ProblemCase {
    const char* name;
    Kind kind;
    CRowValues values;
    KeyColumnList keys;
    std::string problem;  // empty for a complete statement
};

TEST(Statements, SayWhyTheyCannotRun)
{
    const CRowValues threeValues = mergetest::Row({U("1"), U("2"), Q("x")});
    const std::string noKey = "The table has no key columns, so the row to update cannot be found.";
    const std::string count = "The row has 3 values, but the table has 4 columns.";
    const std::vector<ProblemCase> cases = {
        {"insert", Kind::Insert, kRow, {0, 1}, ""},
        {"update", Kind::Update, kRow, {0, 1}, ""},
        {"delete", Kind::Delete, kRow, {0, 1}, ""},
        {"insert with a wrong value count", Kind::Insert, threeValues, {0, 1}, count},
        {"update with a wrong value count", Kind::Update, threeValues, {0, 1}, count},
        {"delete with a wrong value count", Kind::Delete, threeValues, {0, 1}, count},
        {"update without key columns", Kind::Update, kRow, {}, noKey},
        {"delete without key columns", Kind::Delete, kRow, {}, ""},
        {"delete without key columns, with a wrong value count", Kind::Delete, threeValues, {}, count},
        {"update when every column is a key", Kind::Update, kRow, {0, 1, 2, 3},
         "Every column of the table is a key column, so there is nothing to update."},
        // Incomplete statements were once told by their ending; a value may end alike.
        {"value that reads like an incomplete ending", Kind::Update,
         mergetest::Row({U("1"), U("2"), Q(" WHERE "), Q(" SET ")}), {0, 1}, ""},
    };
    for (const auto* facts : {&kJet, &kPostgres}) {
        for (const auto& c : cases) {
            const GeneratedStatement statement = Generate(c.kind, c.values, kColumns, c.keys, *facts);
            EXPECT_EQ(statement.problem, c.problem) << c.name;
            EXPECT_EQ(statement.Complete(), c.problem.empty()) << c.name;
        }
    }
}

// PostgreSQL text cannot hold a NUL byte: a statement that would have to
// write one cannot run, and says which column's value it is; a statement that
// does not write that value is not held up.
TEST(Statements, AValueTheDbmsCannotStoreKeepsTheStatementFromRunning)
{
    const CColumnInfoArray columns = {Column("A", 4), Column("note", 12)};
    const CRowValues row = mergetest::Row({U("1"), Q(std::string("a\0b", 3))});
    const std::string problem = "The value of column note holds a NUL byte, which PostgreSQL cannot store in text.";
    struct Case {
        const char* name;
        Kind kind;
        KeyColumnList keys;
        const SqlLiteralFacts* facts;
        std::string problem;
    };
    const auto sqlite = SqlLiteralFacts::ForDriver("sqlite3odbc.so", "\"", "SQLite");
    const std::vector<Case> cases = {
        {"insert", Kind::Insert, {0}, &kPostgres, problem},
        {"update", Kind::Update, {0}, &kPostgres, problem},
        {"delete by a key without the value", Kind::Delete, {0}, &kPostgres, ""},
        {"delete by all columns", Kind::Delete, {}, &kPostgres, problem},
        {"delete by the column itself", Kind::Delete, {1}, &kPostgres, problem},
        {"MariaDB stores it", Kind::Insert, {0}, &kMaria, ""},
        {"SQLite stores it", Kind::Update, {0}, &sqlite, ""},
    };
    for (const auto& c : cases) {
        const GeneratedStatement statement = Generate(c.kind, row, columns, c.keys, *c.facts);
        EXPECT_EQ(statement.problem, c.problem) << c.name;
        EXPECT_EQ(statement.text.find('\0'), std::string::npos) << c.name << ": no raw NUL in " << statement.text;
    }
}

TEST(FormatValueList, TakesOnlyTheIncludedColumns)
{
    std::string text = "kept";
    FormatValueList(mergetest::Row({U("1")}), kColumns, text, ",", false, nullptr, kJet);
    EXPECT_EQ(text, "kept") << "a wrong value count leaves the output alone";
    const KeyColumnList include = {1, 3};
    FormatValueList(kRow, kColumns, text, ";", true, &include, kJet);
    EXPECT_EQ(text, "[B]=2;[D]=NULL");
    const KeyColumnList none;
    FormatValueList(kRow, kColumns, text, ";", true, &none, kJet);
    EXPECT_EQ(text, "");
    FormatValueList(kRow, kColumns, text, ",", false, nullptr, kJet);
    EXPECT_EQ(text, "1,2,'x',NULL");
}

// A row is found NULL-safe by its key, or, without key, by all its columns,
// and only one of several equal rows goes, in each DBMS's own way.
TEST(Statements, FindRowsNullSafeAndDeleteOneOfEqualRows)
{
    const auto sqlite = SqlLiteralFacts::ForDriver("sqlite3odbc.so", "\"", "SQLite");
    const CColumnInfoArray columns = {Column("A", 4), Column("B", 12)};
    const CRowValues nullB = mergetest::Row({U("1"), U("NULL")});
    struct Case {
        const char* name;
        Kind kind;
        KeyColumnList keys;
        const SqlLiteralFacts* facts;
        std::string statement;
    };
    const std::vector<Case> cases = {
        {"SQLite", Kind::Delete, {}, &sqlite,
         "DELETE FROM \"T\" WHERE rowid IN (SELECT rowid FROM \"T\" WHERE \"A\"=1 AND \"B\" IS NULL LIMIT 1)"},
        {"PostgreSQL", Kind::Delete, {}, &kPostgres,
         "DELETE FROM \"T\" WHERE ctid IN (SELECT ctid FROM \"T\" WHERE \"A\"=1 AND \"B\" IS NULL LIMIT 1)"},
        {"MariaDB", Kind::Delete, {}, &kMaria, "DELETE FROM `T` WHERE `A`=1 AND `B` IS NULL LIMIT 1"},
        {"Jet", Kind::Delete, {}, &kJet, "DELETE FROM [T] WHERE [A]=1 AND [B] IS NULL"},
        {"a key holding NULL", Kind::Delete, {1}, &kMaria, "DELETE FROM `T` WHERE `B` IS NULL"},
        {"an update's SET keeps =NULL", Kind::Update, {0}, &kMaria, "UPDATE `T` SET `B`=NULL WHERE `A`=1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Build(c.kind, nullB, columns, c.keys, *c.facts), c.statement) << c.name;
}

TEST(Statements, CountTheRowsAnUpdateFindsWhereTheDbmsCountsChangedOnes)
{
    const CColumnInfoArray columns = {Column("A", 4), Column("B", 12)};
    const CRowValues row = mergetest::Row({U("1"), Q("x")});
    EXPECT_EQ(BuildUpdate(row, columns, "[T]", {0}, kMaria).countQuery, "SELECT COUNT(*) FROM `T` WHERE `A`=1");
    EXPECT_EQ(BuildUpdate(row, columns, "[T]", {0}, kPostgres).countQuery, "");
    EXPECT_EQ(BuildDelete(row, columns, "[T]", {0}, kMaria).countQuery, "");
}

} // namespace
