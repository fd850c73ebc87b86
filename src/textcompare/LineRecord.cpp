#include "textcompare/LineRecord.h"

#include <cstdlib>
#include <cstring>

LineRecord* NewLineRecord(const char* bytes, std::size_t length, std::int32_t lineNumber,
                          LineList* list, TextArena* texts)
{
    LineRecord* line = nullptr;
    char* text = nullptr;
    if (list) {
        if (!texts)
            return nullptr;
        // The text first: a node once appended cannot be taken back.
        text = ArenaStoreText(*texts, bytes, length);
        if (!text)
            return nullptr;
        line = static_cast<LineRecord*>(ListAppend(list, sizeof(LineRecord)));
        if (!line)
            return nullptr;
        line->flags = 0;
    } else {
        if (const void* nul = std::memchr(bytes, '\0', length))
            length = static_cast<std::size_t>(static_cast<const char*>(nul) - bytes);
        void* memory = std::malloc(sizeof(LineRecord) + length + 1);
        if (!memory)
            return nullptr;
        line = static_cast<LineRecord*>(memory);
        text = static_cast<char*>(memory) + sizeof(LineRecord);
        std::memcpy(text, bytes, length);
        text[length] = '\0';
        line->flags = kLineAllocatedAlone;
    }
    line->text = text;
    line->hash = 0;
    line->partner = nullptr;
    line->lineNumber = lineNumber;
    return line;
}

void FreeLineRecord(LineRecord* line)
{
    if (line && (line->flags & kLineAllocatedAlone))
        std::free(line);
}
