#include "textcompare/CompareContext.h"

#include "textcompare/BlockLists.h"
#include "textcompare/LineBlock.h"
#include "textcompare/LineMatching.h"
#include "textcompare/MergeBlocks.h"
#include "textcompare/MessageDrain.h"

namespace {

void FreeLists(CompareContext& context)
{
    ListFree(context.result);
    ListFree(context.blocks1);
    ListFree(context.blocks2);
}

// A range over a whole file, on the stack rather than in a list.
LineBlock WholeFile(const LineList* lines)
{
    LineBlock range{};
    range.first = FirstLine(lines);
    range.last = LastLine(lines);
    range.inList = 0;
    range.type = Common;
    return range;
}

} // namespace

void BuildContext(const std::string& path1, const std::string& path2, CompareContext& context)
{
    ReleaseContext(context);
    context.file1 = NewFileRecord(path1);
    context.file2 = NewFileRecord(path2);
    if (!context.file1 || !context.file2)
        return;
    if (!context.result)
        ComputeDifferences(context);
}

void ComputeDifferences(CompareContext& context)
{
    FreeLists(context);
    LineList* lines1 = GetLines(context.file1);
    LineList* lines2 = GetLines(context.file2);
    if (!lines1 || !lines2)
        return;
    DrainMessages();
    for (;;) {
        bool changed = false;
        const LineBlock range1 = WholeFile(lines1);
        const LineBlock range2 = WholeFile(lines2);
        if (MatchRange(&range1, &range2))
            changed = true;

        ListFree(context.blocks1);
        ListFree(context.blocks2);
        context.blocks1 = BuildBlocks(lines1, true);
        DrainMessages();
        context.blocks2 = BuildBlocks(lines2, false);
        DrainMessages();
        if (!ListComplete(context.blocks1) || !ListComplete(context.blocks2)) {
            // Out of pool memory: no result rather than a wrong one.
            FreeLists(context);
            PoolTrim();
            return;
        }
        if (MatchGaps(context.blocks1, context.blocks2))
            changed = true;
        if (!changed)
            break;
        DrainMessages();
    }
    context.result = MergeBlocks(context.blocks1, context.blocks2);
    if (!ListComplete(context.result))
        FreeLists(context);
    PoolTrim();  // blocks of the earlier rounds were kept for reuse
}

void ReleaseContext(CompareContext& context)
{
    FreeLists(context);
    ResetLines(context.file1);
    ResetLines(context.file2);
    FreeFileRecord(context.file1);
    FreeFileRecord(context.file2);
}

bool HasComparison(const CompareContext& context)
{
    return context.file1 != nullptr;
}
