#include "workflow/PairComparison.h"

#include <fstream>

#include "common/OutputFile.h"
#include "textcompare/CompareReport.h"
#include "textcompare/CompareSettings.h"

namespace {

// Counts the report lines (each starts a line of the merge file) that begin
// with either side's prefix, in what was appended from `from` on.
void CountReportLines(const CompareSettings& settings, OutputFile& mergeFile, std::uint64_t from,
                      PairComparison& result)
{
    mergeFile.Flush();
    std::ifstream in(mergeFile.Path(), std::ios::binary);
    in.seekg(static_cast<std::streamoff>(from));
    const std::string& removed = settings.m_strFile1LinePrefix;
    const std::string& added = settings.m_strFile2LinePrefix;
    std::string line;
    bool lineStart = true;
    while (std::getline(in, line)) {
        // A value's own line break is a bare "\n"; a report line ends in CR LF.
        if (lineStart) {
            if (!removed.empty() && line.compare(0, removed.size(), removed) == 0)
                ++result.removed;
            else if (!added.empty() && line.compare(0, added.size(), added) == 0)
                ++result.added;
        }
        lineStart = !line.empty() && line.back() == '\r';
    }
}

} // namespace

PairComparison CompareDumps(CompareSettings& settings, const std::string& oldPath, const std::string& newPath,
                            OutputFile& mergeFile)
{
    settings.m_strFile1Path = oldPath;
    settings.m_strFile2Path = newPath;
    if (HasComparison(settings.m_context))
        ReleaseContext(settings.m_context);
    const std::uint64_t before = mergeFile.Size();
    PairComparison result;
    // A dump always holds its header line, so a comparison without a result
    // list did not run (a file that could not be read, memory).
    if (CompareFiles(settings, mergeFile) != 1 || settings.m_context.result == nullptr) {
        result.reason = "the comparison of " + oldPath + " with " + newPath + " did not run";
        return result;
    }
    result.compared = true;
    CountReportLines(settings, mergeFile, before, result);
    return result;
}
