#include "workflow/PairComparison.h"

#include "common/CompareSettings.h"
#include "common/OutputFile.h"
#include "textcompare/CompareFiles.h"
#include "textcompare/OutputFileSink.h"

PairComparison CompareDumps(CompareSettings& settings, const std::string& oldPath, const std::string& newPath,
                            OutputFile& mergeFile)
{
    settings.m_strFile1Path = oldPath;
    settings.m_strFile2Path = newPath;
    OutputFileSink sink(mergeFile);
    const CompareOutcome outcome = CompareFiles(oldPath, newPath, CompareOptionsOf(settings), sink);
    PairComparison result;
    if (outcome.status != CompareStatus::Compared) {
        // A failed write names the merge file and its reason.
        result.reason = outcome.status == CompareStatus::WriteFailed && !sink.Error().empty() ? sink.Error()
                                                                                               : outcome.message;
        return result;
    }
    result.compared = true;
    result.removed = static_cast<std::size_t>(outcome.removedLines);
    result.added = static_cast<std::size_t>(outcome.addedLines);
    return result;
}
