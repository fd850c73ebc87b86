#include "textcompare/HashCountMap.h"

#include <algorithm>

#include "textcompare/MessageDrain.h"

HashCountMap::HashCountMap(std::size_t lines1, const std::atomic<bool>* stop)
{
    // At most two thirds full. Every slot is written before it is used: for
    // millions of lines that takes a noticeable time, so in pieces, each a
    // drain point.
    const std::size_t slots = lines1 + lines1 / 2 + 1;
    m_slots.reserve(slots);
    while (m_slots.size() < slots) {
        m_slots.resize(std::min(slots, m_slots.size() + kSlotsPerPiece), Entry{0, kNoLine, kNoLine});
        DrainMessages(stop);
    }
}

void HashCountMap::AddLine1(std::size_t i, std::uint64_t key, LineIndex line)
{
    for (;; i = Next(i)) {
        Entry& e = m_slots[i];
        if (e.line1 == kNoLine) {
            e = Entry{key, line, kNoLine};
            return;
        }
        if (e.key == key) {
            e.line1 |= kRepeated;
            return;
        }
    }
}

void HashCountMap::AddLine2(std::size_t i, std::uint64_t key, LineIndex line)
{
    for (;; i = Next(i)) {
        Entry& e = m_slots[i];
        if (e.line1 == kNoLine)
            return;
        if (e.key == key) {
            e.line2 = e.line2 == kNoLine ? line : (e.line2 | kRepeated);
            return;
        }
    }
}
