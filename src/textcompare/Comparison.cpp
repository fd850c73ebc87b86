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
    for (;;) {
        bool changed = MatchRange(c, WholeFile(c.file1), WholeFile(c.file2));
        c.blocks1 = BlockList();  // the last round's lists go before the new ones are built
        c.blocks2 = BlockList();
        c.blocks1 = BuildBlocks(c, true);
        DrainMessages();
        c.blocks2 = BuildBlocks(c, false);
        DrainMessages();
        if (MatchGaps(c))
            changed = true;
        if (!changed)
            break;
        DrainMessages();
    }
}
