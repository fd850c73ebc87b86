#include "app/CompareRun.h"

#include <filesystem>
#include <memory>

#include "app/CProgressDlg.h"
#include "common/MergeFileLayout.h"
#include "common/UiHooks.h"
#include "datasource/CDatabase.h"
#include "datasource/CRecordsetEx.h"
#include "datasource/DatabaseError.h"
#include "textcompare/CompareSettings.h"
#include "textcompare/CompareReport.h"

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
                           const std::string& dumpPath, std::string* keyColumns)
{
    if (!recordset)
        return false;
    try {
        return DumpOpenedTable(*recordset, table, dumpPath, keyColumns);
    } catch (const DatabaseError& error) {
        // The driver's text rarely says which side failed.
        throw error.WithContext("Cannot read the table " + table + " of the data source " + dataSource + ".\n");
    }
}

bool CompareRun::DumpOpenedTable(CRecordsetEx& recordset, const std::string& table, const std::string& dumpPath,
                                 std::string* keyColumns)
{
    recordset.OpenTable(table);
    if (keyColumns)
        recordset.GetKeyColumnList(*keyColumns);
    OutputFile dump(dumpPath, OutputFile::Mode::Text);
    recordset.WriteRows(dump, ",");
    dump.Close();
    return true;
}

void CompareRun::ProcessRow(const TablePairRow& row)
{
    const bool compare = m_setup.compareTables;
    if (compare && (row.oldName.empty() || row.newName.empty()))
        return;
    WaitCursor wait;
    auto oldRecordset = RecordsetOn(m_dbOld);
    auto newRecordset = RecordsetOn(m_dbNew);

    bool oldDumped = false;
    bool newDumped = false;
    std::string oldPath;
    std::string newPath;
    std::string keyColumns;
    if (!row.oldName.empty()) {
        oldPath = DumpPath(m_setup.oldDataSource, row.oldName);
        m_settings.m_strFile1Path = oldPath;
        oldDumped = DumpTable(oldRecordset.get(), m_setup.oldDataSource, row.oldName, oldPath,
                              compare ? &keyColumns : nullptr);
    }
    if (!row.newName.empty()) {
        newPath = DumpPath(m_setup.newDataSource, row.newName);
        m_settings.m_strFile2Path = newPath;
        newDumped = DumpTable(newRecordset.get(), m_setup.newDataSource, row.newName, newPath, nullptr);
    }
    if (compare) {
        // Written once both dumps are made, so that a pair whose dump failed
        // leaves no head; a table that could not be opened has no key columns.
        m_mergeFile.Write(MergeFileLayout::SectionHead(row.oldName, keyColumns));
        // A dump left by an earlier run must never be compared.
        if (oldDumped && newDumped) {
            if (HasComparison(m_settings.m_context))
                ReleaseContext(m_settings.m_context);
            CompareFiles(m_settings, m_mergeFile);
        }
    }
    if (m_setup.deleteDumps) {
        if (!row.oldName.empty())
            DeleteDump(oldPath);
        if (!row.newName.empty())
            DeleteDump(newPath);
    }
}
