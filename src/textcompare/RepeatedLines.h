#pragma once
// Pairing what the anchored rounds leave behind. A line that occurs more than
// once in a file never makes an anchor, so copies that no extended match
// reached stay unpaired in both files, and each such copy would be reported as
// removed from the old dump and added to the new one at once: for a table
// without a key, a row too many merged. A table has no row order, so equal
// lines are paired by count, wherever they stand.
#include "textcompare/Comparison.h"

// Pairs the lines that are unpaired in both files and equal under the rules:
// of each kind of line the k-th unpaired one of file 1 with the k-th unpaired
// one of file 2, in file order. The unpaired lines left are then the multiset
// difference of the two files; which file is which makes no difference here.
// Takes the unpaired lines from the block lists, which must hold every pair
// made so far; they are stale once this pairs anything. True when a pair was
// made. Throws std::bad_alloc.
bool PairRepeatedLines(Comparison& c);
