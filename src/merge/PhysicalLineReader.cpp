#include "merge/PhysicalLineReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {
constexpr std::size_t kBufferSize = 256 * 1024;
}

PhysicalLineReader::~PhysicalLineReader()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool PhysicalLineReader::Open(const std::string& path)
{
    if (path.empty())
        return false;
    m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0)
        return false;
    struct stat status = {};
    if (::fstat(m_fd, &status) != 0)
        return false;
    if (S_ISDIR(status.st_mode)) {
        errno = EISDIR;
        return false;
    }
    m_size = static_cast<std::uint64_t>(status.st_size);
    m_buffer.resize(kBufferSize);
    m_pos = m_end = 0;
    m_atEnd = false;
    return true;
}

bool PhysicalLineReader::Fill()
{
    for (;;) {
        const ssize_t got = ::read(m_fd, m_buffer.data(), m_buffer.size());
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        m_pos = 0;
        m_end = static_cast<std::size_t>(got);
        m_atEnd = got == 0;
        return true;
    }
}

PhysicalLineReader::Result PhysicalLineReader::Next(std::string& line)
{
    line.clear();
    m_lineEnded = false;
    if (m_fd < 0)
        return Result::Error;
    bool any = false;
    for (;;) {
        if (m_pos == m_end) {
            if (!m_atEnd && !Fill())
                return Result::Error;
            if (m_atEnd)
                return any ? Result::Line : Result::End;
        }
        const char* begin = m_buffer.data() + m_pos;
        const std::size_t available = m_end - m_pos;
        const void* lf = std::memchr(begin, '\n', available);
        const std::size_t length =
            lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - begin) : available;
        // Checked before the bytes are kept: one endless line must not fill
        // the memory first.
        if (length > m_maxLine - line.size())
            return Result::TooLong;
        line.append(begin, length);
        if (lf) {
            m_pos += length + 1;
            m_lineEnded = true;
            return Result::Line;
        }
        m_pos = m_end;
        any = true;
    }
}
