#pragma once
// The pool that hands out the engine's list cells. Cells are cut consecutively
// from blocks of kListBlockPayload bytes and never reused one by one; a block
// goes back to the system when its last live cell is released. A million lines
// thus cost a few thousand allocations instead of a million.
#include <cstddef>
#include <cstdint>

#include "textcompare/BlockSlabs.h"

inline constexpr std::int32_t kListBlockPayload = 25000;

// Header of one pool block; the payload follows it.
struct ListBlock {
    ListBlock* handle;           // the allocation to give back
    std::int32_t liveCells;      // cells handed out and not yet released
    std::int32_t bytesHandedOut; // payload bytes used so far
};

static_assert(sizeof(ListBlock) + kListBlockPayload <= kSlabBlockSize);

using SystemAllocFn = void* (*)(std::size_t);
using SystemFreeFn = void (*)(void*);

// The pool's usual source of blocks: slabs of huge pages (BlockSlabs.h).
void* PoolSystemAlloc(std::size_t size);
void PoolSystemFree(void* block);

// The one pool of the process (the engine runs on the user-interface thread only).
struct ListPool {
    ListBlock* current = nullptr;   // the block new cells come from, or none
    std::int32_t liveBlocks = 0;    // blocks obtained and not yet given back
    BlockSlabList slabs;            // what PoolSystemAlloc hands blocks out from
    // Where blocks come from; replaceable so that a shortage can be provoked.
    SystemAllocFn systemAlloc = PoolSystemAlloc;
    SystemFreeFn systemFree = PoolSystemFree;
};

extern ListPool g_listPool;

// A cell of `size` bytes from the current block (a new block when it does not
// fit), or none when the system has no memory or the size exceeds a block.
// Cells are 4-byte aligned: every cell size is rounded up to a multiple of 4.
void* PoolAlloc(std::size_t size);

// Releases one cell of `block`; frees the block when it was its last one.
// When no block is left, the memory kept for reuse goes back to the system.
void PoolRelease(ListBlock* block);

// Gives the memory kept for reusing blocks back to the system, but for one
// slab that serves the next comparison.
void PoolTrim();
