#include "workflow/CompareFolderLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>

#include "common/OutputFile.h"

namespace {

enum class LockResult { Locked, Busy, Unsupported };

LockResult TryLock(int fd)
{
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        return errno == EWOULDBLOCK ? LockResult::Busy : LockResult::Unsupported;
    }
    return LockResult::Locked;
}

} // namespace

FolderBusy::FolderBusy(const std::string& folder)
    : std::runtime_error("another compare run is writing " + folder), m_folder(folder)
{
}

std::string CompareFolderLock::FolderName(const std::string& path)
{
    std::error_code ignored;
    std::filesystem::path folder = std::filesystem::absolute(path.empty() ? "." : path, ignored).lexically_normal();
    std::string text = folder.string();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

CompareFolderLock::CompareFolderLock(const std::string& path) : m_folder(FolderName(path))
{
    const int folder = ::open(m_folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return;
        throw FileError(m_folder, "open", errno);
    }
    LockResult result = TryLock(folder);
    if (result == LockResult::Locked) {
        m_fd = folder;
        return;
    }
    ::close(folder);
    if (result == LockResult::Busy)
        throw FolderBusy(m_folder);

    const std::string lockPath = m_folder + "/" + kLockFileName;
    const int file = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (file < 0)
        throw FileError(lockPath, "create", errno);
    result = TryLock(file);
    if (result == LockResult::Locked) {
        m_fd = file;
        return;
    }
    const int error = errno;
    ::close(file);
    if (result == LockResult::Busy)
        throw FolderBusy(m_folder);
    throw FileError(lockPath, "lock", error);
}

CompareFolderLock::~CompareFolderLock()
{
    if (m_fd >= 0)
        ::close(m_fd);  // closing the last descriptor releases the lock
}
