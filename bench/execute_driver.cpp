// Runs the statements of a file (one a line) through the merge's execution on
// a data source, as Make Changes does, and prints the seconds it took and the
// counts. Used by bench/execute_bench.
//
//   execute_driver <data source> <statements file>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "datasource/CDatabase.h"
#include "merge/StatementExecution.h"

namespace {

// Counts what a dialog would show and never stops.
class CountingObserver : public ExecutionObserver {
public:
    void Problem(const StatementProblem&) override { ++problems; }
    bool Progress(std::size_t, std::size_t) override { return true; }
    bool KeepChanges(const ExecutionResult&) override { return true; }
    std::size_t problems = 0;
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <data source> <statements file>\n", argv[0]);
        return 2;
    }
    std::vector<GeneratedStatement> statements;
    std::ifstream in(argv[2]);
    for (std::string line; std::getline(in, line);) {
        if (line.empty())
            continue;
        GeneratedStatement statement;
        statement.text = line;
        statement.kind = line.starts_with("INSERT")   ? StatementKind::Insert
                         : line.starts_with("UPDATE") ? StatementKind::Update
                                                      : StatementKind::Delete;
        statements.push_back(std::move(statement));
    }
    CDatabase database;
    if (!database.OpenDataSource(argv[1])) {
        std::fprintf(stderr, "cannot connect to %s\n", argv[1]);
        return 1;
    }
    CountingObserver observer;
    const auto start = std::chrono::steady_clock::now();
    const ExecutionResult result = ExecuteStatements(database, statements, observer);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%.3f %zu %zu %zu\n", seconds, result.run, result.failed, result.Problems() - result.failed);
    return result.AllSucceeded() ? 0 : 1;
}
