#pragma once
// Where the list pool's blocks come from: slabs of one huge page, each cut into
// equal blocks. A block is free for reuse as soon as it is given back, and a
// slab goes back to the system with its last block. Taking blocks from huge
// pages spares a million-line comparison tens of thousands of page faults.
#include <cstddef>
#include <cstdint>

struct BlockSlab;

// The slabs with at least one block to hand out, in a doubly linked list, and
// the slabs whose blocks have all come back, kept for reuse: a comparison frees
// its block lists and builds new ones in every round, and fresh memory from the
// system costs the zeroing of every page.
struct BlockSlabList {
    BlockSlab* first = nullptr;
    BlockSlab* spare = nullptr;
};

// A block of `size` bytes (at most the fixed block size), or none when the
// system has no memory.
void* SlabAllocBlock(BlockSlabList& slabs, std::size_t size);

// Gives a block back.
void SlabFreeBlock(BlockSlabList& slabs, void* block);

// Returns the spare slabs to the system, all but `keep` of them.
void SlabReleaseSpare(BlockSlabList& slabs, int keep);

// The size of the blocks a slab is cut into.
inline constexpr std::size_t kSlabBlockSize = 25016;
