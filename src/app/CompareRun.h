#pragma once
// The work of a compare run on open connections: for each selected table pair
// the table head and key column list go into the merge file, both tables are
// dumped into the difference data path and the comparison engine appends their
// differences. The merge file is open while the object lives.
#include <cstdint>
#include <string>
#include <vector>

#include "common/OutputFile.h"
#include "datasource/TablePairing.h"

class CDatabase;
class CompareSettings;
class CProgressDlg;
class CRecordsetEx;

struct CompareRunSetup {
    std::string oldDataSource;
    std::string newDataSource;
    std::string path;           // ends with "/" unless empty (the current directory)
    bool compareTables = true;
    bool deleteDumps = false;
};

class CompareRun {
public:
    static constexpr const char* kMergeFileName = "Vantor_Merge.txt";

    CompareRun(CompareSettings& settings, CDatabase& dbOld, CDatabase& dbNew, CompareRunSetup setup);

    // Creates (empties) the merge file when tables are compared and switches off
    // the common sections in the record for the rest of the program run.
    void Begin();
    // Works through `rows` in order; before each it moves the progress dialog
    // while that exists and stops when `stopFlag` is raised.
    void Run(const std::vector<TablePairRow>& rows, CProgressDlg*& progress, const std::int32_t& stopFlag);
    // Closes the merge file (raising a write error that was left).
    void Finish();

    std::string DumpPath(const std::string& dataSource, const std::string& table) const;

private:
    void ProcessRow(const TablePairRow& row);
    // Dumps one table, its key column list into `keyColumns` when that is
    // given; false when the table could not be opened. A database error names
    // the table and its data source.
    bool DumpTable(CRecordsetEx* recordset, const std::string& dataSource, const std::string& table,
                   const std::string& dumpPath, std::string* keyColumns);
    bool DumpOpenedTable(CRecordsetEx& recordset, const std::string& table, const std::string& dumpPath,
                         std::string* keyColumns);

    CompareSettings& m_settings;
    CDatabase& m_dbOld;
    CDatabase& m_dbNew;
    CompareRunSetup m_setup;
    OutputFile m_mergeFile;
};
