// The row scanner and the engine's line loading on arbitrary bytes.
//
// Input: one control byte, then the file. When the control byte's low two bits
// are 3 the file is the rest repeated past 70,000 bytes (rows longer than any
// buffer a reader might start with). Bits 2 and 3 are the comparison options
// "ignore whitespace" and "ignore case"; the byte also sets the piece sizes.
//
// Invariants: the rows put together are the file, byte for byte; every row but
// the last ends in LF; scanning the bytes in pieces of any size finds the same
// row ends as scanning them at once; the engine loads exactly these rows from
// the file and from memory; rows equal under the options have equal keys, and
// equality is what the options say (whitespace skipped, ASCII case folded).
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "textcompare/LineCompare.h"
#include "textcompare/LineStore.h"
#include "textcompare/RowScanner.h"

namespace {

constexpr std::size_t kRepeatedSize = 70000;

// Row ends found by feeding the scanner pieces whose sizes cycle through
// 1, 2, 3, ... up to `longestPiece`: the state it keeps between calls must give
// the same ends as one call over the whole row.
std::vector<std::size_t> RowEndsInPieces(std::string_view bytes, std::size_t longestPiece)
{
    std::vector<std::size_t> ends;
    RowScanner scanner;
    std::size_t rowStart = 0;
    std::size_t at = 0;
    std::size_t piece = 1;
    while (at < bytes.size()) {
        const std::size_t size = std::min(piece, bytes.size() - at);
        piece = piece % longestPiece + 1;
        const std::size_t found = scanner.FindRowEnd(bytes.data() + at, size);
        if (found == RowScanner::npos) {
            at += size;
            continue;
        }
        fuzz::Check(found > 0 && found <= size, "a row end lies inside the piece scanned");
        at += found;
        ends.push_back(at);
        rowStart = at;
        scanner.Reset();
    }
    if (rowStart < bytes.size())
        ends.push_back(bytes.size());
    return ends;
}

std::vector<std::size_t> RowEnds(const std::vector<std::string_view>& rows)
{
    std::vector<std::size_t> ends;
    std::size_t at = 0;
    for (const std::string_view row : rows) {
        at += row.size();
        ends.push_back(at);
    }
    return ends;
}

void CheckLoadedLines(const FileLines& lines, const std::vector<std::string_view>& rows)
{
    fuzz::Check(lines.Count() == rows.size(), "the engine loads every row");
    for (LineIndex i = 0; i < lines.Count(); ++i)
        fuzz::Check(lines.Text(i) == rows[i], "the engine's lines are the scanner's rows");
}

// A row as the options see it: without the bytes "ignore whitespace" skips,
// ASCII letters in upper case under "ignore case".
std::string Normalised(std::string_view row, const LineRules& rules)
{
    std::string text;
    for (char c : row) {
        if (rules.ignoreWhitespace && IsIgnorableSpace(c))
            continue;
        if (rules.ignoreCase && c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        text += c;
    }
    return text;
}

// Equality and keys of every pair of rows (of the first few, the check is quadratic).
void CheckEquality(const FileLines& lines, const LineRules& rules)
{
    const LineIndex count = std::min<LineIndex>(lines.Count(), 64);
    std::vector<std::string> normalised;
    for (LineIndex i = 0; i < count; ++i)
        normalised.push_back(Normalised(lines.Text(i), rules));
    for (LineIndex i = 0; i < count; ++i) {
        for (LineIndex j = i + 1; j < count; ++j) {
            const bool equal = TextsEqual(lines.Text(i), lines.Text(j), rules);
            fuzz::Check(equal == (normalised[i] == normalised[j]),
                        "rows are equal exactly when the options make them so");
            if (equal)
                fuzz::Check(lines.Key(i) == lines.Key(j), "equal rows have equal keys");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint8_t control = data[0];
    const std::string_view rest = fuzz::Bytes(data + 1, size - 1);
    std::string file(rest);
    if ((control & 3) == 3 && !rest.empty()) {
        while (file.size() < kRepeatedSize)
            file += rest;
    }

    const std::vector<std::string_view> rows = fuzz::SplitRows(file);
    std::string joined;
    joined.reserve(file.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        fuzz::Check(!rows[i].empty(), "no row is empty");
        if (i + 1 < rows.size())
            fuzz::Check(rows[i].back() == '\n', "every row but the last ends in LF");
        joined += rows[i];
    }
    fuzz::Check(joined == file, "the rows put together are the file");

    const std::size_t longestPiece = 1 + (control >> 4);
    fuzz::Check(RowEndsInPieces(file, longestPiece) == RowEnds(rows),
                "scanning in pieces finds the same row ends as scanning at once");

    LineRules rules;
    rules.ignoreWhitespace = (control & 4) != 0;
    rules.ignoreCase = (control & 8) != 0;
    FileLines loaded;
    std::string error;
    fuzz::Check(loaded.Load(fuzz::WriteScratchFile("rows", file), rules, error) == FileLines::LoadResult::Loaded,
                "a readable file loads");
    CheckLoadedLines(loaded, rows);
    FileLines split;
    fuzz::Check(split.Split(file, rules) == FileLines::LoadResult::Loaded, "text in memory splits");
    CheckLoadedLines(split, rows);
    CheckEquality(loaded, rules);
    return 0;
}
