#pragma once
// Finds the lines that occur exactly once among the unpaired lines of a range
// of each file. Lines are counted by their 64-bit key (LineKey), so that two
// different rows are told apart even where their 32-bit hashes collide. Only
// lines of range 1 make entries; a line that range 1 lacks cannot make an
// anchor. Open addressing over one array.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "textcompare/HugePageAllocator.h"
#include "textcompare/LineStore.h"
#include "textcompare/Prefetch.h"

class HashCountMap {
public:
    // An empty map for up to `lines1` lines of range 1. Throws std::bad_alloc,
    // and ComparisonStopped when `stop` is set while the map is made.
    HashCountMap(std::size_t lines1, const std::atomic<bool>* stop);

    // Where a key's slot is probed first; passing it to the calls below lets a
    // caller start fetching the slot early.
    std::size_t Home(std::uint64_t key) const
    {
        return static_cast<std::size_t>((static_cast<unsigned __int128>(key) * m_slots.size()) >> 64);
    }
    void Prefetch(std::size_t home) const { PrefetchForRead(&m_slots[home]); }

    // Counts a line of range 1 (file 1) / range 2 (file 2).
    void AddLine1(std::size_t home, std::uint64_t key, LineIndex line);
    void AddLine2(std::size_t home, std::uint64_t key, LineIndex line);

    // Calls f(line1, line2) for each kind of line that occurs exactly once in
    // each range, in the order of the map. Returns whether some other kind
    // occurs in both ranges (more than once in one of them): lines that no
    // anchor can pair.
    template <class F>
    bool ForEachUniquePair(F f) const
    {
        bool repeatedInBoth = false;
        for (const Entry& e : m_slots) {
            if (e.line1 == kNoLine || e.line2 == kNoLine)
                continue;
            if (!(e.line1 & kRepeated) && !(e.line2 & kRepeated))
                f(e.line1, e.line2);
            else
                repeatedInBoth = true;
        }
        return repeatedInBoth;
    }

private:
    // A kind of line: its first line in each range, the top bit set once a
    // second line of that kind was seen. An empty slot has line1 == kNoLine.
    struct Entry {
        std::uint64_t key;
        LineIndex line1;
        LineIndex line2;
    };
    static constexpr LineIndex kRepeated = LineIndex(1) << 31;

    std::size_t Next(std::size_t i) const { return i + 1 == m_slots.size() ? 0 : i + 1; }

    static constexpr std::size_t kSlotsPerPiece = std::size_t(1) << 18;  // 4 MiB

    std::vector<Entry, HugePageAllocator<Entry>> m_slots;
};
