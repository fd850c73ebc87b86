// The merge as a user meets it on ordinary schemas, on every driver: an old
// and a new data source are compared by the compare run, the merge file is
// merged into a third data source that starts as a copy of the old one, and
// the test's own query then reads what the target holds. A merge changes
// exactly what the comparison found, or nothing.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>

#include "RawOdbc.h"
#include "RecordingReporter.h"
#include "TestEnv.h"
#include "common/CompareSettings.h"
#include "datasource/CDatabase.h"
#include "workflow/CompareRun.h"
#include "workflow/MergeRun.h"

namespace {

namespace fs = std::filesystem;

using testenv::Dbms;

std::string ConnectionString(Dbms dbms, const std::string& role, const fs::path& folder)
{
    return testenv::RoleConnectionString(dbms, role, folder);
}

// Tests of several programs share the servers' databases: tables carry the
// process's own prefix.
const std::string kPrefix = "mr" + std::to_string(::getpid()) + "_";

// "{t}" in a statement stands for the prefix.
std::string Named(std::string sql)
{
    for (std::size_t at = sql.find("{t}"); at != std::string::npos; at = sql.find("{t}", at))
        sql.replace(at, 3, kPrefix);
    return sql;
}

std::vector<std::string> Named(const std::vector<std::string>& statements)
{
    std::vector<std::string> named;
    for (const std::string& statement : statements)
        named.push_back(Named(statement));
    return named;
}

struct Scenario {
    const char* name;
    std::vector<std::string> tables;        // in the order of the list, without prefix
    std::vector<std::string> oldSchema;     // for the old data source and the target
    std::vector<std::string> newSchema;     // empty: the old schema
    std::vector<std::string> targetSchema;  // empty: the old schema
    std::vector<std::string> oldRows;
    std::vector<std::string> newRows;
    std::vector<std::string> checks;        // queries whose rows the target must give as new gives them
    // What the merge must come to; with Problems the target must stay as old.
    MergeOutcome outcome = MergeOutcome::Done;
    std::vector<Dbms> only;                 // empty: every driver
};

class MergeRunOnDriver : public ::testing::TestWithParam<Dbms> {
protected:
    void SetUp() override
    {
        REQUIRE_TEST_DATA_SOURCES();
        for (const char* role : {"old", "new", "merge"})
            dsn[role] = ConnectionString(GetParam(), role, work.path());
    }

    void Drop(rawodbc::Connection& connection, const Scenario& scenario)
    {
        // Children first, then again for tables a cycle kept.
        for (int round = 0; round < 2; ++round)
            for (auto table = scenario.tables.rbegin(); table != scenario.tables.rend(); ++table)
                connection.ExecIgnoringErrors("DROP TABLE " + kPrefix + *table);
    }

    // Creates and fills old, new and target, compares old with new, merges
    // into the target; returns the merge's status.
    MergeStatus Run(const Scenario& scenario, RecordingReporter& reporter,
                    const CompareSettings& markers = CompareSettings())
    {
        const auto schema = [&](const std::vector<std::string>& own) {
            return Named(own.empty() ? scenario.oldSchema : own);
        };
        for (const char* role : {"old", "new", "merge"}) {
            rawodbc::Connection connection(dsn[role]);
            Drop(connection, scenario);
            const std::string r = role;
            connection.ExecAll(schema(r == "new" ? scenario.newSchema : r == "merge" ? scenario.targetSchema
                                                                                     : scenario.oldSchema));
            connection.ExecAll(Named(r == "new" ? scenario.newRows : scenario.oldRows));
        }
        CDatabase oldDatabase, newDatabase;
        EXPECT_TRUE(oldDatabase.OpenDataSource(dsn["old"]));
        EXPECT_TRUE(newDatabase.OpenDataSource(dsn["new"]));
        std::vector<TablePairRow> pairs;
        for (const std::string& table : scenario.tables)
            pairs.push_back({kPrefix + table, kPrefix + table, true});
        struct GoOn : CompareRunProgress {
            bool PairStarting(std::size_t, std::size_t, const TablePairRow&) override { return true; }
        } progress;
        CompareSettings settings = markers;
        CompareRun compare(settings, oldDatabase, newDatabase, {"old", "new", work.str() + "/", true, false, false});
        const CompareRunReport report = compare.Run(pairs, progress);
        EXPECT_FALSE(report.error) << report.ErrorText();
        mergeFile = compare.MergeFilePath();

        MergeRun run;
        const MergeStatus read = run.Read(mergeFile, markers);
        if (!read.Ok())
            return read;
        CDatabase target;
        EXPECT_TRUE(target.OpenDataSource(dsn["merge"]));
        std::vector<std::size_t> all(run.Tables().size());
        for (std::size_t i = 0; i < all.size(); ++i)
            all[i] = i;
        const MergeStatus generated = run.Generate(target, all, statements);
        if (!generated.Ok())
            return generated;
        return run.Execute(target, statements, reporter);
    }

    std::vector<rawodbc::Row> Rows(const char* role, const std::string& query)
    {
        rawodbc::Connection connection(dsn[role]);
        return connection.Query(Named(query));
    }

    testenv::TempDir work;
    std::map<std::string, std::string> dsn;
    std::string mergeFile;
    std::vector<GeneratedStatement> statements;
};

std::vector<Scenario> Scenarios()
{
    return {
        // A rename of a row whose primary key follows a NOT NULL column: one
        // UPDATE, and the children a cascade would take stay.
        {"RenameKeepsTheRowAndItsChildren",
         {"customers", "orders"},
         {"CREATE TABLE {t}customers (name VARCHAR(20) NOT NULL, id INTEGER NOT NULL PRIMARY KEY, email VARCHAR(40))",
          "CREATE TABLE {t}orders (id INTEGER NOT NULL PRIMARY KEY, cust INTEGER NOT NULL REFERENCES "
          "{t}customers(id) ON DELETE CASCADE, item VARCHAR(20))"},
         {},
         {},
         {"INSERT INTO {t}customers VALUES ('Ann', 1, NULL)", "INSERT INTO {t}customers VALUES ('Bob', 2, 'b@x')",
          "INSERT INTO {t}orders VALUES (10, 1, 'tea')", "INSERT INTO {t}orders VALUES (11, 1, 'cake')"},
         {"INSERT INTO {t}customers VALUES ('Anna', 1, NULL)", "INSERT INTO {t}customers VALUES ('Bob', 2, 'b@x')",
          "INSERT INTO {t}orders VALUES (10, 1, 'tea')", "INSERT INTO {t}orders VALUES (11, 1, 'cake')"},
         {"SELECT id, name, email FROM {t}customers ORDER BY id", "SELECT id, cust, item FROM {t}orders ORDER BY id"},
         MergeOutcome::Done,
         {}},
        // A key the target's collation takes for equal: the INSERT of 'ABC'
        // fails, and the DELETE of 'abc' must not stay alone.
        {"AKeyEqualUnderTheCollationChangesNothing",
         {"codes"},
         {"CREATE TABLE {t}codes (code VARCHAR(10) COLLATE utf8mb4_general_ci NOT NULL PRIMARY KEY, v INTEGER)"},
         {"CREATE TABLE {t}codes (code VARCHAR(10) COLLATE utf8mb4_bin NOT NULL PRIMARY KEY, v INTEGER)"},
         {},
         {"INSERT INTO {t}codes VALUES ('abc', 1)"},
         {"INSERT INTO {t}codes VALUES ('ABC', 1)"},
         {},
         MergeOutcome::Problems,
         {Dbms::MariaDB}},
        // A key that is not unique: the UPDATE would change three rows.
        {"AKeyThatIsNotUniqueChangesNothing",
         {"cats"},
         {"CREATE TABLE {t}cats (cat VARCHAR(5) NOT NULL, v VARCHAR(5))"},
         {},
         {},
         {"INSERT INTO {t}cats VALUES ('a', '1')", "INSERT INTO {t}cats VALUES ('a', '2')",
          "INSERT INTO {t}cats VALUES ('a', '3')"},
         {"INSERT INTO {t}cats VALUES ('a', '1')", "INSERT INTO {t}cats VALUES ('a', '2X')",
          "INSERT INTO {t}cats VALUES ('a', '3')"},
         {"SELECT cat, v FROM {t}cats ORDER BY v"},
         MergeOutcome::Problems,
         {}},
        // No key at all: rows are found by all their columns, NULL among them,
        // and one of equal rows goes at a time.
        {"ATableWithoutKeyEndsAsTheNewOne",
         {"loose"},
         {"CREATE TABLE {t}loose (n VARCHAR(5), v INTEGER, r REAL)"},
         {},
         {},
         {"INSERT INTO {t}loose VALUES (NULL, 1, 0.1)", "INSERT INTO {t}loose VALUES ('x', 2, 0.5)",
          "INSERT INTO {t}loose VALUES ('x', 2, 0.5)", "INSERT INTO {t}loose VALUES ('y', 3, NULL)",
          "INSERT INTO {t}loose VALUES (NULL, 7, 0.1)"},
         {"INSERT INTO {t}loose VALUES (NULL, 1, 0.1)", "INSERT INTO {t}loose VALUES ('x', 2, 0.5)",
          "INSERT INTO {t}loose VALUES ('y', 4, NULL)", "INSERT INTO {t}loose VALUES ('z', 5, 1.5)",
          "INSERT INTO {t}loose VALUES ('z', 5, 1.5)"},
         {"SELECT n, v, r FROM {t}loose ORDER BY n, v"},
         MergeOutcome::Done,
         {}},
        // A new parent with a new child, and a removed parent with its
        // children, the child table listed first.
        {"ForeignKeysOrderTheStatements",
         {"kids", "parents"},
         {"CREATE TABLE {t}parents (id INTEGER NOT NULL PRIMARY KEY, name VARCHAR(10))",
          "CREATE TABLE {t}kids (id INTEGER NOT NULL PRIMARY KEY, parent INTEGER NOT NULL REFERENCES {t}parents(id), "
          "name VARCHAR(10))"},
         {},
         {},
         {"INSERT INTO {t}parents VALUES (1, 'one')", "INSERT INTO {t}parents VALUES (2, 'two')",
          "INSERT INTO {t}kids VALUES (10, 1, 'a')", "INSERT INTO {t}kids VALUES (20, 2, 'b')",
          "INSERT INTO {t}kids VALUES (21, 2, 'c')"},
         {"INSERT INTO {t}parents VALUES (1, 'one')", "INSERT INTO {t}parents VALUES (3, 'three')",
          "INSERT INTO {t}kids VALUES (10, 3, 'a')", "INSERT INTO {t}kids VALUES (30, 3, 'd')"},
         {"SELECT id, name FROM {t}parents ORDER BY id", "SELECT id, parent, name FROM {t}kids ORDER BY id"},
         MergeOutcome::Done,
         {}},
        // A table that refers to itself: a new child stored before its new
        // parent, and removed rows whose children go first.
        {"ASelfReferenceOrdersTheRows",
         {"nodes"},
         {"CREATE TABLE {t}nodes (id INTEGER NOT NULL PRIMARY KEY, parent INTEGER REFERENCES {t}nodes(id), "
          "name VARCHAR(10))"},
         // The new data source holds the rows in an order its own foreign key would refuse.
         {"CREATE TABLE {t}nodes (id INTEGER NOT NULL PRIMARY KEY, parent INTEGER, name VARCHAR(10))"},
         {},
         {"INSERT INTO {t}nodes VALUES (1, NULL, 'root')", "INSERT INTO {t}nodes VALUES (5, 1, 'old')",
          "INSERT INTO {t}nodes VALUES (6, 5, 'older')", "INSERT INTO {t}nodes VALUES (7, 6, 'oldest')"},
         {"INSERT INTO {t}nodes VALUES (1, NULL, 'root')", "INSERT INTO {t}nodes VALUES (3, 2, 'grandchild')",
          "INSERT INTO {t}nodes VALUES (2, 1, 'child')"},
         {"SELECT id, parent, name FROM {t}nodes ORDER BY id"},
         MergeOutcome::Done,
         {}},
        // The target keeps its columns in another order: every value still
        // goes into its own column.
        {"ColumnsGoByName",
         {"people"},
         {"CREATE TABLE {t}people (id INTEGER NOT NULL PRIMARY KEY, name VARCHAR(10), town VARCHAR(10))"},
         {},
         {"CREATE TABLE {t}people (town VARCHAR(10), name VARCHAR(10), id INTEGER NOT NULL PRIMARY KEY)"},
         {"INSERT INTO {t}people (id, name, town) VALUES (1, 'Ann', 'Oslo')",
          "INSERT INTO {t}people (id, name, town) VALUES (2, 'Bob', 'Rome')"},
         {"INSERT INTO {t}people (id, name, town) VALUES (1, 'Ann', 'Bonn')",
          "INSERT INTO {t}people (id, name, town) VALUES (3, 'Cy', 'Lima')"},
         {"SELECT id, name, town FROM {t}people ORDER BY id"},
         MergeOutcome::Done,
         {}},
    };
}

// The scenarios of one driver: a missing target copy aside, the target ends as
// the new data source, or stays as the old one when the merge could not do
// exactly what the comparison found.
TEST_P(MergeRunOnDriver, TheTargetHoldsTheNewDataOrWhatItHeld)
{
    for (const Scenario& scenario : Scenarios()) {
        if (!scenario.only.empty() &&
            std::find(scenario.only.begin(), scenario.only.end(), GetParam()) == scenario.only.end())
            continue;
        SCOPED_TRACE(scenario.name);
        RecordingReporter reporter;
        const MergeStatus status = Run(scenario, reporter);
        std::string reports;
        for (const auto& report : reporter.reports)
            reports += report.message + "\n----\n";
        EXPECT_EQ(status.outcome, scenario.outcome) << status.message << "\n" << reports;
        std::vector<std::string> checks = scenario.checks;
        if (checks.empty())
            checks.push_back("SELECT * FROM {t}" + scenario.tables.front());
        for (const std::string& query : checks) {
            const char* wanted = scenario.outcome == MergeOutcome::Done ? "new" : "old";
            EXPECT_EQ(Rows("merge", query), Rows(wanted, query)) << query;
        }
        rawodbc::Connection connection(dsn["merge"]);
        Drop(connection, scenario);
    }
}

// With empty line prefixes only the section headers tell a row's side: a
// removed row that follows added rows in a run must still be deleted. Rows
// deleted, added, changed and moved, in many runs.
TEST_P(MergeRunOnDriver, EmptyPrefixesWithHeadersStillTellTheSides)
{
    Scenario scenario;
    scenario.name = "sides";
    scenario.tables = {"sides"};
    scenario.oldSchema = {"CREATE TABLE {t}sides (id INTEGER NOT NULL PRIMARY KEY, v VARCHAR(10))"};
    for (int id = 1; id <= 40; ++id) {
        scenario.oldRows.push_back("INSERT INTO {t}sides VALUES (" + std::to_string(id) + ", 'v" + std::to_string(id) +
                                   "')");
        // The new side in reverse order: every fifth row gone, every third changed, a new one every seventh.
        const int back = 41 - id;
        if (back % 5 == 0)
            continue;
        scenario.newRows.push_back("INSERT INTO {t}sides VALUES (" + std::to_string(back) + ", '" +
                                   (back % 3 == 0 ? "w" : "v") + std::to_string(back) + "')");
        if (back % 7 == 0)
            scenario.newRows.push_back("INSERT INTO {t}sides VALUES (" + std::to_string(100 + back) + ", 'n')");
    }
    CompareSettings markers;
    markers.m_strFile1LinePrefix.clear();
    markers.m_strFile2LinePrefix.clear();
    markers.m_strFile1SectionHeader = "<old>";
    markers.m_strFile2SectionHeader = "<new>";
    RecordingReporter reporter;
    const MergeStatus status = Run(scenario, reporter, markers);
    EXPECT_EQ(status.outcome, MergeOutcome::Done) << status.message << "\n" << testenv::ReadFile(mergeFile);
    const std::string query = "SELECT id, v FROM {t}sides ORDER BY id";
    EXPECT_EQ(Rows("merge", query), Rows("new", query));
    rawodbc::Connection connection(dsn["merge"]);
    Drop(connection, scenario);
}

// Two tables whose foreign keys refer to each other, a new row in each that
// refers to the other: no order of inserts works. The SQL Preview's first row
// says so; SQLite and PostgreSQL check the keys at the commit and the merge
// works, MariaDB cannot defer them and the merge changes nothing.
TEST_P(MergeRunOnDriver, ACycleOfForeignKeysIsNotedAndDeferredWhereTheDbmsCan)
{
    const Dbms dbms = GetParam();
    const auto dropBoth = [&](rawodbc::Connection& connection) {
        if (dbms == Dbms::SQLite)
            connection.ExecIgnoringErrors("PRAGMA foreign_keys = OFF");
        if (dbms == Dbms::MariaDB)
            connection.ExecIgnoringErrors("SET FOREIGN_KEY_CHECKS = 0");
        for (const char* table : {"{t}ca", "{t}cb"})
            connection.ExecIgnoringErrors(Named(std::string("DROP TABLE ") + table +
                                                (dbms == Dbms::PostgreSQL ? " CASCADE" : "")));
    };
    const std::string deferrable = dbms == Dbms::MariaDB ? "" : " DEFERRABLE INITIALLY IMMEDIATE";
    std::vector<std::string> keyed;
    if (dbms == Dbms::SQLite) {
        keyed = {"CREATE TABLE {t}ca (id INTEGER NOT NULL PRIMARY KEY, b INTEGER REFERENCES {t}cb(id)" + deferrable + ")",
                 "CREATE TABLE {t}cb (id INTEGER NOT NULL PRIMARY KEY, a INTEGER REFERENCES {t}ca(id)" + deferrable + ")"};
    } else {
        keyed = {"CREATE TABLE {t}ca (id INTEGER NOT NULL PRIMARY KEY, b INTEGER)",
                 "CREATE TABLE {t}cb (id INTEGER NOT NULL PRIMARY KEY, a INTEGER, FOREIGN KEY (a) REFERENCES {t}ca(id)" +
                     deferrable + ")",
                 "ALTER TABLE {t}ca ADD FOREIGN KEY (b) REFERENCES {t}cb(id)" + deferrable};
    }
    const std::vector<std::string> plain = {"CREATE TABLE {t}ca (id INTEGER NOT NULL PRIMARY KEY, b INTEGER)",
                                            "CREATE TABLE {t}cb (id INTEGER NOT NULL PRIMARY KEY, a INTEGER)"};
    for (const char* role : {"old", "new", "merge"}) {
        rawodbc::Connection connection(dsn[role]);
        dropBoth(connection);
        connection.ExecAll(Named(std::string(role) == "new" ? plain : keyed));
    }
    rawodbc::Connection(dsn["new"]).ExecAll(
        Named(std::vector<std::string>{"INSERT INTO {t}ca VALUES (1, 1)", "INSERT INTO {t}cb VALUES (1, 1)"}));
    CDatabase oldDatabase, newDatabase, target;
    ASSERT_TRUE(oldDatabase.OpenDataSource(dsn["old"]));
    ASSERT_TRUE(newDatabase.OpenDataSource(dsn["new"]));
    struct GoOn : CompareRunProgress {
        bool PairStarting(std::size_t, std::size_t, const TablePairRow&) override { return true; }
    } progress;
    CompareRun compare(CompareSettings(), oldDatabase, newDatabase, {"old", "new", work.str() + "/", true, false, false});
    const CompareRunReport report =
        compare.Run({{kPrefix + "ca", kPrefix + "ca", true}, {kPrefix + "cb", kPrefix + "cb", true}}, progress);
    ASSERT_FALSE(report.error) << report.ErrorText();
    MergeRun run;
    ASSERT_TRUE(run.Read(compare.MergeFilePath(), CompareSettings()).Ok());
    ASSERT_TRUE(target.OpenDataSource(dsn["merge"]));
    ASSERT_TRUE(run.Generate(target, {0, 1}, statements).Ok());
    ASSERT_GE(statements.size(), 3u);
    EXPECT_EQ(statements[0].kind, StatementKind::Note);
    EXPECT_EQ(statements[0].text, "-- The foreign keys of " + kPrefix + "ca, " + kPrefix +
                                      "cb form a cycle: their statements keep the order of the list.");
    EXPECT_EQ(statements[1].kind == StatementKind::Setting, dbms != Dbms::MariaDB);
    RecordingReporter reporter;
    const MergeStatus status = run.Execute(target, statements, reporter);
    target.Close();
    const std::string query = "SELECT id, b FROM {t}ca UNION ALL SELECT id, a FROM {t}cb";
    if (dbms == Dbms::MariaDB) {
        EXPECT_EQ(status.outcome, MergeOutcome::Problems) << status.message;
        EXPECT_TRUE(Rows("merge", query).empty());
    } else {
        EXPECT_EQ(status.outcome, MergeOutcome::Done) << status.message;
        EXPECT_EQ(Rows("merge", query), Rows("new", query));
    }
    for (const char* role : {"old", "new", "merge"}) {
        rawodbc::Connection connection(dsn[role]);
        dropBoth(connection);
    }
}

// The foreign key scenarios prove something only where the target enforces
// foreign keys: an orphan row must be refused there.
TEST_P(MergeRunOnDriver, TheTargetEnforcesForeignKeys)
{
    rawodbc::Connection target(dsn["merge"]);
    target.ExecIgnoringErrors(Named("DROP TABLE {t}fk_child"));
    target.ExecIgnoringErrors(Named("DROP TABLE {t}fk_parent"));
    target.ExecAll(Named(std::vector<std::string>{
        "CREATE TABLE {t}fk_parent (id INTEGER NOT NULL PRIMARY KEY)",
        "CREATE TABLE {t}fk_child (id INTEGER NOT NULL PRIMARY KEY, parent INTEGER REFERENCES {t}fk_parent(id))"}));
    EXPECT_THROW(target.Exec(Named("INSERT INTO {t}fk_child VALUES (1, 7)")), std::runtime_error);
    target.Exec(Named("DROP TABLE {t}fk_child"));
    target.Exec(Named("DROP TABLE {t}fk_parent"));
}

INSTANTIATE_TEST_SUITE_P(Drivers, MergeRunOnDriver,
                         ::testing::Values(Dbms::SQLite, Dbms::PostgreSQL, Dbms::MariaDB),
                         [](const ::testing::TestParamInfo<Dbms>& info) { return testenv::DbmsLabel(info.param); });

} // namespace
