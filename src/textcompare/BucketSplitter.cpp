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
    ssize_t Next(const Row& row)
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

bool IsBucketFileOf(std::string_view name, std::string_view dumpName)
{
    constexpr std::string_view kPart = ".part";
    if (name.size() <= dumpName.size() + kPart.size() || name.substr(0, dumpName.size()) != dumpName ||
        name.substr(dumpName.size(), kPart.size()) != kPart)
        return false;
    std::string_view rest = name.substr(dumpName.size() + kPart.size());
    const std::string report = BucketReportName(std::string());
    if (rest.size() > report.size() && rest.substr(rest.size() - report.size()) == report)
        rest.remove_suffix(report.size());
    return !rest.empty() && rest.front() >= '0' && rest.front() <= '9' &&
           rest.find_first_not_of("0123456789.") == std::string_view::npos;
}

BucketFiles::BucketFiles(const std::vector<std::string>& paths) : m_sizes(paths.size())
{
    m_files.reserve(paths.size());
    for (const std::string& path : paths)
        m_files.push_back(std::make_unique<OutputFile>(path, OutputFile::Mode::Untranslated));
}

BucketFiles::~BucketFiles() = default;

void BucketFiles::Write(std::size_t bucket, std::string_view row)
{
    const std::size_t b = std::min(bucket, m_files.size() - 1);
    m_files[b]->Write(row);
    m_sizes[b].bytes += row.size();
    ++m_sizes[b].lines;
}

void BucketFiles::Close()
{
    for (auto& file : m_files)
        file->Close();
}

BucketSplit::Status ForEachRowOf(const std::string& source, const std::function<void(std::string_view row)>& row,
                                 const std::atomic<bool>& stop, std::atomic<std::uint64_t>& bytesRead,
                                 std::string& error, std::size_t readBytes)
{
    const FileDescriptor input(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    if (input.get() < 0) {
        error = std::strerror(errno);
        return BucketSplit::Status::CannotRead;
    }
    RowReader reader(input.get(), readBytes);
    for (;;) {
        if (stop.load(std::memory_order_relaxed))
            return BucketSplit::Status::Cancelled;
        const ssize_t n = reader.Next(row);
        if (n < 0) {
            error = std::strerror(errno);
            return BucketSplit::Status::CannotRead;
        }
        if (n == 0)
            return BucketSplit::Status::Split;
        bytesRead.fetch_add(static_cast<std::uint64_t>(n), std::memory_order_relaxed);
    }
}

BucketSplit SplitIntoBuckets(const std::string& source, const std::vector<std::string>& bucketPaths,
                             const BucketChooser& choose, const std::atomic<bool>& stop,
                             std::atomic<std::uint64_t>& bytesRead, std::size_t readBytes)
{
    try {
        // The source is looked at first: a missing one creates no buckets.
        if (::access(source.c_str(), R_OK) != 0)
            return Failed(BucketSplit::Status::CannotRead, std::strerror(errno));
        BucketSplit result;
        try {
            BucketFiles buckets(bucketPaths);
            const BucketSplit::Status status = ForEachRowOf(
                source, [&](std::string_view row) { buckets.Write(choose(row), row); }, stop, bytesRead,
                result.error, readBytes);
            if (status != BucketSplit::Status::Split)
                return Failed(status, std::move(result.error));
            buckets.Close();
            result.buckets = buckets.Sizes();
        } catch (const FileError& e) {
            return Failed(BucketSplit::Status::CannotWrite, e.what());
        }
        return result;
    } catch (const std::bad_alloc&) {
        return Failed(BucketSplit::Status::OutOfMemory, std::string());
    }
}
