#include "textcompare/CompareReport.h"

#include <cstring>
#include <new>

#include "common/UiHooks.h"
#include "textcompare/ComparisonOptions.h"
#include "textcompare/FileProbe.h"
#include "textcompare/LineBlock.h"

namespace {

constexpr const char* kApplicationTitle = "Tolvane and Merge";

void WriteText(OutputFile& file, const char* text)
{
    file.Write(text, std::strlen(text));
}

// A configured marker line; an empty marker writes nothing, not even the newline.
void WriteMarker(OutputFile& file, const std::string& marker, const std::string& newline)
{
    if (marker.empty())
        return;
    file.Write(marker);
    file.Write(newline);
}

void WriteLines(OutputFile& file, const LineBlock* block, const std::string& prefix)
{
    for (const LineRecord* line = block->first; line; line = NextLine(line)) {
        if (!prefix.empty())
            file.Write(prefix);
        WriteText(file, line->text);
        if (line == block->last)
            break;
    }
}

// The marker texts of one side of the report.
struct SideMarkers {
    const std::string& prefix;
    const std::string& header;
    const std::string& footer;
};

// One group of a run: closes the other side's group (when it has a footer) and
// opens this side's, the first time this side appears in the run.
struct GroupState {
    bool open = false;
    bool headerWritten = false;
};

void WriteRunBlock(OutputFile& file, const LineBlock* block, const SideMarkers& mine,
                   GroupState& myGroup, const SideMarkers& other, GroupState& otherGroup,
                   const std::string& newline)
{
    if (!myGroup.headerWritten) {
        if (otherGroup.open && !other.footer.empty()) {
            WriteMarker(file, other.footer, newline);
            otherGroup.open = false;
        }
        WriteMarker(file, mine.header, newline);
        myGroup.open = true;
        myGroup.headerWritten = true;
    }
    WriteLines(file, block, mine.prefix);
}

bool IsRunBlock(const LineBlock* block)
{
    return block && (block->type == OnlyInFile1 || block->type == OnlyInFile2);
}

// Writes the run of removed and added blocks starting at `block` and returns
// the block after it.
const LineBlock* WriteRun(OutputFile& file, const LineBlock* block, const CompareSettings& s,
                          const std::string& newline)
{
    const SideMarkers side1{s.m_strFile1LinePrefix, s.m_strFile1SectionHeader, s.m_strFile1SectionFooter};
    const SideMarkers side2{s.m_strFile2LinePrefix, s.m_strFile2SectionHeader, s.m_strFile2SectionFooter};
    GroupState group1;
    GroupState group2;
    for (; IsRunBlock(block); block = NextBlock(block)) {
        if (block->type == OnlyInFile2)
            WriteRunBlock(file, block, side2, group2, side1, group1, newline);
        else
            WriteRunBlock(file, block, side1, group1, side2, group2, newline);
    }
    // At most one footer closes the run.
    if (group1.open && !side1.footer.empty())
        WriteMarker(file, side1.footer, newline);
    else if (group2.open && !side2.footer.empty())
        WriteMarker(file, side2.footer, newline);
    return block;
}

} // namespace

void WriteReport(const CompareSettings& settings, const std::string& newline, OutputFile& mergeFile)
{
    const LineBlock* block = FirstBlock(settings.m_context.result);
    while (block) {
        if (block->type == Common) {
            if (settings.m_bWriteCommonSections)
                WriteLines(mergeFile, block, std::string());
            block = NextBlock(block);
            continue;
        }
        block = WriteRun(mergeFile, block, settings, newline);
    }
}

int CompareFiles(CompareSettings& settings, OutputFile& mergeFile)
{
    try {
        if (settings.m_strFile1Path.empty() || settings.m_strFile2Path.empty())
            return 0;
        // Every pair is probed: one binary pair says nothing about the next.
        bool bareLf = false;
        settings.m_nFileKind = CompareSettings::kFileKindUnknown;
        if (ProbeFile(settings.m_strFile1Path, &bareLf) || ProbeFile(settings.m_strFile2Path, nullptr))
            settings.m_nFileKind = CompareSettings::kFileKindBinary;
        WaitCursor wait;
        if (settings.m_nFileKind == CompareSettings::kFileKindBinary)
            return 0;
        const std::string newline = bareLf ? "\n" : "\r\n";
        g_comparisonOptions.ignoreWhitespace = settings.m_bIgnoreWhitespace;
        g_comparisonOptions.ignoreCase = settings.m_bIgnoreCase;
        BuildContext(settings.m_strFile1Path, settings.m_strFile2Path, settings.m_context);
        WriteReport(settings, newline, mergeFile);
        return 1;
    } catch (const FileError& e) {
        ReportError(kApplicationTitle, e.what());
    } catch (const std::bad_alloc& e) {
        ReportError(kApplicationTitle, e.what());
    }
    return 0;
}
