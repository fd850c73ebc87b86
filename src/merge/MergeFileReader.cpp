#include "merge/MergeFileReader.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>
#include <optional>
#include <string_view>
#include <utility>

#include "common/CompareSettings.h"
#include "common/MergeFileLayout.h"
#include "merge/FieldSplitting.h"
#include "merge/PhysicalLineReader.h"
#include "textcompare/RowScanner.h"

namespace {

constexpr std::string_view kSeparator = ",";
// What a row costs beyond its text: the row itself and a string per field.
constexpr std::uint64_t kRowOverhead = sizeof(CRowValues);
constexpr std::uint64_t kFieldOverhead = sizeof(std::string);

std::string_view WithoutTrailingCr(std::string_view line)
{
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

std::string Megabytes(std::uint64_t bytes)
{
    return std::to_string((bytes + (1u << 20) - 1) >> 20) + " MB";
}

// A refusal, raised inside the reader and turned into the problem it reports.
struct Refusal {
    std::size_t line;
    std::string text;
};

class Reader {
public:
    Reader(const std::string& path, const CompareSettings& settings, TableChangesArray& tables,
           const MergeFileLimits& limits)
        : m_path(path), m_settings(settings), m_tables(tables), m_limits(limits)
    {
    }

    void Read()
    {
        if (!m_file.Open(m_path))
            throw Refusal{0, "Cannot read the merge file " + m_path + ": " + std::strerror(errno) + "."};
        if (m_file.Size() > m_limits.memoryBytes)
            throw Refusal{0, "The merge file " + m_path + " (" + Megabytes(m_file.Size()) +
                                 ") is larger than the memory a merge can use (" + Megabytes(m_limits.memoryBytes) +
                                 ")."};
        m_file.SetMaxLine(static_cast<std::size_t>(m_limits.memoryBytes));
        while (NextLine())
            HandleLine();
        Finish();
    }

private:
    // The next physical line into m_raw; false at the end of the file.
    bool NextLine()
    {
        switch (m_file.Next(m_raw)) {
        case PhysicalLineReader::Result::Line:
            ++m_lineNumber;
            return true;
        case PhysicalLineReader::Result::End:
            return false;
        case PhysicalLineReader::Result::Error:
            throw Refusal{m_lineNumber + 1, "Cannot read the merge file " + m_path + ": " + std::strerror(errno) +
                                                " (line " + std::to_string(m_lineNumber + 1) + ")."};
        case PhysicalLineReader::Result::TooLong:
            break;
        }
        throw TooLarge(m_lineNumber + 1);
    }

    // A NUL byte belongs only inside a quoted value (text that holds one);
    // anywhere else it tells a file that is no merge file.
    Refusal NotText(std::size_t line) const
    {
        return {line, "The merge file " + m_path + " is not a text file: line " + std::to_string(line) +
                          " holds a NUL byte. Only a quoted value may hold one."};
    }

    static bool HoldsNul(std::string_view text) { return text.find('\0') != std::string_view::npos; }

    // Whether every NUL byte of a row is inside one of its quoted values.
    static bool NulOnlyInQuotedValues(const std::string& row)
    {
        std::string copy = row;
        CRowValues fields;
        SplitFields(copy, fields, kSeparator);
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (!fields.IsQuoted(i) && HoldsNul(fields[i]))
                return false;
        }
        return true;
    }

    Refusal TooLarge(std::size_t line) const
    {
        return {line, "The merge file " + m_path + " needs more memory than a merge can use (" +
                          Megabytes(m_limits.memoryBytes) + "); it was read up to line " + std::to_string(line) +
                          "."};
    }

    Refusal Broken(const std::string& what) const
    {
        return {m_lineNumber, "The merge file " + m_path + " cannot be merged: line " +
                                  std::to_string(m_lineNumber) + " " + what};
    }

    Refusal CutShort(const std::string& where) const
    {
        return {m_lineNumber, "The merge file " + m_path + " ends at line " + std::to_string(m_lineNumber) + " " +
                                  where + ": it was cut short, or is still being written."};
    }

    // Whether the file is of the kind that names its columns and ends with a mark.
    bool Whole() const { return m_namesColumns || m_endLine != 0; }

    void HandleLine()
    {
        const std::string_view line = WithoutTrailingCr(m_raw);
        if (m_endLine != 0) {
            if (!line.empty())
                throw Broken("follows the end mark of the file.");
            return;
        }
        if (line.empty()) {
            SetSides(false, false);
            return;
        }
        if (MergeFileLayout::IsSectionHead(line)) {
            StartSection(line);
            return;
        }
        std::size_t sections = 0;
        if (!m_oldSide && !m_newSide && MergeFileLayout::ParseEndMark(line, sections)) {
            if (sections != m_tables.size() + (m_current ? 1 : 0))
                throw Broken("is an end mark for " + std::to_string(sections) + " tables, but the file holds " +
                             std::to_string(m_tables.size() + (m_current ? 1 : 0)) + ".");
            FlushSection();
            m_endLine = m_lineNumber;
            return;
        }
        if (line == m_settings.m_strFile1SectionHeader) {
            SetSides(true, false);
            return;
        }
        if (line == m_settings.m_strFile2SectionHeader) {
            SetSides(false, true);
            return;
        }
        if (line == m_settings.m_strFile1SectionFooter || line == m_settings.m_strFile2SectionFooter) {
            SetSides(false, false);
            return;
        }
        const std::string& prefix1 = m_settings.m_strFile1LinePrefix;
        const std::string& prefix2 = m_settings.m_strFile2LinePrefix;
        if (!prefix1.empty() && line.starts_with(prefix1)) {
            SetSides(true, false);
            RowLine(prefix1.size());
            return;
        }
        if (!prefix2.empty() && line.starts_with(prefix2)) {
            SetSides(false, true);
            RowLine(prefix2.size());
            return;
        }
        RowLine(0);
    }

    void SetSides(bool oldSide, bool newSide)
    {
        m_oldSide = oldSide;
        m_newSide = newSide;
    }

    // The row that begins after `prefixLength` bytes of m_raw. A quoted field
    // still open at the end of the line takes in the following lines, line
    // breaks included, exactly as the comparison read the dump row.
    void RowLine(std::size_t prefixLength)
    {
        const std::size_t firstLine = m_lineNumber;
        m_row.assign(m_raw, prefixLength, std::string::npos);
        RowScanner scanner;
        scanner.FindRowEnd(m_row);
        scanner.FindRowEnd("\n", 1);
        while (scanner.InQuotedField()) {
            if (!NextLine())
                throw CutShort("inside a quoted value of the row that starts at line " + std::to_string(firstLine));
            m_row += '\n';
            m_row += m_raw;
            scanner.FindRowEnd(m_raw);
            scanner.FindRowEnd("\n", 1);
        }
        if (!m_row.empty() && m_row.back() == '\r')
            m_row.pop_back();
        if (HoldsNul(m_row) && !NulOnlyInQuotedValues(m_row))
            throw NotText(firstLine);
        if (!m_current)
            return;  // rows before the first head have no table
        if (!m_oldSide && !m_newSide) {
            if (Whole() && !m_row.empty())
                throw Broken("holds a row of neither side: the line prefixes and section headers of the Options "
                             "may differ from those the comparison wrote the file with.");
            return;
        }
        // Rows of a table mostly have the same number of fields: room for as
        // many as the last row had saves growing the field array step by step.
        m_scratch.Reserve(m_lastFieldCount);
        m_lastFieldCount = static_cast<std::size_t>(SplitFields(m_row, m_scratch, kSeparator));
        if (m_lastFieldCount == 0)
            return;
        const std::vector<std::string>& columns = m_current->columnNames;
        if (m_namesColumns && m_lastFieldCount != columns.size())
            throw Broken("holds a row of " + std::to_string(m_lastFieldCount) + " values, but the table " +
                         m_current->name + " has " + std::to_string(columns.size()) + " columns.");
        Account(m_lastFieldCount, firstLine);
        if (m_oldSide && m_newSide)
            m_current->deletes.push_back(m_scratch);
        (m_newSide ? m_current->adds : m_current->deletes).push_back(std::move(m_scratch));
        m_scratch = CRowValues();
    }

    void Account(std::size_t fields, std::size_t line)
    {
        std::uint64_t bytes = kRowOverhead + fields * kFieldOverhead;
        for (const std::string& text : m_scratch)
            bytes += text.size();
        m_held += bytes;
        if (m_held > m_limits.memoryBytes)
            throw TooLarge(line);
    }

    void StartSection(std::string_view head)
    {
        if (HoldsNul(head))
            throw NotText(m_lineNumber);
        FlushSection();
        m_current.emplace();
        ParseSectionHead(head, *m_current);
        m_current->headLine = m_lineNumber;
        // The line after a head is its column line, or, in files written
        // before, the blank line that ends the head; either way no row.
        // A head whose next line is the file's last and unfinished was cut.
        if (!NextLine() || !m_file.LineEnded())
            throw CutShort("inside the head of the table " + m_current->name);
        const std::string_view next = WithoutTrailingCr(m_raw);
        if (HoldsNul(next))
            throw NotText(m_lineNumber);
        if (next.starts_with(MergeFileLayout::kColumnsStart)) {
            if (!MergeFileLayout::ParseColumnsLine(next, m_current->columnNames))
                throw Broken("is a column line of the table " + m_current->name + " that cannot be read.");
            if (!m_namesColumns && !m_tables.empty())
                throw Broken("names the columns of the table " + m_current->name +
                             ", but earlier tables of the file name none.");
            m_namesColumns = true;
            // The blank line that ends the head.
            if (!NextLine())
                throw CutShort("inside the head of the table " + m_current->name);
            if (!WithoutTrailingCr(m_raw).empty())
                throw Broken("should end the head of the table " + m_current->name + " but holds text.");
            SetSides(false, false);
        } else if (m_namesColumns) {
            throw Broken("should name the columns of the table " + m_current->name + ".");
        }
    }

    void FlushSection()
    {
        if (!m_current)
            return;
        m_tables.push_back(std::move(*m_current));
        m_current.reset();
    }

    void Finish()
    {
        FlushSection();
        if (Whole() && m_endLine == 0)
            throw CutShort("without its end mark");
        if (!Whole() && m_tables.empty())
            throw Refusal{0, "The merge file " + m_path + " holds no table section." +
                                 (m_lineNumber == 0 ? " It is empty." : "")};
    }

    const std::string& m_path;
    const CompareSettings& m_settings;
    TableChangesArray& m_tables;
    const MergeFileLimits& m_limits;
    PhysicalLineReader m_file;
    std::optional<TableChanges> m_current;
    std::size_t m_lineNumber = 0;
    std::size_t m_endLine = 0;
    bool m_namesColumns = false;
    bool m_oldSide = false;
    bool m_newSide = false;
    std::uint64_t m_held = 0;
    std::string m_raw;
    std::string m_row;
    CRowValues m_scratch;
    std::size_t m_lastFieldCount = 0;
};

} // namespace

MergeFileLimits MergeFileLimits::Default()
{
    MergeFileLimits limits;
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    limits.memoryBytes = pages > 0 && pageSize > 0 ? static_cast<std::uint64_t>(pages) * pageSize / 2
                                                   : std::uint64_t(1) << 30;
    return limits;
}

void ParseSectionHead(std::string_view head, TableChanges& table)
{
    MergeFileLayout::SectionHeadFields fields = MergeFileLayout::ParseSectionHead(head);
    table.spelledName = std::move(fields.spelledName);
    table.name = std::move(fields.name);
    table.keyColumns = std::move(fields.keyColumns);
}

bool ReadMergeFile(const std::string& path, const CompareSettings& settings, TableChangesArray& tables,
                   MergeFileProblem& problem, const MergeFileLimits& limits)
{
    tables.clear();
    problem = MergeFileProblem();
    try {
        Reader(path, settings, tables, limits).Read();
        return true;
    } catch (const Refusal& refusal) {
        problem.line = refusal.line;
        problem.text = refusal.text;
    } catch (const std::bad_alloc&) {
        problem.text = "Not enough memory to read the merge file " + path + ".";
    }
    tables.clear();
    return false;
}
