#include "textcompare/BucketSplitter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <new>
#include <unistd.h>

#include "common/OutputFile.h"
#include "textcompare/FileDescriptor.h"
#include "textcompare/RowScanner.h"

namespace {

// The rows of a file, read a buffer at a time; a row that does not fit the
// rest of the buffer is moved to its front, and the buffer grows for a row
// longer than itself.
class RowReader {
public:
    RowReader(int fd, std::size_t bufferBytes) : m_fd(fd), m_buffer(std::max<std::size_t>(bufferBytes, 1)) {}

    // Calls row(bytes) for each row of the buffer's bytes; then reads more.
    // Returns the bytes read (0 at the end of the file, after the last row
    // was handed out), -1 with errno set when reading failed.
    template <class Row>
    ssize_t Next(Row row)
    {
        for (;;) {
            const std::size_t found = m_scanner.FindRowEnd(m_buffer.data() + m_scanned, m_filled - m_scanned);
            if (found == RowScanner::npos)
                break;
            const std::size_t end = m_scanned + found;
            row(std::string_view(m_buffer.data() + m_begin, end - m_begin));
            m_begin = m_scanned = end;
            m_scanner.Reset();
        }
        m_scanned = m_filled;  // the scanner keeps its state for the bytes to come
        if (m_begin > 0) {
            std::memmove(m_buffer.data(), m_buffer.data() + m_begin, m_filled - m_begin);
            m_filled -= m_begin;
            m_scanned -= m_begin;
            m_begin = 0;
        }
        if (m_filled == m_buffer.size())
            m_buffer.resize(m_buffer.size() * 2);
        ssize_t n;
        do
            n = ::read(m_fd, m_buffer.data() + m_filled, m_buffer.size() - m_filled);
        while (n < 0 && errno == EINTR);
        if (n == 0 && m_filled > 0) {
            row(std::string_view(m_buffer.data(), m_filled));  // the last row, without a terminator
            m_filled = 0;
        }
        if (n > 0)
            m_filled += static_cast<std::size_t>(n);
        return n;
    }

private:
    int m_fd;
    std::vector<char> m_buffer;
    std::size_t m_begin = 0;    // where the row being read begins
    std::size_t m_scanned = 0;  // how far the scanner has looked
    std::size_t m_filled = 0;
    RowScanner m_scanner;
};

BucketSplit Failed(BucketSplit::Status status, std::string error)
{
    BucketSplit result;
    result.status = status;
    result.error = std::move(error);
    return result;
}

} // namespace

BucketSplit SplitIntoBuckets(const std::string& source, const std::vector<std::string>& bucketPaths,
                             const BucketChooser& choose, const std::atomic<bool>& stop,
                             std::atomic<std::uint64_t>& bytesRead, std::size_t readBytes)
{
    try {
        const FileDescriptor input(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
        if (input.get() < 0)
            return Failed(BucketSplit::Status::CannotRead, std::strerror(errno));
        BucketSplit result;
        result.buckets.resize(bucketPaths.size());
        std::vector<std::unique_ptr<OutputFile>> buckets;
        buckets.reserve(bucketPaths.size());
        try {
            for (const std::string& path : bucketPaths)
                buckets.push_back(std::make_unique<OutputFile>(path, OutputFile::Mode::Untranslated));
            RowReader reader(input.get(), readBytes);
            const auto write = [&](std::string_view row) {
                const std::size_t b = std::min(choose(row), buckets.size() - 1);
                buckets[b]->Write(row);
                result.buckets[b].bytes += row.size();
                ++result.buckets[b].lines;
            };
            for (;;) {
                if (stop.load(std::memory_order_relaxed))
                    return Failed(BucketSplit::Status::Cancelled, std::string());
                const ssize_t n = reader.Next(write);
                if (n < 0)
                    return Failed(BucketSplit::Status::CannotRead, std::strerror(errno));
                if (n == 0)
                    break;
                bytesRead.fetch_add(static_cast<std::uint64_t>(n), std::memory_order_relaxed);
            }
            for (auto& bucket : buckets)
                bucket->Close();
        } catch (const FileError& e) {
            return Failed(BucketSplit::Status::CannotWrite, e.what());
        }
        return result;
    } catch (const std::bad_alloc&) {
        return Failed(BucketSplit::Status::OutOfMemory, std::string());
    }
}
