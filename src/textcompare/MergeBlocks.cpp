#include "textcompare/MergeBlocks.h"

#include <cstdint>

#include "textcompare/MessageDrain.h"
#include "textcompare/Prefetch.h"

namespace {

class BlockMerger {
public:
    BlockMerger(const Comparison& c, const ResultVisitor& visit, CommonEntries common)
        : m_blocks1(c.blocks1), m_blocks2(c.blocks2), m_file2(c.file2),
          m_ignoreWhitespace(c.rules.ignoreWhitespace), m_stop(c.stop),
          m_firstCommonOnly(common == CommonEntries::FirstOfRun), m_visit(visit)
    {
    }

    bool Run()
    {
        const std::size_t n1 = m_blocks1.size();
        const std::size_t n2 = m_blocks2.size();
        BlockIndex p = 0;
        BlockIndex q = 0;
        BlockIndex ahead = 0;
        DrainTicker drain(m_stop);
        while (p < n1 || q < n2) {
            drain.Tick();
            // Under "Ignore Whitespace" a moved file-2 block is handed out
            // with the first line of its partner block, which lies anywhere in
            // file 1's list when rows moved: fetch the partners some blocks ahead.
            for (; m_ignoreWhitespace && ahead < n2 && ahead <= q + kLookAhead; ++ahead) {
                if (m_blocks2[ahead].partner != kNoBlock)
                    PrefetchForRead(&m_blocks1[m_blocks2[ahead].partner]);
            }
            // Blocks are passed over in order on both sides, so a block whose
            // partner lies behind the other side's position has moved.
            const BlockIndex partner1 = p < n1 ? m_blocks1[p].partner : kNoBlock;
            if (partner1 != kNoBlock && partner1 < q) {
                ++p;  // moved: its lines were handed out at their place in file 2
                continue;
            }
            const BlockIndex partner2 = q < n2 ? m_blocks2[q].partner : kNoBlock;
            if (partner2 != kNoBlock && partner2 < p) {
                if (!EmitMoved(q++))
                    return false;
                continue;
            }
            bool emitted = true;
            if (p == n1) {
                const LineBlock& Q = m_blocks2[q];
                emitted = Q.partner != kNoBlock ? EmitMoved(q) : Emit(OnlyInFile2, kNoBlock, q);
                ++q;
            } else if (q == n2) {
                if (m_blocks1[p].partner == kNoBlock)
                    emitted = Emit(OnlyInFile1, p, kNoBlock);
                ++p;
            } else if (m_blocks1[p].type == OnlyInFile1) {
                emitted = Emit(OnlyInFile1, p, kNoBlock);
                ++p;
            } else if (m_blocks1[p].partner == kNoBlock) {
                ++p;  // unpaired blank lines of file 1: nothing to report
            } else if (m_blocks2[q].partner == kNoBlock) {
                emitted = Emit(m_blocks2[q].type, kNoBlock, q);
                ++q;
            } else if (m_blocks1[p].partner == q) {
                emitted = Emit(Common, p, q);
                ++p;
                ++q;
            } else {
                // Two paired blocks that cross. A table has no row order: rows
                // that are in both dumps are no difference, wherever they stand.
                // So one of the two counts as moved and is not reported; the
                // smaller one (the file-2 block on a tie), so that the larger
                // stays in step.
                if (BlockSize(m_blocks2[q]) > BlockSize(m_blocks1[p])) {
                    ++p;
                } else {
                    emitted = EmitMoved(q);
                    ++q;
                }
            }
            if (!emitted)
                return false;
        }
        return true;
    }

private:
    static constexpr BlockIndex kLookAhead = 16;

    // Hands out an entry: the lines are p's for OnlyInFile1 and q's otherwise
    // (common lines are reported as file 2's); each line number is that of the
    // first line of the block taking part, 0 for none.
    bool Emit(BlockType type, BlockIndex p, BlockIndex q)
    {
        if (type == Common && CommonLeftOut())
            return true;
        const LineBlock& source = type == OnlyInFile1 ? m_blocks1[p] : m_blocks2[q];
        const std::int64_t line1 = p == kNoBlock ? 0 : std::int64_t(m_blocks1[p].first) + 1;
        const std::int64_t line2 = q == kNoBlock ? 0 : std::int64_t(m_blocks2[q].first) + 1;
        return Hand(ResultEntry{type, source.first, source.last, line1, line2});
    }

    // A moved file-2 block, as Common at its place, with its partner's line
    // number. Without "Ignore Whitespace" a common block holds paired lines
    // only, so its partner block begins with the partner of its first line:
    // a read from file 2's lines in order instead of one from anywhere in
    // file 1's block list.
    bool EmitMoved(BlockIndex q)
    {
        const LineBlock& Q = m_blocks2[q];
        if (CommonLeftOut())
            return true;
        if (m_ignoreWhitespace)
            return Emit(Common, Q.partner, q);
        const std::int64_t line1 = std::int64_t(m_file2.Partner(Q.first)) + 1;
        return Hand(ResultEntry{Common, Q.first, Q.last, line1, std::int64_t(Q.first) + 1});
    }

    // Whether a Common entry now would directly follow another and is not wanted.
    bool CommonLeftOut() const { return m_firstCommonOnly && m_lastWasCommon; }

    bool Hand(const ResultEntry& entry)
    {
        m_lastWasCommon = entry.type == Common;
        return m_visit(entry);
    }

    const BlockList& m_blocks1;
    const BlockList& m_blocks2;
    const FileLines& m_file2;
    const bool m_ignoreWhitespace;
    const std::atomic<bool>* const m_stop;
    const bool m_firstCommonOnly;
    const ResultVisitor& m_visit;
    bool m_lastWasCommon = false;
};

} // namespace

bool MergeBlocks(const Comparison& c, const ResultVisitor& visit, CommonEntries common)
{
    return BlockMerger(c, visit, common).Run();
}
