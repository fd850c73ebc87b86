#include "textcompare/TextArena.h"

#include <cstdlib>
#include <cstring>

#include "textcompare/LargeMemory.h"

namespace {

// Shared chunks are one huge page each.
constexpr std::size_t kSharedChunkBytes = std::size_t(2) << 20;
constexpr std::size_t kChunkSize = kSharedChunkBytes - sizeof(TextChunk);
// Texts larger than this get a heap chunk of their own, so that a long line
// does not waste the rest of a shared chunk.
constexpr std::size_t kOwnChunkFrom = kChunkSize / 4;

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

} // namespace

char* ArenaStoreText(TextArena& arena, const char* bytes, std::size_t length)
{
    if (const void* nul = std::memchr(bytes, '\0', length))
        length = static_cast<std::size_t>(static_cast<const char*>(nul) - bytes);
    const std::size_t need = length + 1;
    char* text = nullptr;
    if (need >= kOwnChunkFrom) {
        TextChunk* chunk = NewChunk(need, false);
        if (!chunk)
            return nullptr;
        // Chain it behind the newest chunk, which keeps serving small texts.
        if (arena.chunks) {
            chunk->previous = arena.chunks->previous;
            arena.chunks->previous = chunk;
        } else {
            chunk->previous = nullptr;
            arena.chunks = chunk;
        }
        text = ChunkBytes(chunk);
    } else {
        if (need > arena.left) {
            TextChunk* chunk = NewChunk(kChunkSize, true);
            if (!chunk)
                return nullptr;
            chunk->previous = arena.chunks;
            arena.chunks = chunk;
            arena.next = ChunkBytes(chunk);
            arena.left = kChunkSize;
        }
        text = arena.next;
        arena.next += need;
        arena.left -= need;
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
