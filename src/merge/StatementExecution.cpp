#include "merge/StatementExecution.h"

#include "common/ResourceStrings.h"
#include "datasource/CDatabase.h"
#include "datasource/CRecordsetEx.h"
#include "datasource/DatabaseError.h"
#include "merge/StatementBuilder.h"

namespace {

constexpr int kRecordsAffected = 2153;
constexpr std::size_t kMaxErrorText = 1023;
constexpr const char* kIncomplete = "The statement is incomplete and was not sent to the data source.\n";

// Commits when it goes out of scope, so that an unexpected error leaving the
// loop does not leave the transaction open; what ran stays in effect.
class TransactionScope {
public:
    explicit TransactionScope(CDatabase& database) : m_database(database)
    {
        // Where transactions cannot be begun, each statement takes effect as it runs.
        try {
            m_database.BeginTrans();
        } catch (const DatabaseError&) {
        }
    }
    ~TransactionScope()
    {
        if (m_open) {
            try {
                m_database.CommitTrans();
            } catch (...) {
            }
        }
    }
    TransactionScope(const TransactionScope&) = delete;
    TransactionScope& operator=(const TransactionScope&) = delete;

    void Commit()
    {
        m_open = false;
        m_database.CommitTrans();
    }

private:
    CDatabase& m_database;
    bool m_open = true;
};

std::string ErrorText(const DatabaseError& error)
{
    // Without a driver message the state text at least says what happened.
    return LimitErrorText(error.Message().empty() ? error.StateText() : error.Message());
}

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

ExecutionTotals ExecuteStatements(CDatabase& database, const std::vector<std::string>& statements,
                                  StatementReporter& reporter)
{
    ExecutionTotals totals;
    CRecordsetEx recordset(database);
    TransactionScope transaction(database);
    const std::string countFormat = LoadResourceString(kRecordsAffected);
    for (const std::string& statement : statements) {
        ++totals.run;
        // A statement the data source cannot even parse would, on PostgreSQL,
        // make the driver roll back the whole transaction: every change made so
        // far would be lost. The incomplete forms fail here instead.
        if (IsIncompleteStatement(statement)) {
            ++totals.failed;
            reporter.StatementFailed(statement, std::string(kIncomplete) + "\n" + statement);
            continue;
        }
        try {
            recordset.ExecuteDirect(statement);
        } catch (const DatabaseError& error) {
            ++totals.failed;
            reporter.StatementFailed(statement, ErrorText(error) + "\n" + statement);
            continue;
        }
        const std::int32_t rows = recordset.m_lRowsAffected;
        if (rows == 1)
            continue;
        ++totals.notOne;
        reporter.RowCountNotOne(statement, rows, FormatString(countFormat.c_str(), rows) + statement);
    }
    transaction.Commit();
    return totals;
}
