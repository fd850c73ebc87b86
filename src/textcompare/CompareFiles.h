#pragma once
// The comparison engine's entry: two dump files in, their differing lines out
// to a sink, a status back. The engine keeps no state between two calls, never
// throws and never talks to the user; the caller decides what the user sees.
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/CompareSettings.h"

// What the engine needs to know, nothing else.
struct CompareOptions {
    bool ignoreWhitespace = false;  // spaces, tabs and CRs anywhere in a line do not count
    bool ignoreCase = false;        // ASCII letters compare without regard to case
    bool writeCommonSections = false;
    std::string file1LinePrefix = "|<<", file2LinePrefix = "||>>";
    std::string file1SectionHeader, file2SectionHeader, file1SectionFooter, file2SectionFooter;
    // Ends the report's own lines (headers, footers); empty: the newline of
    // file 1 (ReportNewline). A comparison of parts of two files passes the
    // whole file's, so that every part's report ends its lines alike.
    std::string reportNewline;
    // Set from another thread to stop the comparison: it ends with Cancelled
    // within a fraction of a second. None: it runs to the end.
    const std::atomic<bool>* stop = nullptr;
};

// The options a settings record asks for.
CompareOptions CompareOptionsOf(const CompareSettings& settings);

// The newline of a report's own lines for a file 1 that begins with `start`:
// "\n" when the first line break within its first 1,024 bytes is a bare LF,
// else "\r\n".
std::string ReportNewline(std::string_view start);

// Where the report goes.
class ReportSink {
public:
    virtual ~ReportSink() = default;
    // Appends bytes; false when the write failed, which ends the comparison.
    virtual bool Write(std::string_view bytes) = 0;
};

enum class CompareStatus { Compared, CannotRead, OutOfMemory, LimitExceeded, WriteFailed, Cancelled };

struct CompareOutcome {
    CompareStatus status = CompareStatus::Compared;
    std::string message;            // for the user when not Compared (empty when Cancelled); names the file
    std::int64_t removedLines = 0;  // lines written with the file-1 prefix (rows only in the old dump)
    std::int64_t addedLines = 0;    // lines written with the file-2 prefix
};

// Compares file 1 (the old dump) with file 2 (the new dump) and writes the
// lines that only one of them holds to `sink`, grouped into runs with the
// configured prefixes, headers and footers. Lines paired with a line of the
// other file are never reported, whatever their order. On a failure or a
// stop the report may have been written in part.
CompareOutcome CompareFiles(const std::string& file1, const std::string& file2, const CompareOptions& options,
                            ReportSink& sink);
