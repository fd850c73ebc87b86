#include "merge/StatementExecution.h"

#include <gtest/gtest.h>

#include <string>
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

TEST(ExecuteStatements, GoesOnAfterFailuresAndCommitsEverythingThatRan)
{
    REQUIRE_TEST_DATA_SOURCES();
    for (const Target& target : kTargets) {
        SCOPED_TRACE(target.dsn);
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

        CDatabase database;
        ASSERT_TRUE(database.OpenDataSource(target.dsn));
        RecordingReporter reporter;
        const ExecutionTotals totals = ExecuteStatements(database, statements, reporter);

        EXPECT_EQ(totals.run, 7);
        EXPECT_EQ(totals.failed, 2);
        EXPECT_EQ(totals.notOne, 2);
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
        ASSERT_TRUE(recordset.ExecuteDirect("UPDATE ex_t SET v='later' WHERE id=6"));
        EXPECT_EQ(Values(check).back(), "6=later");
        database.Close();
        setup.Exec("DROP TABLE ex_t");
    }
}

TEST(ExecuteStatements, RunsNothingForAnEmptyList)
{
    REQUIRE_TEST_DATA_SOURCES();
    CDatabase database;
    ASSERT_TRUE(database.OpenDataSource(testenv::kPostgres));
    RecordingReporter reporter;
    const ExecutionTotals totals = ExecuteStatements(database, {}, reporter);
    EXPECT_EQ(totals.run, 0);
    EXPECT_EQ(totals.failed, 0);
    EXPECT_EQ(totals.notOne, 0);
    EXPECT_TRUE(reporter.reports.empty());
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
