#pragma once
// The order of a merge's statements where foreign keys tie its tables: a
// parent's rows must exist before a child's rows refer to them, and a child's
// rows must be gone before their parent goes.
#include <cstddef>
#include <utility>
#include <vector>

#include "merge/TableChanges.h"

// An edge from a parent (first) to a child (second), by position.
using Dependency = std::pair<std::size_t, std::size_t>;

struct DependencyOrder {
    // Every position once, each parent before its children. Positions that no
    // edge ties, and those of a cycle among themselves, keep their order.
    std::vector<std::size_t> order;
    // The groups of positions (ascending) that refer to each other in a cycle.
    std::vector<std::vector<std::size_t>> cycles;
};

// Orders positions 0 .. count-1 so that every parent comes before its
// children, keeping the given order wherever the edges leave a choice. Edges
// from a position to itself are ignored.
DependencyOrder OrderByDependencies(std::size_t count, const std::vector<Dependency>& edges);

// The same with every edge turned round: children before their parents.
DependencyOrder OrderChildrenFirst(std::size_t count, const std::vector<Dependency>& edges);

// A foreign key of a table that refers to the table itself, by the positions
// of its columns in the rows: the values of `childColumns` of one row name the
// row whose `parentColumns` hold the same values.
struct SelfReference {
    std::vector<std::size_t> childColumns;
    std::vector<std::size_t> parentColumns;
};

// The edges among `rows` that self references give: from the row a child
// refers to, to the child. A child whose values hold SQL NULL refers to no row.
std::vector<Dependency> RowDependencies(const CRowArray& rows, const std::vector<SelfReference>& references);
