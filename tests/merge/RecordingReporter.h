#pragma once
// Stands in for the message boxes of the statement loop: records every report.
#include <cstdint>
#include <string>
#include <vector>

#include "merge/StatementExecution.h"

struct RecordingReporter : StatementReporter {
    struct Report {
        bool failed;
        std::string statement;
        std::int32_t rows;
        std::string message;
    };
    std::vector<Report> reports;

    void StatementFailed(const std::string& statement, const std::string& message) override
    {
        reports.push_back({true, statement, 0, message});
    }
    void RowCountNotOne(const std::string& statement, std::int32_t rows, const std::string& message) override
    {
        reports.push_back({false, statement, rows, message});
    }
};
