#pragma once
// Turning the two block lists into one ordered result.
#include "textcompare/LineBlock.h"

// Walks both block lists in step and emits Common, OnlyInFile1 and OnlyInFile2
// entries in report order. Of two paired blocks that cross, the smaller is
// given up (the file-2 block on a tie), so a moved block shows as removed at its
// old place and added at its new one. Returns none, or a list whose status word
// is cleared, when the pool ran out of memory.
LineList* MergeBlocks(const LineList* blocks1, const LineList* blocks2);
