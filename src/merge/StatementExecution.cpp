#include "merge/StatementExecution.h"

#include "common/ResourceStrings.h"
#include "datasource/CDatabase.h"
#include "datasource/CRecordsetEx.h"
#include "datasource/DatabaseError.h"

namespace {

constexpr int kRecordsAffected = 2153;
constexpr int kChangesWereMade = 3008;
constexpr int kCommitFailed = 3011;
constexpr int kProblemsSentence = 3042;
constexpr int kFailedCount = 3043;
constexpr int kNoRowCount = 3044;
constexpr int kManyRowsCount = 3045;
constexpr int kUnknownRowsCount = 3046;
constexpr int kOthersKept = 3050;
constexpr int kAllUndone = 3051;
constexpr int kStopped = 3052;
constexpr int kConnectionLost = 3053;
constexpr int kDryRunClean = 3054;
constexpr int kDryRun = 3055;
constexpr int kStatementUndone = 3056;
constexpr int kNoTransactions = 3057;
constexpr std::size_t kMaxErrorText = 1023;
// Statements run between two savepoints. A statement that must be undone rolls
// back to the last savepoint and runs the statements since then again, so a
// batch trades a few repeated statements on the rare failure for two round
// trips on every statement.
constexpr std::size_t kSavepointBatch = 256;
constexpr const char* kSavepoint = "tolvane_merge";

std::string ErrorText(const DatabaseError& error)
{
    // Without a driver message the state text at least says what happened.
    return LimitErrorText(error.Message().empty() ? error.StateText() : error.Message());
}

std::string WithLineBreak(std::string text)
{
    if (text.empty() || text.back() != '\n')
        text += '\n';
    return text;
}

// The connection is gone when the driver says so, or the error is of
// SQLSTATE class 08 (connection exception).
bool ConnectionLost(const DatabaseError& error, const CDatabase& database)
{
    return error.state().starts_with("08") || database.ConnectionDead();
}

// Savepoints around batches of statements, so that one statement can be undone
// without undoing the others. Inactive where the data source has none, outside
// a transaction, and where a savepoint cannot be set.
class Savepoints {
public:
    Savepoints(CDatabase& database, CRecordsetEx& recordset, bool wanted)
        : m_database(database), m_recordset(recordset), m_active(wanted)
    {
        if (m_active)
            m_active = Run(std::string("SAVEPOINT ") + kSavepoint);
    }

    bool Active() const { return m_active; }

    // A statement ran as it should: it joins the batch; a full batch is kept for good.
    void Succeeded(std::size_t index)
    {
        if (!m_active)
            return;
        m_batch.push_back(index);
        if (m_batch.size() >= kSavepointBatch) {
            m_earlier.insert(m_earlier.end(), m_batch.begin(), m_batch.end());
            m_batch.clear();
            m_active = Run(std::string("RELEASE SAVEPOINT ") + kSavepoint) &&
                       Run(std::string("SAVEPOINT ") + kSavepoint);
        }
    }

    // Back to the savepoint; returns the statements that had succeeded since
    // and are undone now, to be run again. psqlODBC, on a statement the server
    // cannot parse, loses the savepoint with its own error handling and leaves
    // the transaction aborted: then the whole transaction is rolled back and
    // every statement that had succeeded is returned to be run again.
    std::vector<std::size_t> RollBack()
    {
        std::vector<std::size_t> undone;
        if (!m_active)
            return undone;
        if (!Run(std::string("ROLLBACK TO SAVEPOINT ") + kSavepoint)) {
            undone.swap(m_earlier);
            try {
                m_database.RollbackTrans();
                m_active = Run(std::string("SAVEPOINT ") + kSavepoint);
            } catch (const DatabaseError&) {
                m_active = false;
            }
        }
        undone.insert(undone.end(), m_batch.begin(), m_batch.end());
        m_batch.clear();
        return undone;
    }

private:
    bool Run(const std::string& sql)
    {
        try {
            m_recordset.ExecuteDirect(sql);
            return true;
        } catch (const DatabaseError&) {
            return false;
        }
    }

    CDatabase& m_database;
    CRecordsetEx& m_recordset;
    bool m_active;
    std::vector<std::size_t> m_earlier;  // succeeded in batches released before
    std::vector<std::size_t> m_batch;    // succeeded since the savepoint
};

// The connection went away in the middle of the execution.
struct LostConnection {
    std::string text;
};

class Execution {
public:
    Execution(CDatabase& database, const std::vector<GeneratedStatement>& statements, ExecutionObserver& observer)
        : m_database(database), m_statements(statements), m_observer(observer), m_recordset(database),
          m_countFormat(LoadResourceString(kRecordsAffected)), m_undoneText(LoadResourceString(kStatementUndone))
    {
        m_result.total = RunnableCount(statements);
    }

    ExecutionResult Run(bool inTransaction)
    {
        const SqlLiteralFacts& facts = m_recordset.LiteralFacts();
        Savepoints savepoints(m_database, m_recordset, inTransaction && facts.savepoints);
        m_savepoints = &savepoints;
        m_abortsTransaction = facts.errorAbortsTransaction;
        try {
            for (std::size_t i = 0; i < m_statements.size(); ++i) {
                if (m_statements[i].kind == StatementKind::Note)
                    continue;
                if (!m_observer.Progress(m_result.run, m_result.total)) {
                    m_result.cancelled = true;
                    break;
                }
                ++m_result.run;
                const Outcome outcome = RunOne(i, true);
                if (outcome == Outcome::Succeeded)
                    savepoints.Succeeded(i);
                else if (outcome == Outcome::Undo || (outcome == Outcome::Failed && m_abortsTransaction))
                    RunAgainAfterRollback(savepoints);
            }
        } catch (const LostConnection& lost) {
            m_result.connectionLost = true;
            m_result.connectionError = lost.text;
        }
        if (!m_result.cancelled && !m_result.connectionLost)
            m_observer.Progress(m_result.run, m_result.total);
        return m_result;
    }

private:
    enum class Outcome { Succeeded, Failed, NotSent, Undo };

    // Runs statement i. `first` is false when a statement that ran before runs
    // again after a rollback: it was counted and reported then, and only a new
    // failure is news.
    Outcome RunOne(std::size_t i, bool first)
    {
        const GeneratedStatement& statement = m_statements[i];
        if (!statement.Complete()) {
            Report(i, StatementProblem::Kind::NotSent, 0, WithLineBreak(statement.problem) + "\n" + statement.text);
            return Outcome::NotSent;  // the transaction is untouched
        }
        try {
            m_recordset.ExecuteInSeries(statement.text);
        } catch (const DatabaseError& error) {
            if (ConnectionLost(error, m_database))
                throw LostConnection{ErrorText(error)};
            Report(i, StatementProblem::Kind::Failed, 0, ErrorText(error) + "\n" + statement.text);
            return Outcome::Failed;
        }
        std::int32_t rows = m_recordset.m_lRowsAffected;
        if (!statement.ChangesOneRow() || rows == 1)
            return Outcome::Succeeded;
        if (rows == 0 && !statement.countQuery.empty() && FoundRows(statement.countQuery) == 1)
            return Outcome::Succeeded;  // the row already held the new values
        if (rows > 1) {
            if (first)
                ReportManyRows(i, rows);
            return Outcome::Undo;
        }
        if (first)
            Report(i, rows == 0 ? StatementProblem::Kind::NoRow : StatementProblem::Kind::UnknownRows, rows,
                   FormatString(m_countFormat.c_str(), rows) + statement.text);
        // Nothing to undo: it joins the batch like one that ran as it should.
        return Outcome::Succeeded;
    }

    // The count that a SELECT COUNT(*) query answers; -1 when it cannot tell.
    std::int64_t FoundRows(const std::string& query)
    {
        try {
            CRecordsetEx count(m_database);
            count.OpenQuery(CRecordsetEx::forwardOnly, query, CRecordsetEx::executeDirect);
            std::string text;
            if (count.IsEOF())
                return -1;
            count.GetFieldText(0, text);
            return std::stoll(text);
        } catch (const DatabaseError& error) {
            if (ConnectionLost(error, m_database))
                throw LostConnection{ErrorText(error)};
            return -1;
        } catch (const std::exception&) {
            return -1;
        }
    }

    // After a statement that must not stay, or a failure that aborted the
    // transaction: back to the savepoint, and the batch's earlier statements
    // once more. Should one of them now fail or change another count of rows,
    // it is reported and the rest run again after another rollback; each round
    // drops one statement, so this ends.
    void RunAgainAfterRollback(Savepoints& savepoints)
    {
        if (!savepoints.Active())
            return;
        std::vector<std::size_t> pending = savepoints.RollBack();
        std::size_t next = 0;
        while (next < pending.size()) {
            const std::size_t j = pending[next++];
            const Outcome outcome = RunOne(j, false);
            if (outcome == Outcome::Succeeded) {
                savepoints.Succeeded(j);
            } else if (outcome == Outcome::Undo || (outcome == Outcome::Failed && m_abortsTransaction)) {
                if (outcome == Outcome::Undo)
                    ReportManyRows(j, m_recordset.m_lRowsAffected);
                std::vector<std::size_t> again = savepoints.RollBack();
                again.insert(again.end(), pending.begin() + static_cast<std::ptrdiff_t>(next), pending.end());
                pending.swap(again);
                next = 0;
            }
        }
    }

    // A statement that changed more than one row is undone where a savepoint allows.
    void ReportManyRows(std::size_t i, std::int32_t rows)
    {
        std::string message = FormatString(m_countFormat.c_str(), rows) + m_statements[i].text;
        if (m_savepoints && m_savepoints->Active())
            message += "\n\n" + m_undoneText;
        Report(i, StatementProblem::Kind::ManyRows, rows, std::move(message));
    }

    void Report(std::size_t i, StatementProblem::Kind kind, std::int32_t rows, std::string message)
    {
        switch (kind) {
        case StatementProblem::Kind::Failed:
        case StatementProblem::Kind::NotSent:
            ++m_result.failed;
            break;
        case StatementProblem::Kind::NoRow:
            ++m_result.noRow;
            break;
        case StatementProblem::Kind::ManyRows:
            ++m_result.manyRows;
            break;
        case StatementProblem::Kind::UnknownRows:
            ++m_result.unknownRows;
            break;
        }
        m_observer.Problem({i, m_statements[i].text, kind, rows, std::move(message)});
    }

    CDatabase& m_database;
    const std::vector<GeneratedStatement>& m_statements;
    ExecutionObserver& m_observer;
    CRecordsetEx m_recordset;
    const std::string m_countFormat;
    const std::string m_undoneText;
    Savepoints* m_savepoints = nullptr;  // while Run runs
    bool m_abortsTransaction = false;
    ExecutionResult m_result;
};

// Ends the transaction: commits when `keep`, else undoes everything. A commit
// that fails is kept as the driver's text.
void EndTransaction(CDatabase& database, bool keep, ExecutionResult& result)
{
    if (!keep) {
        database.AbandonTrans();
        return;
    }
    try {
        database.CommitTrans();
        result.committed = true;
    } catch (const DatabaseError& error) {
        result.commitError = ErrorText(error);
        database.AbandonTrans();
    }
}

std::string CountOf(int format, std::size_t count)
{
    return FormatString(LoadResourceString(format).c_str(), static_cast<int>(count));
}

} // namespace

std::size_t RunnableCount(const std::vector<GeneratedStatement>& statements)
{
    std::size_t count = 0;
    for (const GeneratedStatement& statement : statements)
        count += statement.kind != StatementKind::Note;
    return count;
}

std::string LimitErrorText(const std::string& text)
{
    if (text.size() <= kMaxErrorText)
        return text;
    std::size_t end = kMaxErrorText;
    // Back off over UTF-8 continuation bytes to the start of the cut character.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return text.substr(0, end);
}

ExecutionResult ExecuteStatements(CDatabase& database, const std::vector<GeneratedStatement>& statements,
                                  ExecutionObserver& observer, const ExecutionOptions& options)
{
    bool inTransaction = false;
    try {
        inTransaction = database.BeginTrans();
    } catch (const DatabaseError&) {
        // Where transactions cannot be begun, each statement takes effect as it runs.
    }
    ExecutionResult result;
    try {
        Execution execution(database, statements, observer);
        result = execution.Run(inTransaction);
    } catch (...) {
        // Whatever went wrong, nothing of a half-done merge stays.
        database.AbandonTrans();
        throw;
    }
    result.dryRun = options.dryRun;
    result.transactional = inTransaction;
    if (!inTransaction) {
        result.committed = result.run > 0;
        return result;
    }
    bool keep = !result.cancelled && !result.connectionLost && !options.dryRun;
    if (keep && result.Problems() > 0)
        keep = observer.KeepChanges(result);
    EndTransaction(database, keep, result);
    return result;
}

std::string ProblemsSentence(const ExecutionResult& result)
{
    std::string details;
    const auto add = [&details](int format, std::size_t count) {
        if (count == 0)
            return;
        if (!details.empty())
            details += ", ";
        details += CountOf(format, count);
    };
    add(kFailedCount, result.failed);
    add(kNoRowCount, result.noRow);
    add(kManyRowsCount, result.manyRows);
    add(kUnknownRowsCount, result.unknownRows);
    return FormatString(LoadResourceString(kProblemsSentence).c_str(), static_cast<int>(result.Problems()),
                        static_cast<int>(result.total), details.c_str());
}

std::string ExecutionSummary(const ExecutionResult& result)
{
    const int run = static_cast<int>(result.run);
    const int total = static_cast<int>(result.total);
    if (result.connectionLost)
        return FormatString(LoadResourceString(kConnectionLost).c_str(), run, total, result.connectionError.c_str());
    if (result.commitError)
        return FormatString(LoadResourceString(kCommitFailed).c_str(), result.commitError->c_str());
    if (!result.transactional && !result.dryRun) {
        if (result.Problems() == 0 && !result.cancelled)
            return LoadResourceString(kChangesWereMade);
        std::string text = result.Problems() > 0 ? ProblemsSentence(result) : std::string();
        if (result.cancelled)
            text += (text.empty() ? "" : "\n") + FormatString(LoadResourceString(kStopped).c_str(), run, total);
        return text + "\n" + LoadResourceString(kNoTransactions);
    }
    if (result.cancelled)
        return FormatString(LoadResourceString(kStopped).c_str(), run, total) + " " +
               LoadResourceString(kAllUndone);
    if (result.dryRun) {
        if (result.Problems() == 0)
            return FormatString(LoadResourceString(kDryRunClean).c_str(), total) + " " +
                   LoadResourceString(kAllUndone);
        return FormatString(LoadResourceString(kDryRun).c_str(), ProblemsSentence(result).c_str()) + "\n" +
               LoadResourceString(kAllUndone);
    }
    if (result.Problems() == 0)
        return LoadResourceString(kChangesWereMade);
    return ProblemsSentence(result) + "\n" + LoadResourceString(result.committed ? kOthersKept : kAllUndone);
}
