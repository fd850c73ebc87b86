#include "textcompare/HashCountMap.h"

#include <cstdlib>

#include "textcompare/LargeMemory.h"

namespace {

// Tables from this size on come from LargeAlloc; smaller ones (the gaps between
// common blocks) from the heap, where a mapping per table would cost more.
constexpr std::size_t kLargeTableBytes = std::size_t(1) << 20;

void FreeSlots(HashCountMap& map)
{
    if (map.large)
        LargeFree(map.slots, map.size * sizeof(HashCountEntry));
    else
        std::free(map.slots);
    map.slots = nullptr;
    map.size = 0;
    map.large = false;
}

// The index of the slot holding `hash`, or of the empty slot where it belongs.
std::size_t Probe(const HashCountMap& map, std::size_t i, std::uint32_t hash)
{
    for (;;) {
        const HashCountEntry& e = map.slots[i];
        if (e.count1 == 0 || e.hash == hash)
            return i;
        if (++i == map.size)
            i = 0;
    }
}

} // namespace

HashCountMap::~HashCountMap()
{
    FreeSlots(*this);
}

bool HashMapReserve(HashCountMap& map, std::size_t distinctHashes)
{
    FreeSlots(map);
    // At most two thirds full, so that probes stay short; at least one slot free.
    const std::size_t size = distinctHashes + distinctHashes / 2 + 1;
    const std::size_t bytes = size * sizeof(HashCountEntry);
    map.large = bytes >= kLargeTableBytes;
    map.slots = static_cast<HashCountEntry*>(map.large ? LargeAlloc(bytes) : std::calloc(size, sizeof(HashCountEntry)));
    if (!map.slots) {
        map.large = false;
        return false;
    }
    map.size = size;
    return true;
}

std::size_t HashMapHome(const HashCountMap& map, std::uint32_t hash)
{
    // Line hashes of similar rows are related: mix before scaling onto the table.
    std::uint32_t mixed = hash;
    mixed ^= mixed >> 16;
    mixed *= 0x85EBCA6Bu;
    mixed ^= mixed >> 13;
    mixed *= 0xC2B2AE35u;
    mixed ^= mixed >> 16;
    return static_cast<std::size_t>((static_cast<std::uint64_t>(mixed) * map.size) >> 32);
}

void HashMapAddLine1(HashCountMap& map, std::size_t home, std::uint32_t hash)
{
    HashCountEntry& e = map.slots[Probe(map, home, hash)];
    e.hash = hash;
    if (e.count1 < 2)
        ++e.count1;
}

void HashMapAddLine2(HashCountMap& map, std::size_t home, std::uint32_t hash, LineRecord* line)
{
    HashCountEntry& e = map.slots[Probe(map, home, hash)];
    if (e.count1 == 0)
        return;
    if (e.count2 == 0)
        e.firstLine2 = line;
    if (e.count2 < 2)
        ++e.count2;
}

const HashCountEntry* HashMapFind(const HashCountMap& map, std::size_t home, std::uint32_t hash)
{
    const HashCountEntry& e = map.slots[Probe(map, home, hash)];
    return e.count1 ? &e : nullptr;
}
