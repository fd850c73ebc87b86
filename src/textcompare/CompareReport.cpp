#include "textcompare/CompareReport.h"

#include <utility>

ReportWriter::ReportWriter(const Comparison& c, const CompareOptions& options, std::string newline,
                           ReportSink& sink)
    : m_c(c), m_options(options), m_newline(std::move(newline)), m_sink(sink)
{
}

bool ReportWriter::Write(std::string_view bytes)
{
    if (!m_failed && !bytes.empty() && !m_sink.Write(bytes))
        m_failed = true;
    return !m_failed;
}

// A configured marker line; an empty marker writes nothing, not even the newline.
bool ReportWriter::WriteMarker(const std::string& marker)
{
    if (marker.empty())
        return !m_failed;
    return Write(marker) && Write(m_newline);
}

bool ReportWriter::WriteLines(const FileLines& file, const ResultEntry& entry, const std::string& prefix)
{
    for (LineIndex line = entry.first; line <= entry.last; ++line) {
        if (!Write(prefix) || !Write(file.Text(line)))
            return false;
    }
    return true;
}

bool ReportWriter::Add(const ResultEntry& entry)
{
    if (m_failed)
        return false;
    if (entry.type == Common) {
        if (!m_inRun && !m_options.writeCommonSections)
            return true;  // the usual case of rows in both dumps: nothing to do
        if (!CloseRun())
            return false;
        return !m_options.writeCommonSections || WriteLines(m_c.file2, entry, std::string());
    }
    // A removed or added block opens a run or goes on with it. Within a run
    // each side's header is written once; the first time a side appears, the
    // other side's open group is closed by its footer. A side whose lines
    // carry no prefix is told only by its header, though: lines of that side
    // after lines of the other would be read as the other side's (a removed
    // row as a new one), so its header comes again wherever the sides change.
    const bool isFile1 = entry.type == OnlyInFile1;
    const bool sideChanged = m_inRun && m_lastWasFile1 != isFile1;
    m_inRun = true;
    m_lastWasFile1 = isFile1;
    Group& mine = isFile1 ? m_group1 : m_group2;
    Group& other = isFile1 ? m_group2 : m_group1;
    const std::string& otherFooter = isFile1 ? m_options.file2SectionFooter : m_options.file1SectionFooter;
    const std::string& prefix = isFile1 ? m_options.file1LinePrefix : m_options.file2LinePrefix;
    if (!mine.headerWritten || (sideChanged && prefix.empty())) {
        if (other.open && !otherFooter.empty()) {
            if (!WriteMarker(otherFooter))
                return false;
            other.open = false;
        }
        if (!WriteMarker(isFile1 ? m_options.file1SectionHeader : m_options.file2SectionHeader))
            return false;
        mine.open = true;
        mine.headerWritten = true;
    }
    const std::int64_t lines = std::int64_t(entry.last) - entry.first + 1;
    (isFile1 ? m_removed : m_added) += lines;
    return WriteLines(isFile1 ? m_c.file1 : m_c.file2, entry, prefix);
}

// At most one footer closes a run.
bool ReportWriter::CloseRun()
{
    if (!m_inRun)
        return true;
    bool written = true;
    if (m_group1.open && !m_options.file1SectionFooter.empty())
        written = WriteMarker(m_options.file1SectionFooter);
    else if (m_group2.open && !m_options.file2SectionFooter.empty())
        written = WriteMarker(m_options.file2SectionFooter);
    m_inRun = false;
    m_group1 = Group();
    m_group2 = Group();
    return written;
}

bool ReportWriter::Finish()
{
    return CloseRun() && !m_failed;
}
