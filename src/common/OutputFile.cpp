#include "common/OutputFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {
constexpr std::size_t kBufferSize = 1 << 16;
}

FileError::FileError(const std::string& path, const std::string& action, int error)
    : std::runtime_error("Cannot " + action + " the file " + path + ": " + std::strerror(error)),
      m_path(path), m_error(error)
{
}

OutputFile::~OutputFile()
{
    try {
        Close();
    } catch (const FileError&) {
        // A destructor cannot report; callers that care call Close() themselves.
    }
}

void OutputFile::Create(const std::string& path, Mode mode)
{
    Close();
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        throw FileError(path, "create", errno);
    m_fd = fd;
    m_mode = mode;
    m_path = path;
    m_buffer.clear();
    m_buffer.reserve(kBufferSize);
    m_size = 0;
}

void OutputFile::Append(const char* data, std::size_t size)
{
    m_size += size;
    if (m_buffer.size() + size > kBufferSize) {
        Flush();
        if (size >= kBufferSize) {
            WriteThrough(data, size);
            return;
        }
    }
    m_buffer.append(data, size);
}

void OutputFile::Write(const char* data, std::size_t size)
{
    if (m_fd < 0)
        throw FileError(m_path, "write to", EBADF);
    if (m_mode == Mode::Untranslated) {
        Append(data, size);
        return;
    }
    std::size_t start = 0;
    for (;;) {
        const void* lf = std::memchr(data + start, '\n', size - start);
        if (!lf) {
            Append(data + start, size - start);
            return;
        }
        const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(lf) - data);
        Append(data + start, at - start);
        Append("\r\n", 2);
        start = at + 1;
    }
}

void OutputFile::WriteUntranslated(const char* data, std::size_t size)
{
    if (m_fd < 0)
        throw FileError(m_path, "write to", EBADF);
    Append(data, size);
}

void OutputFile::WriteThrough(const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(m_fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw FileError(m_path, "write to", errno);
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
}

void OutputFile::Flush()
{
    if (m_fd < 0 || m_buffer.empty())
        return;
    std::string pending;
    pending.swap(m_buffer);
    m_buffer.reserve(kBufferSize);
    WriteThrough(pending.data(), pending.size());
}

void OutputFile::Truncate(std::uint64_t size)
{
    if (m_fd < 0)
        throw FileError(m_path, "write to", EBADF);
    if (size >= m_size)
        return;
    Flush();
    const off_t length = static_cast<off_t>(size);
    if (::ftruncate(m_fd, length) != 0 || ::lseek(m_fd, length, SEEK_SET) != length)
        throw FileError(m_path, "write to", errno);
    m_size = size;
}

void OutputFile::Close()
{
    if (m_fd < 0)
        return;
    const int fd = m_fd;
    try {
        Flush();
    } catch (...) {
        ::close(fd);
        m_fd = -1;
        m_buffer.clear();
        throw;
    }
    m_fd = -1;
    if (::close(fd) != 0 && errno != EINTR)
        throw FileError(m_path, "close", errno);
}
