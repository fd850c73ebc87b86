// The whole comparison of two dump files, with the option flags.
//
// Input: one flag byte, then file 1, a line "%%", then file 2 (without such a
// line file 2 is empty). Flags: 1 ignore whitespace, 2 ignore case, 4 section
// headers and footers.
//
// Invariants:
// - a file compared with itself writes nothing (common sections off);
// - with common sections on, the common and the removed lines of the report,
//   in report order, are the rows of file 1 in order, and the common and the
//   added lines are the rows of file 2 (in any order: a table has no row order).
//   Under the ignore options rows count as equal as the engine defines it, and
//   under "ignore whitespace" blank rows may go unreported.
//
// The report is taken apart by prefixes and markers that start with a byte
// neither file holds, so no row can be mistaken for one of them.
#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "common/OutputFile.h"
#include "textcompare/CompareReport.h"
#include "textcompare/CompareSettings.h"

namespace {

constexpr std::uint8_t kIgnoreWhitespace = 1;
constexpr std::uint8_t kIgnoreCase = 2;
constexpr std::uint8_t kMarkers = 4;

struct Input {
    std::uint8_t flags = 0;
    std::string_view file1;
    std::string_view file2;
};

Input SplitInput(std::string_view bytes)
{
    Input input;
    input.flags = static_cast<std::uint8_t>(bytes[0]);
    bytes.remove_prefix(1);
    // The separator line "%%", at the start or after an LF.
    std::size_t at = bytes.starts_with("%%\n") ? 0 : bytes.find("\n%%\n");
    if (at == std::string_view::npos) {
        input.file1 = bytes;
        return input;
    }
    if (at != 0 || !bytes.starts_with("%%\n"))
        ++at;  // file 1 keeps its LF
    input.file1 = bytes.substr(0, at);
    input.file2 = bytes.substr(at + 3);
    return input;
}

// A byte that neither file holds, or none.
std::optional<char> AbsentByte(std::string_view a, std::string_view b)
{
    std::array<bool, 256> seen{};
    for (const char c : a)
        seen[static_cast<unsigned char>(c)] = true;
    for (const char c : b)
        seen[static_cast<unsigned char>(c)] = true;
    // Printable bytes first: an artifact stays readable.
    for (int c = 0x21; c < 0x100; ++c) {
        if (!seen[static_cast<std::size_t>(c)] && c != '"' && c != ',')
            return static_cast<char>(c);
    }
    return std::nullopt;
}

struct Outcome {
    int result = 0;
    std::string report;
};

Outcome Compare(CompareSettings& settings, std::string_view file1, std::string_view file2)
{
    settings.m_strFile1Path = fuzz::WriteScratchFile("file1", file1);
    settings.m_strFile2Path = fuzz::WriteScratchFile("file2", file2);
    const std::string reportPath = fuzz::WriteScratchFile("report", "");
    Outcome outcome;
    {
        OutputFile report(reportPath, OutputFile::Mode::Untranslated);
        outcome.result = CompareFiles(settings, report);
        report.Close();
    }
    outcome.report = fuzz::ReadWholeFile(reportPath);
    return outcome;
}

// A row as the options see it: without the bytes "ignore whitespace" skips,
// ASCII letters in upper case under "ignore case".
std::string Normalised(std::string_view row, std::uint8_t flags)
{
    std::string text;
    for (char c : row) {
        if ((flags & kIgnoreWhitespace) && (c == ' ' || c == '\t' || c == '\r'))
            continue;
        if ((flags & kIgnoreCase) && c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        text += c;
    }
    return text;
}

bool IsBlank(std::string_view row)
{
    const std::size_t end = row.find_first_not_of(" \t\r");
    return end == std::string_view::npos || row[end] == '\n';
}

// The rows as the options compare them; blank rows are left out under
// "ignore whitespace", where the engine may leave unpaired ones unreported.
std::vector<std::string> Comparable(const std::vector<std::string_view>& rows, std::uint8_t flags)
{
    std::vector<std::string> result;
    for (const std::string_view row : rows) {
        if ((flags & kIgnoreWhitespace) && IsBlank(row))
            continue;
        result.push_back(Normalised(row, flags));
    }
    return result;
}

struct ParsedReport {
    std::vector<std::string_view> file1Side;  // common and removed rows, in report order
    std::vector<std::string_view> file2Side;  // common and added rows, in report order
};

// Takes the report apart: every prefix and marker begins with `tag`, which no
// row holds, so the report splits at it into pieces of one prefixed row or one
// marker line, each followed by common rows.
ParsedReport ParseReport(std::string_view report, char tag)
{
    ParsedReport parsed;
    bool first = true;
    while (!report.empty() || first) {
        const std::size_t next = first ? 0 : 1;
        const std::size_t end = report.find(tag, next);
        std::string_view piece = report.substr(0, end);
        report.remove_prefix(end == std::string_view::npos ? report.size() : end);
        std::vector<std::string_view>* prefixedSide = nullptr;
        if (!first) {
            piece.remove_prefix(1);  // the tag
            const char kind = piece.empty() ? '\0' : piece[0];
            piece.remove_prefix(piece.empty() ? 0 : 1);
            if (kind == '<') {
                prefixedSide = &parsed.file1Side;
            } else if (kind == '>') {
                prefixedSide = &parsed.file2Side;
            } else {
                fuzz::Check(kind == 'M', "every tagged piece is a prefixed row or a marker");
                const std::size_t lf = piece.find('\n');
                fuzz::Check(lf != std::string_view::npos, "a marker ends its line");
                fuzz::Check(piece.substr(0, lf) == "H1" || piece.substr(0, lf) == "H2" ||
                                piece.substr(0, lf) == "F1" || piece.substr(0, lf) == "F2" ||
                                piece.substr(0, lf) == "H1\r" || piece.substr(0, lf) == "H2\r" ||
                                piece.substr(0, lf) == "F1\r" || piece.substr(0, lf) == "F2\r",
                            "a marker line is a configured marker");
                piece.remove_prefix(lf + 1);
            }
        }
        first = false;
        const std::vector<std::string_view> rows = fuzz::SplitRows(piece);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (i == 0 && prefixedSide) {
                prefixedSide->push_back(rows[i]);
            } else {
                parsed.file1Side.push_back(rows[i]);
                parsed.file2Side.push_back(rows[i]);
            }
        }
        if (end == std::string_view::npos)
            break;
    }
    return parsed;
}

void SetOptions(CompareSettings& settings, std::uint8_t flags)
{
    settings.m_bIgnoreWhitespace = (flags & kIgnoreWhitespace) ? 1 : 0;
    settings.m_bIgnoreCase = (flags & kIgnoreCase) ? 1 : 0;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::QuietHooks();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const Input input = SplitInput(fuzz::Bytes(data, size));

    {
        CompareSettings same;
        SetOptions(same, input.flags);
        same.m_bWriteCommonSections = 0;
        const Outcome outcome = Compare(same, input.file1, input.file1);
        fuzz::Check(outcome.report.empty(), "a file compared with itself writes nothing");
    }

    const std::optional<char> tag = AbsentByte(input.file1, input.file2);
    if (!tag)
        return 0;
    const std::string t(1, *tag);
    CompareSettings settings;
    SetOptions(settings, input.flags);
    settings.m_bWriteCommonSections = 1;
    settings.m_strFile1LinePrefix = t + "<";
    settings.m_strFile2LinePrefix = t + ">";
    if (input.flags & kMarkers) {
        settings.m_strFile1SectionHeader = t + "MH1";
        settings.m_strFile2SectionHeader = t + "MH2";
        settings.m_strFile1SectionFooter = t + "MF1";
        settings.m_strFile2SectionFooter = t + "MF2";
    }
    const Outcome outcome = Compare(settings, input.file1, input.file2);
    if (outcome.result != 1)
        return 0;  // not compared: the caller reports it, and nothing is claimed

    const ParsedReport parsed = ParseReport(outcome.report, *tag);
    const std::vector<std::string_view> rows1 = fuzz::SplitRows(input.file1);
    const std::vector<std::string_view> rows2 = fuzz::SplitRows(input.file2);
    if ((input.flags & (kIgnoreWhitespace | kIgnoreCase)) == 0) {
        fuzz::Check(parsed.file1Side == rows1, "common and removed rows are file 1, byte for byte, in order");
    }
    fuzz::Check(Comparable(parsed.file1Side, input.flags) == Comparable(rows1, input.flags),
                "common and removed rows are file 1 in order");
    std::vector<std::string> side2 = Comparable(parsed.file2Side, input.flags);
    std::vector<std::string> expected2 = Comparable(rows2, input.flags);
    std::sort(side2.begin(), side2.end());
    std::sort(expected2.begin(), expected2.end());
    fuzz::Check(side2 == expected2, "common and added rows are the rows of file 2");
    return 0;
}
