#include "textcompare/HashCountMap.h"

HashCountMap::HashCountMap(std::size_t lines1)
    : m_slots(lines1 + lines1 / 2 + 1, Entry{0, kNoLine, kNoLine})  // at most two thirds full
{
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
