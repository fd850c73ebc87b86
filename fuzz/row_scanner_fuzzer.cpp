// The row scanner and the engine's line reader on arbitrary bytes.
//
// Input: one control byte, then the file. When the control byte's low two bits
// are 3 the file is the rest repeated past 70,000 bytes, so that rows outgrow
// the reader's first 64 KiB buffer and make it grow.
//
// Invariants: the rows put together are the file, byte for byte; every row but
// the last ends in LF; scanning the bytes in pieces of any size finds the same
// row ends as scanning them at once; the line reader delivers exactly these rows.
#include <fcntl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "textcompare/LineReader.h"
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

void CheckLineReader(const std::string& file, const std::vector<std::string_view>& rows)
{
    const std::string path = fuzz::WriteScratchFile("rows", file);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    fuzz::Check(fd >= 0, "the scratch file opens");
    LineReaderHandle reader(ReaderOpen(fd));
    fuzz::Check(reader != nullptr, "the line reader opens");
    std::size_t index = 0;
    std::size_t length = 0;
    while (const char* line = ReaderNextLine(reader.get(), &length)) {
        fuzz::Check(index < rows.size(), "the line reader delivers no row beyond the file's");
        fuzz::Check(std::string_view(line, length) == rows[index], "the line reader delivers the scanner's rows");
        ++index;
    }
    fuzz::Check(!ReaderFailed(reader.get()), "reading a regular file does not fail");
    fuzz::Check(index == rows.size(), "the line reader delivers every row");
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

    const std::size_t longestPiece = 1 + (control >> 2);
    fuzz::Check(RowEndsInPieces(file, longestPiece) == RowEnds(rows),
                "scanning in pieces finds the same row ends as scanning at once");

    CheckLineReader(file, rows);
    return 0;
}
