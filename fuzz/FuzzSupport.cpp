#include "FuzzSupport.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <system_error>
#include <unistd.h>

#include "textcompare/RowScanner.h"

namespace fuzz {

namespace {

// The process's scratch directory, made on first use and removed at exit.
class ScratchDirectory {
public:
    ScratchDirectory()
    {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/tolvane-fuzz-XXXXXX";
        if (!::mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::abort();
        }
        m_path = pattern;
    }
    ~ScratchDirectory()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

ScratchDirectory& Scratch()
{
    static ScratchDirectory directory;
    return directory;
}

} // namespace

void Check(bool ok, const char* what)
{
    if (ok)
        return;
    std::fprintf(stderr, "\n*** invariant broken: %s\n", what);
    std::abort();
}

std::string WriteScratchFile(const std::string& name, std::string_view bytes)
{
    const std::string path = Scratch().Path() + "/" + name;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    Check(fd >= 0, "a scratch file can be created");
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        Check(n > 0, "a scratch file can be written");
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return path;
}

std::vector<std::string_view> SplitRows(std::string_view bytes)
{
    std::vector<std::string_view> rows;
    RowScanner scanner;
    while (!bytes.empty()) {
        scanner.Reset();
        std::size_t end = scanner.FindRowEnd(bytes);
        if (end == RowScanner::npos)
            end = bytes.size();
        rows.push_back(bytes.substr(0, end));
        bytes.remove_prefix(end);
    }
    return rows;
}

} // namespace fuzz
