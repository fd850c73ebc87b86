#pragma once
// Writes the result of a comparison: each run of removed and added blocks with
// its line prefixes, section headers and footers, and the common lines when
// they are asked for.
#include <cstdint>
#include <string>

#include "textcompare/CompareFiles.h"
#include "textcompare/Comparison.h"

class ReportWriter {
public:
    // `newline` ends the header and footer lines; the lines taken from the two
    // files keep their own terminators.
    ReportWriter(const Comparison& c, const CompareOptions& options, std::string newline, ReportSink& sink);

    // Takes the next entry of the result; false once a write failed.
    bool Add(const ResultEntry& entry);
    // Closes the last run; false when a write failed.
    bool Finish();

    std::int64_t RemovedLines() const { return m_removed; }
    std::int64_t AddedLines() const { return m_added; }

private:
    struct Group {
        bool open = false;
        bool headerWritten = false;
    };

    bool Write(std::string_view bytes);
    bool WriteMarker(const std::string& marker);
    bool WriteLines(const FileLines& file, const ResultEntry& entry, const std::string& prefix);
    bool CloseRun();

    const Comparison& m_c;
    const CompareOptions& m_options;
    std::string m_newline;
    ReportSink& m_sink;
    bool m_failed = false;
    bool m_inRun = false;
    bool m_lastWasFile1 = false;  // the side of the run's last lines
    Group m_group1;
    Group m_group2;
    std::int64_t m_removed = 0;
    std::int64_t m_added = 0;
};
