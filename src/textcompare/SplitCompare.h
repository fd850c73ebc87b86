#pragma once
// Comparing two dumps under a memory budget. A comparison holds both files'
// text and some 40 bytes per line besides; a pair of dumps that needs more
// than the budget is split into pairs of bucket files by a hash of each row's
// key, so that rows the comparison would pair are always in buckets of the
// same number, and the bucket pairs are compared on several threads at once,
// each by CompareFiles, their reports written in bucket order.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "textcompare/BucketSplitter.h"
#include "textcompare/CompareFiles.h"

enum class SplitPhase { Splitting, Comparing };

struct SplitSettings {
    std::uint64_t memoryBudget = 0;        // bytes a comparison may hold at once; 0: no limit, never split
    unsigned threads = 1;                  // most bucket pairs compared at once (the run passes the cores)
    std::vector<std::int32_t> keyColumns;  // 0-based fields of a row that choose its bucket; empty: whole row
    std::uint64_t lines1 = 0, lines2 = 0;  // rows of each dump when the caller knows them; 0: estimate from size
    // Bucket files are named from these: base + ".part3", and a bucket split
    // again base + ".part3.7"; a pair's report adds ".report" to the file-1
    // bucket's name. Empty: the dump's own path. Two equal bases get ".1" and ".2".
    std::string bucketBase1, bucketBase2;
    // A dump that SplittingDump split while it was written: what each of its
    // buckets (base + ".part0", ...) holds; its file then need not exist.
    // When one dump was split so, the pair is never compared whole, and the
    // other dump is split into as many buckets; when both were, in equal numbers.
    std::vector<BucketSize> dumpedBuckets1, dumpedBuckets2;
    bool keepBuckets = false;  // leave the bucket files when done (for --keep-dumps); reports always go
    // Called on the calling thread now and then (about every 25 ms while work
    // goes on, and when a phase begins and the comparison ends); false stops
    // like a set stop flag; it must not throw. done/total: bytes read for
    // Splitting (the total grows when a bucket is split again), bucket pairs
    // written to the report for Comparing (0 of 1, then 1 of 1, when the files
    // are compared whole). Without it a pair that fits the budget is compared
    // on the calling thread, as CompareFiles compares it; with it, on a thread
    // of its own.
    std::function<bool(SplitPhase phase, std::uint64_t done, std::uint64_t total)> progress;
};

struct SplitFigures {            // for `--verbose`
    std::size_t buckets = 0;     // bucket pairs compared (0: compared whole)
    double splitSeconds = 0;     // splitting both files, every level
    double compareSeconds = 0;   // comparing the pairs (or the whole pair), writing the report included
    double writeSeconds = 0;     // of that, copying the pairs' reports into the sink
};

// Bytes a comparison of two files of these sizes and rows holds at its peak,
// an upper bound of what was measured (see the definition for the figures).
std::uint64_t ComparisonMemory(std::uint64_t bytes1, std::uint64_t lines1, std::uint64_t bytes2,
                               std::uint64_t lines2);

// Compares like CompareFiles: the same options, sink, outcome counts and
// statuses, options.stop honoured. When the pair fits split.memoryBudget (or
// that is 0) CompareFiles compares it whole and the report is byte for byte
// its own. Otherwise both files are split into bucket files beside them (rows
// that the comparison pairs always in buckets of one number), a
// bucket pair that still does not fit is split again by a hash of the whole
// row, and the pairs are compared on up to split.threads threads, as many at
// once as the budget allows (one at least). The report is the pairs' reports
// one after the other in bucket order, headers and footers in each, their
// newline file 1's: the same bytes for the same files, options and budget,
// however many threads, and the same rows as the whole comparison's but for
// unpaired blank lines under Ignore Whitespace, which a comparison reports or
// not by their neighbours, and a split changes the neighbours. A failure names the dump files, not the buckets; the
// report may then have been written in part, as it may on a stop (Cancelled,
// within a quarter of a second of the flag or of a false from progress). No
// thread outlives the call, and the bucket and report files are gone by then
// unless split.keepBuckets keeps the buckets.
CompareOutcome CompareFilesWithin(const std::string& file1, const std::string& file2, const CompareOptions& options,
                                  const SplitSettings& split, ReportSink& sink, SplitFigures* figures = nullptr);
