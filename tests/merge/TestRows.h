#pragma once
// Small helpers for writing expected rows in the merge tests.
#include <string>
#include <utility>
#include <vector>

#include "merge/CRowValues.h"
#include "merge/CTableRows.h"

namespace mergetest {

// A field written as "text" in the dump (quoted) or as text (unquoted).
struct Field {
    std::string text;
    bool quoted = false;
};
inline Field Q(std::string text) { return {std::move(text), true}; }
inline Field U(std::string text) { return {std::move(text), false}; }

inline CRowValues Row(const std::vector<Field>& fields)
{
    CRowValues row;
    for (const auto& f : fields)
        row.Add(f.text, f.quoted);
    return row;
}

// The texts of every row, for comparisons that ignore the quote flags.
inline std::vector<std::vector<std::string>> Texts(const CRowArray& rows)
{
    std::vector<std::vector<std::string>> texts;
    for (const auto& row : rows)
        texts.push_back(row.Texts());
    return texts;
}

} // namespace mergetest
