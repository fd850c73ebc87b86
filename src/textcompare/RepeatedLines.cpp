#include "textcompare/RepeatedLines.h"

#include "textcompare/LineQueueMap.h"
#include "textcompare/MessageDrain.h"

namespace {

// The unpaired lines of a file in file order: the lines of its removed or
// added blocks, and under "Ignore Whitespace" the unpaired blank lines that
// common blocks took in. Without that option a common block holds paired
// lines only and is passed over whole.
LineList UnpairedLines(const FileLines& file, const BlockList& blocks, const LineRules& rules,
                       const std::atomic<bool>* stop)
{
    LineList lines;
    DrainTicker drain(stop);
    for (const LineBlock& block : blocks) {
        drain.Tick();
        if (block.type == Common && !rules.ignoreWhitespace)
            continue;
        for (LineIndex line = block.first; line <= block.last; ++line) {
            drain.Tick();
            if (!file.IsPaired(line))
                lines.push_back(line);
        }
    }
    return lines;
}

} // namespace

bool PairRepeatedLines(Comparison& c)
{
    LineList unpaired1 = UnpairedLines(c.file1, c.blocks1, c.rules, c.stop);
    if (unpaired1.empty())
        return false;
    LineList unpaired2 = UnpairedLines(c.file2, c.blocks2, c.rules, c.stop);
    if (unpaired2.empty())
        return false;

    // The smaller side goes into the map. Taking the first equal line of its
    // queue for each line of the other side, in file order, pairs the k-th
    // copies with each other either way round.
    const bool queue1 = unpaired1.size() <= unpaired2.size();
    const FileLines& queued = queue1 ? c.file1 : c.file2;
    const FileLines& walked = queue1 ? c.file2 : c.file1;
    const LineList& walk = queue1 ? unpaired2 : unpaired1;
    LineQueueMap map(queued, queue1 ? unpaired1 : unpaired2, c.stop);
    LineList().swap(queue1 ? unpaired1 : unpaired2);  // the map holds its lines now
    DrainMessages(c.stop);

    // In three steps ahead of the pairing, since all of it lies anywhere in
    // memory: a line's slot of the map is fetched kSlotsAhead lines before the
    // line is paired; once the slot is there, the cell of the line at the
    // front of its queue (kCellsAhead); once that cell is there, the texts of
    // both lines (kTextsAhead), which the cells locate.
    constexpr std::size_t kSlotsAhead = 24;
    constexpr std::size_t kCellsAhead = 16;
    constexpr std::size_t kTextsAhead = 8;
    const auto front = [&](std::size_t at) {
        const std::uint64_t key = walked.Key(walk[at]);
        return map.PeekFront(map.Home(key), key);
    };
    const auto fetchAhead = [&](std::size_t at) {
        if (at + kSlotsAhead < walk.size())
            map.Prefetch(map.Home(walked.Key(walk[at + kSlotsAhead])));
        if (at + kCellsAhead < walk.size()) {
            const LineIndex twin = front(at + kCellsAhead);  // fetches the link to take it by, too
            if (twin != kNoLine)
                queued.Prefetch(twin);
        }
        if (at + kTextsAhead < walk.size()) {
            const LineIndex twin = front(at + kTextsAhead);
            if (twin != kNoLine) {
                queued.PrefetchText(twin);
                walked.PrefetchText(walk[at + kTextsAhead]);
            }
        }
    };
    bool changed = false;
    DrainTicker drain(c.stop);
    for (std::size_t at = 0; at < walk.size(); ++at) {
        drain.Tick();
        fetchAhead(at);
        const LineIndex line = walk[at];
        const std::uint64_t key = walked.Key(line);
        // LinkLines compares the texts: lines that only share their key stay apart.
        if (map.TakeFirst(map.Home(key), key, [&](LineIndex twin) {
                return queue1 ? c.LinkLines(twin, line) : c.LinkLines(line, twin);
            }))
            changed = true;
    }
    return changed;
}
