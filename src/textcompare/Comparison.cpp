#include "textcompare/Comparison.h"

#include "textcompare/BlockLists.h"
#include "textcompare/LineMatching.h"
#include "textcompare/MessageDrain.h"

namespace {

LineRange WholeFile(const FileLines& file)
{
    return LineRange{0, file.Count() - 1};  // empty for an empty file
}

} // namespace

void ComputeDifferences(Comparison& c)
{
    DrainMessages();
    // Whether the block lists hold every pair made so far and their gaps were
    // matched without pairing anything: a round that then pairs nothing over
    // the whole files would build the same lists and match the same gaps again
    // to no effect, so the rounds end there.
    bool blocksCurrent = false;
    for (;;) {
        const bool pairedInFiles = MatchRange(c, WholeFile(c.file1), WholeFile(c.file2));
        if (!pairedInFiles && blocksCurrent)
            break;
        c.blocks1 = BlockList();  // the last round's lists go before the new ones are built
        c.blocks2 = BlockList();
        c.blocks1 = BuildBlocks(c, true);
        DrainMessages();
        c.blocks2 = BuildBlocks(c, false);
        DrainMessages();
        const bool pairedInGaps = MatchGaps(c);
        if (!pairedInFiles && !pairedInGaps)
            break;
        blocksCurrent = !pairedInGaps;
        DrainMessages();
    }
}
