#pragma once
// One comparison under a memory budget, from the first split to the last
// report: CompareFilesWithin's work. Splitting runs on threads of its own, as
// do the bucket pairs (PairReports); the calling thread waits, polls the stop
// flag, pumps the user interface's messages and tells the progress.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "textcompare/BucketSplitter.h"
#include "textcompare/CompareFiles.h"
#include "textcompare/JobThreads.h"
#include "textcompare/PartFiles.h"
#include "textcompare/SplitCompare.h"

class SplitRun {
public:
    SplitRun(const std::string& file1, const std::string& file2, const CompareOptions& options,
             const SplitSettings& split, ReportSink& sink)
        : m_file1(file1), m_file2(file2), m_options(options), m_split(split), m_sink(sink),
          m_files(split.keepBuckets), m_threads(std::max(1u, split.threads))
    {
    }

    // Figures are filled in as the run goes.
    CompareOutcome Run(SplitFigures& figures);

private:
    // A pair of bucket files compared with each other.
    struct PartPair {
        std::string path1, path2;
        BucketSize size1, size2;
        unsigned level = 0;  // 1: split by key; more: split again by whole rows
    };

    bool FitsWhole(PartPair& whole) const;
    CompareOutcome Whole();
    bool Continue(SplitPhase phase, std::uint64_t done, std::uint64_t total, bool always = false);
    bool WaitForJobs(JobThreads& jobs, SplitPhase phase, const std::function<std::uint64_t()>& done,
                     const std::function<std::uint64_t()>& total);
    bool SplitBoth(const PartPair& whole, std::size_t count, unsigned hashLevel, std::vector<PartPair>& parts);
    bool Refine(const PartPair& part, std::vector<PartPair>& leaves);
    void NoteFailure(const BucketSplit& split, const std::string& file);
    void Fail(CompareStatus status, std::string message);
    CompareOutcome Stopped() const;

    const std::string& m_file1;
    const std::string& m_file2;
    const CompareOptions& m_options;
    const SplitSettings& m_split;
    ReportSink& m_sink;
    PartFiles m_files;  // before anything that may create a file, so that it goes last
    const unsigned m_threads;
    std::uint64_t m_target = 0;  // the memory of one bucket pair
    std::atomic<bool> m_stop{false};
    std::atomic<std::uint64_t> m_bytesSplit{0};
    std::uint64_t m_bytesToSplit = 0;
    CompareOutcome m_failure;  // the first failure, Compared while there is none
    SplitPhase m_phase = SplitPhase::Splitting;
    bool m_progressCalled = false;
    std::chrono::steady_clock::time_point m_lastProgress{};
};
