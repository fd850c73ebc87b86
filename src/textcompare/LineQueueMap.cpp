#include "textcompare/LineQueueMap.h"

#include <algorithm>

#include "textcompare/MessageDrain.h"

LineQueueMap::LineQueueMap(const FileLines& file, const LineList& lines, const std::atomic<bool>* stop)
    : m_links(lines.size())
{
    // At most two thirds full. For millions of lines writing every slot takes
    // a noticeable time, so in pieces, each a drain point.
    const std::size_t slots = lines.size() + lines.size() / 2 + 1;
    m_slots.reserve(slots);
    while (m_slots.size() < slots) {
        m_slots.resize(std::min(slots, m_slots.size() + kSlotsPerPiece), Slot{0, kUnused, kNoLine});
        DrainMessages(stop);
    }
    // From the last line to the first, each in front of its queue: the
    // queues end up in list order without a pointer to their ends. The slots
    // lie anywhere in the map, so they are fetched some lines ahead.
    constexpr std::size_t kAhead = 16;
    const auto home = [&](std::size_t at) { return Home(file.Key(lines[at])); };
    DrainTicker drain(stop);
    for (std::size_t at = lines.size(); at-- > 0;) {
        drain.Tick();
        if (at >= kAhead)
            Prefetch(home(at - kAhead));
        const std::uint64_t key = file.Key(lines[at]);
        std::size_t i = Home(key);
        while (m_slots[i].head != kUnused && m_slots[i].key != key)
            i = Next(i);
        Slot& slot = m_slots[i];
        if (slot.head == kUnused)
            slot = Slot{key, kEnd, kNoLine};
        m_links[at] = Link{slot.head, slot.headLine};
        slot.head = static_cast<std::uint32_t>(at);
        slot.headLine = lines[at];
    }
}
