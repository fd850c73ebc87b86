#pragma once
// Stands in for the message boxes and the progress window of the statement
// loop: records every report, and can stop the execution before a statement.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "merge/StatementExecution.h"

struct RecordingReporter : ExecutionObserver {
    struct Report {
        bool failed;
        std::string statement;
        std::int32_t rows;
        std::string message;
    };
    std::vector<Report> reports;
    std::vector<std::size_t> progress;  // every "done" value seen
    // Progress answers false (stop) once this many statements are done.
    std::size_t stopAt = std::numeric_limits<std::size_t>::max();

    void Problem(const StatementProblem& problem) override
    {
        reports.push_back({problem.failed, problem.statement, problem.rows, problem.message});
    }
    bool Progress(std::size_t done, std::size_t /*total*/) override
    {
        progress.push_back(done);
        return done < stopAt;
    }
};

// Complete statements from their texts.
inline std::vector<GeneratedStatement> Statements(const std::vector<std::string>& texts)
{
    std::vector<GeneratedStatement> statements;
    for (const auto& text : texts)
        statements.push_back({text, {}});
    return statements;
}
