#pragma once
// Grouping a file's lines into blocks of paired and unpaired lines, pairing the
// common blocks of the two files, and matching the gaps between them again.
#include "textcompare/Comparison.h"

// The block list of file 1 (isFile1) or file 2: runs of paired lines (with
// "Ignore Whitespace" also unpaired blank lines) as Common blocks, runs of
// unpaired lines as OnlyInFile1 or OnlyInFile2. Throws std::bad_alloc.
BlockList BuildBlocks(const Comparison& c, bool isFile1);

// The last of the unpaired lines that follow q directly (q itself when none).
LineIndex UnmatchedEnd(const FileLines& file, LineIndex q);

// The line after L; with "Ignore Whitespace" unpaired blank lines are stepped
// over, but never the last line of the file. kNoLine after the last line.
LineIndex NextSignificant(const FileLines& file, LineIndex L, const LineRules& rules);

// The last line of the common run of `file` that starts at L; `other` is the
// file of the partners.
LineIndex RunEnd(const FileLines& file, const FileLines& other, LineIndex L, const LineRules& rules);

// The first paired line from L on, stopping at `stop`.
LineIndex FirstLinked(const FileLines& file, LineIndex L, LineIndex stop);

// Pairs each common block of file 1 with the common block of file 2 that
// begins with the partner of its first paired line.
void PairCommonBlocks(Comparison& c);

// Pairs the common blocks of the two block lists, then matches every gap of
// file 1 between two paired common blocks against the corresponding gap of
// file 2. True when a new pair of lines was made.
bool MatchGaps(Comparison& c);
