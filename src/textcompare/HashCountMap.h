#pragma once
// Counts line hashes over two ranges at once, to find the lines that occur
// exactly once in each. Only hashes of the first range are kept: a hash the
// first range lacks cannot make an anchor. Open addressing over one array.
#include <cstddef>
#include <cstdint>

#include "textcompare/LineRecord.h"

struct HashCountEntry {
    std::uint32_t hash;
    std::uint8_t count1;     // lines of range 1 with this hash (0: empty slot), capped at 2
    std::uint8_t count2;     // the same for range 2
    LineRecord* firstLine2;  // the first line of range 2 entered with this hash
};

struct HashCountMap {
    HashCountEntry* slots = nullptr;
    std::size_t size = 0;
    bool large = false;  // slots come from LargeAlloc

    HashCountMap() = default;
    ~HashCountMap();
    HashCountMap(const HashCountMap&) = delete;
    HashCountMap& operator=(const HashCountMap&) = delete;
};

// Prepares an empty map for up to `distinctHashes` hashes of range 1. False
// when memory is short.
bool HashMapReserve(HashCountMap& map, std::size_t distinctHashes);

// Where a hash's slot is probed first; passing it to the calls below lets a
// caller start fetching the slot early.
std::size_t HashMapHome(const HashCountMap& map, std::uint32_t hash);

// Counts a line of range 1.
void HashMapAddLine1(HashCountMap& map, std::size_t home, std::uint32_t hash);

// Counts a line of range 2 (ignored when range 1 has no such hash).
void HashMapAddLine2(HashCountMap& map, std::size_t home, std::uint32_t hash, LineRecord* line);

// The entry of a hash of range 1, or none.
const HashCountEntry* HashMapFind(const HashCountMap& map, std::size_t home, std::uint32_t hash);
