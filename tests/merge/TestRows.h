#pragma once
// Small helpers for writing expected rows in the merge tests.
#include <string>
#include <utility>
#include <vector>

#include "datasource/ColumnInfo.h"
#include "merge/CRowValues.h"
#include "merge/TableChanges.h"

namespace mergetest {

// A column of the merge data source with its name and SQL type.
inline ColumnInfo Column(const std::string& name, std::int16_t sqlType)
{
    ColumnInfo column;
    column.name = name;
    column.sqlType = sqlType;
    return column;
}

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
