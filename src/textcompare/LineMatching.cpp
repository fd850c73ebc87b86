#include "textcompare/LineMatching.h"

#include <cstddef>
#include <new>

#include "textcompare/ComparisonOptions.h"
#include "textcompare/HashCountMap.h"
#include "textcompare/LineCompare.h"
#include "textcompare/MessageDrain.h"

namespace {

LineRecord* Neighbour(const LineRecord* line, ScanDirection direction)
{
    return direction == ScanDirection::Forward ? NextLine(line) : PrevLine(line);
}

// One pass of ExtendMatch from x and y, each moving towards its stop line.
bool ExtendPass(LineRecord* x, const LineRecord* stopX, LineRecord* y, const LineRecord* stopY,
                ScanDirection direction)
{
    const bool ignoreWhitespace = g_comparisonOptions.ignoreWhitespace != 0;
    bool changed = false;
    DrainTicker drain;
    for (;;) {
        drain.Tick();
        if (LinkLines(x, y)) {
            changed = true;
            x = Neighbour(x, direction);
            y = Neighbour(y, direction);
            if (x == stopX || y == stopY)
                break;
            continue;
        }
        if (!ignoreWhitespace)
            break;
        const bool movedX = SkipBlanks(x, stopX, direction);
        const bool movedY = SkipBlanks(y, stopY, direction);
        if (!((movedX || movedY) && x != stopX && y != stopY))
            break;
    }
    return changed;
}

// Walks a range from its first to its last line.
template <class Visit>
void ForEachLine(const LineBlock* range, Visit visit)
{
    for (LineRecord* line = range->first; line; line = NextLine(line)) {
        visit(line);
        if (line == range->last)
            break;
    }
}

// A line waiting for its slot of the hash map to arrive in the cache.
struct PendingLine {
    LineRecord* line;
    std::uint32_t hash;
    std::size_t home;
    LineRecord* anchor;  // its unique twin in range B, once found
};

constexpr int kBatch = 16;

// Walks a range in batches of up to kBatch unpaired lines, starting to fetch
// each line's slot of the hash map while the batch fills, so that the random
// accesses into a large map overlap instead of waiting one after the other.
// `flush` gets each full batch (and the last one); `onLine` is called for every
// line of the range, paired or not, in order.
template <class Flush, class OnLine>
void ForEachUnpairedBatch(const LineBlock* range, const HashCountMap& map, Flush flush, OnLine onLine)
{
    PendingLine batch[kBatch];
    int pending = 0;
    ForEachLine(range, [&](LineRecord* line) {
        onLine();
        if (line->partner)
            return;
        const std::uint32_t hash = GetLineHash(line);
        const std::size_t home = HashMapHome(map, hash);
        __builtin_prefetch(&map.slots[home]);
        batch[pending++] = {line, hash, home, nullptr};
        if (pending == kBatch) {
            flush(batch, pending);
            pending = 0;
        }
    });
    if (pending > 0)
        flush(batch, pending);
}

std::size_t CountUnpaired(const LineBlock* range)
{
    std::size_t n = 0;
    ForEachLine(range, [&](LineRecord* line) {
        if (!line->partner)
            ++n;
    });
    return n;
}

void PrefetchLine(const LineRecord* line)
{
    __builtin_prefetch(reinterpret_cast<const char*>(line) - kListCellHeader);  // its links
    __builtin_prefetch(line);
}

// The search for anchors inside two ranges: every unpaired line of A
// whose hash occurs exactly once among the unpaired lines of A and of B is
// extended against its twin in B.
bool MatchUniqueLines(const LineBlock* A, const LineBlock* B)
{
    HashCountMap map;
    if (!HashMapReserve(map, CountUnpaired(A)))
        throw std::bad_alloc();
    const auto nothing = [] {};
    ForEachUnpairedBatch(
        A, map,
        [&](PendingLine* batch, int n) {
            for (int i = 0; i < n; ++i)
                HashMapAddLine1(map, batch[i].home, batch[i].hash);
        },
        nothing);
    ForEachUnpairedBatch(
        B, map,
        [&](PendingLine* batch, int n) {
            for (int i = 0; i < n; ++i)
                HashMapAddLine2(map, batch[i].home, batch[i].hash, batch[i].line);
        },
        nothing);

    // The counts stay as they were: a line paired meanwhile is passed over by
    // the partner test. The twins are fetched for the whole batch before the
    // first is compared.
    bool changed = false;
    DrainTicker drain;
    ForEachUnpairedBatch(
        A, map,
        [&](PendingLine* batch, int n) {
            for (int i = 0; i < n; ++i) {
                const HashCountEntry* e = HashMapFind(map, batch[i].home, batch[i].hash);
                if (e && e->count1 == 1 && e->count2 == 1) {
                    batch[i].anchor = e->firstLine2;
                    PrefetchLine(e->firstLine2);
                }
            }
            for (int i = 0; i < n; ++i) {
                if (batch[i].anchor)
                    __builtin_prefetch(batch[i].anchor->text);
            }
            for (int i = 0; i < n; ++i) {
                if (batch[i].anchor && !batch[i].line->partner &&
                    ExtendMatch(A, batch[i].line, B, batch[i].anchor))
                    changed = true;
            }
        },
        [&] { drain.Tick(); });
    return changed;
}

} // namespace

bool SkipBlanks(LineRecord*& x, const LineRecord* stop, ScanDirection direction)
{
    bool moved = false;
    while (IsBlankLine(x) && x != stop) {
        x = Neighbour(x, direction);
        moved = true;
    }
    return moved;
}

bool ExtendMatch(const LineBlock* A, LineRecord* a, const LineBlock* B, LineRecord* b)
{
    const LineRecord* endA = NextLine(A->last);
    const LineRecord* endB = NextLine(B->last);
    if (!a || !b)
        return false;
    bool changed = ExtendPass(a, endA, b, endB, ScanDirection::Forward);

    // Backward from the lines before a and b, whether or not a and b paired:
    // equal lines before two different last lines still pair.
    LineRecord* x = PrevLine(a);
    LineRecord* y = PrevLine(b);
    if (!x || !y)
        return changed;
    const LineRecord* beginA = PrevLine(A->first);
    const LineRecord* beginB = PrevLine(B->first);
    if (ExtendPass(x, beginA, y, beginB, ScanDirection::Backward))
        changed = true;
    return changed;
}

bool MatchRange(const LineBlock* A, const LineBlock* B)
{
    if (!A || !B || !A->first || !B->first)
        return false;
    bool changed = ExtendMatch(A, A->first, B, B->first);
    if (ExtendMatch(A, A->last, B, B->last))
        changed = true;

    if (MatchUniqueLines(A, B))
        changed = true;
    return changed;
}
