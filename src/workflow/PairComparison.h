#pragma once
// The comparison engine's call for one pair of dumps: appends their differing
// lines to the merge file and says whether the comparison ran and how many
// lines each side has on its own.
#include <cstddef>
#include <string>

struct CompareOptions;
struct SplitFigures;
struct SplitSettings;
class OutputFile;

struct PairComparison {
    bool compared = false;
    bool cancelled = false;   // stopped by the split's progress or the stop flag
    std::string reason;       // why not, for the user
    std::size_t removed = 0;  // lines only in the old dump
    std::size_t added = 0;    // lines only in the new dump
};

// Compares `oldPath` with `newPath` with `options` and appends the report to
// `mergeFile`; a pair over `split`'s memory budget is compared in bucket
// pairs (textcompare/SplitCompare.h), whose times go into `figures`. A dump that cannot be compared (unreadable, too large) gives a
// result that is not compared, with its reason; a failed write to the merge
// file raises that file's FileError, for a merge file that lost bytes must not
// go on as if only one pair were missing. Either way the report may have been
// written in part; the caller takes it back out.
PairComparison CompareDumps(const CompareOptions& options, const SplitSettings& split, const std::string& oldPath,
                            const std::string& newPath, OutputFile& mergeFile, SplitFigures* figures = nullptr);
