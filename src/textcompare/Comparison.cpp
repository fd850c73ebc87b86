#include "textcompare/Comparison.h"

#include "textcompare/BlockLists.h"
#include "textcompare/LineMatching.h"
#include "textcompare/MessageDrain.h"
#include "textcompare/RepeatedLines.h"

namespace {

LineRange WholeFile(const FileLines& file)
{
    return LineRange{0, file.Count() - 1};  // empty for an empty file
}

void RebuildBlocks(Comparison& c)
{
    c.blocks1 = BlockList();  // the last lists go before the new ones are built
    c.blocks2 = BlockList();
    c.blocks1 = BuildBlocks(c, true);
    DrainMessages(c.stop);
    c.blocks2 = BuildBlocks(c, false);
    DrainMessages(c.stop);
}

} // namespace

void ComputeDifferences(Comparison& c)
{
    // The usual table has a key and no such lines: then the pass is not even
    // started, and costs nothing.
    if (!MatchFromAnchors(c))
        return;
    // No two unpaired lines are equal after this, so no round could pair
    // anything more: the lists are only rebuilt and their blocks paired.
    if (PairRepeatedLines(c)) {
        DrainMessages(c.stop);
        RebuildBlocks(c);
        PairCommonBlocks(c);
    }
}

bool MatchFromAnchors(Comparison& c)
{
    DrainMessages(c.stop);
    // Whether the block lists hold every pair made so far and their gaps were
    // matched without pairing anything: a round that then pairs nothing over
    // the whole files would build the same lists and match the same gaps again
    // to no effect, so the rounds end there.
    bool blocksCurrent = false;
    for (;;) {
        // Both ways out follow a round over the whole files that paired
        // nothing, so its count of the unpaired lines is the final one.
        bool repeatedInBoth = false;
        const bool pairedInFiles = MatchRange(c, WholeFile(c.file1), WholeFile(c.file2), &repeatedInBoth);
        if (!pairedInFiles && blocksCurrent)
            return repeatedInBoth;
        RebuildBlocks(c);
        const bool pairedInGaps = MatchGaps(c);
        if (!pairedInFiles && !pairedInGaps)
            return repeatedInBoth;
        blocksCurrent = !pairedInGaps;
        DrainMessages(c.stop);
    }
}
