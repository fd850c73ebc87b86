#pragma once
// The difference data path belongs to one compare run at a time: two runs
// writing the same dumps and merge file would leave files that match neither.
// The lock is the kernel's (flock) on the folder itself, so it goes with the
// process that holds it, also when that process dies; nothing stays behind.
// Where a file system cannot lock a folder (NFS locks only files opened for
// writing), a lock file in the folder stands in for it.
#include <stdexcept>
#include <string>

// Another run holds the folder.
class FolderBusy : public std::runtime_error {
public:
    explicit FolderBusy(const std::string& folder);
    const std::string& folder() const { return m_folder; }

private:
    std::string m_folder;
};

class CompareFolderLock {
public:
    static constexpr const char* kLockFileName = ".Vantor_Merge.lock";

    // Locks `path` (a folder, with or without a trailing "/"; empty is the
    // current directory) without waiting. Throws FolderBusy when another run
    // holds it, FileError when it cannot be locked. A folder that is not there
    // is not locked: nothing can be written into it, and the run's own error
    // names the file it could not create.
    explicit CompareFolderLock(const std::string& path);
    ~CompareFolderLock();
    CompareFolderLock(const CompareFolderLock&) = delete;
    CompareFolderLock& operator=(const CompareFolderLock&) = delete;

    // The folder as the user is told it: absolute, without a trailing "/".
    const std::string& Folder() const { return m_folder; }
    bool Held() const { return m_fd >= 0; }

    // The folder of `path` as Folder() spells it.
    static std::string FolderName(const std::string& path);

private:
    std::string m_folder;
    int m_fd = -1;
};
