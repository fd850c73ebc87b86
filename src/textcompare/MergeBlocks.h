#pragma once
// Turning the two block lists into one ordered result.
#include <functional>

#include "textcompare/Comparison.h"

// Receives the entries of the result in report order; false stops the walk.
using ResultVisitor = std::function<bool(const ResultEntry&)>;

// Which Common entries are handed out: each one, or of consecutive ones only
// the first, for a visitor that needs them only to see where a run of removed
// and added blocks ends (a table read back in another order has one per row).
enum class CommonEntries { Each, FirstOfRun };

// Walks both block lists in step and hands out Common, OnlyInFile1 and
// OnlyInFile2 entries in report order. A paired block whose partner lies on the
// other side of a crossing has moved; it is handed out as Common at its place
// in file 2 and never as removed or added. False when the visitor stopped it.
bool MergeBlocks(const Comparison& c, const ResultVisitor& visit, CommonEntries common = CommonEntries::Each);
