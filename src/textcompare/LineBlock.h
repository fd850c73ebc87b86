#pragma once
// A run of consecutive lines of one file: an entry of a file's block list, a
// range being matched, or an entry of the comparison's result list.
#include <cstdint>

#include "textcompare/LineRecord.h"

enum BlockType : std::int32_t {
    Common = 1,       // lines present in both files
    OnlyInFile1 = 7,  // lines removed: only the old file has them
    OnlyInFile2 = 8,  // lines added: only the new file has them
};

#pragma pack(push, 4)
struct LineBlock {
    LineRecord* first;
    LineRecord* last;          // inclusive
    std::int32_t inList;       // 1 for a list node, 0 for a range of its own
    LineBlock* partner;        // the paired block of the other file's list, or none
    std::int32_t type;         // a BlockType
    std::int32_t file1Line;    // result entries: first line number of the file-1 block, 0 when none
    std::int32_t file2Line;    // the same for file 2
};
#pragma pack(pop)

inline std::int32_t BlockSize(const LineBlock* block)
{
    return block->last->lineNumber - block->first->lineNumber + 1;
}

inline LineBlock* NextBlock(const LineBlock* block)
{
    return static_cast<LineBlock*>(ListNext(block));
}

inline LineBlock* PrevBlock(const LineBlock* block)
{
    return static_cast<LineBlock*>(ListPrev(block));
}

inline LineBlock* FirstBlock(const LineList* blocks)
{
    return static_cast<LineBlock*>(ListFirst(blocks));
}
