#pragma once
// The compare run on two open connections: for each table pair, in order, both
// tables are dumped into the difference data path and, when tables are
// compared, the pair's section (head, key column list, differences) goes into
// the merge file. The main dialog and the command line drive it through
// CompareRunProgress.
//
// A pair is compared only when both tables have the same column list; one that
// cannot be compared for any reason leaves no section behind and is named in
// the report. A database or file error (a failed write to the merge file
// included) stops the run; the failed pair leaves nothing in the merge file.
//
// The merge file is written under a temporary name and replaces the previous
// one when the run is over, ended by its end mark: after a complete run
// always; after a cancel, an error or a pair that could not be compared only
// when `keepFinishedPairs` is set (the dialog keeps the pairs done before a
// cancel), else the previous merge file stays as it was. A merge file that a
// failed write may have left with a hole is never kept.
//
// When the run is over, the dumps in the folder are those of the pairs it
// finished: a pair not finished or not compared takes its dumps, also those an
// earlier run left, out of the folder.
//
// The folder is the run's alone while it runs (CompareFolderLock): the caller
// passes the lock it took before connecting, else the run takes it itself.
#include <memory>
#include <string>
#include <vector>

#include "datasource/TablePairing.h"
#include "textcompare/BucketSplitter.h"
#include "textcompare/CompareFiles.h"
#include "workflow/CompareRunProgress.h"
#include "workflow/CompareRunReport.h"

class CDatabase;
class CompareFolderLock;
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
    // The memory one comparison may hold (bytes): a pair whose dumps would need
    // more is split into bucket pairs, compared on up to `threads` threads
    // (0: one per core). 0: no limit.
    std::uint64_t memoryBudget = 0;
    unsigned threads = 0;
};

class CompareRun {
public:
    static constexpr const char* kMergeFileName = "Vantor_Merge.txt";

    // `options` are the engine's; the merge file never holds common lines,
    // whatever they say. `folderLock`, when given, is the caller's lock on the
    // setup's path.
    CompareRun(CompareOptions options, CDatabase& dbOld, CDatabase& dbNew, CompareRunSetup setup,
               const CompareFolderLock* folderLock = nullptr);
    // The options and markers of a settings record, which stays as it is.
    CompareRun(const CompareSettings& settings, CDatabase& dbOld, CDatabase& dbNew, CompareRunSetup setup,
               const CompareFolderLock* folderLock = nullptr);
    ~CompareRun();
    CompareRun(const CompareRun&) = delete;
    CompareRun& operator=(const CompareRun&) = delete;

    // Works through `pairs` and returns what became of each. Errors do not
    // escape: they end the run and are in the report (a folder held by
    // another run too, before anything is touched).
    CompareRunReport Run(const std::vector<TablePairRow>& pairs, CompareRunProgress& progress);

    std::string DumpPath(const std::string& dataSource, const std::string& table) const;
    std::string MergeFilePath() const { return m_setup.path + kMergeFileName; }

private:
    void ProcessPair(PairReport& report, CompareRunProgress& progress);
    // What the dumps of a pair came to: the rows of each, which tell the
    // comparison's memory, and the buckets of a dump split while written,
    // by the key columns that the comparison splits by too.
    struct DumpedPair {
        std::string paths[2];
        std::uint64_t rows[2] = {0, 0};
        std::vector<BucketSize> buckets[2];
        std::vector<std::int32_t> keyColumns;
    };
    void ComparePair(PairReport& report, const std::string& keys, const std::vector<std::string>& columns,
                     const DumpedPair& dumped, CompareRunProgress& progress);
    // Ends the merge file: its end mark written and renamed over the previous
    // one, or dropped.
    void EndMergeFile(CompareRunReport& report);
    void RemoveDumps(const TablePairRow& pair) const;
    // The current exception's text; a merge file error names the merge file,
    // not its temporary. Call only inside a catch block.
    std::string RunErrorText() const;

    CompareOptions m_options;
    CDatabase& m_dbOld;
    CDatabase& m_dbNew;
    CompareRunSetup m_setup;
    const CompareFolderLock* m_folderLock;
    std::unique_ptr<ReplacementFile> m_mergeFile;
    std::string m_mergeTemporaryPath;
    std::size_t m_sections = 0;  // sections in the merge file
    // False once a failed write could not be taken back out of the merge file.
    bool m_mergeFileWhole = true;
};
