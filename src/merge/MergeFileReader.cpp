#include "merge/MergeFileReader.h"

#include <new>
#include <string_view>
#include <utility>

#include "common/MergeFileLayout.h"
#include "merge/FieldSplitting.h"
#include "merge/PhysicalLineReader.h"
#include "common/CompareSettings.h"
#include "textcompare/RowScanner.h"

namespace {

constexpr std::string_view kSeparator = ",";

std::string_view WithoutTrailingCr(std::string_view line)
{
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

class Reader {
public:
    Reader(const CompareSettings& settings, CTableRowsArray& oldTables, CTableRowsArray& newTables)
        : m_settings(settings), m_oldTables(oldTables), m_newTables(newTables)
    {
    }

    int Read(const std::string& path)
    {
        if (!m_file.Open(path))
            return 0;
        for (;;) {
            const auto result = m_file.Next(m_raw);
            if (result == PhysicalLineReader::Result::Error)
                return 0;
            if (result == PhysicalLineReader::Result::End)
                break;
            if (!HandleLine())
                return 0;
            if (m_atEnd)
                break;
        }
        FlushSection();
        return 1;
    }

private:
    // Classifies the line in m_raw. False on a read error.
    bool HandleLine()
    {
        const std::string_view line = WithoutTrailingCr(m_raw);
        if (line.empty()) {
            SetSides(false, false);
            return true;
        }
        if (MergeFileLayout::IsSectionHead(line)) {
            StartSection(line);
            // The line after a head is its blank line; it is dropped unread.
            const auto result = m_file.Next(m_raw);
            m_atEnd = result == PhysicalLineReader::Result::End;
            return result != PhysicalLineReader::Result::Error;
        }
        if (line == m_settings.m_strFile1SectionHeader) {
            SetSides(true, false);
            return true;
        }
        if (line == m_settings.m_strFile2SectionHeader) {
            SetSides(false, true);
            return true;
        }
        if (line == m_settings.m_strFile1SectionFooter || line == m_settings.m_strFile2SectionFooter) {
            SetSides(false, false);
            return true;
        }
        const std::string& prefix1 = m_settings.m_strFile1LinePrefix;
        const std::string& prefix2 = m_settings.m_strFile2LinePrefix;
        if (!prefix1.empty() && line.starts_with(prefix1)) {
            SetSides(true, false);
            return RowLine(prefix1.size());
        }
        if (!prefix2.empty() && line.starts_with(prefix2)) {
            SetSides(false, true);
            return RowLine(prefix2.size());
        }
        return RowLine(0);
    }

    void SetSides(bool oldSide, bool newSide)
    {
        m_oldSide = oldSide;
        m_newSide = newSide;
    }

    // The row that begins after `prefixLength` bytes of m_raw. A quoted field
    // still open at the end of the line takes in the following lines, line
    // breaks included, exactly as the comparison read the dump row.
    bool RowLine(std::size_t prefixLength)
    {
        m_row.assign(m_raw, prefixLength, std::string::npos);
        RowScanner scanner;
        scanner.FindRowEnd(m_row);
        scanner.FindRowEnd("\n", 1);
        while (scanner.InQuotedField()) {
            const auto result = m_file.Next(m_raw);
            if (result == PhysicalLineReader::Result::Error)
                return false;
            if (result == PhysicalLineReader::Result::End) {
                m_atEnd = true;
                break;
            }
            m_row += '\n';
            m_row += m_raw;
            scanner.FindRowEnd(m_raw);
            scanner.FindRowEnd("\n", 1);
        }
        if (!m_row.empty() && m_row.back() == '\r')
            m_row.pop_back();
        if (!m_oldSide && !m_newSide)
            return true;
        // Rows of a table mostly have the same number of fields: room for as
        // many as the last row had saves growing the field array step by step.
        m_scratch.Reserve(m_lastFieldCount);
        m_lastFieldCount = static_cast<std::size_t>(SplitFields(m_row, m_scratch, kSeparator));
        if (m_lastFieldCount == 0)
            return true;
        if (m_oldSide && m_newSide)
            m_currentOld.push_back(m_scratch);
        (m_newSide ? m_currentNew : m_currentOld).push_back(std::move(m_scratch));
        m_scratch = CRowValues();
        return true;
    }

    void StartSection(std::string_view head)
    {
        FlushSection();
        m_currentOld.clear();
        m_currentNew.clear();
        ParseSectionHead(head, m_currentNew);
        ParseSectionHead(head, m_currentOld);
    }

    // Rows gathered before the first head have no table and are dropped.
    void FlushSection()
    {
        if (m_currentNew.m_strTable.empty())
            return;
        m_oldTables.push_back(std::move(m_currentOld));
        m_newTables.push_back(std::move(m_currentNew));
        m_currentOld = CTableRows();
        m_currentNew = CTableRows();
    }

    const CompareSettings& m_settings;
    CTableRowsArray& m_oldTables;
    CTableRowsArray& m_newTables;
    PhysicalLineReader m_file;
    CTableRows m_currentOld;
    CTableRows m_currentNew;
    bool m_oldSide = false;
    bool m_newSide = false;
    bool m_atEnd = false;
    std::string m_raw;
    std::string m_row;
    CRowValues m_scratch;
    std::size_t m_lastFieldCount = 0;
};

} // namespace

void ParseSectionHead(std::string_view head, CTableRows& table)
{
    MergeFileLayout::SectionHeadFields fields = MergeFileLayout::ParseSectionHead(head);
    table.m_strTable = std::move(fields.spelledName);
    table.m_keyColumns = std::move(fields.keyColumns);
}

int ReadMergeFile(const std::string& path, const CompareSettings& settings, CTableRowsArray& oldTables,
                  CTableRowsArray& newTables)
{
    try {
        return Reader(settings, oldTables, newTables).Read(path);
    } catch (const std::bad_alloc&) {
        return 0;
    }
}
