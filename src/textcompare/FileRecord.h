#pragma once
// A file taking part in a comparison: its path and, once loaded, its lines.
#include <cstddef>
#include <string>

#include "textcompare/LineList.h"
#include "textcompare/LineRecord.h"
#include "textcompare/TextArena.h"

// Paths longer than this are refused rather than cut.
inline constexpr std::size_t kMaxFilePath = 1023;

struct FileRecord {
    std::string path;
    LineList* lines = nullptr;  // none until loaded
    TextArena texts;            // where the texts of the lines live
};

// A record for `path` with no lines loaded, or none when the path is longer
// than kMaxFilePath characters or memory is short.
FileRecord* NewFileRecord(const std::string& path);

// The file's lines, loaded on first use. None when the file cannot be read;
// the next call then tries again.
LineList* GetLines(FileRecord* file);

// Reads the file into a new line list (lines numbered from 1). The file keeps
// no line list when it cannot be opened, reading it fails or memory runs out
// for a line: a file with rows missing would report them as deleted. Does
// nothing when the lines are loaded already.
void LoadLines(FileRecord* file);

// Makes every line unpaired and unhashed again without reading the file.
void ResetLines(FileRecord* file);

// Frees the lines, their texts and the record, and sets `file` to none.
void FreeFileRecord(FileRecord*& file);
