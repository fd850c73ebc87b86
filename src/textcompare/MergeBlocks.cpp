#include "textcompare/MergeBlocks.h"

#include "textcompare/MessageDrain.h"

namespace {

// Appends a result entry. The lines are p's for OnlyInFile1 and q's otherwise
// (common lines are reported as file 2's); each line number is that of the
// first line of the block taking part, 0 for none.
bool Emit(LineList* result, std::int32_t type, const LineBlock* p, const LineBlock* q)
{
    auto* entry = static_cast<LineBlock*>(ListAppend(result, sizeof(LineBlock)));
    if (!entry)
        return false;
    const LineBlock* source = type == OnlyInFile1 ? p : q;
    entry->first = source->first;
    entry->last = source->last;
    entry->inList = 1;
    entry->partner = nullptr;
    entry->type = type;
    entry->file1Line = p ? p->first->lineNumber : 0;
    entry->file2Line = q ? q->first->lineNumber : 0;
    return true;
}

} // namespace

LineList* MergeBlocks(const LineList* blocks1, const LineList* blocks2)
{
    LineList* result = ListNew();
    if (!result)
        return nullptr;
    const LineBlock* p = FirstBlock(blocks1);
    const LineBlock* q = FirstBlock(blocks2);
    DrainTicker drain;
    while (p || q) {
        drain.Tick();
        bool emitted = true;
        if (!p) {
            emitted = Emit(result, OnlyInFile2, nullptr, q);
            q = NextBlock(q);
        } else if (!q || p->type == OnlyInFile1) {
            emitted = Emit(result, OnlyInFile1, p, nullptr);
            p = NextBlock(p);
        } else if (!p->partner) {
            p = NextBlock(p);  // unpaired blank lines of file 1: nothing to report
        } else if (!q->partner) {
            emitted = Emit(result, q->type, nullptr, q);
            q = NextBlock(q);
        } else if (p->partner == q) {
            emitted = Emit(result, Common, p, q);
            p = NextBlock(p);
            q = NextBlock(q);
        } else if (BlockSize(q) > BlockSize(p)) {
            emitted = Emit(result, OnlyInFile1, p, nullptr);
            p = NextBlock(p);
        } else {
            emitted = Emit(result, OnlyInFile2, nullptr, q);
            q = NextBlock(q);
        }
        if (!emitted)
            break;  // the cleared status word tells the caller
    }
    return result;
}
