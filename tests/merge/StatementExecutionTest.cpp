#include "merge/StatementExecution.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "RawOdbc.h"
#include "RecordingReporter.h"
#include "TestEnv.h"
#include "datasource/CDatabase.h"
#include "datasource/CRecordsetEx.h"

namespace {

struct Target {
    const char* dsn;
    const char* quote;
};

void PrintTo(const Target& target, std::ostream* os)
{
    *os << target.dsn;
}

const Target kTargets[] = {
    {testenv::kPostgres, "\""},
    {testenv::kSqliteScratch, "\""},
    {testenv::kMariaDb, "`"},
};

struct ExecutionCase {
    Target target;
    bool keep;  // the answer to "keep the changes of the other statements?"
};

void PrintTo(const ExecutionCase& c, std::ostream* os)
{
    *os << c.target.dsn << (c.keep ? " keep" : " undo");
}

class ExecutionOnDriver : public testing::TestWithParam<ExecutionCase> {};

// Every statement that did not run as expected is reported once with its
// count; one that changed three rows is undone at once; then the user decides
// whether the others stay.
TEST_P(ExecutionOnDriver, ReportsEveryProblemOnceAndKeepsTheOthersOnlyWhenTold)
{
    REQUIRE_TEST_DATA_SOURCES();
    const Target& target = GetParam().target;
    const bool keep = GetParam().keep;
    const std::string table = std::string("ex_t_") + (keep ? "keep" : "undo");
    auto named = [&](std::string sql) {
        for (std::size_t at = sql.find("ex_t"); at != std::string::npos; at = sql.find("ex_t", at + table.size()))
            sql.replace(at, 4, table);
        return sql;
    };
    rawodbc::Connection setup(target.dsn);
    setup.ExecIgnoringErrors(named("DROP TABLE ex_t"));
    setup.ExecAll({named("CREATE TABLE ex_t (id INTEGER NOT NULL PRIMARY KEY, v VARCHAR(20), grp INTEGER)"),
                   named("INSERT INTO ex_t VALUES (1, 'x', 1)"), named("INSERT INTO ex_t VALUES (2, 'x', 2)"),
                   named("INSERT INTO ex_t VALUES (3, 'x', 2)"), named("INSERT INTO ex_t VALUES (4, 'x', 2)"),
                   named("INSERT INTO ex_t VALUES (5, 'x', 3)")});
    const std::vector<std::string> statements = {
        named("UPDATE ex_t SET v='a' WHERE id=1"),
        named("INSERT INTO ex_t VALUES (1, 'duplicate', 0)"),
        named("UPDATE ex_t SET v='b' WHERE grp=2"),
        named("DELETE FROM ex_t WHERE id=99"),
        named("INSERT INTO ex_t VALUES (6, 'new', 4)"),
        named("DELETE FROM ex_t WHERE "),
        named("UPDATE ex_t SET v='c' WHERE id=5"),
    };
    std::vector<GeneratedStatement> generated = Statements(statements);
    generated[5].problem = "The statement is incomplete and was not sent to the data source.\n";

    CDatabase database;
    ASSERT_TRUE(database.OpenDataSource(target.dsn));
    RecordingReporter reporter;
    reporter.keepAnswer = keep;
    const ExecutionResult totals = ExecuteStatements(database, generated, reporter);

    EXPECT_EQ(totals.run, 7u);
    EXPECT_EQ(totals.failed, 2u);
    EXPECT_EQ(totals.manyRows, 1u);
    EXPECT_EQ(totals.noRow, 1u);
    EXPECT_EQ(totals.Problems(), 4u);
    EXPECT_FALSE(totals.AllSucceeded());
    EXPECT_EQ(reporter.keepAsked, 1);
    EXPECT_EQ(totals.committed, keep);
    ASSERT_EQ(reporter.reports.size(), 4u);
    const auto& duplicate = reporter.reports[0];
    EXPECT_TRUE(duplicate.failed);
    EXPECT_EQ(duplicate.statement, statements[1]);
    // The driver's text, its own line break, "\n", then the statement.
    ASSERT_GT(duplicate.message.size(), statements[1].size() + 2);
    EXPECT_TRUE(duplicate.message.ends_with("\n\n" + statements[1])) << duplicate.message;
    const auto& three = reporter.reports[1];
    EXPECT_EQ(three.kind, StatementProblem::Kind::ManyRows);
    EXPECT_EQ(three.rows, 3);
    EXPECT_EQ(three.message, "3 records were affected by statement:\n" + statements[2] +
                                 "\n\nThe statement was undone: a statement of the merge may change one row only.");
    const auto& none = reporter.reports[2];
    EXPECT_EQ(none.kind, StatementProblem::Kind::NoRow);
    EXPECT_EQ(none.rows, 0);
    EXPECT_EQ(none.message, "0 records were affected by statement:\n" + statements[3]);
    EXPECT_TRUE(reporter.reports[3].failed);
    EXPECT_EQ(reporter.reports[3].kind, StatementProblem::Kind::NotSent);
    EXPECT_EQ(reporter.reports[3].statement, statements[5]);
    // Not sent: on PostgreSQL a statement that cannot be parsed makes the
    // driver roll back the whole transaction.
    EXPECT_EQ(reporter.reports[3].message,
              "The statement is incomplete and was not sent to the data source.\n\n" + statements[5]);

    // Another connection sees what stayed: the others when kept, nothing when undone.
    rawodbc::Connection check(target.dsn);
    std::vector<std::string> values;
    for (const auto& row : check.Query(named("SELECT id, v FROM ex_t ORDER BY id")))
        values.push_back(*row[0] + "=" + row[1].value_or("NULL"));
    if (keep)
        EXPECT_EQ(values, (std::vector<std::string>{"1=a", "2=x", "3=x", "4=x", "5=c", "6=new"}));
    else
        EXPECT_EQ(values, (std::vector<std::string>{"1=x", "2=x", "3=x", "4=x", "5=x"}));

    // Automatic commit is back on: a later change is visible at once.
    CRecordsetEx recordset(database);
    ASSERT_NO_THROW(recordset.ExecuteDirect(named("UPDATE ex_t SET v='later' WHERE id=5")));
    EXPECT_EQ(*check.Query(named("SELECT v FROM ex_t WHERE id=5"))[0][0], "later");
    database.Close();
    setup.Exec(named("DROP TABLE ex_t"));
}

std::vector<ExecutionCase> ExecutionCases()
{
    std::vector<ExecutionCase> cases;
    for (const Target& target : kTargets)
        for (const bool keep : {true, false})
            cases.push_back({target, keep});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Drivers, ExecutionOnDriver, testing::ValuesIn(ExecutionCases()),
                         [](const testing::TestParamInfo<ExecutionCase>& info) {
                             const std::string dsn = info.param.target.dsn;
                             return dsn.substr(dsn.find('_') + 1) + (info.param.keep ? "_Keep" : "_UndoAll");
                         });

TEST(ExecuteStatements, RunsNothingForAnEmptyList)
{
    REQUIRE_TEST_DATA_SOURCES();
    CDatabase database;
    ASSERT_TRUE(database.OpenDataSource(testenv::kPostgres));
    RecordingReporter reporter;
    const ExecutionResult totals = ExecuteStatements(database, {}, reporter);
    EXPECT_EQ(totals.run, 0u);
    EXPECT_EQ(totals.Problems(), 0u);
    EXPECT_TRUE(reporter.reports.empty());
    EXPECT_TRUE(totals.AllSucceeded());
}

// A failure in the middle of the list, of the kind the server detects while
// running the statement and of the kind it rejects before running it.
struct MiddleFailure {
    const char* label;
    const char* table;  // suffix of the case's own table
    const char* statement;
};

void PrintTo(const MiddleFailure& failure, std::ostream* os)
{
    *os << failure.label;
}

class FailureInTheMiddle : public testing::TestWithParam<std::tuple<Target, MiddleFailure>> {};

TEST_P(FailureInTheMiddle, KeepsTheStatementsBeforeAndAfterIt)
{
    REQUIRE_TEST_DATA_SOURCES();
    const auto& [target, failure] = GetParam();
    // A table of its own: the cases run in parallel on the shared servers.
    const std::string table = std::string("ex_mid_") + failure.table;
    auto named = [&](std::string sql) {
        const std::size_t at = sql.find("ex_mid");
        return sql.replace(at, 6, table);
    };
    rawodbc::Connection setup(target.dsn);
    setup.ExecIgnoringErrors(named("DROP TABLE ex_mid"));
    setup.ExecAll({named("CREATE TABLE ex_mid (id INTEGER NOT NULL PRIMARY KEY, v VARCHAR(20))"),
                   named("INSERT INTO ex_mid VALUES (1, 'x')")});
    // Enough statements before the failure to span more than one savepoint batch.
    std::vector<std::string> texts;
    for (int id = 100; id < 700; ++id)
        texts.push_back(named("INSERT INTO ex_mid VALUES (" + std::to_string(id) + ", 'before')"));
    texts.push_back(named(failure.statement));
    texts.push_back(named("INSERT INTO ex_mid VALUES (2, 'after')"));

    CDatabase database;
    ASSERT_TRUE(database.OpenDataSource(target.dsn));
    RecordingReporter reporter;
    reporter.keepAnswer = true;
    const ExecutionResult result = ExecuteStatements(database, Statements(texts), reporter);
    database.Close();

    EXPECT_EQ(result.run, texts.size());
    EXPECT_EQ(result.failed, 1u);
    EXPECT_EQ(result.Problems(), 1u);
    EXPECT_TRUE(result.committed);
    EXPECT_FALSE(result.commitError.has_value());
    std::string messages;
    for (const auto& report : reporter.reports)
        messages += report.message + "\n----\n";
    ASSERT_EQ(reporter.reports.size(), 1u) << messages;
    EXPECT_EQ(reporter.reports[0].statement, named(failure.statement));
    rawodbc::Connection check(target.dsn);
    EXPECT_EQ(check.Query(named("SELECT COUNT(*) FROM ex_mid")), (std::vector<rawodbc::Row>{{"602"}}));
    EXPECT_EQ(check.Query(named("SELECT v FROM ex_mid WHERE id = 2")), (std::vector<rawodbc::Row>{{"after"}}));
    setup.Exec(named("DROP TABLE ex_mid"));
}

INSTANTIATE_TEST_SUITE_P(
    Drivers, FailureInTheMiddle,
    testing::Combine(testing::ValuesIn(kTargets),
                     testing::Values(MiddleFailure{"ConstraintViolation", "dup", "INSERT INTO ex_mid VALUES (1, 'dup')"},
                                     MiddleFailure{"UnknownColumn", "col", "UPDATE ex_mid SET nosuch = 1 WHERE id = 1"},
                                     MiddleFailure{"StatementThatDoesNotParse", "parse", "DELETE FROM ex_mid WHERE "})),
    [](const testing::TestParamInfo<FailureInTheMiddle::ParamType>& info) {
        std::string dsn = std::get<0>(info.param).dsn;
        return dsn.substr(dsn.find('_') + 1) + "_" + std::get<1>(info.param).label;
    });

// Cancel in the progress window, Ctrl+C: nothing of what ran stays.
TEST(ExecuteStatements, AStopUndoesEverythingAndRunsNothingAfterIt)
{
    REQUIRE_TEST_DATA_SOURCES();
    for (const Target& target : kTargets) {
        SCOPED_TRACE(target.dsn);
        rawodbc::Connection setup(target.dsn);
        setup.ExecIgnoringErrors("DROP TABLE ex_stop");
        setup.Exec("CREATE TABLE ex_stop (id INTEGER NOT NULL PRIMARY KEY)");
        CDatabase database;
        ASSERT_TRUE(database.OpenDataSource(target.dsn));
        RecordingReporter reporter;
        reporter.stopAt = 2;
        reporter.keepAnswer = true;
        const ExecutionResult result = ExecuteStatements(
            database, Statements({"INSERT INTO ex_stop VALUES (1)", "INSERT INTO ex_stop VALUES (2)",
                                  "INSERT INTO ex_stop VALUES (3)", "INSERT INTO ex_stop VALUES (4)"}),
            reporter);
        database.Close();
        EXPECT_TRUE(result.cancelled);
        EXPECT_FALSE(result.committed);
        EXPECT_EQ(reporter.keepAsked, 0);
        EXPECT_EQ(result.run, 2u);
        EXPECT_EQ(result.total, 4u);
        EXPECT_EQ(reporter.progress, (std::vector<std::size_t>{0, 1, 2}));
        rawodbc::Connection check(target.dsn);
        EXPECT_EQ(*check.Query("SELECT COUNT(*) FROM ex_stop")[0][0], "0");
        setup.Exec("DROP TABLE ex_stop");
    }
}

// A dry run runs everything, reports what would not run as expected, asks
// nothing and leaves the target as it was.
TEST(ExecuteStatements, ADryRunReportsAndUndoesEverything)
{
    REQUIRE_TEST_DATA_SOURCES();
    rawodbc::Connection setup(testenv::kSqliteScratch);
    setup.ExecIgnoringErrors("DROP TABLE ex_dry");
    setup.ExecAll({"CREATE TABLE ex_dry (id INTEGER NOT NULL PRIMARY KEY, v TEXT)", "INSERT INTO ex_dry VALUES (1, 'x')"});
    CDatabase database;
    ASSERT_TRUE(database.OpenDataSource(testenv::kSqliteScratch));
    RecordingReporter reporter;
    reporter.keepAnswer = true;
    ExecutionOptions options;
    options.dryRun = true;
    const ExecutionResult result = ExecuteStatements(
        database,
        Statements({"INSERT INTO ex_dry VALUES (2, 'y')", "DELETE FROM ex_dry WHERE id = 7",
                    "UPDATE ex_dry SET v = 'z' WHERE id = 1"}),
        reporter, options);
    database.Close();
    EXPECT_TRUE(result.dryRun);
    EXPECT_EQ(result.run, 3u);
    EXPECT_EQ(result.noRow, 1u);
    EXPECT_FALSE(result.committed);
    EXPECT_EQ(reporter.keepAsked, 0);
    ASSERT_EQ(reporter.reports.size(), 1u);
    EXPECT_EQ(ExecutionSummary(result), "Dry run. Statements that did not run as expected: 1 of 3 (1 changed no row).\n"
                                        "Everything was undone: nothing was changed.");
    rawodbc::Connection check(testenv::kSqliteScratch);
    EXPECT_EQ(check.Query("SELECT id, v FROM ex_dry"), (std::vector<rawodbc::Row>{{"1", "x"}}));
    setup.Exec("DROP TABLE ex_dry");
}

// A server that goes away ends the execution at once with one message: no
// line per remaining statement, nothing committed. The statement that ends
// the connection is the second one.
struct LostCase {
    const char* dsn;
    const char* killer;
};

class LostConnection : public testing::TestWithParam<LostCase> {};

TEST_P(LostConnection, StopsAtOnceAndCommitsNothing)
{
    REQUIRE_TEST_DATA_SOURCES();
    const LostCase& c = GetParam();
    rawodbc::Connection setup(c.dsn);
    setup.ExecIgnoringErrors("DROP TABLE ex_lost");
    setup.Exec("CREATE TABLE ex_lost (id INTEGER NOT NULL PRIMARY KEY)");
    std::vector<std::string> texts = {"INSERT INTO ex_lost VALUES (1)", c.killer};
    for (int id = 2; id < 50; ++id)
        texts.push_back("INSERT INTO ex_lost VALUES (" + std::to_string(id) + ")");
    CDatabase database;
    ASSERT_TRUE(database.OpenDataSource(c.dsn));
    RecordingReporter reporter;
    reporter.keepAnswer = true;
    const ExecutionResult result = ExecuteStatements(database, Statements(texts), reporter);
    database.Close();
    EXPECT_TRUE(result.connectionLost);
    EXPECT_FALSE(result.committed);
    EXPECT_EQ(result.run, 2u);
    EXPECT_TRUE(reporter.reports.empty()) << reporter.reports[0].message;
    EXPECT_EQ(reporter.keepAsked, 0);
    EXPECT_TRUE(ExecutionSummary(result).starts_with(
        "The connection to the data source was lost after 2 of 50 statements. Nothing was committed.\n"))
        << ExecutionSummary(result);
    rawodbc::Connection check(c.dsn);
    EXPECT_EQ(*check.Query("SELECT COUNT(*) FROM ex_lost")[0][0], "0");
    setup.Exec("DROP TABLE ex_lost");
}

INSTANTIATE_TEST_SUITE_P(Servers, LostConnection,
                         testing::Values(LostCase{testenv::kPostgres, "SELECT pg_terminate_backend(pg_backend_pid())"},
                                         LostCase{testenv::kMariaDb, "KILL CONNECTION_ID()"}),
                         [](const testing::TestParamInfo<LostCase>& info) {
                             const std::string dsn = info.param.dsn;
                             return dsn.substr(dsn.find('_') + 1);
                         });

// MariaDB counts the rows an UPDATE changed: one whose row already holds the
// new values changed none, yet found its row and is no problem.
TEST(ExecuteStatements, AnUpdateThatFindsItsRowUnchangedIsNoProblem)
{
    REQUIRE_TEST_DATA_SOURCES();
    rawodbc::Connection setup(testenv::kMariaDb);
    setup.ExecIgnoringErrors("DROP TABLE ex_same");
    setup.ExecAll({"CREATE TABLE ex_same (id INTEGER NOT NULL PRIMARY KEY, v VARCHAR(10))",
                   "INSERT INTO ex_same VALUES (1, 'x')"});
    CDatabase database;
    ASSERT_TRUE(database.OpenDataSource(testenv::kMariaDb));
    std::vector<GeneratedStatement> statements = Statements({"UPDATE ex_same SET v='x' WHERE id=1",
                                                             "UPDATE ex_same SET v='x' WHERE id=2"});
    statements[0].countQuery = "SELECT COUNT(*) FROM ex_same WHERE id=1";
    statements[1].countQuery = "SELECT COUNT(*) FROM ex_same WHERE id=2";
    RecordingReporter reporter;
    const ExecutionResult result = ExecuteStatements(database, statements, reporter);
    database.Close();
    ASSERT_EQ(reporter.reports.size(), 1u);
    EXPECT_EQ(reporter.reports[0].statement, statements[1].text);
    EXPECT_EQ(result.noRow, 1u);
    setup.Exec("DROP TABLE ex_same");
}

TEST(ExecutionSummary, SaysChangesWereMadeOnlyWhenEveryStatementSucceeded)
{
    struct Case {
        ExecutionResult result;
        std::string text;
    };
    ExecutionResult allGood;
    allGood.total = allGood.run = 3;
    allGood.transactional = allGood.committed = true;
    ExecutionResult kept = allGood;
    kept.failed = 1;
    kept.noRow = 1;
    kept.manyRows = 1;
    ExecutionResult undone = kept;
    undone.committed = false;
    ExecutionResult stopped = allGood;
    stopped.run = 1;
    stopped.cancelled = true;
    stopped.committed = false;
    ExecutionResult stoppedAfterFailure = stopped;
    stoppedAfterFailure.failed = 1;
    ExecutionResult commitFailed = allGood;
    commitFailed.committed = false;
    commitFailed.commitError = "could not serialize access\n";
    ExecutionResult lost = allGood;
    lost.run = 2;
    lost.committed = false;
    lost.connectionLost = true;
    lost.connectionError = "server closed the connection unexpectedly\n";
    ExecutionResult dryRun = allGood;
    dryRun.committed = false;
    dryRun.dryRun = true;
    ExecutionResult noTransaction = allGood;
    noTransaction.transactional = false;
    noTransaction.noRow = 1;
    const Case cases[] = {
        {allGood, "Changes were made"},
        {kept, "Statements that did not run as expected: 3 of 3 (1 failed, 1 changed no row, 1 changed more than "
               "one row).\nThe changes of the other statements were made."},
        {undone, "Statements that did not run as expected: 3 of 3 (1 failed, 1 changed no row, 1 changed more than "
                 "one row).\nEverything was undone: nothing was changed."},
        {stopped, "The merge was stopped after 1 of 3 statements. Everything was undone: nothing was changed."},
        {stoppedAfterFailure,
         "The merge was stopped after 1 of 3 statements. Everything was undone: nothing was changed."},
        {commitFailed, "The changes were not made: committing them failed.\ncould not serialize access\n"},
        {lost, "The connection to the data source was lost after 2 of 3 statements. Nothing was committed.\n"
               "server closed the connection unexpectedly\n"},
        {dryRun, "Dry run: every statement would run as expected (3). Everything was undone: nothing was changed."},
        {noTransaction, "Statements that did not run as expected: 1 of 3 (1 changed no row).\nThe data source has no "
                        "transactions: each statement took effect as it ran, and nothing could be undone."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExecutionSummary(c.result), c.text);
}

TEST(LimitErrorText, CutsAt1023BytesWithoutSplittingACharacter)
{
    EXPECT_EQ(LimitErrorText("short\n"), "short\n");
    const std::string ascii(2000, 'e');
    EXPECT_EQ(LimitErrorText(ascii), std::string(1023, 'e'));
    // "ü" is two bytes; the 1,023rd byte would be the first half of one.
    const std::string text = std::string(1022, 'e') + "\xC3\xBC" + "tail";
    EXPECT_EQ(LimitErrorText(text), std::string(1022, 'e'));
    const std::string fits = std::string(1021, 'e') + "\xC3\xBC" + "tail";
    EXPECT_EQ(LimitErrorText(fits), std::string(1021, 'e') + "\xC3\xBC");
}

} // namespace
