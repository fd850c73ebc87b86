#pragma once
// Reads the merge file back: for every table section, the rows only the old
// table has (to delete) and the rows only the new table has (to add), with the
// table's name, key column list and column names.
//
// A merge file is read whole or not at all. A file whose sections name their
// columns must end with its end mark, and every row of it must have a side and
// one value per column; a file written before sections named their columns is
// read as it always was, except that one without any section, or one that ends
// inside a head or inside a quoted value, is refused as cut short. A NUL byte
// may stand only inside a quoted value (text that holds one); anywhere else it
// tells a file that is no merge file. One that needs more memory than the
// merge may take is refused before it takes it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "merge/TableChanges.h"

class CompareSettings;

struct MergeFileLimits {
    // The memory the rows read may take, roughly; half of the physical memory.
    std::uint64_t memoryBytes = 0;

    static MergeFileLimits Default();
};

// Why a merge file was refused: the text for the user, which names the file,
// and the line (1-based) where the file breaks or ends; 0 when no line is to blame.
struct MergeFileProblem {
    std::size_t line = 0;
    std::string text;
};

// Replaces `tables` by one entry per table section, using the six line markers
// of `settings`. False when the file is refused or cannot be read: `tables` is
// then empty and `problem` says why.
bool ReadMergeFile(const std::string& path, const CompareSettings& settings, TableChangesArray& tables,
                   MergeFileProblem& problem, const MergeFileLimits& limits = MergeFileLimits::Default());

// Takes the name, spelling and key column list of a section head
// ("Table=[Orders]0,1") into `table`.
void ParseSectionHead(std::string_view head, TableChanges& table);
