#pragma once
// The comparing half of a split comparison: the bucket pairs compared on
// threads of their own, each into a report file beside its buckets, and the
// reports copied into the caller's sink in bucket order as they become ready.
// Pairs start in order, as many at once as the threads and the memory budget
// allow; the calling thread only starts, waits and copies.
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "textcompare/CompareFiles.h"
#include "textcompare/PartFiles.h"

struct ReportPair {
    std::string path1, path2;  // the bucket files
    std::string reportPath;
    std::uint64_t memory = 0;  // what comparing them holds (ComparisonMemory)
    bool empty = false;        // no row on either side: nothing to compare
};

class PairReports {
public:
    // `options` as for each pair (stop flag and report newline set); `file1`
    // and `file2` are the dumps that messages name. The report files go into
    // `files`' care before they are created.
    PairReports(const std::vector<ReportPair>& pairs, const CompareOptions& options, const std::string& file1,
                const std::string& file2, PartFiles& files, ReportSink& sink);

    // Compares every pair and writes the reports. `going(done, total)` is
    // called on the calling thread at least every 10 ms, with the pairs
    // written so far; false stops the run (so does `stop`, which this sets to
    // stop the pairs on a failure). The outcome's counts are the sums of the
    // reports written; a failed pair gives its status with the dumps' names.
    CompareOutcome Run(std::uint64_t budget, unsigned threads, std::atomic<bool>& stop,
                       const std::function<bool(std::uint64_t done, std::uint64_t total)>& going);

    // Time spent copying reports into the sink.
    double WriteSeconds() const { return m_writeSeconds; }

private:
    struct Result {
        CompareOutcome outcome;
        std::atomic<bool> ended{false};
        bool counted = false;  // its memory given back, its failure looked at
    };

    void Compare(const ReportPair& pair, Result& result) const;
    bool CopyReport(const std::string& path, std::uint64_t done,
                    const std::function<bool(std::uint64_t, std::uint64_t)>& going);
    void Fail(std::size_t index, CompareStatus status, std::string message);

    const std::vector<ReportPair>& m_pairs;
    const CompareOptions& m_options;
    const std::string& m_file1;
    const std::string& m_file2;
    PartFiles& m_files;
    ReportSink& m_sink;
    CompareOutcome m_failure;
    std::size_t m_failedPair = SIZE_MAX;
    double m_writeSeconds = 0;
};
