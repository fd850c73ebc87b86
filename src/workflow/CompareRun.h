#pragma once
// The compare run on two open connections: for each table pair, in order, both
// tables are dumped into the difference data path and, when tables are
// compared, the pair's section (head, key column list, differences) goes into
// the merge file. The main dialog and the command line drive it through
// CompareRunProgress.
//
// A pair is compared only when both tables have the same column list; one that
// cannot be compared for any reason leaves no section behind and is named in
// the report. A database or file error stops the run; the failed pair leaves
// nothing in the merge file.
//
// The merge file is written under a temporary name and replaces the previous
// one when the run is over: after a complete run always; after a cancel or an
// error only when `keepFinishedPairs` is set (the dialog keeps the pairs done
// before a cancel), else the previous merge file stays as it was.
#include <memory>
#include <string>
#include <vector>

#include "datasource/TablePairing.h"
#include "workflow/CompareRunProgress.h"
#include "workflow/CompareRunReport.h"

class CDatabase;
class CompareSettings;
class OutputFile;
class CRecordsetEx;
class ReplacementFile;

// The first part of one side's dump file names for the data source the user
// named: the name itself, or `role` ("old", "new") for a connection string,
// whose text would put folders, and passwords, into the file names.
std::string DumpNameFor(const std::string& dataSource, const std::string& role);

struct CompareRunSetup {
    std::string oldDataSource;  // first part of the old dumps' names
    std::string newDataSource;  // first part of the new dumps' names
    std::string path;           // ends with "/" unless empty (the current directory)
    bool compareTables = true;
    bool deleteDumps = false;
    bool keepFinishedPairs = true;
    // Both tables of a pair are opened and dumped at the same time, each on a
    // thread of its own; false does one after the other on the calling thread.
    bool sideBySide = true;
};

class CompareRun {
public:
    static constexpr const char* kMergeFileName = "Vantor_Merge.txt";

    // `settings` gives the engine its options and markers; the run sets its
    // file-1 and file-2 paths to each pair's dumps and switches off the common
    // sections for the rest of the program run (the record is not stored).
    CompareRun(CompareSettings& settings, CDatabase& dbOld, CDatabase& dbNew, CompareRunSetup setup);
    ~CompareRun();
    CompareRun(const CompareRun&) = delete;
    CompareRun& operator=(const CompareRun&) = delete;

    // Works through `pairs` and returns what became of each. Errors do not
    // escape: they end the run and are in the report.
    CompareRunReport Run(const std::vector<TablePairRow>& pairs, CompareRunProgress& progress);

    std::string DumpPath(const std::string& dataSource, const std::string& table) const;
    std::string MergeFilePath() const { return m_setup.path + kMergeFileName; }

private:
    void ProcessPair(PairReport& report, CompareRunProgress& progress);
    void ComparePair(PairReport& report, const std::string& keys, const std::string& oldPath,
                     const std::string& newPath);
    // Closes the merge file: renamed over the previous one, or dropped.
    void EndMergeFile(bool keep);

    CompareSettings& m_settings;
    CDatabase& m_dbOld;
    CDatabase& m_dbNew;
    CompareRunSetup m_setup;
    std::unique_ptr<ReplacementFile> m_mergeFile;
};
