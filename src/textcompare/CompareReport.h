#pragma once
// The engine's entry: compares the two dump files named in the settings record
// and appends their differing lines to the merge file.
#include <string>

#include "common/OutputFile.h"
#include "textcompare/CompareSettings.h"

// Compares the record's file-1 and file-2 paths and appends the report to the
// open merge file. 1 when the comparison ran and its report was written; 0 for
// an empty path, a binary file, or a failure (a failed write, memory), which is
// reported to the user. What was written before a failure stays.
int CompareFiles(CompareSettings& settings, OutputFile& mergeFile);

// Writes the result list of the record's comparison context: the lines of each
// run of removed and added blocks with their line prefixes, section headers and
// footers (each of those followed by `newline`), and the common lines when
// "Write Common Sections" is set. Throws FileError when a write fails.
void WriteReport(const CompareSettings& settings, const std::string& newline, OutputFile& mergeFile);
