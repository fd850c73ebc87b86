#include "textcompare/LineReader.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>
#include <unistd.h>

namespace {

constexpr std::size_t kInitialCapacity = std::size_t(1) << 16;

// Moves the unread bytes to the start of the buffer, growing it when they fill
// it, then reads more behind them. False on a read error or a failed growth.
bool Refill(LineReader* r, std::size_t& scanned)
{
    if (r->position > 0) {
        const std::size_t keep = r->end - r->position;
        std::memmove(r->buffer, r->buffer + r->position, keep);
        scanned -= r->position;
        r->end = keep;
        r->position = 0;
    }
    if (r->end == r->capacity) {
        const std::size_t grown = r->capacity * 2;
        auto* buffer = static_cast<char*>(std::realloc(r->buffer, grown));
        if (!buffer)
            return false;
        r->buffer = buffer;
        r->capacity = grown;
    }
    for (;;) {
        const ssize_t n = ::read(r->fd, r->buffer + r->end, r->capacity - r->end);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            r->endOfFile = true;
        r->end += static_cast<std::size_t>(n);
        return true;
    }
}

} // namespace

LineReader* ReaderOpen(int fd)
{
    auto* reader = new (std::nothrow) LineReader{};
    char* buffer = static_cast<char*>(std::malloc(kInitialCapacity));
    if (!reader || !buffer) {
        delete reader;
        std::free(buffer);
        ::close(fd);
        return nullptr;
    }
    reader->fd = fd;
    reader->buffer = buffer;
    reader->capacity = kInitialCapacity;
    ::lseek(fd, 0, SEEK_SET);
    return reader;
}

const char* ReaderNextLine(LineReader* r, std::size_t* length)
{
    if (!r || r->failed)
        return nullptr;
    r->scanner.Reset();
    std::size_t scanned = r->position;  // bytes before this have been scanned
    for (;;) {
        const std::size_t found = r->scanner.FindRowEnd(r->buffer + scanned, r->end - scanned);
        if (found != RowScanner::npos) {
            const char* line = r->buffer + r->position;
            *length = scanned + found - r->position;
            r->position = scanned + found;
            return line;
        }
        scanned = r->end;
        if (r->endOfFile) {
            // The last row has no LF: it is whatever is left.
            if (r->end == r->position)
                return nullptr;
            const char* line = r->buffer + r->position;
            *length = r->end - r->position;
            r->position = r->end;
            return line;
        }
        if (!Refill(r, scanned)) {
            r->failed = true;
            return nullptr;
        }
    }
}

bool ReaderFailed(const LineReader* reader)
{
    return reader && reader->failed;
}

void ReaderClose(LineReader* reader)
{
    if (!reader)
        return;
    ::close(reader->fd);
    std::free(reader->buffer);
    delete reader;
}
