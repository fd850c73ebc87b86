#include "textcompare/ListPool.h"

#include <string>

#include "common/UiHooks.h"

ListPool g_listPool;

void* PoolSystemAlloc(std::size_t size)
{
    return SlabAllocBlock(g_listPool.slabs, size);
}

void PoolSystemFree(void* block)
{
    SlabFreeBlock(g_listPool.slabs, block);
}

namespace {

constexpr std::size_t kBlockBytes = sizeof(ListBlock) + kListBlockPayload;

std::int32_t RoundUpTo4(std::int32_t n)
{
    return (n + 3) & ~3;
}

ListBlock* StartBlock()
{
    void* memory = g_listPool.systemAlloc(kBlockBytes);
    if (!memory) {
        g_listPool.current = nullptr;
        DebugOutput("GlobalAlloc failed!!\n");
        return nullptr;
    }
    auto* block = static_cast<ListBlock*>(memory);
    block->handle = block;
    block->liveCells = 0;
    block->bytesHandedOut = 0;
    // The previous block stays until its own cells are all released.
    g_listPool.current = block;
    ++g_listPool.liveBlocks;
    return block;
}

} // namespace

void* PoolAlloc(std::size_t size)
{
    if (size > static_cast<std::size_t>(kListBlockPayload))
        return nullptr;  // no block could hold it
    const auto cellSize = static_cast<std::int32_t>(size);
    ListBlock* block = g_listPool.current;
    if (!block || block->bytesHandedOut + cellSize > kListBlockPayload) {
        block = StartBlock();
        if (!block)
            return nullptr;
    }
    char* cell = reinterpret_cast<char*>(block + 1) + block->bytesHandedOut;
    block->liveCells += 1;
    block->bytesHandedOut = RoundUpTo4(block->bytesHandedOut + cellSize);
    return cell;
}

void PoolRelease(ListBlock* block)
{
    if (!block)
        return;
    block->liveCells -= 1;
    if (block->liveCells > 0)
        return;
    if (block->liveCells < 0) {
        ReportError("Error", "Problem in List code.\nList block allocation negative (" +
                                 std::to_string(block->liveCells) + ")");
    }
    if (g_listPool.current == block)
        g_listPool.current = nullptr;
    --g_listPool.liveBlocks;
    g_listPool.systemFree(block->handle);
    if (g_listPool.liveBlocks == 0)
        PoolTrim();
}

void PoolTrim()
{
    SlabReleaseSpare(g_listPool.slabs, 1);
}
