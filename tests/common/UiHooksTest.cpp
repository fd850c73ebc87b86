// The hooks through which the core reaches the user interface.
#include <gtest/gtest.h>

#include <thread>

#include "common/UiHooks.h"

namespace {

TEST(UiHooks, PumpingForwardsEveryCallButTheDueVariantOnlyAfterTheInterval)
{
    int pumps = 0;
    SetMessagePump([&] { ++pumps; });
    SetPumpInterval(1000);
    PumpWaitingMessages();
    PumpWaitingMessages();
    EXPECT_EQ(pumps, 2);  // a pump per table pair always gets its turn
    for (int i = 0; i < 1000; ++i)
        PumpWaitingMessagesIfDue();
    EXPECT_EQ(pumps, 2);  // the last pump was just now

    SetPumpInterval(1);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    PumpWaitingMessagesIfDue();
    PumpWaitingMessagesIfDue();
    EXPECT_EQ(pumps, 3);

    SetPumpInterval(0);
    PumpWaitingMessagesIfDue();
    PumpWaitingMessagesIfDue();
    EXPECT_EQ(pumps, 5);

    SetMessagePump(nullptr);
    PumpWaitingMessages();
    EXPECT_EQ(pumps, 5);
    SetPumpInterval(5);
}

TEST(UiHooks, NestedWaitCursorsShowItOnce)
{
    int begins = 0, ends = 0;
    SetWaitCursorHooks([&] { ++begins; }, [&] { ++ends; });
    {
        WaitCursor outer;
        {
            WaitCursor inner;
            EXPECT_EQ(begins, 1);
        }
        EXPECT_EQ(ends, 0);
    }
    EXPECT_EQ(begins, 1);
    EXPECT_EQ(ends, 1);
    SetWaitCursorHooks(nullptr, nullptr);
}

TEST(UiHooks, PumpAndWaitCursorDoNothingOffTheThreadThatInstalledThem)
{
    int pumps = 0, begins = 0, ends = 0;
    SetPumpInterval(0);
    SetMessagePump([&] { ++pumps; });
    SetWaitCursorHooks([&] { ++begins; }, [&] { ++ends; });
    std::thread worker([] {
        WaitCursor wait;
        PumpWaitingMessages();
        PumpWaitingMessagesIfDue();
    });
    worker.join();
    EXPECT_EQ(pumps, 0);
    EXPECT_EQ(begins, 0);
    EXPECT_EQ(ends, 0);
    // On the installing thread they work as before.
    {
        WaitCursor wait;
        PumpWaitingMessages();
    }
    EXPECT_EQ(pumps, 1);
    EXPECT_EQ(begins, 1);
    EXPECT_EQ(ends, 1);
    SetMessagePump(nullptr);
    SetWaitCursorHooks(nullptr, nullptr);
    SetPumpInterval(5);
}

} // namespace
