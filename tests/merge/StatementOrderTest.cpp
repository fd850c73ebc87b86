#include "merge/StatementOrder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestRows.h"

namespace {

using mergetest::U;

struct OrderCase {
    const char* name;
    std::size_t count;
    std::vector<Dependency> edges;  // parent, child
    std::vector<std::size_t> parentsFirst;
    std::vector<std::size_t> childrenFirst;
    std::vector<std::vector<std::size_t>> cycles;
};

TEST(OrderByDependencies, PutsParentsFirstAndKeepsTheOrderElsewhere)
{
    const std::vector<OrderCase> cases = {
        {"no edges keep the order", 3, {}, {0, 1, 2}, {0, 1, 2}, {}},
        {"child listed before its parent", 2, {{1, 0}}, {1, 0}, {0, 1}, {}},
        {"a chain", 3, {{2, 1}, {1, 0}}, {2, 1, 0}, {0, 1, 2}, {}},
        {"unrelated tables keep their places", 4, {{3, 1}}, {0, 2, 3, 1}, {0, 1, 2, 3}, {}},
        {"a diamond", 4, {{0, 1}, {0, 2}, {1, 3}, {2, 3}}, {0, 1, 2, 3}, {3, 1, 2, 0}, {}},
        {"an edge to itself is no edge", 2, {{1, 1}}, {0, 1}, {0, 1}, {}},
        {"a cycle keeps its order", 3, {{0, 1}, {1, 0}}, {0, 1, 2}, {0, 1, 2}, {{0, 1}}},
        {"a cycle after its parent", 4, {{3, 1}, {1, 2}, {2, 1}}, {0, 3, 1, 2}, {0, 1, 2, 3}, {{1, 2}}},
    };
    for (const auto& c : cases) {
        const DependencyOrder parents = OrderByDependencies(c.count, c.edges);
        EXPECT_EQ(parents.order, c.parentsFirst) << c.name;
        EXPECT_EQ(parents.cycles, c.cycles) << c.name;
        EXPECT_EQ(OrderChildrenFirst(c.count, c.edges).order, c.childrenFirst) << c.name;
    }
}

TEST(OrderByDependencies, OrdersALongChainWithoutRecursion)
{
    const std::size_t count = 200000;
    std::vector<Dependency> edges;
    for (std::size_t i = 1; i < count; ++i)
        edges.emplace_back(i, i - 1);  // each row refers to the next one
    const DependencyOrder order = OrderByDependencies(count, edges);
    ASSERT_EQ(order.order.size(), count);
    EXPECT_EQ(order.order.front(), count - 1);
    EXPECT_EQ(order.order.back(), 0u);
    EXPECT_TRUE(order.cycles.empty());
}

TEST(RowDependencies, LinksEachChildToTheRowItRefersTo)
{
    // id, parent_id, name
    const CRowArray rows = {
        mergetest::Row({U("3"), U("1"), U("child of 1")}), mergetest::Row({U("1"), U("NULL"), U("root")}),
        mergetest::Row({U("2"), U("3"), U("grandchild")}), mergetest::Row({U("4"), U("9"), U("parent elsewhere")}),
        mergetest::Row({U("5"), U("5"), U("itself")})};
    const std::vector<Dependency> edges = RowDependencies(rows, {SelfReference{{1}, {0}}});
    EXPECT_EQ(edges, (std::vector<Dependency>{{1, 0}, {0, 2}}));
    EXPECT_EQ(OrderByDependencies(rows.size(), edges).order, (std::vector<std::size_t>{1, 0, 2, 3, 4}));
    EXPECT_EQ(OrderChildrenFirst(rows.size(), edges).order, (std::vector<std::size_t>{2, 0, 1, 3, 4}));
}

TEST(RowDependencies, MatchesEveryColumnOfAKeyOfTwo)
{
    // org, id, parent org, parent id
    const CRowArray rows = {mergetest::Row({U("a"), U("2"), U("a"), U("1")}),
                            mergetest::Row({U("b"), U("1"), U("NULL"), U("NULL")}),
                            mergetest::Row({U("a"), U("1"), U("NULL"), U("NULL")})};
    EXPECT_EQ(RowDependencies(rows, {SelfReference{{2, 3}, {0, 1}}}), (std::vector<Dependency>{{2, 0}}));
}

} // namespace
