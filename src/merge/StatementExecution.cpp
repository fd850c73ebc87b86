#include "merge/StatementExecution.h"

#include "common/ResourceStrings.h"
#include "datasource/CDatabase.h"
#include "datasource/CRecordsetEx.h"
#include "datasource/DatabaseError.h"
#include "datasource/DriverFacts.h"

namespace {

constexpr int kRecordsAffected = 2153;
constexpr int kChangesWereMade = 3008;
constexpr int kSomeStatementsFailed = 3009;
constexpr int kExecutionStopped = 3010;
constexpr int kCommitFailed = 3011;
constexpr std::size_t kMaxErrorText = 1023;
// Statements run between two savepoints. A failure rolls back to the last
// savepoint and runs the statements since then again, so a batch trades a few
// repeated statements on the rare failure for two round trips on every statement.
constexpr std::size_t kSavepointBatch = 256;
constexpr const char* kSavepoint = "tolvane_merge";

// PostgreSQL aborts the whole transaction on an error: every later statement
// fails with "current transaction is aborted" and the commit undoes the earlier
// ones. Other data sources fail only the statement.
bool AbortsTransactionOnError(const std::string& dbmsName)
{
    return DbmsKindOf(dbmsName) == DbmsKind::PostgreSql;
}

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

// The transaction of one execution: begun where the data source has
// transactions, committed once. A commit that fails is kept as the driver's
// text; leaving the scope without a commit commits too, so that an unexpected
// error does not leave the transaction open (nothing that ran is undone).
class Transaction {
public:
    explicit Transaction(CDatabase& database) : m_database(database)
    {
        // Where transactions cannot be begun, each statement takes effect as it runs.
        try {
            m_open = m_database.BeginTrans();
        } catch (const DatabaseError&) {
            m_open = false;
        }
    }
    ~Transaction()
    {
        if (m_open) {
            try {
                m_database.CommitTrans();
            } catch (...) {
            }
        }
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    bool IsOpen() const { return m_open; }

    std::optional<std::string> Commit()
    {
        m_open = false;
        try {
            m_database.CommitTrans();
        } catch (const DatabaseError& error) {
            return ErrorText(error);
        }
        return std::nullopt;
    }

private:
    CDatabase& m_database;
    bool m_open = false;
};

// Savepoints around batches of statements, on data sources that abort the
// transaction on an error. Inactive elsewhere, and where a savepoint cannot be set.
class Savepoints {
public:
    Savepoints(CDatabase& database, CRecordsetEx& recordset, bool wanted)
        : m_database(database), m_recordset(recordset), m_active(wanted)
    {
        if (m_active)
            m_active = Run(std::string("SAVEPOINT ") + kSavepoint);
    }

    // A statement succeeded: it joins the batch; a full batch is kept for good.
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

    // A statement failed: back to the savepoint; returns the statements that
    // had succeeded since and are undone now, to be run again. psqlODBC, on a
    // statement the server cannot parse, loses the savepoint with its own
    // error handling and leaves the transaction aborted: then the whole
    // transaction is rolled back and every statement that had succeeded is
    // returned to be run again.
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

class Execution {
public:
    Execution(CDatabase& database, const std::vector<GeneratedStatement>& statements, ExecutionObserver& observer)
        : m_database(database), m_statements(statements), m_observer(observer), m_recordset(database),
          m_countFormat(LoadResourceString(kRecordsAffected))
    {
        m_result.total = statements.size();
    }

    ExecutionResult Run(Transaction& transaction)
    {
        Savepoints savepoints(m_database, m_recordset,
                              transaction.IsOpen() && AbortsTransactionOnError(m_recordset.LiteralFacts().dbmsName));
        for (std::size_t i = 0; i < m_statements.size(); ++i) {
            if (!m_observer.Progress(i, m_statements.size())) {
                m_result.cancelled = true;
                break;
            }
            ++m_result.run;
            const Outcome outcome = RunOne(i, true);
            if (outcome == Outcome::Succeeded)
                savepoints.Succeeded(i);
            else if (outcome == Outcome::Failed)
                RunAgainAfterRollback(savepoints);
        }
        if (!m_result.cancelled)
            m_observer.Progress(m_statements.size(), m_statements.size());
        return m_result;
    }

private:
    enum class Outcome { Succeeded, Failed, NotSent };

    // Runs statement i. `first` is false when a statement that succeeded
    // before runs again after a rollback: it was counted and reported then, and
    // only a new failure is news.
    Outcome RunOne(std::size_t i, bool first)
    {
        const GeneratedStatement& statement = m_statements[i];
        if (!statement.Complete()) {
            Fail(i, WithLineBreak(statement.problem) + "\n" + statement.text);
            return Outcome::NotSent;  // the transaction is untouched
        }
        try {
            m_recordset.ExecuteInSeries(statement.text);
        } catch (const DatabaseError& error) {
            Fail(i, ErrorText(error) + "\n" + statement.text);
            return Outcome::Failed;
        }
        const std::int32_t rows = m_recordset.m_lRowsAffected;
        if (rows != 1 && first) {
            ++m_result.notOne;
            m_observer.Problem(
                {i, statement.text, false, rows, FormatString(m_countFormat.c_str(), rows) + statement.text});
        }
        return Outcome::Succeeded;
    }

    // After a failure under savepoints: back to the savepoint, and the batch's
    // earlier statements once more. Should one of them fail now, it is reported
    // and the rest are run again after another rollback; each round drops one
    // statement, so this ends.
    void RunAgainAfterRollback(Savepoints& savepoints)
    {
        std::vector<std::size_t> pending = savepoints.RollBack();
        std::size_t next = 0;
        while (next < pending.size()) {
            const std::size_t j = pending[next++];
            const Outcome outcome = RunOne(j, false);
            if (outcome == Outcome::Succeeded) {
                savepoints.Succeeded(j);
            } else if (outcome == Outcome::Failed) {
                std::vector<std::size_t> again = savepoints.RollBack();
                again.insert(again.end(), pending.begin() + static_cast<std::ptrdiff_t>(next), pending.end());
                pending.swap(again);
                next = 0;
            }
        }
    }

    void Fail(std::size_t i, std::string message)
    {
        ++m_result.failed;
        m_observer.Problem({i, m_statements[i].text, true, 0, std::move(message)});
    }

    CDatabase& m_database;
    const std::vector<GeneratedStatement>& m_statements;
    ExecutionObserver& m_observer;
    CRecordsetEx m_recordset;
    const std::string m_countFormat;
    ExecutionResult m_result;
};

} // namespace

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
                                  ExecutionObserver& observer)
{
    Transaction transaction(database);
    ExecutionResult result;
    {
        Execution execution(database, statements, observer);
        result = execution.Run(transaction);
    }
    result.commitError = transaction.Commit();
    return result;
}

std::string ExecutionSummary(const ExecutionResult& result)
{
    if (result.commitError)
        return FormatString(LoadResourceString(kCommitFailed).c_str(), result.commitError->c_str());
    if (result.AllSucceeded())
        return LoadResourceString(kChangesWereMade);
    const int run = static_cast<int>(result.run);
    const int total = static_cast<int>(result.total);
    std::string text;
    if (result.cancelled)
        text = FormatString(LoadResourceString(kExecutionStopped).c_str(), run, total);
    if (result.failed > 0 || result.notOne > 0 || !result.cancelled) {
        if (!text.empty())
            text += '\n';
        text += FormatString(LoadResourceString(kSomeStatementsFailed).c_str(), run, total,
                             static_cast<int>(result.failed), static_cast<int>(result.notOne));
    }
    return text;
}
