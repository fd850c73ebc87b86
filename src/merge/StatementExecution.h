#pragma once
// Runs the statements of a merge on the merge data source in one transaction
// (where the data source has transactions) and tells an observer about every
// statement that failed or did not affect exactly one row.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "merge/StatementBuilder.h"

class CDatabase;

// A statement the user is told about.
struct StatementProblem {
    std::size_t index = 0;  // its position in the list that was executed
    std::string statement;
    bool failed = false;    // it raised an error, or could not be sent at all
    std::int32_t rows = 0;  // when not failed: the affected row count (-1: the driver could not tell)
    // As the user sees it: the error's text (at most 1,023 bytes), "\n", the
    // statement; or "%d records were affected by statement:\n" and the statement.
    std::string message;
};

// Where execution reports go: the Merge Data dialog shows message boxes and a
// progress window, the command line writes to standard error, tests record.
class ExecutionObserver {
public:
    virtual ~ExecutionObserver() = default;
    virtual void Problem(const StatementProblem& problem) = 0;
    // Called before each statement with the number done so far, and once at the
    // end; false stops the execution before the next statement.
    virtual bool Progress(std::size_t done, std::size_t total) = 0;
};

struct ExecutionResult {
    std::size_t total = 0;   // statements handed over
    std::size_t run = 0;     // statements taken in turn (sent, or reported as not sendable)
    std::size_t failed = 0;  // statements that raised an error or could not be sent
    std::size_t notOne = 0;  // statements that affected a count of rows other than 1
    bool cancelled = false;  // the observer stopped the execution
    std::optional<std::string> commitError;  // the driver's text when the commit failed

    // Every statement ran, none failed, each affected exactly one row, and the commit held.
    bool AllSucceeded() const
    {
        return !cancelled && !commitError && failed == 0 && notOne == 0 && run == total;
    }
};

// Executes the statements in order in one transaction; a failing statement is
// reported and the next one runs, and whatever succeeded is committed at the
// end (also after a stop): nothing that succeeded is ever undone. Where the data
// source aborts the whole transaction on an error (PostgreSQL), statements run
// under savepoints so that only the failed one is rolled back. An incomplete
// statement counts as failed without being sent.
ExecutionResult ExecuteStatements(CDatabase& database, const std::vector<GeneratedStatement>& statements,
                                  ExecutionObserver& observer);

// The closing message of an execution: "Changes were made" only when every
// statement succeeded; otherwise what ran, failed and was stopped, or that the
// commit failed and nothing was made.
std::string ExecutionSummary(const ExecutionResult& result);

// The error text as the user sees it: at most 1,023 bytes, not cut inside a
// UTF-8 character.
std::string LimitErrorText(const std::string& text);
