#pragma once
// Stands in for the message boxes, the progress window and the question of the
// statement loop: records every report, can stop the execution before a
// statement, and answers whether to keep the changes as told.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "merge/StatementExecution.h"

struct RecordingReporter : ExecutionObserver {
    struct Report {
        bool failed;
        StatementProblem::Kind kind;
        std::string statement;
        std::int32_t rows;
        std::string message;
    };
    std::vector<Report> reports;
    std::vector<std::size_t> progress;  // every "done" value seen
    // Progress answers false (stop) once this many statements are done.
    std::size_t stopAt = std::numeric_limits<std::size_t>::max();
    // The answer to "keep the changes of the others?", and how often it was asked.
    bool keepAnswer = false;
    int keepAsked = 0;

    void Problem(const StatementProblem& problem) override
    {
        reports.push_back({problem.Failed(), problem.kind, problem.statement, problem.rows, problem.message});
    }
    bool Progress(std::size_t done, std::size_t /*total*/) override
    {
        progress.push_back(done);
        return done < stopAt;
    }
    bool KeepChanges(const ExecutionResult&) override
    {
        ++keepAsked;
        return keepAnswer;
    }
};

// Complete statements from their texts.
inline std::vector<GeneratedStatement> Statements(const std::vector<std::string>& texts)
{
    std::vector<GeneratedStatement> statements;
    for (const auto& text : texts) {
        GeneratedStatement statement;
        statement.text = text;
        statement.kind = text.starts_with("INSERT")   ? StatementKind::Insert
                         : text.starts_with("DELETE") ? StatementKind::Delete
                         : text.starts_with("UPDATE") ? StatementKind::Update
                                                      : StatementKind::Setting;
        statements.push_back(statement);
    }
    return statements;
}
