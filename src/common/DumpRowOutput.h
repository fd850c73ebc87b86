#pragma once
// Where a dump's rows go: one file, or (for a table too large to compare
// whole) bucket files chosen row by row. Each row comes with its line end,
// CR LF, as a dump file's lines end.
#include <string_view>

class DumpRowOutput {
public:
    virtual ~DumpRowOutput() = default;
    // Appends one row, its line end included (the header line first). Throws FileError.
    virtual void WriteRow(std::string_view row) = 0;
    // Flushes and closes. Throws FileError.
    virtual void Close() = 0;
};
