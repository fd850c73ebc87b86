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

std::vector<std::string> Values(rawodbc::Connection& connection)
{
    std::vector<std::string> values;
    for (const auto& row : connection.Query("SELECT id, v FROM ex_t ORDER BY id"))
        values.push_back(*row[0] + "=" + row[1].value_or("NULL"));
    return values;
}

class ExecutionOnDriver : public testing::TestWithParam<Target> {};

TEST_P(ExecutionOnDriver, GoesOnAfterFailuresAndCommitsEverythingThatRan)
{
    REQUIRE_TEST_DATA_SOURCES();
    const Target& target = GetParam();
    rawodbc::Connection setup(target.dsn);
    setup.ExecIgnoringErrors("DROP TABLE ex_t");
    setup.ExecAll({"CREATE TABLE ex_t (id INTEGER NOT NULL PRIMARY KEY, v VARCHAR(20), grp INTEGER)",
                   "INSERT INTO ex_t VALUES (1, 'x', 1)", "INSERT INTO ex_t VALUES (2, 'x', 2)",
                   "INSERT INTO ex_t VALUES (3, 'x', 2)", "INSERT INTO ex_t VALUES (4, 'x', 2)",
                   "INSERT INTO ex_t VALUES (5, 'x', 3)"});
    const std::vector<std::string> statements = {
        "UPDATE ex_t SET v='a' WHERE id=1",
        "INSERT INTO ex_t VALUES (1, 'duplicate', 0)",
        "UPDATE ex_t SET v='b' WHERE grp=2",
        "DELETE FROM ex_t WHERE id=99",
        "INSERT INTO ex_t VALUES (6, 'new', 4)",
        "DELETE FROM ex_t WHERE ",
        "UPDATE ex_t SET v='c' WHERE id=5",
    };
    std::vector<GeneratedStatement> generated = Statements(statements);
    generated[5].problem = "The statement is incomplete and was not sent to the data source.\n";

    CDatabase database;
    ASSERT_TRUE(database.OpenDataSource(target.dsn));
    RecordingReporter reporter;
    const ExecutionResult totals = ExecuteStatements(database, generated, reporter);

    EXPECT_EQ(totals.run, 7u);
    EXPECT_EQ(totals.failed, 2u);
    EXPECT_EQ(totals.notOne, 2u);
    EXPECT_FALSE(totals.AllSucceeded());
    ASSERT_EQ(reporter.reports.size(), 4u);
    const auto& duplicate = reporter.reports[0];
    EXPECT_TRUE(duplicate.failed);
    EXPECT_EQ(duplicate.statement, statements[1]);
    // The driver's text, its own line break, "\n", then the statement.
    ASSERT_GT(duplicate.message.size(), statements[1].size() + 2);
    EXPECT_TRUE(duplicate.message.ends_with("\n\n" + statements[1])) << duplicate.message;
    const auto& three = reporter.reports[1];
    EXPECT_FALSE(three.failed);
    EXPECT_EQ(three.rows, 3);
    EXPECT_EQ(three.message, "3 records were affected by statement:\n" + statements[2]);
    const auto& none = reporter.reports[2];
    EXPECT_FALSE(none.failed);
    EXPECT_EQ(none.rows, 0);
    EXPECT_EQ(none.message, "0 records were affected by statement:\n" + statements[3]);
    EXPECT_TRUE(reporter.reports[3].failed);
    EXPECT_EQ(reporter.reports[3].statement, statements[5]);
    // Not sent: on PostgreSQL a statement that cannot be parsed makes the
    // driver roll back the whole transaction.
    EXPECT_EQ(reporter.reports[3].message,
              "The statement is incomplete and was not sent to the data source.\n\n" + statements[5]);

    // Another connection sees every statement that ran: nothing was undone.
    rawodbc::Connection check(target.dsn);
    EXPECT_EQ(Values(check), (std::vector<std::string>{"1=a", "2=b", "3=b", "4=b", "5=c", "6=new"}));

    // Automatic commit is back on: a later change is visible at once.
    CRecordsetEx recordset(database);
    ASSERT_NO_THROW(recordset.ExecuteDirect("UPDATE ex_t SET v='later' WHERE id=6"));
    EXPECT_EQ(Values(check).back(), "6=later");
    database.Close();
    setup.Exec("DROP TABLE ex_t");
}

INSTANTIATE_TEST_SUITE_P(Drivers, ExecutionOnDriver, testing::ValuesIn(kTargets),
                         [](const testing::TestParamInfo<Target>& info) {
                             const std::string dsn = info.param.dsn;
                             return dsn.substr(dsn.find('_') + 1);
                         });

TEST(ExecuteStatements, RunsNothingForAnEmptyList)
{
    REQUIRE_TEST_DATA_SOURCES();
    CDatabase database;
    ASSERT_TRUE(database.OpenDataSource(testenv::kPostgres));
    RecordingReporter reporter;
    const ExecutionResult totals = ExecuteStatements(database, {}, reporter);
    EXPECT_EQ(totals.run, 0u);
    EXPECT_EQ(totals.failed, 0u);
    EXPECT_EQ(totals.notOne, 0u);
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
    const ExecutionResult result = ExecuteStatements(database, Statements(texts), reporter);
    database.Close();

    EXPECT_EQ(result.run, texts.size());
    EXPECT_EQ(result.failed, 1u);
    EXPECT_EQ(result.notOne, 0u);
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

TEST(ExecuteStatements, AStopCommitsWhatRanAndRunsNothingAfterIt)
{
    REQUIRE_TEST_DATA_SOURCES();
    rawodbc::Connection setup(testenv::kPostgres);
    setup.ExecIgnoringErrors("DROP TABLE ex_stop");
    setup.Exec("CREATE TABLE ex_stop (id INTEGER NOT NULL PRIMARY KEY)");
    CDatabase database;
    ASSERT_TRUE(database.OpenDataSource(testenv::kPostgres));
    RecordingReporter reporter;
    reporter.stopAt = 2;
    const ExecutionResult result = ExecuteStatements(
        database, Statements({"INSERT INTO ex_stop VALUES (1)", "INSERT INTO ex_stop VALUES (2)",
                              "INSERT INTO ex_stop VALUES (3)", "INSERT INTO ex_stop VALUES (4)"}),
        reporter);
    database.Close();
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(result.run, 2u);
    EXPECT_EQ(result.total, 4u);
    EXPECT_EQ(reporter.progress, (std::vector<std::size_t>{0, 1, 2}));
    rawodbc::Connection check(testenv::kPostgres);
    EXPECT_EQ(*check.Query("SELECT COUNT(*) FROM ex_stop")[0][0], "2");
    setup.Exec("DROP TABLE ex_stop");
}

TEST(ExecutionSummary, SaysChangesWereMadeOnlyWhenEveryStatementSucceeded)
{
    struct Case {
        ExecutionResult result;
        std::string text;
    };
    ExecutionResult allGood;
    allGood.total = allGood.run = 3;
    ExecutionResult someFailed = allGood;
    someFailed.failed = 1;
    someFailed.notOne = 2;
    ExecutionResult stopped = allGood;
    stopped.run = 1;
    stopped.cancelled = true;
    ExecutionResult stoppedAfterFailure = stopped;
    stoppedAfterFailure.failed = 1;
    ExecutionResult commitFailed = allGood;
    commitFailed.commitError = "could not serialize access\n";
    const Case cases[] = {
        {allGood, "Changes were made"},
        {ExecutionResult{}, "Changes were made"},
        {someFailed, "3 of 3 statements ran; 1 failed and 2 affected another number of rows than one."},
        {stopped, "The merge was stopped: 1 of 3 statements ran and were committed."},
        {stoppedAfterFailure, "The merge was stopped: 1 of 3 statements ran and were committed.\n"
                              "1 of 3 statements ran; 1 failed and 0 affected another number of rows than one."},
        {commitFailed, "The changes were not made: committing them failed.\ncould not serialize access\n"},
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
