// The whole comparison of two dump files, with the option flags.
//
// Input: one flag byte, then file 1, a line "%%", then file 2 (without such a
// line file 2 is empty). Flags: 1 ignore whitespace, 2 ignore case, 4 section
// headers and footers.
//
// Invariants:
// - two readable files are always compared, whatever bytes they hold;
// - a file compared with itself writes nothing (common sections off);
// - with common sections on, the common and the added lines of the report are
//   file 2, row for row, in order; the common and the removed lines are the rows
//   of file 1, the removed ones in file 1's order (the common lines follow file
//   2: rows that moved are paired, not reported, since a table has no row
//   order). Under the ignore options rows count as equal as the engine defines
//   it, and under "ignore whitespace" blank rows may go unreported;
// - the removed rows are the rows of file 1 that file 2 lacks, copy for copy
//   (the multiset difference), the added rows those of file 2 that file 1
//   lacks, and comparing file 2 with file 1 swaps the two;
// - the outcome counts the removed and added lines the report holds;
// - with markers and empty line prefixes, every removed row follows the file-1
//   header and every added row the file-2 header, as the merge reader sorts
//   them, however the sides alternate within a run.
//
// The report is taken apart by prefixes and markers that start with a byte
// neither file holds, so no row can be mistaken for one of them.
#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "textcompare/CompareFiles.h"

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

// The report, kept in memory.
class StringSink : public ReportSink {
public:
    bool Write(std::string_view bytes) override
    {
        text += bytes;
        return true;
    }
    std::string text;
};

struct Outcome {
    CompareOutcome outcome;
    std::string report;
};

Outcome Compare(const CompareOptions& options, std::string_view file1, std::string_view file2)
{
    StringSink sink;
    Outcome result;
    result.outcome = CompareFiles(fuzz::WriteScratchFile("file1", file1), fuzz::WriteScratchFile("file2", file2),
                                  options, sink);
    result.report = std::move(sink.text);
    return result;
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

template <class T>
std::vector<T> Sorted(std::vector<T> items)
{
    std::sort(items.begin(), items.end());
    return items;
}

// Whether `part` appears in `whole` in the same order (not necessarily together).
bool IsSubsequence(const std::vector<std::string>& part, const std::vector<std::string>& whole)
{
    std::size_t at = 0;
    for (const std::string& item : part) {
        while (at < whole.size() && whole[at] != item)
            ++at;
        if (at == whole.size())
            return false;
        ++at;
    }
    return true;
}

// The rows of sorted `a` that sorted `b` lacks, copy for copy.
std::vector<std::string> MultisetDifference(const std::vector<std::string>& a, const std::vector<std::string>& b)
{
    std::vector<std::string> difference;
    std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(difference));
    return difference;
}

struct ParsedReport {
    std::vector<std::string_view> file1Side;  // common and removed rows, in report order
    std::vector<std::string_view> file2Side;  // common and added rows, in report order
    std::vector<std::string_view> removedRows;
    std::vector<std::string_view> addedRows;
    std::int64_t removed = 0;
    std::int64_t added = 0;
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
                ++parsed.removed;
            } else if (kind == '>') {
                prefixedSide = &parsed.file2Side;
                ++parsed.added;
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
                (prefixedSide == &parsed.file1Side ? parsed.removedRows : parsed.addedRows).push_back(rows[i]);
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

struct SectionedRows {
    std::vector<std::string_view> file1;
    std::vector<std::string_view> file2;
    bool unplaced = false;  // a row outside any section
};

// Takes apart a report written with markers, empty line prefixes and no
// common sections the way the merge reader does: a row belongs to the side
// whose header came last, and a footer ends the side. The markers begin with
// `tag`, which no row holds.
SectionedRows ReadSections(std::string_view report, char tag)
{
    SectionedRows rows;
    std::vector<std::string_view>* side = nullptr;
    while (!report.empty()) {
        if (report[0] == tag) {
            const std::size_t lf = report.find('\n');
            fuzz::Check(lf != std::string_view::npos && lf >= 2, "a marker ends its line");
            std::string_view marker = report.substr(2, lf - 2);  // past the tag and "M"
            if (marker.ends_with('\r'))
                marker.remove_suffix(1);
            side = marker == "H1" ? &rows.file1 : marker == "H2" ? &rows.file2 : nullptr;
            report.remove_prefix(lf + 1);
            continue;
        }
        const std::size_t end = report.find(tag);
        for (const std::string_view row : fuzz::SplitRows(report.substr(0, end))) {
            if (side)
                side->push_back(row);
            else
                rows.unplaced = true;
        }
        report.remove_prefix(end == std::string_view::npos ? report.size() : end);
    }
    return rows;
}

CompareOptions OptionsOf(std::uint8_t flags)
{
    CompareOptions options;
    options.ignoreWhitespace = (flags & kIgnoreWhitespace) != 0;
    options.ignoreCase = (flags & kIgnoreCase) != 0;
    return options;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const Input input = SplitInput(fuzz::Bytes(data, size));

    {
        const Outcome same = Compare(OptionsOf(input.flags), input.file1, input.file1);
        fuzz::Check(same.outcome.status == CompareStatus::Compared, "two readable files are compared");
        fuzz::Check(same.report.empty(), "a file compared with itself writes nothing");
    }

    const std::optional<char> tag = AbsentByte(input.file1, input.file2);
    if (!tag)
        return 0;
    const std::string t(1, *tag);
    CompareOptions options = OptionsOf(input.flags);
    options.writeCommonSections = true;
    options.file1LinePrefix = t + "<";
    options.file2LinePrefix = t + ">";
    if (input.flags & kMarkers) {
        options.file1SectionHeader = t + "MH1";
        options.file2SectionHeader = t + "MH2";
        options.file1SectionFooter = t + "MF1";
        options.file2SectionFooter = t + "MF2";
    }
    const Outcome compared = Compare(options, input.file1, input.file2);
    fuzz::Check(compared.outcome.status == CompareStatus::Compared, "two readable files are compared");

    const ParsedReport parsed = ParseReport(compared.report, *tag);
    fuzz::Check(parsed.removed == compared.outcome.removedLines && parsed.added == compared.outcome.addedLines,
                "the outcome counts the prefixed lines of the report");
    const std::vector<std::string_view> rows1 = fuzz::SplitRows(input.file1);
    const std::vector<std::string_view> rows2 = fuzz::SplitRows(input.file2);
    const std::vector<std::string> comparable1 = Comparable(rows1, input.flags);
    fuzz::Check(Sorted(Comparable(parsed.file1Side, input.flags)) == Sorted(comparable1),
                "common and removed rows are the rows of file 1");
    fuzz::Check(IsSubsequence(Comparable(parsed.removedRows, input.flags), comparable1),
                "removed rows keep the order of file 1");
    fuzz::Check(Comparable(parsed.file2Side, input.flags) == Comparable(rows2, input.flags),
                "common and added rows are file 2 in order");
    if ((input.flags & (kIgnoreWhitespace | kIgnoreCase)) == 0) {
        fuzz::Check(parsed.file2Side == rows2, "common and added rows are file 2 byte for byte");
        fuzz::Check(Sorted(parsed.file1Side) == Sorted(rows1), "common and removed rows are file 1 byte for byte");
    }

    const std::vector<std::string> sorted1 = Sorted(comparable1);
    const std::vector<std::string> sorted2 = Sorted(Comparable(rows2, input.flags));
    const std::vector<std::string> removed = Sorted(Comparable(parsed.removedRows, input.flags));
    const std::vector<std::string> added = Sorted(Comparable(parsed.addedRows, input.flags));
    fuzz::Check(removed == MultisetDifference(sorted1, sorted2), "removed rows are those file 2 lacks, copy for copy");
    fuzz::Check(added == MultisetDifference(sorted2, sorted1), "added rows are those file 1 lacks, copy for copy");
    const Outcome back = Compare(options, input.file2, input.file1);
    const ParsedReport parsedBack = ParseReport(back.report, *tag);
    fuzz::Check(Sorted(Comparable(parsedBack.removedRows, input.flags)) == added &&
                    Sorted(Comparable(parsedBack.addedRows, input.flags)) == removed,
                "comparing file 2 with file 1 swaps removed and added rows");

    if (input.flags & kMarkers) {
        CompareOptions unprefixed = options;
        unprefixed.writeCommonSections = false;
        unprefixed.file1LinePrefix.clear();
        unprefixed.file2LinePrefix.clear();
        const Outcome sectioned = Compare(unprefixed, input.file1, input.file2);
        const SectionedRows sections = ReadSections(sectioned.report, *tag);
        fuzz::Check(!sections.unplaced, "without line prefixes every row follows a header");
        fuzz::Check(sections.file1 == parsed.removedRows && sections.file2 == parsed.addedRows,
                    "without line prefixes each row follows its own side's header");
    }
    return 0;
}
