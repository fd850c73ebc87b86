// One compare run at a time in a folder: a second lock, in this process or in
// another, is refused at once and names the folder; a lock goes with its
// holder, also one that was killed; a folder that is not there holds none.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "TestEnv.h"
#include "workflow/CompareFolderLock.h"

namespace {

namespace fs = std::filesystem;

// Whether locking `folder` is refused as busy; any other outcome is a failure.
bool Busy(const std::string& folder)
{
    try {
        CompareFolderLock lock(folder);
        return false;
    } catch (const FolderBusy& busy) {
        EXPECT_EQ(busy.folder(), CompareFolderLock::FolderName(folder));
        EXPECT_EQ(std::string(busy.what()), "another compare run is writing " + busy.folder());
        return true;
    }
}

// A child process that takes the lock on `folder`, says so through a pipe and
// waits to be killed.
pid_t HoldInChild(const std::string& folder)
{
    int ready[2];
    if (::pipe(ready) != 0)
        return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(ready[0]);
        try {
            CompareFolderLock lock(folder);
            const char yes = 'y';
            (void)!::write(ready[1], &yes, 1);
            for (;;)
                ::pause();
        } catch (...) {
            ::_exit(1);
        }
    }
    ::close(ready[1]);
    char answer = 0;
    const bool locked = ::read(ready[0], &answer, 1) == 1 && answer == 'y';
    ::close(ready[0]);
    return locked ? pid : -1;
}

} // namespace

TEST(CompareFolderLock, ASecondLockIsRefusedWhileTheFirstIsHeld)
{
    testenv::TempDir dir;
    for (const std::string& spelling : {dir.str(), dir.str() + "/", dir.str() + "/./"}) {
        SCOPED_TRACE(spelling);
        {
            const CompareFolderLock first(dir.str());
            EXPECT_TRUE(first.Held());
            EXPECT_EQ(first.Folder(), dir.str());
            EXPECT_TRUE(Busy(spelling));
        }
        EXPECT_FALSE(Busy(spelling));
    }
    // The lock leaves nothing in the folder.
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST(CompareFolderLock, AnotherProcessHoldsItUntilItDiesAndNoLongerThen)
{
    testenv::TempDir dir;
    const pid_t holder = HoldInChild(dir.str());
    ASSERT_GT(holder, 0);
    EXPECT_TRUE(Busy(dir.str()));
    // Killed without a chance to clean up: no stale lock stays.
    ::kill(holder, SIGKILL);
    int status = 0;
    ::waitpid(holder, &status, 0);
    EXPECT_FALSE(Busy(dir.str()));
}

TEST(CompareFolderLock, TheCurrentDirectoryForAnEmptyPathAndNoneForAMissingFolder)
{
    testenv::TempDir dir;
    const fs::path before = fs::current_path();
    fs::current_path(dir.path());
    {
        const CompareFolderLock lock("");
        EXPECT_EQ(lock.Folder(), fs::current_path().string());
        EXPECT_TRUE(Busy(dir.str()));
    }
    fs::current_path(before);

    const CompareFolderLock missing(dir.str() + "/missing/dir/");
    EXPECT_FALSE(missing.Held());
    EXPECT_EQ(missing.Folder(), dir.str() + "/missing/dir");
}
