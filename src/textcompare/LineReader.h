#pragma once
// Splits an open file into dump rows. A row normally ends after its LF, but an
// LF inside a double-quoted field does not end it (RowScanner holds that rule).
// Rows of any length are delivered whole: the buffer grows to hold the longest.
#include <cstddef>
#include <memory>

#include "textcompare/RowScanner.h"

struct LineReader {
    int fd;                 // the open file, owned
    char* buffer;
    std::size_t capacity;   // bytes the buffer holds
    std::size_t position;   // start of the next row in the buffer
    std::size_t end;        // end of the valid data
    bool endOfFile;
    bool failed;            // a read failed or the buffer could not grow
    RowScanner scanner;
};

// Takes over the open file `fd` and positions at its start. Returns none (and
// closes the file) when memory is short.
LineReader* ReaderOpen(int fd);

// The next row and its length in bytes, including its LF (a last row may have
// none). The row lies in the reader's buffer, unterminated, and stays valid
// until the next call. None at the end of the file or after a read failure.
const char* ReaderNextLine(LineReader* reader, std::size_t* length);

// True when reading stopped on an error rather than at the end of the file.
bool ReaderFailed(const LineReader* reader);

// Closes the file and frees the reader.
void ReaderClose(LineReader* reader);

struct LineReaderCloser {
    void operator()(LineReader* reader) const { ReaderClose(reader); }
};
using LineReaderHandle = std::unique_ptr<LineReader, LineReaderCloser>;
