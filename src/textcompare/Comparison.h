#pragma once
// The state of one comparison, which lives only while the engine compares two
// files: the rules, both files' lines and the two block lists.
#include <atomic>

#include "textcompare/LineBlock.h"
#include "textcompare/LineCompare.h"
#include "textcompare/LineStore.h"

struct Comparison {
    LineRules rules;
    // Set by the caller to stop the comparison: the steps throw
    // ComparisonStopped at their next drain point. None: never stops.
    const std::atomic<bool>* stop = nullptr;
    FileLines file1;
    FileLines file2;
    BlockList blocks1;
    BlockList blocks2;

    // Pairs line a of file 1 with line b of file 2 when both exist, neither is
    // paired yet and they are equal under the rules.
    bool LinkLines(LineIndex a, LineIndex b)
    {
        if (!file1.Contains(a) || !file2.Contains(b) || file1.IsPaired(a) || file2.IsPaired(b) ||
            file1.Key(a) != file2.Key(b) || !TextsEqual(file1.Text(a), file2.Text(b), rules))
            return false;
        file1.SetPartner(a, b);
        file2.SetPartner(b, a);
        return true;
    }
};

// Pairs the lines of the two loaded files and leaves the final block lists in
// the comparison: the anchored rounds (MatchFromAnchors), then the copies of
// repeated lines that they left unpaired on both sides, by count
// (PairRepeatedLines), so that the unpaired lines are the multiset difference
// of the two files. Throws std::bad_alloc when memory runs out, and
// ComparisonStopped when the comparison's stop flag is set.
void ComputeDifferences(Comparison& comparison);

// The anchored rounds alone: matching from unique lines over the whole files,
// grouping the lines into blocks and matching the gaps between paired blocks
// again, until a round pairs nothing new. The block lists are left current.
// Returns whether some kind of line is left unpaired in both files: copies of
// a repeated line that no anchor reached. Throws std::bad_alloc and
// ComparisonStopped.
bool MatchFromAnchors(Comparison& comparison);
