#pragma once
// Runs the statements of a merge on the merge data source in one transaction
// and commits only what the user keeps: a merge changes what the comparison
// found, or nothing.
//
// Every statement must change exactly one row. One that changes more is undone
// at once (back to a savepoint, the statements since then run again); one that
// fails, changes no row or more than one is reported, and when any did, the
// observer decides whether the others are kept or everything is undone. A stop
// before the end and a lost connection undo everything.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "merge/StatementBuilder.h"

class CDatabase;

// A statement the user is told about.
struct StatementProblem {
    enum class Kind {
        Failed,       // the data source raised an error
        NotSent,      // it could not be formed and was never sent
        NoRow,        // it changed no row
        ManyRows,     // it changed more than one row and was undone
        UnknownRows,  // the driver could not tell how many rows it changed
    };
    std::size_t index = 0;  // its position in the list that was executed
    std::string statement;
    Kind kind = Kind::Failed;
    std::int32_t rows = 0;  // the row count the driver reported (-1: it could not tell)
    // As the user sees it: the error's text (at most 1,023 bytes), "\n", the
    // statement; or "%d records were affected by statement:\n" and the statement.
    std::string message;

    bool Failed() const { return kind == Kind::Failed || kind == Kind::NotSent; }
};

struct ExecutionResult;

// Where execution reports go: the Merge Data dialog shows message boxes, a
// progress window and a question, the command line writes to standard error
// and answers by its options, tests record and answer as told.
class ExecutionObserver {
public:
    virtual ~ExecutionObserver() = default;
    virtual void Problem(const StatementProblem& problem) = 0;
    // Called before each statement with the number done so far, and once at the
    // end; false stops the execution before the next statement.
    virtual bool Progress(std::size_t done, std::size_t total) = 0;
    // Asked once all statements ran when some did not run as expected: true
    // keeps what the others did, false undoes everything.
    virtual bool KeepChanges(const ExecutionResult& result) = 0;
};

struct ExecutionOptions {
    // Run everything, report what would fail, and undo it all.
    bool dryRun = false;
};

struct ExecutionResult {
    std::size_t total = 0;        // statements to run (notes left out)
    std::size_t run = 0;          // statements taken in turn (sent, or reported as not sendable)
    std::size_t failed = 0;       // raised an error or could not be sent
    std::size_t noRow = 0;        // changed no row
    std::size_t manyRows = 0;     // changed more than one row (undone where savepoints allow)
    std::size_t unknownRows = 0;  // the driver could not tell the count
    bool cancelled = false;       // the observer stopped the execution
    bool connectionLost = false;  // the connection went away: nothing was committed
    std::string connectionError;  // the driver's text when it did
    bool dryRun = false;
    bool transactional = false;   // the statements ran in a transaction that could be undone
    bool committed = false;       // the changes were committed (or, without a transaction, took effect)
    std::optional<std::string> commitError;  // the driver's text when the commit failed

    // Statements that did not run as expected.
    std::size_t Problems() const { return failed + noRow + manyRows + unknownRows; }
    // Every statement ran, each changed exactly one row, and the changes were made.
    bool AllSucceeded() const
    {
        return committed && !cancelled && !connectionLost && !commitError && Problems() == 0 && run == total;
    }
};

// Executes the statements in order in one transaction (where the data source
// has transactions) and ends it as described at the top. Notes are not sent.
// An incomplete statement counts as failed without being sent.
ExecutionResult ExecuteStatements(CDatabase& database, const std::vector<GeneratedStatement>& statements,
                                  ExecutionObserver& observer, const ExecutionOptions& options = ExecutionOptions());

// The statements that are sent: all but the notes.
std::size_t RunnableCount(const std::vector<GeneratedStatement>& statements);

// What did not run as expected, as one sentence: "Statements that did not run
// as expected: 3 of 10 (1 failed, 2 changed no row)."
std::string ProblemsSentence(const ExecutionResult& result);

// The closing message of an execution: "Changes were made" only when every
// statement succeeded and the changes were committed; otherwise what went
// wrong and whether anything was kept.
std::string ExecutionSummary(const ExecutionResult& result);

// The error text as the user sees it: at most 1,023 bytes, not cut inside a
// UTF-8 character.
std::string LimitErrorText(const std::string& text);
