#include "workflow/ReplacementFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Hidden, and unique per process so that two runs on one folder do not write
// into each other's file; the last to finish wins, each with a whole file.
std::string TemporaryPathFor(const std::string& finalPath)
{
    const std::size_t slash = finalPath.rfind('/');
    const std::size_t nameAt = slash == std::string::npos ? 0 : slash + 1;
    return finalPath.substr(0, nameAt) + "." + finalPath.substr(nameAt) + "." + std::to_string(::getpid()) +
           ".tmp";
}

// Makes the closed file's bytes durable. Without it a crash soon after the
// rename can leave the final name on an empty file, and a file system that
// reserves space only when it writes back reports a full disk here, not before.
void SyncToDisk(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw FileError(path, "write to", errno);
    const int result = ::fsync(fd);
    const int error = errno;
    ::close(fd);
    if (result != 0 && error != EINVAL)  // EINVAL: a file that cannot be synced (a pipe, a special file)
        throw FileError(path, "write to", error);
}

} // namespace

ReplacementFile::ReplacementFile(const std::string& finalPath, OutputFile::Mode mode)
    : m_finalPath(finalPath), m_temporaryPath(TemporaryPathFor(finalPath))
{
    try {
        m_file.Create(m_temporaryPath, mode);
    } catch (const FileError& error) {
        // The user knows the final name; the temporary one would only puzzle.
        throw FileError(m_finalPath, "create", error.error());
    }
    m_pending = true;
}

ReplacementFile::~ReplacementFile()
{
    Drop();
}

void ReplacementFile::Commit()
{
    if (!m_pending)
        return;
    try {
        m_file.Close();
        SyncToDisk(m_temporaryPath);
    } catch (const FileError& error) {
        Drop();
        // The user knows the final name; the temporary one would only puzzle.
        throw FileError(m_finalPath, "write to", error.error());
    }
    if (std::rename(m_temporaryPath.c_str(), m_finalPath.c_str()) != 0) {
        const int error = errno;
        Drop();
        throw FileError(m_finalPath, "create", error);
    }
    m_pending = false;
}

void ReplacementFile::Drop() noexcept
{
    if (!m_pending)
        return;
    m_pending = false;
    try {
        m_file.Close();
    } catch (const FileError&) {
        // The file goes anyway.
    }
    std::remove(m_temporaryPath.c_str());
}
