#pragma once
// The lines of one file taking part in a comparison: the whole file in one
// buffer and one array of small line cells (where the line starts, its key,
// its partner in the other file). Lines are known by their 0-based index; the
// line number a user sees is the index + 1.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "textcompare/HugePageAllocator.h"
#include "textcompare/LineCompare.h"
#include "textcompare/OffsetHighBits.h"
#include "textcompare/Prefetch.h"

using LineIndex = std::uint32_t;

// No line: the neighbour before the first line, and "not paired".
inline constexpr LineIndex kNoLine = UINT32_MAX;

// The most lines a file may have: two index values are reserved, and the
// unique-line map keeps a flag in the top bit of a line index.
inline constexpr std::size_t kMaxLines = (std::size_t(1) << 31) - 2;

// 16 bytes, so that a cell never straddles two cache lines and four share one.
struct LineCell {
    std::uint64_t key;    // LineKey under the comparison's rules
    std::uint32_t start;  // the low 32 bits of the offset of the line's first byte in the file
    LineIndex partner;    // the paired line of the other file, or kNoLine
};

class FileLines {
public:
    enum class LoadResult { Loaded, CannotRead, OutOfMemory, TooManyLines, Cancelled };

    // Files up to this size are read into memory, larger ones mapped (see Bytes).
    static constexpr std::size_t kReadLimit = std::size_t(16) << 20;

    // Reads the whole file and splits it into dump rows (a line feed inside a
    // quoted value does not end a row). Every byte counts, NUL included. On
    // CannotRead, `error` holds the system's reason. Cancelled once `stop` is
    // set while the file is split.
    LoadResult Load(const std::string& path, const LineRules& rules, std::string& error,
                    const std::atomic<bool>* stop = nullptr);

    // Lines from text already in memory (tests, and files read elsewhere).
    LoadResult Split(std::string_view bytes, const LineRules& rules, const std::atomic<bool>* stop = nullptr);

    LineIndex Count() const { return m_count; }
    bool Contains(LineIndex line) const { return line < m_count; }

    // The line's bytes, its own terminator (CR LF, LF or none) included.
    std::string_view Text(LineIndex line) const
    {
        const std::uint64_t start = Start(line);
        return {m_text.get() + start, static_cast<std::size_t>(Start(line + 1) - start)};
    }
    // The whole file.
    std::string_view AllBytes() const { return {m_text.get(), m_size}; }

    // Lets the memory of a mapped file's text go until the text is read again;
    // the pages then come back from the system's file cache as they are read.
    // Text read into memory of our own stays.
    void ReleaseText() { m_text.Release(); }

    std::uint64_t Key(LineIndex line) const { return m_cells[line].key; }
    LineIndex Partner(LineIndex line) const { return m_cells[line].partner; }
    bool IsPaired(LineIndex line) const { return m_cells[line].partner != kNoLine; }
    void SetPartner(LineIndex line, LineIndex partner) { m_cells[line].partner = partner; }
    bool IsBlank(LineIndex line) const { return Contains(line) && IsBlankText(Text(line)); }

    // Starts fetching the line's cell into the cache.
    void Prefetch(LineIndex line) const { PrefetchForRead(&m_cells[line]); }
    // Starts fetching each cache line of the line's text (of its first
    // kFetchedBytes) into the cache, so that the text is there when it is
    // compared later: a row of about 90 bytes spans three cache lines as often
    // as not. Hints rather than reads: a read that misses holds up every
    // instruction behind it until it is done, while the hints of a whole batch
    // of lines are under way at once.
    void PrefetchText(LineIndex line) const
    {
        const std::uint64_t start = Start(line);
        const std::uint64_t end = Start(line + 1);
        if (end == start)
            return;
        const std::uint64_t stop = end - start > kFetchedBytes ? start + kFetchedBytes : end;
        const char* text = m_text.get();
        for (std::uint64_t at = start; at < stop; at += 64)
            PrefetchForRead(text + at);
        PrefetchForRead(text + stop - 1);
    }
    static constexpr std::uint64_t kFetchedBytes = 256;

private:
    // The file's bytes: read into memory of our own, or mapped from the file
    // (no copy, no pages the kernel must clear first) when it is large. Reading
    // is safer: another process that shortens a mapped file while we compare
    // ends the program with SIGBUS at the next read of a page past the new end.
    // Up to kReadLimit bytes a read costs next to nothing, so the usual table
    // is safe; a larger one reads faster mapped, at that risk.
    class Bytes {
    public:
        Bytes() = default;
        ~Bytes() { Reset(); }
        Bytes(const Bytes&) = delete;
        Bytes& operator=(const Bytes&) = delete;
        void Reset();
        // Reads `size` bytes from the start of the file; on CannotRead `error`
        // says why (a file shortened while it was read among the reasons).
        LoadResult Read(int fd, std::size_t size, std::string& error);
        // Maps the file's `size` bytes; false with errno set when that fails.
        bool Map(int fd, std::size_t size);
        bool Copy(std::string_view bytes);
        void Release();
        const char* get() const { return m_data; }

    private:
        bool Allocate(std::size_t size);

        char* m_data = nullptr;
        std::size_t m_bytes = 0;  // as passed to HugePageAlloc or mmap
        bool m_mapped = false;
    };

    LoadResult SplitRows(const LineRules& rules, const std::atomic<bool>* stop);

    // Where the line starts in the file (for the line after the last: where the file ends).
    std::uint64_t Start(LineIndex line) const { return m_highBits.Offset(line, m_cells[line].start); }

    Bytes m_text;
    std::size_t m_size = 0;
    std::vector<LineCell, HugePageAllocator<LineCell>> m_cells;  // one per line and one more where the file ends
    OffsetHighBits m_highBits;
    LineIndex m_count = 0;
};
