#include "cli/MergeCommands.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>

#include "cli/CliSession.h"
#include "cli/TerminalProgress.h"
#include "common/AsciiNoCase.h"
#include "datasource/CDatabase.h"
#include "common/CompareSettings.h"
#include "workflow/ErrorText.h"
#include "workflow/MergeRun.h"

namespace {

int ExitCodeOf(const MergeStatus& status)
{
    switch (status.outcome) {
    case MergeOutcome::Done:
        return kExitEqual;
    case MergeOutcome::Problems:
        return kExitDifferent;
    case MergeOutcome::Refused:
    case MergeOutcome::Stopped:
        break;
    }
    return kExitError;
}

// Reads the merge file with the markers of the settings store; false after an
// error line naming the file.
bool ReadMergeFileOf(CliSession& session, MergeRun& run)
{
    const std::string& path = session.Arguments().positional[0];
    CompareSettings markers;
    try {
        session.LoadCompareSettings(markers);
    } catch (...) {
        session.Error("cannot read the settings: " + CurrentErrorText());
        return false;
    }
    const MergeStatus status = run.Read(path, markers);
    if (!status.Ok())
        session.Error(status.message);
    return status.Ok();
}

// The tables named by --table (case ignored), else all; false after an error
// line for a name the merge file lacks.
bool ChooseTables(CliSession& session, const MergeRun& run, std::vector<std::size_t>& tables)
{
    const auto& names = session.Arguments().tables;
    const TableChangesArray& all = run.Tables();
    if (names.empty()) {
        for (std::size_t i = 0; i < all.size(); ++i)
            tables.push_back(i);
        return true;
    }
    for (const std::string& name : names) {
        // The name as spelled first; a name that differs only in case only
        // when it is the one such table of the file.
        const NamedCandidate found = FindNamedCandidate(all.size(), [&](std::size_t i, bool ignoringCase) {
            return SameName(all[i].name, name, ignoringCase);
        });
        if (!found.index) {
            const std::string& file = session.Arguments().positional[0];
            session.Error("table " + name +
                          (found.ambiguous ? ": more than one table of the merge file " + file +
                                                 " has that name in another case"
                                           : ": not in the merge file " + file));
            return false;
        }
        tables.push_back(*found.index);
    }
    return true;
}

// Merge file read, target open and statements generated; false after an error line.
bool Generate(CliSession& session, MergeRun& run, CDatabase& target, std::vector<GeneratedStatement>& statements)
{
    std::vector<std::size_t> tables;
    if (!ReadMergeFileOf(session, run) || !ChooseTables(session, run, tables) ||
        !session.Open(target, session.Arguments().positional[1]))
        return false;
    const MergeStatus status = run.Generate(target, tables, statements);
    if (!status.Ok())
        session.Error(status.message);
    return status.Ok();
}

// Statement problems on standard error, one line each, and the bar. When some
// statements did not run as expected, the others are kept only with --keep-going.
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
    bool KeepChanges(const ExecutionResult&) override { return m_session.Arguments().Has("--keep-going"); }

private:
    const CliSession& m_session;
    TerminalProgress m_progress;
};

// A note as comment lines of the script: a table name in it may hold a line
// break, after which the client would take the rest for SQL.
std::string CommentLines(const std::string& note)
{
    std::string text;
    std::size_t at = 0;
    while (at <= note.size()) {
        std::size_t end = note.find_first_of("\r\n", at);
        if (end == std::string::npos)
            end = note.size();
        const std::string line = note.substr(at, end - at);
        if (!text.empty())
            text += '\n';
        text += line.starts_with("--") ? line : "-- " + line;
        at = end + 1;
    }
    return text;
}

bool Confirmed(CliSession& session, std::size_t count)
{
    if (session.Arguments().Has("--yes") || session.Arguments().Has("--dry-run"))
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
    MergeRun run;
    if (!ReadMergeFileOf(session, run))
        return kExitError;
    for (std::size_t i = 0; i < run.Tables().size(); ++i)
        session.Result(run.Tables()[i].name + "\t" + run.Summary(i) + "\tkey: " + run.KeyColumns(i));
    return kExitEqual;
}

int RunSql(CliSession& session)
{
    MergeRun run;
    CDatabase target;
    std::vector<GeneratedStatement> statements;
    if (!Generate(session, run, target, statements))
        return kExitError;
    int status = kExitEqual;
    for (const GeneratedStatement& statement : statements) {
        if (statement.kind == StatementKind::Note) {
            std::cout << CommentLines(statement.text) << "\n";
            continue;
        }
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
    MergeRun run;
    CDatabase target;
    std::vector<GeneratedStatement> statements;
    if (!Generate(session, run, target, statements))
        return kExitError;
    if (!Confirmed(session, RunnableCount(statements)))
        return kExitError;
    ExecutionOptions options;
    options.dryRun = session.Arguments().Has("--dry-run");
    MergeStatus status;
    {
        StderrObserver observer(session);
        status = run.Execute(target, statements, observer, options);
    }
    if (status.outcome == MergeOutcome::Done)
        session.Info(OneLine(status.message));
    else
        session.Error(status.message);
    return ExitCodeOf(status);
}
