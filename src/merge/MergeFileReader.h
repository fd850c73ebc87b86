#pragma once
// Reads the merge file back: for every table section, the rows only the old
// table has and the rows only the new table has, with the table's name and key
// column list.
#include <string>
#include <string_view>

#include "merge/CTableRows.h"

class CompareSettings;

// Appends one entry per table section to `oldTables` (old-side rows) and to
// `newTables` (new-side rows), using the six line markers of `settings`.
// Returns 1 when the file was read to its end, 0 when it could not be opened or
// a read failed; the lists then keep the sections completed before the failure.
int ReadMergeFile(const std::string& path, const CompareSettings& settings, CTableRowsArray& oldTables,
                  CTableRowsArray& newTables);

// Takes the name and key column list of a section head ("Table=[Orders]0,1")
// into `table`: the name as the head spells it, brackets included, and the
// numbers after it.
void ParseSectionHead(std::string_view head, CTableRows& table);
