#include "textcompare/LineList.h"
#include "textcompare/ListPool.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "EngineTestSupport.h"

namespace {

// Starts every test with a pool that has no current block, and makes sure the
// test gave back everything it took.
class ListPoolTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(g_listPool.liveBlocks, 0) << "an earlier test left cells behind";
        ASSERT_EQ(g_listPool.current, nullptr);
    }
    void TearDown() override
    {
        g_listPool.systemAlloc = PoolSystemAlloc;
        g_listPool.systemFree = PoolSystemFree;
        EXPECT_EQ(g_listPool.liveBlocks, 0);
    }
};

TEST_F(ListPoolTest, HandsOutConsecutiveCellsRoundedToFourBytes)
{
    char* a = static_cast<char*>(PoolAlloc(44));
    char* b = static_cast<char*>(PoolAlloc(42));
    char* c = static_cast<char*>(PoolAlloc(4));
    ListBlock* block = g_listPool.current;
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(a, reinterpret_cast<char*>(block + 1));
    EXPECT_EQ(b, a + 44);
    EXPECT_EQ(c, b + 44);  // 42 rounded up to 44
    EXPECT_EQ(block->liveCells, 3);
    EXPECT_EQ(block->bytesHandedOut, 92);
    PoolRelease(block);
    PoolRelease(block);
    EXPECT_EQ(g_listPool.current, block);  // one cell still lives
    PoolRelease(block);
    EXPECT_EQ(g_listPool.current, nullptr);
}

TEST_F(ListPoolTest, StartsANewBlockWhenACellDoesNotFitAndFreesEachWithItsLastCell)
{
    void* first = PoolAlloc(24996);
    ListBlock* block1 = g_listPool.current;
    void* fits = PoolAlloc(4);  // exactly 25,000 bytes now
    EXPECT_EQ(g_listPool.current, block1);
    EXPECT_EQ(static_cast<char*>(fits), static_cast<char*>(first) + 24996);
    void* second = PoolAlloc(4);
    ListBlock* block2 = g_listPool.current;
    EXPECT_NE(block2, block1);
    EXPECT_EQ(second, static_cast<void*>(block2 + 1));
    EXPECT_EQ(g_listPool.liveBlocks, 2);

    // The old block goes with its own last cell, not with the new block's.
    PoolRelease(block1);
    PoolRelease(block1);
    EXPECT_EQ(g_listPool.liveBlocks, 1);
    EXPECT_EQ(g_listPool.current, block2);
    PoolRelease(block2);
    EXPECT_EQ(g_listPool.liveBlocks, 0);
    EXPECT_EQ(g_listPool.current, nullptr);
}

TEST_F(ListPoolTest, RefusesACellLargerThanABlock)
{
    EXPECT_EQ(PoolAlloc(25001), nullptr);
    EXPECT_EQ(g_listPool.current, nullptr);
    void* whole = PoolAlloc(25000);
    ASSERT_NE(whole, nullptr);
    PoolRelease(g_listPool.current);
}

TEST_F(ListPoolTest, ReportsANegativeCellCountAndFreesTheBlock)
{
    enginetest::CapturedHooks hooks;
    ASSERT_NE(PoolAlloc(20), nullptr);
    ListBlock* block = g_listPool.current;
    block->liveCells = 0;  // as if a cell had been released twice
    PoolRelease(block);
    ASSERT_EQ(hooks.errors.size(), 1u);
    EXPECT_EQ(hooks.errors[0], "Error|Problem in List code.\nList block allocation negative (-1)");
    EXPECT_EQ(g_listPool.current, nullptr);
    EXPECT_EQ(g_listPool.liveBlocks, 0);
}

TEST_F(ListPoolTest, ReportsExhaustionOnTheDebugOutputOnly)
{
    enginetest::CapturedHooks hooks;
    g_listPool.systemAlloc = [](std::size_t) -> void* { return nullptr; };
    EXPECT_EQ(PoolAlloc(20), nullptr);
    EXPECT_EQ(ListNew(), nullptr);
    EXPECT_EQ(hooks.debug, "GlobalAlloc failed!!\nGlobalAlloc failed!!\n");
    EXPECT_TRUE(hooks.errors.empty());
}

TEST_F(ListPoolTest, AFailedAppendClearsTheListStatusAndKeepsTheList)
{
    enginetest::CapturedHooks hooks;
    LineList* list = ListNew();
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(ListComplete(list));
    auto* one = static_cast<std::int32_t*>(ListAppend(list, 4));
    ASSERT_NE(one, nullptr);
    *one = 1;
    // Fill the block, then let the system refuse the next one.
    while (g_listPool.current->bytesHandedOut + 32 + 4 <= kListBlockPayload)
        ASSERT_NE(ListAppend(list, 4), nullptr);
    g_listPool.systemAlloc = [](std::size_t) -> void* { return nullptr; };
    EXPECT_EQ(ListAppend(list, 4), nullptr);
    EXPECT_FALSE(ListComplete(list));
    EXPECT_EQ(*static_cast<std::int32_t*>(ListFirst(list)), 1);
    ListFree(list);
    EXPECT_EQ(list, nullptr);
}

TEST_F(ListPoolTest, ListsWalkBothWaysAndFreeEveryCell)
{
    LineList* empty = ListNew();
    EXPECT_EQ(ListFirst(empty), nullptr);
    EXPECT_EQ(ListLast(empty), nullptr);
    EXPECT_EQ(ListFirst(nullptr), nullptr);
    EXPECT_EQ(ListNext(nullptr), nullptr);

    LineList* list = ListNew();
    std::vector<std::int32_t*> payloads;
    for (std::int32_t i = 0; i < 2000; ++i) {  // several pool blocks
        auto* p = static_cast<std::int32_t*>(ListAppend(list, sizeof(std::int32_t)));
        ASSERT_NE(p, nullptr);
        *p = i;
        payloads.push_back(p);
    }
    EXPECT_GT(g_listPool.liveBlocks, 2);
    std::int32_t expected = 0;
    for (auto* p = static_cast<std::int32_t*>(ListFirst(list)); p; p = static_cast<std::int32_t*>(ListNext(p)))
        EXPECT_EQ(*p, expected++);
    EXPECT_EQ(expected, 2000);
    for (auto* p = static_cast<std::int32_t*>(ListLast(list)); p; p = static_cast<std::int32_t*>(ListPrev(p)))
        EXPECT_EQ(*p, --expected);
    EXPECT_EQ(expected, 0);
    EXPECT_EQ(ListPrev(payloads.front()), nullptr);
    EXPECT_EQ(ListNext(payloads.back()), nullptr);

    ListFree(list);
    ListFree(empty);
    EXPECT_EQ(list, nullptr);
    EXPECT_EQ(g_listPool.liveBlocks, 0);
    EXPECT_EQ(g_listPool.current, nullptr);
}

} // namespace
