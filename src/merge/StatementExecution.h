#pragma once
// Runs the statements of a merge on the merge data source in one transaction
// (where the data source has transactions) and tells the user about every
// statement that failed or did not affect exactly one row.
#include <cstdint>
#include <string>
#include <vector>

class CDatabase;

// Where the execution's reports go; the Merge Data dialog shows each as a
// message box with an OK button, tests record them.
class StatementReporter {
public:
    virtual ~StatementReporter() = default;
    // `message`: the error's text (at most 1,023 characters), "\n", the statement.
    virtual void StatementFailed(const std::string& statement, const std::string& message) = 0;
    // `rows`: the affected row count (-1: the driver could not tell). `message`:
    // "%d records were affected by statement:\n" with the count, then the statement.
    virtual void RowCountNotOne(const std::string& statement, std::int32_t rows, const std::string& message) = 0;
};

struct ExecutionTotals {
    int run = 0;     // statements executed
    int failed = 0;  // statements that raised an error
    int notOne = 0;  // statements that affected a count of rows other than 1
};

// Executes every statement in order; a failing statement is reported and the
// next one runs. An incomplete statement (see IsIncompleteStatement) counts as
// failed without being sent. The transaction is committed at the end, whatever failed:
// nothing is ever rolled back.
ExecutionTotals ExecuteStatements(CDatabase& database, const std::vector<std::string>& statements,
                                  StatementReporter& reporter);

// The error text as the user sees it: at most 1,023 bytes, not cut inside a
// UTF-8 character.
std::string LimitErrorText(const std::string& text);
