#include "textcompare/SplitCompare.h"

#include <algorithm>

#include "textcompare/SplitRun.h"

// Measured as the peak resident memory of CompareFiles (less the process's
// own) on pairs of files with rows of 30, 100 and 300 bytes, from 64 KiB to 120
// MiB a file (files over 16 MiB are mapped, and their pages count), each size
// with the second file ordered with 2 % of the rows changed, shuffled,
// disjoint, every other row changed (the most: both texts and a block per
// line), and keyless with each row twice and ten times: 1.1 bytes per byte and
// 40 per line, plus what the big arrays round up to on huge pages (half as much
// again for small files, 8 MiB at most). Measured (this bound) in MB: 120 MiB files of 30-byte rows 593.6
// (620.8), of 100-byte rows 358.7 (385.9), of 300-byte rows 293.2 (318.8); 14
// MiB files of 30-byte rows 73.5 (79.8); 4 MiB files of 30-byte rows 27.5
// (28.8); 1 MiB files of 30-byte rows 4.9 (7.7). The options make no
// difference.
std::uint64_t ComparisonMemory(std::uint64_t bytes1, std::uint64_t lines1, std::uint64_t bytes2, std::uint64_t lines2)
{
    constexpr double kPerByte = 1.1;
    constexpr double kPerLine = 40;
    constexpr double kHugePages = 8 << 20;
    const double held = kPerByte * (double(bytes1) + double(bytes2)) + kPerLine * (double(lines1) + double(lines2));
    const double total = held + std::min(held / 2, kHugePages);
    return total >= 1.8e19 ? UINT64_MAX : static_cast<std::uint64_t>(total);
}

CompareOutcome CompareFilesWithin(const std::string& file1, const std::string& file2, const CompareOptions& options,
                                  const SplitSettings& split, ReportSink& sink, SplitFigures* figures)
{
    SplitFigures local;
    SplitFigures& out = figures ? *figures : local;
    out = SplitFigures();
    SplitRun run(file1, file2, options, split, sink);
    return run.Run(out);
}
