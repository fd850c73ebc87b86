#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "DriverCases.h"
#include "RawOdbc.h"
#include "TestEnv.h"
#include "datasource/CDatabase.h"
#include "datasource/CRecordsetEx.h"
#include "datasource/DatabaseError.h"
#include "datasource/TableCatalog.h"

namespace {

const char* SourceName(KeySource source)
{
    switch (source) {
    case KeySource::PrimaryKey:
        return "PrimaryKey";
    case KeySource::UniqueIndex:
        return "UniqueIndex";
    case KeySource::LeadingNotNull:
        return "LeadingNotNull";
    case KeySource::None:
        return "None";
    }
    return "?";
}

std::string KeyText(const TableKey& key)
{
    std::string text = SourceName(key.source);
    text += " {";
    for (std::size_t i = 0; i < key.columns.size(); ++i)
        text += (i ? "," : "") + std::to_string(key.columns[i]);
    return text + "}";
}

std::string Joined(const std::vector<std::string>& names)
{
    std::string text;
    for (const auto& name : names)
        text += (text.empty() ? "" : ",") + name;
    return text;
}

// "child(a,b) -> parent(x,y)", with the key's name where the test expects one.
std::string KeyText(const ForeignKey& key, bool withName)
{
    std::string text = key.childTable + "(" + Joined(key.childColumns) + ") -> " + key.parentTable + "(" +
                       Joined(key.parentColumns) + ")";
    return withName ? text + " " + key.name : text;
}

std::vector<std::string> KeyTexts(const std::vector<ForeignKey>& keys, bool withNames)
{
    std::vector<std::string> texts;
    for (const auto& key : keys)
        texts.push_back(KeyText(key, withNames));
    std::sort(texts.begin(), texts.end());
    return texts;
}

std::string TargetText(const std::vector<TargetColumn>& columns)
{
    std::string text;
    for (const auto& c : columns)
        text += c.name + (c.nullable ? " null" : " not-null") + (c.hasDefault ? " default" : "") + "; ";
    return text;
}

bool IsSqlite(const DriverCase& d)
{
    return d.facts.dbms == DbmsKind::Sqlite;
}

bool IsPostgres(const DriverCase& d)
{
    return d.facts.dbms == DbmsKind::PostgreSql;
}

// Drops tables whatever foreign keys tie them: PostgreSQL drops the keys with
// CASCADE, MariaDB is told not to check them.
void DropTables(rawodbc::Connection& raw, const DriverCase& d, const std::vector<std::string>& tables)
{
    if (d.facts.dbms == DbmsKind::MySql)
        raw.Exec("SET FOREIGN_KEY_CHECKS = 0");
    for (const auto& table : tables)
        raw.ExecIgnoringErrors("DROP TABLE IF EXISTS " + Quoted(d, table) + (IsPostgres(d) ? " CASCADE" : ""));
    if (d.facts.dbms == DbmsKind::MySql)
        raw.Exec("SET FOREIGN_KEY_CHECKS = 1");
}

class TableCatalogOnDriver : public ::testing::TestWithParam<DriverCase> {
protected:
    void SetUp() override
    {
        REQUIRE_TEST_DATA_SOURCES();
        ASSERT_TRUE(db.OpenDataSource(GetParam().dsn));
    }

    // The key of `table` for the columns a dump of it reads.
    TableKey KeyOf(const std::string& table)
    {
        CRecordsetEx rs(db);
        rs.OpenTable(table);
        const std::vector<ColumnInfo> columns = rs.Columns();
        rs.Close();
        return FindTableKey(db, table, columns);
    }

    CDatabase db;
};

struct KeyCase {
    const char* name;
    const char* table;
    std::vector<std::string> create;  // statements; {t} stands for the quoted table name
    const char* key;                  // KeyText of the expected key
    // MariaDB reports the first unique index of NOT NULL columns of a table
    // without primary key as its primary key: the same columns, another source.
    const char* keyOnMariaDb = nullptr;
};

std::string WithTable(std::string statement, const std::string& quotedTable)
{
    const std::string mark = "{t}";
    for (std::size_t at = statement.find(mark); at != std::string::npos; at = statement.find(mark, at))
        statement.replace(at, mark.size(), quotedTable);
    return statement;
}

TEST_P(TableCatalogOnDriver, FindsTheDeclaredKey)
{
    const DriverCase& d = GetParam();
    const std::vector<KeyCase> cases = {
        // A rename of a customer must stay an update: the key is id alone.
        {"primary key after a NOT NULL column", "tk_customers",
         {"CREATE TABLE {t} (name VARCHAR(20) NOT NULL, id INTEGER NOT NULL PRIMARY KEY, email VARCHAR(40))"},
         "PrimaryKey {1}"},
        {"primary key before NOT NULL columns", "tk_first",
         {"CREATE TABLE {t} (id INTEGER NOT NULL PRIMARY KEY, name VARCHAR(20) NOT NULL, email VARCHAR(40))"},
         "PrimaryKey {0}"},
        {"primary key on the second and fourth columns", "tk_two_four",
         {"CREATE TABLE {t} (a INTEGER NOT NULL, b INTEGER NOT NULL, c INTEGER, d INTEGER NOT NULL, "
          "PRIMARY KEY (b, d))"},
         "PrimaryKey {1,3}"},
        {"composite primary key declared in another order", "tk_reversed",
         {"CREATE TABLE {t} (a INTEGER NOT NULL, b VARCHAR(5), c INTEGER NOT NULL, d INTEGER NOT NULL, "
          "PRIMARY KEY (d, a, c))"},
         "PrimaryKey {0,2,3}"},
        {"unique index of NOT NULL columns as the only key", "tk_unique",
         {"CREATE TABLE {t} (note VARCHAR(20), code VARCHAR(10) NOT NULL, seq INTEGER NOT NULL)",
          "CREATE UNIQUE INDEX tk_unique_seq_code ON {t} (seq, code)"},
         "UniqueIndex {1,2}", "PrimaryKey {1,2}"},
        // The index on the nullable column comes first in every driver's
        // order: SQLite lists the newest first, the servers by name.
        {"unique index with a nullable column beside a usable one", "tk_unique_nullable",
         {"CREATE TABLE {t} (a INTEGER NOT NULL, w INTEGER, v INTEGER NOT NULL)",
          "CREATE UNIQUE INDEX tk_unique_nullable_b ON {t} (v)",
          "CREATE UNIQUE INDEX tk_unique_nullable_a ON {t} (w)"},
         "UniqueIndex {2}", "PrimaryKey {2}"},
        {"unique index over a nullable and a NOT NULL column", "tk_unique_mixed",
         {"CREATE TABLE {t} (a INTEGER NOT NULL, w INTEGER, v INTEGER NOT NULL)",
          "CREATE UNIQUE INDEX tk_unique_mixed_wv ON {t} (w, v)"},
         "LeadingNotNull {0}"},
        // The SQLite3 driver reports such a constraint as the primary key.
        {"unique constraint on a nullable column", "tk_unique_constraint",
         {"CREATE TABLE {t} (a INTEGER NOT NULL, w INTEGER, v INTEGER NOT NULL, UNIQUE (w))"},
         "LeadingNotNull {0}"},
        {"unique constraint on a NOT NULL column", "tk_unique_constraint_nn",
         {"CREATE TABLE {t} (a INTEGER NOT NULL, w INTEGER, v INTEGER NOT NULL, UNIQUE (v))"},
         "UniqueIndex {2}", "PrimaryKey {2}"},
        {"no declared key: the leading NOT NULL columns", "tk_leading",
         {"CREATE TABLE {t} (a INTEGER NOT NULL, b VARCHAR(5) NOT NULL, c INTEGER, d INTEGER NOT NULL)"},
         "LeadingNotNull {0,1}"},
        {"first column nullable and nothing declared", "tk_none",
         {"CREATE TABLE {t} (a INTEGER, b INTEGER NOT NULL)"}, "None {}"},
        // A pattern would match tkAlike too, whose key must not count.
        {"like-named table with a key", "tkAlike",
         {"CREATE TABLE {t} (a INTEGER NOT NULL PRIMARY KEY, b INTEGER NOT NULL)"}, "PrimaryKey {0}"},
        {"like-named table without one", "tk_alike", {"CREATE TABLE {t} (a INTEGER, b INTEGER NOT NULL)"},
         "None {}"},
    };
    rawodbc::Connection raw(d.dsn);
    for (const auto& c : cases) {
        DropTables(raw, d, {c.table});
        for (const auto& statement : c.create)
            raw.Exec(WithTable(statement, Quoted(d, c.table)));
    }
    for (const auto& c : cases) {
        const bool maria = d.facts.dbms == DbmsKind::MySql && c.keyOnMariaDb;
        EXPECT_EQ(KeyText(KeyOf(c.table)), maria ? c.keyOnMariaDb : c.key) << d.dsn << ": " << c.name;
    }
    for (const auto& c : cases)
        DropTables(raw, d, {c.table});
}

// A key on a column the result does not hold cannot identify its rows: the
// next rule decides.
TEST_P(TableCatalogOnDriver, KeyOutsideTheResultColumnsIsPassedOver)
{
    const DriverCase& d = GetParam();
    rawodbc::Connection raw(d.dsn);
    const std::string table = "tk_partial";
    DropTables(raw, d, {table});
    raw.Exec("CREATE TABLE " + Quoted(d, table) +
             " (id INTEGER NOT NULL PRIMARY KEY, name VARCHAR(10) NOT NULL, email VARCHAR(10))");
    CRecordsetEx rs(db);
    rs.OpenQuery(CRecordsetEx::forwardOnly, "SELECT name, email FROM " + Quoted(d, table));
    const std::vector<ColumnInfo> columns = rs.Columns();
    rs.Close();
    EXPECT_EQ(KeyText(FindTableKey(db, table, columns)), "LeadingNotNull {0}");
    DropTables(raw, d, {table});
}

TEST_P(TableCatalogOnDriver, ForeignKeysAmongTheGivenTables)
{
    const DriverCase& d = GetParam();
    const std::vector<std::string> all = {"fk_child", "fk_parent", "fk_tree",  "fk_line", "fk_pair",
                                          "fk_orphan", "fk_other", "fk_cyc_a", "fk_cyc_b"};
    rawodbc::Connection raw(d.dsn);
    DropTables(raw, d, all);
    const std::string pk = " INTEGER NOT NULL PRIMARY KEY";
    raw.ExecAll({
        "CREATE TABLE fk_parent (id" + pk + ", name VARCHAR(20))",
        "CREATE TABLE fk_child (id" + pk + ", parent_id INTEGER NOT NULL, CONSTRAINT fk_child_parent "
        "FOREIGN KEY (parent_id) REFERENCES fk_parent (id) ON DELETE CASCADE)",
        "CREATE TABLE fk_tree (id" + pk + ", parent_id INTEGER, CONSTRAINT fk_tree_parent "
        "FOREIGN KEY (parent_id) REFERENCES fk_tree (id))",
        "CREATE TABLE fk_pair (a INTEGER NOT NULL, b INTEGER NOT NULL, PRIMARY KEY (a, b))",
        // The child's columns stand in another order than the key's.
        "CREATE TABLE fk_line (id" + pk + ", pb INTEGER, pa INTEGER, CONSTRAINT fk_line_pair "
        "FOREIGN KEY (pa, pb) REFERENCES fk_pair (a, b))",
        "CREATE TABLE fk_other (id" + pk + ")",
        "CREATE TABLE fk_orphan (id" + pk + ", other_id INTEGER, CONSTRAINT fk_orphan_other "
        "FOREIGN KEY (other_id) REFERENCES fk_other (id))",
    });
    // A cycle: SQLite takes a reference to a table that is still to come, the
    // servers add the first key once both tables stand.
    if (IsSqlite(d)) {
        raw.Exec("CREATE TABLE fk_cyc_a (id" + pk + ", b_id INTEGER, CONSTRAINT fk_cyc_a_b "
                 "FOREIGN KEY (b_id) REFERENCES fk_cyc_b (id))");
    } else {
        raw.Exec("CREATE TABLE fk_cyc_a (id" + pk + ", b_id INTEGER)");
    }
    raw.Exec("CREATE TABLE fk_cyc_b (id" + pk + ", a_id INTEGER, CONSTRAINT fk_cyc_b_a "
             "FOREIGN KEY (a_id) REFERENCES fk_cyc_a (id))");
    if (!IsSqlite(d))
        raw.Exec("ALTER TABLE fk_cyc_a ADD CONSTRAINT fk_cyc_a_b FOREIGN KEY (b_id) REFERENCES fk_cyc_b (id)");

    // fk_other is not among them: the key from fk_orphan is left out.
    const std::vector<std::string> given = {"fk_child", "fk_parent", "fk_tree",  "fk_line",
                                            "fk_pair",  "fk_orphan", "fk_cyc_a", "fk_cyc_b"};
    const std::vector<ForeignKey> keys = ForeignKeysAmong(db, given);
    // SQLite's catalog names no foreign key.
    const bool named = !IsSqlite(d);
    const auto name = [&](const char* text) { return named ? std::string(" ") + text : std::string(" "); };
    std::vector<std::string> expected = {
        "fk_child(parent_id) -> fk_parent(id)" + name("fk_child_parent"),
        "fk_cyc_a(b_id) -> fk_cyc_b(id)" + name("fk_cyc_a_b"),
        "fk_cyc_b(a_id) -> fk_cyc_a(id)" + name("fk_cyc_b_a"),
        "fk_line(pa,pb) -> fk_pair(a,b)" + name("fk_line_pair"),
        "fk_tree(parent_id) -> fk_tree(id)" + name("fk_tree_parent"),
    };
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(KeyTexts(keys, true), expected) << d.dsn;

    // With fk_other given too, its key is there.
    std::vector<std::string> withOther = given;
    withOther.push_back("fk_other");
    const std::vector<std::string> texts = KeyTexts(ForeignKeysAmong(db, withOther), false);
    EXPECT_NE(std::find(texts.begin(), texts.end(), "fk_orphan(other_id) -> fk_other(id)"), texts.end()) << d.dsn;
    DropTables(raw, d, all);
}

TEST_P(TableCatalogOnDriver, DescribesWhatAnInsertMustGive)
{
    const DriverCase& d = GetParam();
    const std::string table = "tc_target";
    // The column the DBMS numbers itself, and whether the driver calls it nullable.
    std::string numbered;
    std::string numberedText;
    switch (d.facts.dbms) {
    case DbmsKind::Sqlite:
        numbered = "id INTEGER PRIMARY KEY";  // the rowid alias
        numberedText = "id null default; ";
        break;
    case DbmsKind::PostgreSql:
        numbered = "id SERIAL PRIMARY KEY";
        numberedText = "id not-null default; ";
        break;
    default:
        // The connector reports an auto-increment column as nullable: a NULL
        // given for it takes the next number.
        numbered = "id INTEGER NOT NULL AUTO_INCREMENT PRIMARY KEY";
        numberedText = "id null default; ";
        break;
    }
    rawodbc::Connection raw(d.dsn);
    DropTables(raw, d, {table, "tcAtarget"});
    raw.Exec("CREATE TABLE " + Quoted(d, table) + " (" + numbered +
             ", must VARCHAR(10) NOT NULL, filled INTEGER NOT NULL DEFAULT 7, free VARCHAR(10), "
             "filled_free VARCHAR(10) DEFAULT 'x')");
    // Like-named: its columns must not join the description.
    raw.Exec("CREATE TABLE " + Quoted(d, "tcAtarget") + " (other INTEGER NOT NULL)");
    std::vector<TargetColumn> columns;
    ASSERT_NO_THROW(columns = DescribeTargetColumns(db, table));
    EXPECT_EQ(TargetText(columns), numberedText +
                                       "must not-null; filled not-null default; free null; filled_free null default; ")
        << d.dsn;
    DropTables(raw, d, {table, "tcAtarget"});
}

TEST_P(TableCatalogOnDriver, DescribingAMissingTableRaises)
{
    try {
        DescribeTargetColumns(db, "tc_no_such_table");
        FAIL() << "described a table that is not there";
    } catch (const DatabaseError& e) {
        EXPECT_EQ(e.state(), "42S02") << e.FullText();
    }
}

INSTANTIATE_TEST_SUITE_P(Drivers, TableCatalogOnDriver, ::testing::ValuesIn(AllDrivers()),
                         [](const auto& info) { return std::string(info.param.dsn); });

// The identity columns of PostgreSQL and the AUTOINCREMENT and WITHOUT ROWID
// variants of SQLite's rowid.
TEST(TableCatalog, IdentityAndRowidVariants)
{
    REQUIRE_TEST_DATA_SOURCES();
    struct Case {
        const char* dsn;
        const char* create;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {testenv::kPostgres,
         "CREATE TABLE tc_ident (a INTEGER GENERATED ALWAYS AS IDENTITY, b BIGINT GENERATED BY DEFAULT AS IDENTITY, "
         "c INTEGER NOT NULL)",
         "a not-null default; b not-null default; c not-null; "},
        {testenv::kSqliteOld, "CREATE TABLE tc_ident (k INTEGER PRIMARY KEY AUTOINCREMENT, v TEXT NOT NULL)",
         "k null default; v not-null; "},
        {testenv::kSqliteOld, "CREATE TABLE tc_ident (k INTEGER NOT NULL PRIMARY KEY, v TEXT) WITHOUT ROWID",
         "k not-null; v null; "},
        // Not INTEGER: no alias of the rowid.
        {testenv::kSqliteOld, "CREATE TABLE tc_ident (k INT8 NOT NULL PRIMARY KEY, v TEXT)", "k not-null; v null; "},
    };
    for (const auto& c : cases) {
        rawodbc::Connection raw(c.dsn);
        raw.ExecIgnoringErrors("DROP TABLE tc_ident");
        raw.Exec(c.create);
        CDatabase db;
        ASSERT_TRUE(db.OpenDataSource(c.dsn));
        EXPECT_EQ(TargetText(DescribeTargetColumns(db, "tc_ident")), c.expected) << c.create;
        raw.Exec("DROP TABLE tc_ident");
    }
}

TEST(TableCatalog, SqliteIntegerPrimaryKeyIsTheKey)
{
    REQUIRE_TEST_DATA_SOURCES();
    rawodbc::Connection raw(testenv::kSqliteOld);
    raw.ExecIgnoringErrors("DROP TABLE tk_rowid");
    raw.Exec("CREATE TABLE tk_rowid (v TEXT NOT NULL, id INTEGER PRIMARY KEY, w TEXT)");
    CDatabase db;
    ASSERT_TRUE(db.OpenDataSource(testenv::kSqliteOld));
    CRecordsetEx rs(db);
    rs.OpenTable("tk_rowid");
    EXPECT_EQ(KeyText(FindTableKey(db, "tk_rowid", rs.Columns())), "PrimaryKey {1}");
    rs.Close();
    raw.Exec("DROP TABLE tk_rowid");
}

// A partial unique index holds some rows only: it tells those apart, not all.
// The SQLite3 driver and psqlODBC list it like any other.
TEST(TableCatalog, PartialUniqueIndexIsNoKey)
{
    REQUIRE_TEST_DATA_SOURCES();
    for (const char* dsn : {testenv::kSqliteOld, testenv::kPostgres}) {
        rawodbc::Connection raw(dsn);
        raw.ExecAll({"DROP TABLE IF EXISTS tk_partial_index",
                     "CREATE TABLE tk_partial_index (a INTEGER NOT NULL, w INTEGER, v INTEGER NOT NULL, "
                     "x INTEGER NOT NULL)",
                     "CREATE UNIQUE INDEX tk_partial_index_v ON tk_partial_index (v) WHERE w > 0",
                     "CREATE UNIQUE INDEX tk_partial_index_x ON tk_partial_index (x)"});
        CDatabase db;
        ASSERT_TRUE(db.OpenDataSource(dsn));
        CRecordsetEx rs(db);
        rs.OpenTable("tk_partial_index");
        EXPECT_EQ(KeyText(FindTableKey(db, "tk_partial_index", rs.Columns())), "UniqueIndex {3}") << dsn;
        rs.Close();
        raw.Exec("DROP INDEX tk_partial_index_x");
        rs.OpenTable("tk_partial_index");
        EXPECT_EQ(KeyText(FindTableKey(db, "tk_partial_index", rs.Columns())), "LeadingNotNull {0}") << dsn;
        rs.Close();
        raw.Exec("DROP TABLE tk_partial_index");
    }
}

// SQLite's catalog gives the parent as the foreign key clause spelled it, and
// no parent columns where the clause names none; foreign keys are listed
// whether the connection enforces them (FKSupport=1) or not.
TEST(TableCatalog, SqliteForeignKeysAsTheClauseWroteThem)
{
    REQUIRE_TEST_DATA_SOURCES();
    const std::string file = testenv::SqliteFile("scratch").string();
    const std::vector<std::string> sources = {testenv::kSqliteScratch,
                                              "Driver=SQLite3;Database=" + file + ";FKSupport=1"};
    {
        rawodbc::Connection raw(testenv::kSqliteScratch);
        raw.ExecAll({"DROP TABLE IF EXISTS fs_child", "DROP TABLE IF EXISTS fs_pair",
                     "CREATE TABLE fs_pair (a INTEGER NOT NULL, b INTEGER NOT NULL, PRIMARY KEY (b, a))",
                     "CREATE TABLE fs_child (id INTEGER PRIMARY KEY, x INTEGER, y INTEGER, "
                     "FOREIGN KEY (x, y) REFERENCES FS_Pair, FOREIGN KEY (y) REFERENCES Fs_Child (id))"});
    }
    for (const auto& source : sources) {
        CDatabase db;
        ASSERT_TRUE(db.OpenDataSource(source));
        const std::vector<std::string> expected = {"fs_child(x,y) -> fs_pair(b,a)", "fs_child(y) -> fs_child(id)"};
        EXPECT_EQ(KeyTexts(ForeignKeysAmong(db, {"fs_pair", "fs_child"}), false), expected) << source;
        // Two tables alike but for case: the spelling of the clause decides nothing.
        const std::vector<std::string> ambiguous = {"fs_child(y) -> fs_child(id)"};
        EXPECT_EQ(KeyTexts(ForeignKeysAmong(db, {"fs_pair", "FS_PAIR2", "fs_child"}), false), expected) << source;
        EXPECT_EQ(KeyTexts(ForeignKeysAmong(db, {"FS_pair", "fs_PAIR", "fs_child"}), false), ambiguous) << source;
    }
    rawodbc::Connection raw(testenv::kSqliteScratch);
    raw.ExecAll({"DROP TABLE fs_child", "DROP TABLE fs_pair"});
}

// A same-named table that the connection's own queries do not read must not
// lend its key: on PostgreSQL one in a schema off the search path, on MariaDB
// one in another database the login sees.
TEST(TableCatalog, TableElsewhereLendsNoKey)
{
    REQUIRE_TEST_DATA_SOURCES();
    struct Case {
        const char* dsn;
        std::vector<std::string> setUp;
        std::vector<std::string> tearDown;
    };
    // The child refers to the table elsewhere and to itself: only the second
    // key is one among the tables given.
    const std::string child = "CREATE TABLE tk_elsewhere_child (id INTEGER NOT NULL PRIMARY KEY, p INTEGER, "
                              "q INTEGER, FOREIGN KEY (q) REFERENCES tk_elsewhere_child (id), FOREIGN KEY (p) "
                              "REFERENCES ";
    const std::vector<Case> cases = {
        {testenv::kPostgres,
         {"DROP TABLE IF EXISTS tk_elsewhere_child", "DROP TABLE IF EXISTS tk_elsewhere",
          "DROP SCHEMA IF EXISTS tk_other CASCADE", "CREATE SCHEMA tk_other",
          "CREATE TABLE tk_other.tk_elsewhere (a INTEGER NOT NULL PRIMARY KEY, b INTEGER NOT NULL UNIQUE)",
          "CREATE TABLE tk_elsewhere (a INTEGER, b INTEGER)", child + "tk_other.tk_elsewhere (a))"},
         {"DROP TABLE tk_elsewhere_child", "DROP TABLE tk_elsewhere", "DROP SCHEMA tk_other CASCADE"}},
        {testenv::kMariaDb,
         {"DROP TABLE IF EXISTS tk_elsewhere_child", "DROP TABLE IF EXISTS tk_elsewhere",
          "DROP TABLE IF EXISTS tolvane_cli_old.tk_elsewhere",
          "CREATE TABLE tolvane_cli_old.tk_elsewhere (a INTEGER NOT NULL PRIMARY KEY, b INTEGER NOT NULL UNIQUE)",
          "CREATE TABLE tk_elsewhere (a INTEGER, b INTEGER)", child + "tolvane_cli_old.tk_elsewhere (a))"},
         {"DROP TABLE tk_elsewhere_child", "DROP TABLE tk_elsewhere", "DROP TABLE tolvane_cli_old.tk_elsewhere"}},
    };
    for (const auto& c : cases) {
        rawodbc::Connection raw(c.dsn);
        raw.ExecAll(c.setUp);
        CDatabase db;
        ASSERT_TRUE(db.OpenDataSource(c.dsn));
        CRecordsetEx rs(db);
        rs.OpenTable("tk_elsewhere");
        EXPECT_EQ(KeyText(FindTableKey(db, "tk_elsewhere", rs.Columns())), "None {}") << c.dsn;
        rs.Close();
        EXPECT_EQ(TargetText(DescribeTargetColumns(db, "tk_elsewhere")), "a null; b null; ") << c.dsn;
        EXPECT_EQ(KeyTexts(ForeignKeysAmong(db, {"tk_elsewhere", "tk_elsewhere_child"}), false),
                  std::vector<std::string>{"tk_elsewhere_child(q) -> tk_elsewhere_child(id)"})
            << c.dsn;
        raw.ExecAll(c.tearDown);
    }
}

// psqlODBC alone looks in current_schema() only; the table an unqualified
// query reads may stand further along the search path.
TEST(TableCatalog, PostgresFollowsTheWholeSearchPath)
{
    REQUIRE_TEST_DATA_SOURCES();
    rawodbc::Connection raw(testenv::kPostgres);
    raw.ExecAll({"DROP SCHEMA IF EXISTS tk_front CASCADE", "DROP TABLE IF EXISTS tk_behind", "CREATE SCHEMA tk_front",
                 "CREATE TABLE tk_behind (v VARCHAR(5) NOT NULL, id INTEGER NOT NULL PRIMARY KEY)"});
    CDatabase db;
    ASSERT_TRUE(db.OpenDataSource(testenv::kPostgres));
    {
        CRecordsetEx rs(db);
        rs.ExecuteDirect("SET search_path = tk_front, public");
        rs.OpenTable("tk_behind");
        EXPECT_EQ(KeyText(FindTableKey(db, "tk_behind", rs.Columns())), "PrimaryKey {1}");
    }
    EXPECT_EQ(TargetText(DescribeTargetColumns(db, "tk_behind")), "v not-null; id not-null; ");
    db.Close();
    raw.ExecAll({"DROP TABLE tk_behind", "DROP SCHEMA tk_front CASCADE"});
}

} // namespace
