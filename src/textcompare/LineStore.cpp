#include "textcompare/LineStore.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "textcompare/FileDescriptor.h"
#include "textcompare/MessageDrain.h"
#include "textcompare/RowScanner.h"

namespace {

// A guess at the number of rows, from the line feeds in the first MiB, so that
// the line cells rarely need to grow (and be copied) while the file is split.
std::size_t EstimateRows(const char* bytes, std::size_t size)
{
    const std::size_t sample = size < (std::size_t(1) << 20) ? size : (std::size_t(1) << 20);
    std::size_t count = 0;
    for (const char* p = bytes; (p = static_cast<const char*>(std::memchr(p, '\n', sample - (p - bytes)))); ++p)
        ++count;
    if (sample == size)
        return count + 1;
    return static_cast<std::size_t>(static_cast<double>(count) * size / sample * 1.05) + 16;
}

// Linux reads at most about 2 GiB in one call.
constexpr std::size_t kMaxRead = std::size_t(1) << 30;

} // namespace

void FileLines::Bytes::Reset()
{
    if (m_mapped)
        ::munmap(m_data, m_bytes);
    else
        HugePageFree(m_data, m_bytes);
    m_data = nullptr;
    m_bytes = 0;
    m_mapped = false;
}

bool FileLines::Bytes::Allocate(std::size_t size)
{
    Reset();
    m_data = static_cast<char*>(HugePageAlloc(size + 1));
    if (!m_data)
        return false;
    m_bytes = size + 1;
    return true;
}

bool FileLines::Bytes::Map(int fd, std::size_t size)
{
    Reset();
    // Populated at once: one call instead of a page fault every 4 KiB.
    void* data = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
    if (data == MAP_FAILED)
        return false;
    m_data = static_cast<char*>(data);
    m_bytes = size;
    m_mapped = true;
    return true;
}

void FileLines::Bytes::Release()
{
    // The mapping is private but never written: its pages are the file's own,
    // so they are dropped rather than lost, and read back from the file.
    if (m_mapped)
        ::madvise(m_data, m_bytes, MADV_DONTNEED);
}

FileLines::LoadResult FileLines::Bytes::Read(int fd, std::size_t size, std::string& error)
{
    if (!Allocate(size))
        return LoadResult::OutOfMemory;
    for (std::size_t done = 0; done < size;) {
        const ssize_t n = ::pread(fd, m_data + done, std::min<std::size_t>(size - done, kMaxRead),
                                  static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = n < 0 ? std::strerror(errno) : "the file was shortened while it was read";
            Reset();
            return LoadResult::CannotRead;
        }
        done += static_cast<std::size_t>(n);
    }
    return LoadResult::Loaded;
}

bool FileLines::Bytes::Copy(std::string_view bytes)
{
    if (!Allocate(bytes.size()))
        return false;
    // An empty view may have no data pointer, which memcpy must not get.
    if (!bytes.empty())
        std::memcpy(m_data, bytes.data(), bytes.size());
    return true;
}

FileLines::LoadResult FileLines::Load(const std::string& path, const LineRules& rules, std::string& error,
                                      const std::atomic<bool>* stop)
{
    m_cells.clear();
    m_highBits.Clear();
    m_count = 0;
    m_size = 0;
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0) {
        error = std::strerror(errno);
        return LoadResult::CannotRead;
    }
    if (!S_ISREG(info.st_mode)) {
        error = std::strerror(S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
        return LoadResult::CannotRead;
    }
    const auto size = static_cast<std::size_t>(info.st_size);
    if (size <= kReadLimit) {
        const LoadResult read = m_text.Read(fd.get(), size, error);
        if (read != LoadResult::Loaded)
            return read;
    } else if (!m_text.Map(fd.get(), size)) {
        if (errno == ENOMEM)
            return LoadResult::OutOfMemory;
        error = std::strerror(errno);
        return LoadResult::CannotRead;
    }
    m_size = size;
    return SplitRows(rules, stop);
}

FileLines::LoadResult FileLines::Split(std::string_view bytes, const LineRules& rules,
                                       const std::atomic<bool>* stop)
{
    m_cells.clear();
    m_highBits.Clear();
    m_count = 0;
    m_size = 0;
    if (!m_text.Copy(bytes))
        return LoadResult::OutOfMemory;
    m_size = bytes.size();
    return SplitRows(rules, stop);
}

FileLines::LoadResult FileLines::SplitRows(const LineRules& rules, const std::atomic<bool>* stop)
{
    const char* text = m_text.get();
    try {
        m_cells.reserve(std::min(EstimateRows(text, m_size), kMaxLines) + 1);
    } catch (const std::bad_alloc&) {
        return LoadResult::OutOfMemory;
    }
    RowScanner scanner;
    DrainTicker drain(stop);
    for (std::size_t start = 0; start < m_size;) {
        try {
            drain.Tick();
        } catch (const ComparisonStopped&) {
            return LoadResult::Cancelled;
        }
        scanner.Reset();
        const std::size_t found = scanner.FindRowEnd(text + start, m_size - start);
        const std::size_t end = found == RowScanner::npos ? m_size : start + found;
        if (m_cells.size() == kMaxLines)
            return LoadResult::TooManyLines;
        const auto line = static_cast<LineIndex>(m_cells.size());
        m_cells.push_back(
            {LineKey(std::string_view(text + start, end - start), rules), m_highBits.Add(line, start), kNoLine});
        start = end;
    }
    m_count = static_cast<LineIndex>(m_cells.size());
    m_cells.push_back({0, m_highBits.Add(m_count, m_size), kNoLine});  // where the last line ends
    return LoadResult::Loaded;
}
