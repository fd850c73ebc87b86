#pragma once
// A run of consecutive lines of one file: an entry of a file's block list, or
// an entry of the comparison's result. Blocks are known by their index in
// their list.
#include <cstdint>
#include <vector>

#include "textcompare/HugePageAllocator.h"
#include "textcompare/LineStore.h"

enum BlockType : std::int32_t {
    Common = 1,       // lines present in both files
    OnlyInFile1 = 7,  // lines removed: only the old file has them
    OnlyInFile2 = 8,  // lines added: only the new file has them
};

using BlockIndex = std::uint32_t;
inline constexpr BlockIndex kNoBlock = UINT32_MAX;

struct LineBlock {
    LineIndex first;
    LineIndex last;      // inclusive
    BlockIndex partner;  // the paired block of the other file's list, or kNoBlock
    BlockType type;
};

// A file's lines from first to last, in blocks that follow each other without gaps.
using BlockList = std::vector<LineBlock, HugePageAllocator<LineBlock>>;

inline LineIndex BlockSize(const LineBlock& block)
{
    return block.last - block.first + 1;
}

// Lines first to last (inclusive) of one file, the range of a match. An empty
// range has last + 1 == first.
struct LineRange {
    LineIndex first = 0;
    LineIndex last = kNoLine;

    bool Empty() const { return static_cast<LineIndex>(last + 1) == first; }
};

// An entry of the result, in report order: the lines (of file 1 for
// OnlyInFile1, of file 2 otherwise) and the first line numbers (1-based) of the
// two blocks it came from, 0 for a side that took no part.
struct ResultEntry {
    BlockType type;
    LineIndex first;
    LineIndex last;
    std::int64_t file1Line;
    std::int64_t file2Line;
};
