#include "textcompare/CompareFiles.h"

#include <cstring>
#include <new>

#include "textcompare/CompareReport.h"
#include "textcompare/Comparison.h"
#include "textcompare/MergeBlocks.h"
#include "textcompare/MessageDrain.h"

namespace {

CompareOutcome Failure(CompareStatus status, std::string message)
{
    CompareOutcome outcome;
    outcome.status = status;
    outcome.message = std::move(message);
    return outcome;
}

std::string BothFiles(const std::string& file1, const std::string& file2)
{
    return "the files " + file1 + " and " + file2;
}

// Loads one file; an outcome that is not Compared when that failed.
CompareOutcome Load(FileLines& lines, const std::string& path, const std::string& otherPath, bool isFile1,
                    const LineRules& rules, const std::atomic<bool>* stop)
{
    std::string error;
    switch (lines.Load(path, rules, error, stop)) {
    case FileLines::LoadResult::Loaded:
        return CompareOutcome();
    case FileLines::LoadResult::Cancelled:
        return Failure(CompareStatus::Cancelled, std::string());
    case FileLines::LoadResult::CannotRead:
        return Failure(CompareStatus::CannotRead, "Cannot read the file " + path + ": " + error);
    case FileLines::LoadResult::TooManyLines:
        return Failure(CompareStatus::LimitExceeded, "The file " + path + " has more than " +
                                                         std::to_string(kMaxLines) +
                                                         " lines, more than a comparison can hold.");
    case FileLines::LoadResult::OutOfMemory:
        break;
    }
    return Failure(CompareStatus::OutOfMemory,
                   "Not enough memory to compare " +
                       (isFile1 ? BothFiles(path, otherPath) : BothFiles(otherPath, path)) + ".");
}

} // namespace

std::string ReportNewline(std::string_view start)
{
    start = start.substr(0, 1024);
    const std::size_t lf = start.find('\n');
    const bool bareLf = lf != std::string_view::npos && lf > 0 && start[lf - 1] != '\r';
    return bareLf ? "\n" : "\r\n";
}

CompareOptions CompareOptionsOf(const CompareSettings& settings)
{
    CompareOptions options;
    options.ignoreWhitespace = settings.m_bIgnoreWhitespace != 0;
    options.ignoreCase = settings.m_bIgnoreCase != 0;
    options.writeCommonSections = settings.m_bWriteCommonSections != 0;
    options.file1LinePrefix = settings.m_strFile1LinePrefix;
    options.file2LinePrefix = settings.m_strFile2LinePrefix;
    options.file1SectionHeader = settings.m_strFile1SectionHeader;
    options.file2SectionHeader = settings.m_strFile2SectionHeader;
    options.file1SectionFooter = settings.m_strFile1SectionFooter;
    options.file2SectionFooter = settings.m_strFile2SectionFooter;
    return options;
}

CompareOutcome CompareFiles(const std::string& file1, const std::string& file2, const CompareOptions& options,
                            ReportSink& sink)
{
    try {
        Comparison c;
        c.rules.ignoreWhitespace = options.ignoreWhitespace;
        c.rules.ignoreCase = options.ignoreCase;
        c.stop = options.stop;

        // Prepare: both files into memory, split into hashed lines.
        CompareOutcome loaded = Load(c.file1, file1, file2, true, c.rules, c.stop);
        if (loaded.status != CompareStatus::Compared)
            return loaded;
        // The unique-line map is built from the lines' keys alone, and file
        // 1's text is read again only after it, in order. Letting that text's
        // memory go until then means that the map and both texts are never
        // resident together, which was a comparison's peak. File 2's text
        // stays: matching reads it anywhere, fetching ahead, and a hint to
        // fetch does not bring back a page that was let go.
        c.file1.ReleaseText();
        loaded = Load(c.file2, file2, file1, false, c.rules, c.stop);
        if (loaded.status != CompareStatus::Compared)
            return loaded;

        // Match: pair the lines and group them into blocks.
        ComputeDifferences(c);

        // Emit: walk the blocks in report order straight into the report.
        // Without common sections a Common entry only ends a run, and one does.
        ReportWriter writer(c, options,
                            options.reportNewline.empty() ? ReportNewline(c.file1.AllBytes()) : options.reportNewline,
                            sink);
        const CommonEntries common =
            options.writeCommonSections ? CommonEntries::Each : CommonEntries::FirstOfRun;
        const bool written =
            MergeBlocks(c, [&writer](const ResultEntry& entry) { return writer.Add(entry); }, common) &&
            writer.Finish();
        CompareOutcome outcome;
        outcome.removedLines = writer.RemovedLines();
        outcome.addedLines = writer.AddedLines();
        if (!written) {
            outcome.status = CompareStatus::WriteFailed;
            outcome.message = "Cannot write the differences between " + BothFiles(file1, file2) + ".";
        }
        return outcome;
    } catch (const std::bad_alloc&) {
        return Failure(CompareStatus::OutOfMemory, "Not enough memory to compare " + BothFiles(file1, file2) + ".");
    } catch (const ComparisonStopped&) {
        return Failure(CompareStatus::Cancelled, std::string());
    }
}
