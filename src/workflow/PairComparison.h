#pragma once
// The comparison engine's call for one pair of dumps: appends their differing
// lines to the merge file and says whether the comparison ran and how many
// lines each side has on its own.
#include <cstddef>
#include <string>

class CompareSettings;
class OutputFile;

struct PairComparison {
    bool compared = false;
    std::string reason;       // why not, for the user
    std::size_t removed = 0;  // lines only in the old dump
    std::size_t added = 0;    // lines only in the new dump
};

// Compares `oldPath` with `newPath` with the options and markers of `settings`
// (whose file paths are set to the two) and appends the report to `mergeFile`.
// A comparison that did not run may have written part of its report; the
// caller takes it back out.
PairComparison CompareDumps(CompareSettings& settings, const std::string& oldPath, const std::string& newPath,
                            OutputFile& mergeFile);
