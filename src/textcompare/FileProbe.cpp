#include "textcompare/FileProbe.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::size_t kProbeSize = 1024;

// Reads up to kProbeSize bytes; 0 when the file cannot be opened or read.
std::size_t ReadStart(const std::string& path, unsigned char* buffer)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    std::size_t got = 0;
    while (got < kProbeSize) {
        const ssize_t n = ::read(fd, buffer + got, kProbeSize - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return got;
}

} // namespace

bool ProbeFile(const std::string& path, bool* bareLf)
{
    unsigned char buffer[kProbeSize];
    const std::size_t size = ReadStart(path, buffer);
    bool binary = false;
    for (std::size_t i = 0; i < size; ++i) {
        if (buffer[i] < 9) {
            binary = true;
            break;
        }
    }
    if (bareLf) {
        const void* lf = std::memchr(buffer, '\n', size);
        if (lf) {
            const auto at = static_cast<std::size_t>(static_cast<const unsigned char*>(lf) - buffer);
            if (at > 0 && buffer[at - 1] != '\r')
                *bareLf = true;
        }
    }
    return binary;
}
