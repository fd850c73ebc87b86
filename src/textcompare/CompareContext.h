#pragma once
// The state of one comparison: both files with their lines, the two block lists
// and the result list. It lives in the comparison settings record from one
// comparison until the next one releases it.
#include <string>

#include "textcompare/FileRecord.h"
#include "textcompare/LineList.h"

struct CompareContext {
    FileRecord* file1 = nullptr;
    FileRecord* file2 = nullptr;
    LineList* result = nullptr;   // LineBlock entries in report order; none until computed
    LineList* blocks1 = nullptr;  // block list of file 1; none until computed
    LineList* blocks2 = nullptr;  // block list of file 2

    CompareContext() = default;
    // The context owns what it points to: it is never copied.
    CompareContext(const CompareContext&) = delete;
    CompareContext& operator=(const CompareContext&) = delete;
};

// Releases what the context holds, creates the records of the two files and
// computes their differences. Without a result afterwards when a file cannot be
// read, a path is too long or the list pool runs out of memory.
void BuildContext(const std::string& path1, const std::string& path2, CompareContext& context);

// Loads both files and fills the block lists and the result list, or leaves all
// three none (either file has no lines, or memory ran out on the way).
void ComputeDifferences(CompareContext& context);

// Frees the lists and both file records; the context is empty afterwards.
void ReleaseContext(CompareContext& context);

// True when the context holds the file-1 record of a previous comparison.
bool HasComparison(const CompareContext& context);
