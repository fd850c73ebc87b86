#pragma once
// Pairing the lines of two ranges: unique lines as anchors, each anchor
// extended forward and backward while the neighbouring lines are equal.
#include "textcompare/Comparison.h"

enum class ScanDirection { Forward, Backward };

// Pairs the lines of range A (file 1) and B (file 2): first from their first
// and their last lines, then from every line that is unpaired and occurs exactly
// once among the unpaired lines of each range. True when a new pair was made.
// When `repeatedInBoth` is given it is set to whether, once the first and last
// lines were tried, some kind of line was unpaired in both ranges without being
// unique in each: lines no anchor can pair.
bool MatchRange(Comparison& c, const LineRange& A, const LineRange& B, bool* repeatedInBoth = nullptr);

// Pairs forward from lines a (in A) and b (in B) to the end of either range,
// then backward from the lines before them while lines keep pairing. With
// "Ignore Whitespace" unpaired blank lines are stepped over. True when a new
// pair was made.
bool ExtendMatch(Comparison& c, const LineRange& A, LineIndex a, const LineRange& B, LineIndex b);

// Steps x over blank lines of `file` in the given direction, not past `stop`.
// True when it moved.
bool SkipBlanks(const FileLines& file, LineIndex& x, LineIndex stop, ScanDirection direction);
