#include "textcompare/BlockLists.h"

#include <cstddef>
#include <vector>

#include "textcompare/ComparisonOptions.h"
#include "textcompare/LineCompare.h"
#include "textcompare/LineMatching.h"
#include "textcompare/MessageDrain.h"

namespace {

bool IgnoringWhitespace()
{
    return g_comparisonOptions.ignoreWhitespace != 0;
}

// Where a run stops when the next significant line p is unpaired: an unpaired
// blank line at the end of the file still belongs to the run.
LineRecord* EndBeforeUnpaired(LineRecord* p)
{
    return (IgnoringWhitespace() && IsBlankLine(p)) ? p : PrevLine(p);
}

// The common blocks of file 2 by the line number of their first paired line,
// so that pairing finds a block's partner with one look-up instead of a search
// through the list. Line numbers are unique within a file.
std::vector<LineBlock*> IndexCommonBlocks(const LineList* blocks)
{
    std::vector<LineBlock*> byLine;
    const LineBlock* last = static_cast<const LineBlock*>(ListLast(blocks));
    if (!last)
        return byLine;
    byLine.assign(static_cast<std::size_t>(last->last->lineNumber) + 1, nullptr);
    for (LineBlock* q = FirstBlock(blocks); q; q = NextBlock(q)) {
        if (q->type != Common)
            continue;
        const LineRecord* f = FirstLinked(q->first, q->last);
        if (f->partner)  // a block of unpaired blank lines is no partner
            byLine[static_cast<std::size_t>(f->lineNumber)] = q;
    }
    return byLine;
}

// The common block of file 2 whose first paired line is `line`, or none.
LineBlock* FindCommonBlock(const std::vector<LineBlock*>& byLine, const LineRecord* line)
{
    const auto n = static_cast<std::size_t>(line->lineNumber);
    return n < byLine.size() ? byLine[n] : nullptr;
}

// Starts fetching a line record of the other file, links included.
void PrefetchLine(const LineRecord* line)
{
    const char* cell = reinterpret_cast<const char*>(line) - kListCellHeader;
    __builtin_prefetch(cell);
    __builtin_prefetch(cell + 64);
}

// A common block of file 1 waiting for its partner block to be looked up.
struct PendingBlock {
    LineBlock* block;
    const LineRecord* partnerLine;  // the partner of its first paired line
    LineBlock* partner;
};

void PairCommonBlocks(LineList* blocks1, LineList* blocks2)
{
    const std::vector<LineBlock*> index = IndexCommonBlocks(blocks2);
    // In batches: the partner lines, their index entries and the partner blocks
    // lie anywhere in memory, so each is fetched for the whole batch at once.
    constexpr int kBatch = 16;
    PendingBlock batch[kBatch];
    int pending = 0;
    const auto flush = [&] {
        for (int i = 0; i < pending; ++i) {
            const auto n = static_cast<std::size_t>(batch[i].partnerLine->lineNumber);
            if (n < index.size())
                __builtin_prefetch(&index[n]);
        }
        for (int i = 0; i < pending; ++i) {
            batch[i].partner = FindCommonBlock(index, batch[i].partnerLine);
            if (batch[i].partner)
                __builtin_prefetch(batch[i].partner);
        }
        for (int i = 0; i < pending; ++i) {
            if (LineBlock* q = batch[i].partner) {
                batch[i].block->partner = q;
                q->partner = batch[i].block;
            }
        }
        pending = 0;
    };
    DrainTicker drain;
    for (LineBlock* p = FirstBlock(blocks1); p; p = NextBlock(p)) {
        drain.Tick();
        if (p->type != Common)
            continue;
        const LineRecord* a = FirstLinked(p->first, p->last);
        if (!a->partner)
            continue;
        __builtin_prefetch(a->partner);
        batch[pending++] = {p, a->partner, nullptr};
        if (pending == kBatch)
            flush();
    }
    flush();
}

// The gap of file 2 that corresponds to the unpaired block P of file 1, or none
// when there is no such gap. `found` tells the two apart from "P is the only
// block of file 1", where the gap is the first block of file 2 (maybe none).
LineBlock* CorrespondingGap(const LineBlock* P, const LineList* blocks2, bool& found)
{
    found = false;
    const LineBlock* before = PrevBlock(P);
    const LineBlock* after = NextBlock(P);
    LineBlock* S = nullptr;
    if (before) {
        const LineBlock* R = before->partner;
        if (!R)
            return nullptr;
        S = NextBlock(R);
        if (!S || S->partner)
            return nullptr;
        if (after && after->partner != NextBlock(S))
            return nullptr;
    } else if (after) {
        const LineBlock* R = after->partner;
        if (!R)
            return nullptr;
        S = PrevBlock(R);
        if (!S || S->partner)
            return nullptr;
    } else {
        S = FirstBlock(blocks2);
    }
    found = true;
    return S;
}

bool MatchGapsOfBlocks(LineList* blocks1, LineList* blocks2)
{
    bool changed = false;
    DrainTicker drain;
    for (LineBlock* P = FirstBlock(blocks1); P; P = NextBlock(P)) {
        drain.Tick();
        if (P->type == Common)
            continue;
        const LineBlock* before = PrevBlock(P);
        const LineBlock* after = NextBlock(P);
        if ((before && before->type != Common) || (after && after->type != Common))
            continue;
        bool found = false;
        const LineBlock* S = CorrespondingGap(P, blocks2, found);
        if (found && MatchRange(P, S))
            changed = true;
    }
    return changed;
}

} // namespace

LineList* BuildBlocks(const LineList* lines, bool isFile1)
{
    LineList* list = ListNew();
    if (!list)
        return nullptr;
    const bool ignoreWhitespace = IgnoringWhitespace();
    // Runs are followed into the other file through the partners, which lie
    // anywhere there when rows moved: fetch them some lines ahead.
    constexpr std::int32_t kLookAhead = 16;
    const LineRecord* ahead = FirstLine(lines);
    for (LineRecord* q = FirstLine(lines); q;) {
        for (; ahead && ahead->lineNumber <= q->lineNumber + kLookAhead; ahead = NextLine(ahead)) {
            if (ahead->partner)
                PrefetchLine(ahead->partner);
        }
        LineRecord* last = nullptr;
        std::int32_t type = Common;
        if (q->partner || (ignoreWhitespace && IsBlankLine(q))) {
            last = RunEnd(q);
        } else {
            last = UnmatchedEnd(q);
            type = isFile1 ? OnlyInFile1 : OnlyInFile2;
        }
        auto* block = static_cast<LineBlock*>(ListAppend(list, sizeof(LineBlock)));
        if (!block)
            return list;  // the cleared status word tells the caller
        block->first = q;
        block->last = last;
        block->inList = 1;
        block->partner = nullptr;
        block->type = type;
        block->file1Line = 1;
        block->file2Line = 1;
        q = NextLine(last);
    }
    return list;
}

LineRecord* UnmatchedEnd(LineRecord* q)
{
    for (LineRecord* next = NextLine(q); next && !next->partner; next = NextLine(q))
        q = next;
    return q;
}

LineRecord* NextSignificant(const LineRecord* L)
{
    LineRecord* r = NextLine(L);
    if (!r)
        return nullptr;
    if (!IgnoringWhitespace())
        return r;
    while (!r->partner && IsBlankLine(r)) {
        LineRecord* next = NextLine(r);
        if (!next)
            break;
        r = next;
    }
    return r;
}

LineRecord* RunEnd(LineRecord* L)
{
    if (!L->partner) {
        // An unpaired blank line (only under "Ignore Whitespace") opens the run.
        LineRecord* p = NextSignificant(L);
        if (!p)
            return L;
        if (!p->partner)
            return EndBeforeUnpaired(p);
        L = p;
    }
    for (;;) {
        LineRecord* p = NextSignificant(L);
        if (!p)
            return L;
        if (!p->partner)
            return EndBeforeUnpaired(p);
        if (NextSignificant(L->partner) != p->partner)
            return PrevLine(p);
        L = p;
    }
}

LineRecord* FirstLinked(LineRecord* L, const LineRecord* stop)
{
    while (!L->partner && L != stop)
        L = NextLine(L);
    return L;
}

bool MatchGaps(LineList* blocks1, LineList* blocks2)
{
    PairCommonBlocks(blocks1, blocks2);
    return MatchGapsOfBlocks(blocks1, blocks2);
}
