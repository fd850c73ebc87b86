#pragma once
// Storage for the texts of a file's lines: large chunks filled back to back, so
// that a line costs its bytes and a NUL rather than a heap allocation of its own.
// The texts live until the arena is freed with the file they belong to.
#include <cstddef>

struct TextChunk {
    TextChunk* previous;  // chunks form a chain, newest first
    std::size_t size;     // usable bytes behind this header
    bool large;           // from LargeAlloc (shared chunks) rather than the heap
};

struct TextArena {
    TextChunk* chunks = nullptr;
    char* next = nullptr;         // free space of the newest chunk
    std::size_t left = 0;         // bytes free there
    std::size_t sharedChunks = 0; // shared chunks made so far: they grow from small to huge pages
};

// Copies `length` bytes (fewer when they hold a NUL: the copy ends there) and a
// terminating NUL into the arena. Returns the copy, or none when memory is short.
char* ArenaStoreText(TextArena& arena, const char* bytes, std::size_t length);

// Frees every chunk; the arena is empty afterwards.
void ArenaFree(TextArena& arena);
