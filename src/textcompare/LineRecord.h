#pragma once
// One line of a loaded file: its text, its cached hash, the line of the other
// file it has been paired with, and its 1-based position in its file.
#include <cstddef>
#include <cstdint>

#include "textcompare/LineList.h"
#include "textcompare/TextArena.h"

inline constexpr std::int32_t kLineAllocatedAlone = 1;  // own heap block, not a list node
inline constexpr std::int32_t kLineHashValid = 2;       // `hash` holds the current LineHash

#pragma pack(push, 4)
struct LineRecord {
    std::int32_t flags;
    char* text;               // NUL-terminated, with the line's own terminator (CR LF, LF or none)
    std::uint32_t hash;       // valid when flags has kLineHashValid
    LineRecord* partner;      // the paired line of the other file, or none
    std::int32_t lineNumber;  // 1-based position in the file
};
#pragma pack(pop)

// Creates a line record. With a list it becomes a node of `list` and its text
// goes into `texts` (both must be given); without one it is allocated alone on
// the heap together with its text (flag kLineAllocatedAlone; free it with
// FreeLineRecord). The text is `length` bytes, ending early at a NUL byte.
// Returns none when memory is short.
LineRecord* NewLineRecord(const char* bytes, std::size_t length, std::int32_t lineNumber,
                          LineList* list, TextArena* texts);

// Frees a record allocated alone; records of a list go with their list.
void FreeLineRecord(LineRecord* line);

inline LineRecord* NextLine(const LineRecord* line)
{
    return static_cast<LineRecord*>(ListNext(line));
}

inline LineRecord* PrevLine(const LineRecord* line)
{
    return static_cast<LineRecord*>(ListPrev(line));
}

inline LineRecord* FirstLine(const LineList* lines)
{
    return static_cast<LineRecord*>(ListFirst(lines));
}

inline LineRecord* LastLine(const LineList* lines)
{
    return static_cast<LineRecord*>(ListLast(lines));
}
