#include "app/CompareRun.h"

#include <filesystem>
#include <memory>

#include "app/CProgressDlg.h"
#include "common/UiHooks.h"
#include "datasource/CDatabase.h"
#include "datasource/CRecordsetEx.h"
#include "datasource/WholeTableQuery.h"
#include "datasource/DatabaseError.h"
#include "common/CompareSettings.h"
#include "textcompare/OutputFileSink.h"

namespace {

std::unique_ptr<CRecordsetEx> RecordsetOn(CDatabase& database)
{
    if (!database.IsOpen())
        return nullptr;
    return std::make_unique<CRecordsetEx>(database);
}

void DeleteDump(const std::string& path)
{
    std::error_code ignored;  // a dump that is not there is no error
    std::filesystem::remove(path, ignored);
}

} // namespace

CompareRun::CompareRun(CompareSettings& settings, CDatabase& dbOld, CDatabase& dbNew, CompareRunSetup setup)
    : m_settings(settings), m_dbOld(dbOld), m_dbNew(dbNew), m_setup(std::move(setup))
{
}

std::string CompareRun::DumpPath(const std::string& dataSource, const std::string& table) const
{
    return m_setup.path + dataSource + "." + table + ".csv";
}

void CompareRun::Begin()
{
    if (m_setup.compareTables)
        m_mergeFile.Create(m_setup.path + kMergeFileName, OutputFile::Mode::Untranslated);
    // Only for this program run: the record is not stored.
    m_settings.m_bWriteCommonSections = 0;
}

void CompareRun::Run(const std::vector<TablePairRow>& rows, CProgressDlg*& progress, const std::int32_t& stopFlag)
{
    std::int64_t n = 0;
    for (const TablePairRow& row : rows) {
        ++n;
        if (progress)
            progress->SetProgress(n);
        if (stopFlag)
            break;
        ProcessRow(row);
    }
}

void CompareRun::Finish()
{
    m_mergeFile.Close();
}

bool CompareRun::DumpTable(CRecordsetEx* recordset, const std::string& dataSource, const std::string& table,
                           const std::string& dumpPath, bool writeKeyColumns)
{
    if (!recordset)
        return false;
    try {
        return DumpOpenedTable(*recordset, table, dumpPath, writeKeyColumns);
    } catch (const DatabaseError& error) {
        // The driver's text rarely says which side failed.
        throw DatabaseError(error.ReturnCode(),
                            "Cannot read the table " + table + " of the data source " + dataSource + ".\n" +
                                error.Message(),
                            error.StateText(), error.SqlState());
    }
}

bool CompareRun::DumpOpenedTable(CRecordsetEx& recordset, const std::string& table, const std::string& dumpPath,
                                 bool writeKeyColumns)
{
    const std::string sql = SelectAllText(table, recordset.LiteralFacts().identifierQuote);
    if (!recordset.OpenQuery(CRecordsetEx::forwardOnly, sql))
        return false;
    if (writeKeyColumns) {
        std::string keys;
        recordset.GetKeyColumnList(keys);
        if (!keys.empty())
            m_mergeFile.Write(keys);
        m_mergeFile.Write("\r\n\r\n");
    }
    OutputFile dump(dumpPath, OutputFile::Mode::Text);
    recordset.WriteRows(dump, ",");
    dump.Close();
    return true;
}

CompareOutcome CompareRun::CompareDumps(const std::string& oldDump, const std::string& newDump)
{
    OutputFileSink sink(m_mergeFile);
    CompareOutcome outcome = CompareFiles(oldDump, newDump, CompareOptionsOf(m_settings), sink);
    if (outcome.status == CompareStatus::WriteFailed && !sink.Error().empty())
        outcome.message = sink.Error();  // it names the merge file and the reason
    return outcome;
}

void CompareRun::ProcessRow(const TablePairRow& row)
{
    const bool compare = m_setup.compareTables;
    if (compare && (row.oldName.empty() || row.newName.empty()))
        return;
    WaitCursor wait;
    if (compare) {
        m_mergeFile.Write("\r\n");
        m_mergeFile.Write("Table=[");
        m_mergeFile.Write(row.oldName);
        m_mergeFile.Write("]");
    }
    auto oldRecordset = RecordsetOn(m_dbOld);
    auto newRecordset = RecordsetOn(m_dbNew);

    bool oldDumped = false;
    bool newDumped = false;
    std::string oldPath;
    std::string newPath;
    if (!row.oldName.empty()) {
        oldPath = DumpPath(m_setup.oldDataSource, row.oldName);
        m_settings.m_strFile1Path = oldPath;
        oldDumped = DumpTable(oldRecordset.get(), m_setup.oldDataSource, row.oldName, oldPath, compare);
    }
    if (!row.newName.empty()) {
        newPath = DumpPath(m_setup.newDataSource, row.newName);
        m_settings.m_strFile2Path = newPath;
        newDumped = DumpTable(newRecordset.get(), m_setup.newDataSource, row.newName, newPath, false);
    }
    if (compare) {
        if (oldDumped && newDumped) {
            const CompareOutcome outcome = CompareDumps(oldPath, newPath);
            if (outcome.status != CompareStatus::Compared)
                ReportError("Tolvane and Merge", outcome.message);
        } else if (!oldDumped) {
            // A dump left by an earlier run must never be compared; the head
            // still ends like every other so that the merge file reads back.
            m_mergeFile.Write("\r\n\r\n");
        }
    }
    if (m_setup.deleteDumps) {
        if (!row.oldName.empty())
            DeleteDump(oldPath);
        if (!row.newName.empty())
            DeleteDump(newPath);
    }
}
