// Two tasks at the same time: a failing one stops the other and comes back as
// its exception, the waiting side is called on the calling thread, and no
// thread is left, also when the waiting side throws.
#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

#include "TestEnv.h"
#include "workflow/SideBySide.h"

namespace {

// Works until told to stop, as a dump does row by row.
void UntilStopped(const std::atomic<bool>& stop)
{
    while (!stop.load())
        std::this_thread::yield();
}

std::string MessageOf(const std::exception_ptr& error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return e.what();
    }
}

} // namespace

TEST(SideBySide, AFailingTaskStopsTheOtherAndComesBack)
{
    const std::size_t threads = testenv::ThreadCount();
    for (const std::size_t failing : {0u, 1u}) {
        std::atomic<bool> stop{false};
        std::vector<std::function<void()>> tasks(2, [&] { UntilStopped(stop); });
        tasks[failing] = [] { throw std::runtime_error("table gone"); };
        const std::thread::id caller = std::this_thread::get_id();
        bool waitedElsewhere = false;
        const std::vector<std::exception_ptr> errors =
            RunSideBySide(tasks, stop, [&] { waitedElsewhere = waitedElsewhere || std::this_thread::get_id() != caller; });
        ASSERT_EQ(errors.size(), 2u);
        EXPECT_EQ(MessageOf(errors[failing]), "table gone");
        EXPECT_FALSE(errors[1 - failing]);
        EXPECT_FALSE(waitedElsewhere);
        EXPECT_EQ(testenv::ThreadCountSettledAt(threads), threads);
    }
}

TEST(SideBySide, AnErrorWhileWaitingStopsAndJoinsBothTasks)
{
    const std::size_t threads = testenv::ThreadCount();
    std::atomic<bool> stop{false};
    std::atomic<int> ended{0};
    const auto task = [&] {
        UntilStopped(stop);
        ++ended;
    };
    EXPECT_THROW(RunSideBySide({task, task}, stop, [] { throw std::runtime_error("window gone"); }),
                 std::runtime_error);
    EXPECT_EQ(ended.load(), 2);
    EXPECT_EQ(testenv::ThreadCountSettledAt(threads), threads);
}
