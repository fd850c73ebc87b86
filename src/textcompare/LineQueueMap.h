#pragma once
// Lines of one file by their 64-bit key (LineKey), the lines of each key in a
// queue in the order they were added. Taking a line looks at the queue of its
// key from the front, so that the k-th line taken of a kind is the k-th added
// of that kind. Open addressing over one array of slots; the queues are
// threaded through a second array, one link per line.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "textcompare/HugePageAllocator.h"
#include "textcompare/LineStore.h"
#include "textcompare/Prefetch.h"

using LineList = std::vector<LineIndex, HugePageAllocator<LineIndex>>;

class LineQueueMap {
public:
    // Queues `lines` of `file`, in the order of the list; the map keeps no
    // reference to either. Throws std::bad_alloc, and ComparisonStopped when
    // `stop` is set while the map is made.
    LineQueueMap(const FileLines& file, const LineList& lines, const std::atomic<bool>* stop);

    // Where a key's slot is probed first; passing it to the calls below lets a
    // caller start fetching the slot early.
    std::size_t Home(std::uint64_t key) const
    {
        return static_cast<std::size_t>((static_cast<unsigned __int128>(key) * m_slots.size()) >> 64);
    }
    void Prefetch(std::size_t home) const { PrefetchForRead(&m_slots[home]); }

    // The line at the front of the queue of `key`, kNoLine when none: the
    // line TakeFirst will most likely take, for a caller to fetch ahead. Also
    // starts fetching the link that TakeFirst reads when it takes that line.
    LineIndex PeekFront(std::size_t home, std::uint64_t key) const
    {
        const std::size_t i = SlotOf(home, key);
        if (i == kAbsent || m_slots[i].head == kEnd)
            return kNoLine;
        PrefetchForRead(&m_links[m_slots[i].head]);
        return m_slots[i].headLine;
    }

    // Offers the queued lines of `key` to take(line), from the front, until it
    // takes one (returns true); that line leaves its queue. The queue may hold
    // lines that only share the key, which take() turns down. True when a
    // line was taken.
    template <class Take>
    bool TakeFirst(std::size_t home, std::uint64_t key, Take take)
    {
        const std::size_t i = SlotOf(home, key);
        if (i == kAbsent)
            return false;
        // What leads to the line at place `at`: the slot itself for the front
        // line, else the link of the line before.
        std::uint32_t* toPosition = &m_slots[i].head;
        LineIndex* toLine = &m_slots[i].headLine;
        for (std::uint32_t at = m_slots[i].head; at != kEnd;) {
            Link& next = m_links[at];
            if (take(*toLine)) {
                *toPosition = next.position;
                *toLine = next.line;
                return true;
            }
            toPosition = &next.position;
            toLine = &next.line;
            at = next.position;
        }
        return false;
    }

private:
    static constexpr std::uint32_t kUnused = UINT32_MAX;   // a slot no kind took
    static constexpr std::uint32_t kEnd = UINT32_MAX - 1;  // past the last line of a queue
    static constexpr std::size_t kAbsent = SIZE_MAX;       // no slot holds the key

    // A kind of line: where its queue begins (a place in the list of lines the
    // map was built from, kEnd once the queue is empty: the slot stays taken)
    // and that first line.
    struct Slot {
        std::uint64_t key;
        std::uint32_t head;
        LineIndex headLine;
    };
    // The line after a queued one: its place and the line, so that taking
    // the front line reads one link and nothing else.
    struct Link {
        std::uint32_t position;
        LineIndex line;
    };

    std::size_t Next(std::size_t i) const { return i + 1 == m_slots.size() ? 0 : i + 1; }

    static constexpr std::size_t kSlotsPerPiece = std::size_t(1) << 18;  // 4 MiB

    // The slot of `key`, probed from `home` on; kAbsent when no slot holds it.
    std::size_t SlotOf(std::size_t home, std::uint64_t key) const
    {
        for (std::size_t i = home;; i = Next(i)) {
            if (m_slots[i].head == kUnused)
                return kAbsent;
            if (m_slots[i].key == key)
                return i;
        }
    }

    std::vector<Slot, HugePageAllocator<Slot>> m_slots;
    std::vector<Link, HugePageAllocator<Link>> m_links;  // by place in the list
};
