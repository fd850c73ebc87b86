#include "textcompare/FileRecord.h"

#include <fcntl.h>

#include <cstring>
#include <new>

#include "common/UiHooks.h"
#include "textcompare/LineReader.h"
#include "textcompare/MessageDrain.h"

FileRecord* NewFileRecord(const std::string& path)
{
    if (path.size() > kMaxFilePath)
        return nullptr;
    auto* file = new (std::nothrow) FileRecord;
    if (file)
        file->path = path;
    return file;
}

LineList* GetLines(FileRecord* file)
{
    if (!file)
        return nullptr;
    if (!file->lines)
        LoadLines(file);
    return file->lines;
}

void LoadLines(FileRecord* file)
{
    if (!file || file->lines)
        return;
    WaitCursor wait;
    const int fd = ::open(file->path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    LineReaderHandle reader(ReaderOpen(fd));
    if (!reader)
        return;
    LineList* lines = ListNew();
    if (!lines)
        return;
    std::int32_t lineNumber = 1;
    std::size_t length = 0;
    DrainTicker drain;
    bool complete = true;
    while (const char* line = ReaderNextLine(reader.get(), &length)) {
        drain.Tick();
        // A line's text ends at a NUL byte: the row would lose its rest and
        // its line end, and be written cut into the merge file. Such a file is
        // binary, as the probe would have said had it seen the byte.
        if (std::memchr(line, '\0', length)) {
            DebugOutput(file->path + " holds a NUL byte: it is not compared\n");
            complete = false;
            break;
        }
        if (!NewLineRecord(line, length, lineNumber, lines, &file->texts)) {
            // A file with rows left out would report them as deleted: keep none.
            complete = false;
            break;
        }
        ++lineNumber;
    }
    if (!complete || ReaderFailed(reader.get())) {
        ListFree(lines);
        ArenaFree(file->texts);
        if (complete)
            DebugOutput("Cannot read " + file->path + "\n");
        return;
    }
    file->lines = lines;
}

void ResetLines(FileRecord* file)
{
    if (!file)
        return;
    for (LineRecord* line = FirstLine(file->lines); line; line = NextLine(line)) {
        line->partner = nullptr;
        line->flags &= ~kLineHashValid;
    }
}

void FreeFileRecord(FileRecord*& file)
{
    if (!file)
        return;
    // The lines of a file are list nodes; none of them was allocated alone.
    ListFree(file->lines);
    ArenaFree(file->texts);
    delete file;
    file = nullptr;
}
