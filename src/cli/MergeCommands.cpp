#include "cli/MergeCommands.h"

#include <strings.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>

#include "cli/CliSession.h"
#include "cli/TerminalProgress.h"
#include "datasource/CDatabase.h"
#include "common/CompareSettings.h"
#include "workflow/ErrorText.h"
#include "workflow/MergeRun.h"

namespace {

// A section head spells the table [name], a "]" in it doubled.
std::string PlainTableName(const std::string& head)
{
    std::string name = head;
    if (name.size() >= 2 && name.front() == '[' && name.back() == ']')
        name = name.substr(1, name.size() - 2);
    std::string plain;
    for (std::size_t i = 0; i < name.size(); ++i) {
        plain += name[i];
        if (name[i] == ']' && i + 1 < name.size() && name[i + 1] == ']')
            ++i;
    }
    return plain;
}

// Reads the merge file with the markers of the settings store; false after an
// error line naming the file.
bool ReadMergeFileOf(CliSession& session, ChangeSet& changes)
{
    const std::string& path = session.Arguments().positional[0];
    {
        std::ifstream probe(path, std::ios::binary);
        if (!probe) {
            session.Error("cannot read the merge file " + path + ": " + std::strerror(errno));
            return false;
        }
    }
    try {
        CompareSettings markers;
        session.LoadCompareSettings(markers);
        if (ReadChangeSet(path, markers, changes))
            return true;
        session.Error("cannot read the merge file " + path + " to its end");
    } catch (...) {
        session.Error("cannot read the merge file " + path + ": " + CurrentErrorText());
    }
    return false;
}

// The tables named by --table (case ignored), else all; false after an error
// line for a name the merge file lacks.
bool ChooseTables(CliSession& session, const ChangeSet& changes, std::vector<std::size_t>& tables)
{
    const auto& names = session.Arguments().tables;
    if (names.empty()) {
        for (std::size_t i = 0; i < changes.TableCount(); ++i)
            tables.push_back(i);
        return true;
    }
    for (const std::string& name : names) {
        std::size_t i = 0;
        while (i < changes.TableCount() && strcasecmp(PlainTableName(changes.TableName(i)).c_str(), name.c_str()) != 0)
            ++i;
        if (i == changes.TableCount()) {
            session.Error("table " + name + ": not in the merge file " + session.Arguments().positional[0]);
            return false;
        }
        tables.push_back(i);
    }
    return true;
}

// Merge file read, target open and statements generated; false after an error line.
bool Generate(CliSession& session, CDatabase& target, std::vector<GeneratedStatement>& statements)
{
    ChangeSet changes;
    std::vector<std::size_t> tables;
    if (!ReadMergeFileOf(session, changes) || !ChooseTables(session, changes, tables) ||
        !session.Open(target, session.Arguments().positional[1]))
        return false;
    try {
        statements = GenerateStatements(target, changes, tables);
        return true;
    } catch (...) {
        session.Error(CurrentErrorText());
        return false;
    }
}

// Statement problems on standard error, one line each, and the bar.
class StderrObserver : public ExecutionObserver {
public:
    explicit StderrObserver(const CliSession& session)
        : m_session(session), m_progress(ProgressWanted(session.Quiet()))
    {
    }
    void Problem(const StatementProblem& problem) override { m_session.Error(problem.message); }
    bool Progress(std::size_t done, std::size_t total) override
    {
        return m_progress.Step(done, total, "statements");
    }

private:
    const CliSession& m_session;
    TerminalProgress m_progress;
};

bool Confirmed(CliSession& session, std::size_t count)
{
    if (session.Arguments().Has("--yes"))
        return true;
    if (!::isatty(STDIN_FILENO)) {
        session.Error("apply changes " + DataSourceLabel(session.Arguments().positional[1]) +
                      ": give --yes when standard input is not a terminal");
        return false;
    }
    std::cerr << "Run " << count << " statements on " << DataSourceLabel(session.Arguments().positional[1])
              << "? [y/N] " << std::flush;
    std::string answer;
    return std::getline(std::cin, answer) && (answer == "y" || answer == "Y" || answer == "yes");
}

} // namespace

int RunPreview(CliSession& session)
{
    ChangeSet changes;
    if (!ReadMergeFileOf(session, changes))
        return kExitError;
    for (std::size_t i = 0; i < changes.TableCount(); ++i)
        session.Result(PlainTableName(changes.TableName(i)) + "\t" + TableSummary(changes, i));
    return kExitEqual;
}

int RunSql(CliSession& session)
{
    CDatabase target;
    std::vector<GeneratedStatement> statements;
    if (!Generate(session, target, statements))
        return kExitError;
    int status = kExitEqual;
    for (const GeneratedStatement& statement : statements) {
        if (!statement.Complete()) {
            session.Error("statement cannot run (" + statement.problem + "): " + statement.text);
            status = kExitDifferent;
            continue;
        }
        std::cout << statement.text << ";\n";
    }
    std::cout << std::flush;
    return status;
}

int RunApply(CliSession& session)
{
    CDatabase target;
    std::vector<GeneratedStatement> statements;
    if (!Generate(session, target, statements))
        return kExitError;
    if (!Confirmed(session, statements.size()))
        return kExitError;
    ExecutionResult result;
    try {
        StderrObserver observer(session);
        result = ExecuteStatements(target, statements, observer);
    } catch (...) {
        session.Error(CurrentErrorText());
        return kExitError;
    }
    const std::string summary = ExecutionSummary(result);
    if (result.commitError) {
        session.Error(summary);
        return kExitError;
    }
    if (result.AllSucceeded()) {
        session.Info(OneLine(summary));
        return kExitEqual;
    }
    session.Error(summary);
    return kExitDifferent;
}
