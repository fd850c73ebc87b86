#pragma once
// A dump that splits itself once it is too large to compare whole. Its rows
// go to the dump file while the dump alone fits the memory budget; the row
// that takes it past the budget moves the rows so far into bucket files
// (`<dump>.part0`, `.part1`, ...), chosen by the key hash that
// CompareFilesWithin splits by, and every later row goes straight to its
// bucket. The dump file is then gone: a table of gigabytes is written once,
// not as a dump and again as its buckets.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/DumpRowOutput.h"
#include "common/OutputFile.h"
#include "textcompare/BucketHash.h"
#include "textcompare/BucketSplitter.h"
#include "textcompare/RowScanner.h"

struct DumpSplitSettings {
    std::uint64_t memoryBudget = 0;        // bytes a comparison may hold; 0: never split
    LineRules rules;                       // the comparison's Ignore Case and Ignore Whitespace
    std::vector<std::int32_t> keyColumns;  // 0-based key fields; empty: the whole row
    // Looked at while the rows so far move into the buckets, which may be
    // gigabytes under a large budget: when set, WriteRow raises DumpSplitStopped.
    const std::atomic<bool>* stop = nullptr;
};

struct DumpSplitStopped {};

// How many buckets a dump splits into under `memoryBudget`: the same for both
// dumps of a pair, whatever their sizes, since neither knows the other's while
// they are written. One pass then serves tables of some 10 to 25 times the
// rows the budget holds whole; a larger table's buckets are split again after
// the dump.
std::size_t DumpBucketCount(std::uint64_t memoryBudget);

class SplittingDump : public DumpRowOutput {
public:
    // Creates (or empties) the dump file. Throws FileError.
    SplittingDump(std::string dumpPath, DumpSplitSettings settings);
    ~SplittingDump() override;

    void WriteRow(std::string_view row) override;
    void Close() override;

    // Whether the rows went to buckets; after Close, what each one holds.
    bool Split() const { return m_buckets != nullptr; }
    const std::vector<BucketSize>& Buckets() const { return m_sizes; }

private:
    void StartBuckets();
    void WriteToBucket(std::string_view row);


    std::string m_path;
    DumpSplitSettings m_settings;
    OutputFile m_whole;
    std::uint64_t m_bytes = 0;  // of the dump file so far, line ends included
    std::uint64_t m_lines = 0;
    std::unique_ptr<BucketFiles> m_buckets;
    BucketHasher m_hasher;
    // Rows as the comparison's scanner ends them, which is where the dump
    // ends them unless a value leaves a quote open: then the rows it joins go
    // to one bucket together, as they do when a dump file is split.
    RowScanner m_scanner;
    std::string m_pending;       // bytes of the row not yet ended
    std::size_t m_scanned = 0;   // how far the scanner has looked at them
    std::vector<BucketSize> m_sizes;
};
