#include "merge/StatementOrder.h"

#include <algorithm>
#include <functional>
#include <queue>
#include <string>
#include <unordered_map>

namespace {

constexpr std::size_t kUnvisited = static_cast<std::size_t>(-1);

// The strongly connected components of the graph (Tarjan's algorithm, without
// recursion, so that a long chain of rows cannot exhaust the stack): for every
// node the number of its component.
std::vector<std::size_t> Components(std::size_t count, const std::vector<std::vector<std::size_t>>& next,
                                    std::size_t& componentCount)
{
    std::vector<std::size_t> index(count, kUnvisited), low(count, 0), component(count, kUnvisited);
    std::vector<bool> onStack(count, false);
    std::vector<std::size_t> stack;
    std::size_t counter = 0;
    componentCount = 0;
    struct Frame {
        std::size_t node;
        std::size_t edge;
    };
    std::vector<Frame> frames;
    for (std::size_t start = 0; start < count; ++start) {
        if (index[start] != kUnvisited)
            continue;
        frames.push_back({start, 0});
        index[start] = low[start] = counter++;
        stack.push_back(start);
        onStack[start] = true;
        while (!frames.empty()) {
            Frame& frame = frames.back();
            const std::size_t v = frame.node;
            if (frame.edge < next[v].size()) {
                const std::size_t w = next[v][frame.edge++];
                if (index[w] == kUnvisited) {
                    index[w] = low[w] = counter++;
                    stack.push_back(w);
                    onStack[w] = true;
                    frames.push_back({w, 0});
                } else if (onStack[w]) {
                    low[v] = std::min(low[v], index[w]);
                }
                continue;
            }
            if (low[v] == index[v]) {
                for (;;) {
                    const std::size_t w = stack.back();
                    stack.pop_back();
                    onStack[w] = false;
                    component[w] = componentCount;
                    if (w == v)
                        break;
                }
                ++componentCount;
            }
            frames.pop_back();
            if (!frames.empty()) {
                const std::size_t parent = frames.back().node;
                low[parent] = std::min(low[parent], low[v]);
            }
        }
    }
    return component;
}

} // namespace

DependencyOrder OrderByDependencies(std::size_t count, const std::vector<Dependency>& edges)
{
    DependencyOrder result;
    std::vector<std::vector<std::size_t>> next(count);
    for (const auto& [from, to] : edges)
        if (from != to && from < count && to < count)
            next[from].push_back(to);
    std::size_t componentCount = 0;
    const std::vector<std::size_t> component = Components(count, next, componentCount);

    // The members of each component in the given order; a component takes the
    // place of its first member.
    std::vector<std::vector<std::size_t>> members(componentCount);
    for (std::size_t v = 0; v < count; ++v)
        members[component[v]].push_back(v);
    std::vector<std::size_t> indegree(componentCount, 0);
    std::vector<std::vector<std::size_t>> successors(componentCount);
    for (std::size_t v = 0; v < count; ++v) {
        for (const std::size_t w : next[v]) {
            if (component[v] == component[w])
                continue;
            successors[component[v]].push_back(component[w]);
            ++indegree[component[w]];
        }
    }
    // Kahn's algorithm, always taking the ready component whose first member
    // comes first.
    using Entry = std::pair<std::size_t, std::size_t>;  // first member, component
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> ready;
    for (std::size_t c = 0; c < componentCount; ++c)
        if (indegree[c] == 0)
            ready.push({members[c].front(), c});
    result.order.reserve(count);
    while (!ready.empty()) {
        const std::size_t c = ready.top().second;
        ready.pop();
        result.order.insert(result.order.end(), members[c].begin(), members[c].end());
        if (members[c].size() > 1)
            result.cycles.push_back(members[c]);
        for (const std::size_t d : successors[c])
            if (--indegree[d] == 0)
                ready.push({members[d].front(), d});
    }
    return result;
}

DependencyOrder OrderChildrenFirst(std::size_t count, const std::vector<Dependency>& edges)
{
    std::vector<Dependency> reversed;
    reversed.reserve(edges.size());
    for (const auto& [parent, child] : edges)
        reversed.emplace_back(child, parent);
    return OrderByDependencies(count, reversed);
}

std::vector<Dependency> RowDependencies(const CRowArray& rows, const std::vector<SelfReference>& references)
{
    std::vector<Dependency> edges;
    // The values of some columns of a row as one text; nullopt-like empty
    // result when a value is SQL NULL or a column is missing.
    const auto keyOf = [](const CRowValues& row, const std::vector<std::size_t>& columns, std::string& key) {
        key.clear();
        for (const std::size_t c : columns) {
            if (c >= row.size() || (!row.IsQuoted(c) && row[c] == "NULL"))
                return false;
            key += row[c];
            key += '\x1f';
        }
        return true;
    };
    std::string key;
    for (const SelfReference& reference : references) {
        std::unordered_map<std::string, std::vector<std::size_t>> byParentKey;
        for (std::size_t r = 0; r < rows.size(); ++r)
            if (keyOf(rows[r], reference.parentColumns, key))
                byParentKey[key].push_back(r);
        for (std::size_t r = 0; r < rows.size(); ++r) {
            if (!keyOf(rows[r], reference.childColumns, key))
                continue;
            const auto found = byParentKey.find(key);
            if (found == byParentKey.end())
                continue;
            for (const std::size_t parent : found->second)
                if (parent != r)
                    edges.emplace_back(parent, r);
        }
    }
    return edges;
}
