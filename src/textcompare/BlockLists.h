#pragma once
// Grouping a file's lines into blocks of paired and unpaired lines, pairing the
// common blocks of the two files, and matching the gaps between them again.
#include "textcompare/LineBlock.h"

// A new block list of the file's lines: runs of paired lines (with "Ignore
// Whitespace" also unpaired blank lines) as Common blocks, runs of unpaired
// lines as OnlyInFile1 or OnlyInFile2. Returns none, or a list whose status
// word is cleared, when the pool ran out of memory.
LineList* BuildBlocks(const LineList* lines, bool isFile1);

// The last of the unpaired lines that follow q directly (q itself when none).
LineRecord* UnmatchedEnd(LineRecord* q);

// The line after L; with "Ignore Whitespace" unpaired blank lines are stepped
// over, but never the last line of the file. None after the last line.
LineRecord* NextSignificant(const LineRecord* L);

// The last line of the common run that starts at L.
LineRecord* RunEnd(LineRecord* L);

// The first paired line from L on, stopping at `stop`.
LineRecord* FirstLinked(LineRecord* L, const LineRecord* stop);

// Pairs the common blocks of the two lists, then matches every gap of file 1
// between two paired common blocks against the corresponding gap of file 2.
// True when a new pair of lines was made.
bool MatchGaps(LineList* blocks1, LineList* blocks2);
