#include "textcompare/LineMatching.h"

#include <cstddef>
#include <utility>

#include "textcompare/HashCountMap.h"
#include "textcompare/MessageDrain.h"

namespace {

LineIndex Neighbour(LineIndex line, ScanDirection direction)
{
    // Before the first line comes kNoLine; after the last, the line count: both
    // are outside the file.
    return direction == ScanDirection::Forward ? line + 1 : line - 1;
}

// One pass of ExtendMatch from x and y, each moving towards its stop line.
bool ExtendPass(Comparison& c, LineIndex x, LineIndex stopX, LineIndex y, LineIndex stopY, ScanDirection direction)
{
    bool changed = false;
    DrainTicker drain(c.stop);
    for (;;) {
        drain.Tick();
        if (c.LinkLines(x, y)) {
            changed = true;
            x = Neighbour(x, direction);
            y = Neighbour(y, direction);
            if (x == stopX || y == stopY)
                break;
            continue;
        }
        if (!c.rules.ignoreWhitespace)
            break;
        const bool movedX = SkipBlanks(c.file1, x, stopX, direction);
        const bool movedY = SkipBlanks(c.file2, y, stopY, direction);
        if (!((movedX || movedY) && x != stopX && y != stopY))
            break;
    }
    return changed;
}

std::size_t CountUnpaired(const FileLines& file, const LineRange& range)
{
    std::size_t n = 0;
    for (LineIndex line = range.first; line <= range.last; ++line)
        n += file.IsPaired(line) ? 0 : 1;
    return n;
}

// A line waiting for its slot of the map to arrive in the cache.
struct PendingLine {
    LineIndex line;
    std::uint64_t key;
    std::size_t home;
};

constexpr int kBatch = 16;

// Calls `flush` with batches of up to kBatch unpaired lines of the range, in
// order. Each line's slot of the map is fetched a whole batch before its batch
// is flushed, so that the random accesses into a large map overlap instead of
// waiting one after the other. A batch is a drain point.
template <class Flush>
void ForEachUnpairedBatch(const FileLines& file, const LineRange& range, const HashCountMap& map,
                          const std::atomic<bool>* stop, Flush flush)
{
    DrainTicker drain(stop);
    PendingLine batches[2][kBatch];
    PendingLine* filling = batches[0];
    PendingLine* waiting = batches[1];  // full, its slots on the way
    int pending = 0;
    bool haveWaiting = false;
    for (LineIndex line = range.first; line <= range.last; ++line) {
        if (file.IsPaired(line))
            continue;
        const std::uint64_t key = file.Key(line);
        const std::size_t home = map.Home(key);
        map.Prefetch(home);
        filling[pending++] = {line, key, home};
        if (pending == kBatch) {
            drain.Tick();
            if (haveWaiting)
                flush(waiting, kBatch);
            std::swap(filling, waiting);
            haveWaiting = true;
            pending = 0;
        }
    }
    if (haveWaiting)
        flush(waiting, kBatch);
    if (pending > 0)
        flush(filling, pending);
}

// Every unpaired line of A whose kind occurs exactly once among the unpaired
// lines of A and of B is extended against its twin in B. `repeatedInBoth`
// tells whether some kind of line was unpaired in both ranges without being
// unique in each.
bool MatchUniqueLines(Comparison& c, const LineRange& A, const LineRange& B, bool& repeatedInBoth)
{
    // The twin in B of each line of A that makes an anchor, by its place in
    // A: one pass over the map in its own order, and the anchors are then
    // found in file order without a look into the map anywhere in memory per
    // line. The map goes before the anchors are extended.
    std::vector<LineIndex, HugePageAllocator<LineIndex>> twins(std::size_t(A.last - A.first) + 1, kNoLine);
    DrainMessages(c.stop);
    {
        const std::size_t unpaired = CountUnpaired(c.file1, A);
        DrainMessages(c.stop);
        HashCountMap map(unpaired, c.stop);
        DrainMessages(c.stop);
        ForEachUnpairedBatch(c.file1, A, map, c.stop, [&](const PendingLine* batch, int n) {
            for (int i = 0; i < n; ++i)
                map.AddLine1(batch[i].home, batch[i].key, batch[i].line);
        });
        ForEachUnpairedBatch(c.file2, B, map, c.stop, [&](const PendingLine* batch, int n) {
            for (int i = 0; i < n; ++i)
                map.AddLine2(batch[i].home, batch[i].key, batch[i].line);
        });
        repeatedInBoth =
            map.ForEachUniquePair([&](LineIndex line1, LineIndex line2) { twins[line1 - A.first] = line2; });
    }

    // The twins stay as the map had them: a line paired meanwhile is passed
    // over by the partner test. Anchors go through a pipeline of batches in
    // file order: the twin's cell is fetched when its anchor is found, its
    // text is fetched when the next batch is full, and the anchor is extended
    // three batches later, so that the random reads into file 2 overlap with
    // other work instead of stalling one by one. File 1 is read in order,
    // which the processor fetches ahead by itself.
    struct Anchor {
        LineIndex line;
        LineIndex twin;
    };
    struct Stage {
        Anchor anchors[kBatch];
        int count = 0;
    };
    constexpr unsigned kStages = 4;
    Stage stages[kStages];
    unsigned batchNumber = 0;
    bool changed = false;
    const auto stage = [&](unsigned age) -> Stage& { return stages[(batchNumber - age) % kStages]; };
    const auto extend = [&](Stage& done) {
        for (int i = 0; i < done.count; ++i) {
            const Anchor& a = done.anchors[i];
            if (!c.file1.IsPaired(a.line) && ExtendMatch(c, A, a.line, B, a.twin))
                changed = true;
        }
        done.count = 0;
    };
    const auto fetchTexts = [&](const Stage& fetched) {
        for (int i = 0; i < fetched.count; ++i)
            c.file2.PrefetchText(fetched.anchors[i].twin);
    };
    DrainTicker drain(c.stop);
    for (LineIndex line = A.first; line <= A.last; ++line) {
        drain.Tick();
        if (c.file1.IsPaired(line))
            continue;
        const LineIndex twin = twins[line - A.first];
        if (twin == kNoLine)
            continue;
        c.file2.Prefetch(twin);
        Stage& fresh = stage(0);
        fresh.anchors[fresh.count++] = {line, twin};
        if (fresh.count == kBatch) {
            ++batchNumber;
            extend(stage(kStages));  // the slot the new batch takes
            fetchTexts(stage(1));
        }
    }
    for (unsigned age = kStages - 1; age + 1 > 0; --age)
        extend(stage(age));
    return changed;
}

} // namespace

bool SkipBlanks(const FileLines& file, LineIndex& x, LineIndex stop, ScanDirection direction)
{
    bool moved = false;
    while (file.IsBlank(x) && x != stop) {
        x = Neighbour(x, direction);
        moved = true;
    }
    return moved;
}

bool ExtendMatch(Comparison& c, const LineRange& A, LineIndex a, const LineRange& B, LineIndex b)
{
    const LineIndex endA = A.last + 1;
    const LineIndex endB = B.last + 1;
    if (!c.file1.Contains(a) || !c.file2.Contains(b))
        return false;
    bool changed = ExtendPass(c, a, endA, b, endB, ScanDirection::Forward);

    // Backward from the lines before a and b, whether or not a and b paired:
    // equal lines before two different last lines still pair.
    const LineIndex x = a - 1;
    const LineIndex y = b - 1;
    if (x == kNoLine || y == kNoLine)
        return changed;
    if (ExtendPass(c, x, A.first - 1, y, B.first - 1, ScanDirection::Backward))
        changed = true;
    return changed;
}

bool MatchRange(Comparison& c, const LineRange& A, const LineRange& B, bool* repeatedInBoth)
{
    bool repeated = false;
    bool changed = false;
    if (!A.Empty() && !B.Empty()) {
        changed = ExtendMatch(c, A, A.first, B, B.first);
        if (ExtendMatch(c, A, A.last, B, B.last))
            changed = true;
        if (MatchUniqueLines(c, A, B, repeated))
            changed = true;
    }
    if (repeatedInBoth)
        *repeatedInBoth = repeated;
    return changed;
}
