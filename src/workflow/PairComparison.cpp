#include "workflow/PairComparison.h"

#include <exception>

#include "common/OutputFile.h"
#include "textcompare/CompareFiles.h"
#include "textcompare/SplitCompare.h"

namespace {

// Keeps the merge file's own error, so that it can be raised again as it was
// once the engine, which never throws, has given up.
class MergeFileSink : public ReportSink {
public:
    explicit MergeFileSink(OutputFile& file) : m_file(file) {}

    bool Write(std::string_view bytes) override
    {
        if (m_error)
            return false;
        try {
            m_file.Write(bytes);
            return true;
        } catch (...) {
            m_error = std::current_exception();
            return false;
        }
    }

    std::exception_ptr Error() const { return m_error; }

private:
    OutputFile& m_file;
    std::exception_ptr m_error;
};

} // namespace

PairComparison CompareDumps(const CompareOptions& options, const SplitSettings& split, const std::string& oldPath,
                            const std::string& newPath, OutputFile& mergeFile, SplitFigures* figures)
{
    MergeFileSink sink(mergeFile);
    const CompareOutcome outcome = CompareFilesWithin(oldPath, newPath, options, split, sink, figures);
    if (sink.Error())
        std::rethrow_exception(sink.Error());
    PairComparison result;
    if (outcome.status == CompareStatus::Cancelled) {
        result.cancelled = true;
        return result;
    }
    if (outcome.status != CompareStatus::Compared) {
        result.reason = outcome.message;
        return result;
    }
    result.compared = true;
    result.removed = static_cast<std::size_t>(outcome.removedLines);
    result.added = static_cast<std::size_t>(outcome.addedLines);
    return result;
}
