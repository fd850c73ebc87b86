#include "textcompare/BlockSlabs.h"

#include "textcompare/LargeMemory.h"

namespace {

constexpr std::size_t kSlabBytes = std::size_t(2) << 20;  // a slab is aligned to its size

struct FreeBlock {
    FreeBlock* next;
};

} // namespace

struct BlockSlab {
    BlockSlab* prev;          // neighbours in the list of slabs with room
    BlockSlab* next;
    FreeBlock* freeBlocks;    // blocks given back
    std::int32_t liveBlocks;
    std::int32_t neverUsed;   // index of the first block never handed out
    bool listed;              // in the list of slabs with room
};

namespace {

constexpr std::size_t kHeaderBytes = (sizeof(BlockSlab) + 63) / 64 * 64;
constexpr std::int32_t kBlocksPerSlab =
    static_cast<std::int32_t>((kSlabBytes - kHeaderBytes) / kSlabBlockSize);

char* BlockAt(BlockSlab* slab, std::int32_t index)
{
    return reinterpret_cast<char*>(slab) + kHeaderBytes + static_cast<std::size_t>(index) * kSlabBlockSize;
}

BlockSlab* SlabOf(void* block)
{
    return reinterpret_cast<BlockSlab*>(reinterpret_cast<std::uintptr_t>(block) & ~(kSlabBytes - 1));
}

bool HasRoom(const BlockSlab* slab)
{
    return slab->freeBlocks || slab->neverUsed < kBlocksPerSlab;
}

void Link(BlockSlabList& slabs, BlockSlab* slab)
{
    slab->prev = nullptr;
    slab->next = slabs.first;
    if (slabs.first)
        slabs.first->prev = slab;
    slabs.first = slab;
    slab->listed = true;
}

void Unlink(BlockSlabList& slabs, BlockSlab* slab)
{
    if (slab->prev)
        slab->prev->next = slab->next;
    else
        slabs.first = slab->next;
    if (slab->next)
        slab->next->prev = slab->prev;
    slab->prev = slab->next = nullptr;
    slab->listed = false;
}

BlockSlab* NewSlab(BlockSlabList& slabs)
{
    BlockSlab* slab = slabs.spare;
    if (slab)
        slabs.spare = slab->next;
    else
        slab = static_cast<BlockSlab*>(LargeAlloc(kSlabBytes));
    if (!slab)
        return nullptr;
    slab->freeBlocks = nullptr;
    slab->liveBlocks = 0;
    slab->neverUsed = 0;
    Link(slabs, slab);
    return slab;
}

} // namespace

void* SlabAllocBlock(BlockSlabList& slabs, std::size_t size)
{
    if (size > kSlabBlockSize)
        return nullptr;
    BlockSlab* slab = slabs.first ? slabs.first : NewSlab(slabs);
    if (!slab)
        return nullptr;
    char* block = nullptr;
    if (slab->freeBlocks) {
        block = reinterpret_cast<char*>(slab->freeBlocks);
        slab->freeBlocks = slab->freeBlocks->next;
    } else {
        block = BlockAt(slab, slab->neverUsed++);
    }
    ++slab->liveBlocks;
    if (!HasRoom(slab))
        Unlink(slabs, slab);
    return block;
}

void SlabFreeBlock(BlockSlabList& slabs, void* block)
{
    if (!block)
        return;
    BlockSlab* slab = SlabOf(block);
    auto* free = static_cast<FreeBlock*>(block);
    free->next = slab->freeBlocks;
    slab->freeBlocks = free;
    if (--slab->liveBlocks == 0) {
        if (slab->listed)
            Unlink(slabs, slab);
        slab->next = slabs.spare;
        slabs.spare = slab;
        return;
    }
    if (!slab->listed)
        Link(slabs, slab);
}

void SlabReleaseSpare(BlockSlabList& slabs, int keep)
{
    BlockSlab** link = &slabs.spare;
    for (int kept = 0; *link && kept < keep; ++kept)
        link = &(*link)->next;
    while (BlockSlab* slab = *link) {
        *link = slab->next;
        LargeFree(slab, kSlabBytes);
    }
}
