#include "textcompare/TextArena.h"

#include <cstdlib>
#include <cstring>

#include "textcompare/LargeMemory.h"

namespace {

// Shared chunks double from 64 KiB (heap) to one huge page each, so that a
// small file costs little and a large one few page faults.
constexpr std::size_t kFirstChunkBytes = std::size_t(64) << 10;
constexpr std::size_t kHugeChunkBytes = std::size_t(2) << 20;

std::size_t NextSharedChunkBytes(const TextArena& arena)
{
    std::size_t bytes = kFirstChunkBytes;
    for (std::size_t i = 0; i < arena.sharedChunks && bytes < kHugeChunkBytes; ++i)
        bytes *= 2;
    return bytes;
}

TextChunk* NewChunk(std::size_t size, bool large)
{
    void* memory = large ? LargeAlloc(sizeof(TextChunk) + size) : std::malloc(sizeof(TextChunk) + size);
    auto* chunk = static_cast<TextChunk*>(memory);
    if (chunk) {
        chunk->size = size;
        chunk->large = large;
    }
    return chunk;
}

char* ChunkBytes(TextChunk* chunk)
{
    return reinterpret_cast<char*>(chunk + 1);
}

char* TakeShared(TextArena& arena, std::size_t need)
{
    char* text = arena.next;
    arena.next += need;
    arena.left -= need;
    return text;
}

// Starts a new shared chunk of `bytes` bytes and takes `need` bytes from it.
char* StartShared(TextArena& arena, std::size_t bytes, std::size_t need)
{
    const std::size_t size = bytes - sizeof(TextChunk);
    TextChunk* chunk = NewChunk(size, bytes == kHugeChunkBytes);
    if (!chunk)
        return nullptr;
    chunk->previous = arena.chunks;
    arena.chunks = chunk;
    arena.next = ChunkBytes(chunk);
    arena.left = size;
    ++arena.sharedChunks;
    return TakeShared(arena, need);
}

// A heap chunk for one text, chained behind the newest chunk, which keeps
// serving small texts.
char* StoreAlone(TextArena& arena, std::size_t need)
{
    TextChunk* chunk = NewChunk(need, false);
    if (!chunk)
        return nullptr;
    if (arena.chunks) {
        chunk->previous = arena.chunks->previous;
        arena.chunks->previous = chunk;
    } else {
        chunk->previous = nullptr;
        arena.chunks = chunk;
    }
    return ChunkBytes(chunk);
}

} // namespace

char* ArenaStoreText(TextArena& arena, const char* bytes, std::size_t length)
{
    if (const void* nul = std::memchr(bytes, '\0', length))
        length = static_cast<std::size_t>(static_cast<const char*>(nul) - bytes);
    const std::size_t need = length + 1;
    char* text = need <= arena.left ? TakeShared(arena, need) : nullptr;
    if (!text) {
        const std::size_t sharedBytes = NextSharedChunkBytes(arena);
        // A text too big for a quarter of a new shared chunk gets its own.
        text = need > (sharedBytes - sizeof(TextChunk)) / 4 ? StoreAlone(arena, need)
                                                            : StartShared(arena, sharedBytes, need);
        if (!text)
            return nullptr;
    }
    std::memcpy(text, bytes, length);
    text[length] = '\0';
    return text;
}

void ArenaFree(TextArena& arena)
{
    TextChunk* chunk = arena.chunks;
    while (chunk) {
        TextChunk* previous = chunk->previous;
        if (chunk->large)
            LargeFree(chunk, sizeof(TextChunk) + chunk->size);
        else
            std::free(chunk);
        chunk = previous;
    }
    arena = TextArena{};
}
