#include "textcompare/BlockLists.h"

#include <cstddef>
#include <vector>

#include "textcompare/LineMatching.h"
#include "textcompare/MessageDrain.h"
#include "textcompare/Prefetch.h"

namespace {

// Where a run stops when the next significant line p is unpaired: an unpaired
// blank line at the end of the file still belongs to the run.
LineIndex EndBeforeUnpaired(const FileLines& file, LineIndex p, const LineRules& rules)
{
    return (rules.ignoreWhitespace && file.IsBlank(p)) ? p : p - 1;
}

// The common blocks of file 2 by their first paired line, so that pairing finds
// a block's partner with one look-up instead of a search through the list.
using BlockIndexByLine = std::vector<BlockIndex, HugePageAllocator<BlockIndex>>;

BlockIndexByLine IndexCommonBlocks(const Comparison& c)
{
    BlockIndexByLine byLine(c.file2.Count(), kNoBlock);
    DrainTicker drain(c.stop);
    for (BlockIndex q = 0; q < c.blocks2.size(); ++q) {
        drain.Tick();
        const LineBlock& block = c.blocks2[q];
        if (block.type != Common)
            continue;
        const LineIndex f = FirstLinked(c.file2, block.first, block.last);
        if (c.file2.IsPaired(f))  // a block of unpaired blank lines is no partner
            byLine[f] = q;
    }
    return byLine;
}

// A common block of file 1 waiting for its partner block to be looked up.
struct PendingBlock {
    BlockIndex block;
    LineIndex partnerLine;  // the partner of its first paired line
};

bool HasPartner(const BlockList& blocks, BlockIndex b)
{
    return blocks[b].partner != kNoBlock;
}

// The gap of file 2 that corresponds to the unpaired block P of file 1: true
// and the gap in S (kNoBlock for no block) when there is one. When P is the
// only block of file 1 the gap is the first block of file 2, if any.
bool CorrespondingGap(const Comparison& c, BlockIndex P, BlockIndex& S)
{
    const BlockList& blocks1 = c.blocks1;
    const BlockList& blocks2 = c.blocks2;
    const bool hasBefore = P > 0;
    const bool hasAfter = P + 1 < blocks1.size();
    if (hasBefore) {
        const BlockIndex R = blocks1[P - 1].partner;
        if (R == kNoBlock)
            return false;
        S = R + 1;
        if (S >= blocks2.size() || HasPartner(blocks2, S))
            return false;
        const BlockIndex afterS = S + 1 < blocks2.size() ? S + 1 : kNoBlock;
        if (hasAfter && blocks1[P + 1].partner != afterS)
            return false;
    } else if (hasAfter) {
        const BlockIndex R = blocks1[P + 1].partner;
        if (R == kNoBlock || R == 0)
            return false;
        S = R - 1;
        if (HasPartner(blocks2, S))
            return false;
    } else {
        S = blocks2.empty() ? kNoBlock : 0;
    }
    return true;
}

bool MatchGapsOfBlocks(Comparison& c)
{
    bool changed = false;
    DrainTicker drain(c.stop);
    for (BlockIndex P = 0; P < c.blocks1.size(); ++P) {
        drain.Tick();
        if (c.blocks1[P].type == Common)
            continue;
        if ((P > 0 && c.blocks1[P - 1].type != Common) ||
            (P + 1 < c.blocks1.size() && c.blocks1[P + 1].type != Common))
            continue;
        BlockIndex S = kNoBlock;
        if (!CorrespondingGap(c, P, S) || S == kNoBlock)
            continue;
        const LineRange A{c.blocks1[P].first, c.blocks1[P].last};
        const LineRange B{c.blocks2[S].first, c.blocks2[S].last};
        if (MatchRange(c, A, B))
            changed = true;
    }
    return changed;
}

} // namespace

BlockList BuildBlocks(const Comparison& c, bool isFile1)
{
    const FileLines& file = isFile1 ? c.file1 : c.file2;
    const FileLines& other = isFile1 ? c.file2 : c.file1;
    BlockList list;
    // Room for a block per line: pages that no block reaches are never touched.
    list.reserve(file.Count());
    // With "Ignore Whitespace" runs are followed into the other file through
    // the partners, which lie anywhere there when rows moved: fetch them some
    // lines ahead. Without it a run is told from the partners' numbers alone.
    constexpr LineIndex kLookAhead = 16;
    LineIndex ahead = 0;
    DrainTicker drain(c.stop);
    for (LineIndex q = 0; q < file.Count();) {
        drain.Tick();
        if (c.rules.ignoreWhitespace) {
            for (; ahead < file.Count() && ahead <= q + kLookAhead; ++ahead) {
                if (file.IsPaired(ahead))
                    other.Prefetch(file.Partner(ahead));
            }
        }
        if (file.IsPaired(q) || (c.rules.ignoreWhitespace && file.IsBlank(q))) {
            const LineIndex last = RunEnd(file, other, q, c.rules);
            list.push_back({q, last, kNoBlock, Common});
            q = last + 1;
        } else {
            const LineIndex last = UnmatchedEnd(file, q);
            list.push_back({q, last, kNoBlock, isFile1 ? OnlyInFile1 : OnlyInFile2});
            q = last + 1;
        }
    }
    return list;
}

LineIndex UnmatchedEnd(const FileLines& file, LineIndex q)
{
    while (file.Contains(q + 1) && !file.IsPaired(q + 1))
        ++q;
    return q;
}

LineIndex NextSignificant(const FileLines& file, LineIndex L, const LineRules& rules)
{
    LineIndex r = L + 1;
    if (!file.Contains(r))
        return kNoLine;
    if (!rules.ignoreWhitespace)
        return r;  // no look at the line itself: the caller may know only its number
    while (!file.IsPaired(r) && file.IsBlank(r) && file.Contains(r + 1))
        ++r;
    return r;
}

LineIndex RunEnd(const FileLines& file, const FileLines& other, LineIndex L, const LineRules& rules)
{
    if (!file.IsPaired(L)) {
        // An unpaired blank line (only under "Ignore Whitespace") opens the run.
        const LineIndex p = NextSignificant(file, L, rules);
        if (p == kNoLine)
            return L;
        if (!file.IsPaired(p))
            return EndBeforeUnpaired(file, p, rules);
        L = p;
    }
    for (;;) {
        const LineIndex p = NextSignificant(file, L, rules);
        if (p == kNoLine)
            return L;
        if (!file.IsPaired(p))
            return EndBeforeUnpaired(file, p, rules);
        if (NextSignificant(other, file.Partner(L), rules) != file.Partner(p))
            return p - 1;
        L = p;
    }
}

LineIndex FirstLinked(const FileLines& file, LineIndex L, LineIndex stop)
{
    while (!file.IsPaired(L) && L != stop)
        ++L;
    return L;
}

void PairCommonBlocks(Comparison& c)
{
    const BlockIndexByLine index = IndexCommonBlocks(c);
    // In batches, in two steps: the index entries and then the partner blocks
    // lie anywhere in memory when rows moved, so each is fetched for a whole
    // batch at once, the blocks one batch before they are written.
    constexpr int kBatch = 16;
    PendingBlock batch[kBatch];
    int pending = 0;
    struct Found {
        BlockIndex p;
        BlockIndex q;
    };
    Found found[kBatch];
    int foundCount = 0;
    const auto link = [&] {
        for (int i = 0; i < foundCount; ++i) {
            c.blocks1[found[i].p].partner = found[i].q;
            c.blocks2[found[i].q].partner = found[i].p;
        }
        foundCount = 0;
    };
    const auto flush = [&] {
        link();
        for (int i = 0; i < pending; ++i) {
            const BlockIndex q = index[batch[i].partnerLine];
            if (q != kNoBlock) {
                PrefetchForWrite(&c.blocks2[q]);
                found[foundCount++] = {batch[i].block, q};
            }
        }
        pending = 0;
    };
    DrainTicker drain(c.stop);
    for (BlockIndex p = 0; p < c.blocks1.size(); ++p) {
        drain.Tick();
        const LineBlock& block = c.blocks1[p];
        if (block.type != Common)
            continue;
        const LineIndex a = FirstLinked(c.file1, block.first, block.last);
        if (!c.file1.IsPaired(a))
            continue;
        const LineIndex partner = c.file1.Partner(a);
        PrefetchForRead(&index[partner]);
        batch[pending++] = {p, partner};
        if (pending == kBatch)
            flush();
    }
    flush();
    link();
}

bool MatchGaps(Comparison& c)
{
    PairCommonBlocks(c);
    return MatchGapsOfBlocks(c);
}
