#pragma once
// INSERT, UPDATE and DELETE text for one row of the change set. Names are
// written as [name] and then rewritten to the data source's identifier quote
// (not for the Jet driver, which takes brackets as they are).
#include <cstdint>
#include <string>
#include <vector>

#include "datasource/SqlLiteralFacts.h"
#include "merge/CTableRows.h"

using KeyColumnList = std::vector<std::int32_t>;

// One generated statement. An incomplete one (a wrong value count, no key
// columns for its condition) keeps the part that could be formed, for the user
// to see, and says why it cannot run; it is never sent to the data source.
struct GeneratedStatement {
    std::string text;     // the statement; for an incomplete one the part that could be formed
    std::string problem;  // empty when the statement can run; else why not, for the user
    bool Complete() const { return problem.empty(); }
};

// The literals of `values` joined by `separator`, each preceded by "[name]="
// when `withNames`; only the columns in `includeList` (ascending) when it is
// given. When the value and column counts differ, `text` is left as it was.
void FormatValueList(const CRowValues& values, const CColumnInfoArray& columns, std::string& text,
                     const std::string& separator, bool withNames, const KeyColumnList* includeList,
                     const SqlLiteralFacts& facts);

// INSERT INTO table ([a],[b]) VALUES (...). With a wrong value count it is
// incomplete, ending in ") VALUES (". With the Jet driver and the key list 0,
// column 0 is left out (Jet fills its counter itself).
GeneratedStatement BuildInsert(const CRowValues& values, const CColumnInfoArray& columns, const std::string& table,
                               const KeyColumnList& keyColumns, const SqlLiteralFacts& facts);

// UPDATE table SET [c]=...,[d]=... WHERE [a]=... AND [b]=...: every non-key
// column from the row, the row found by its key values. Incomplete: empty
// without key columns; "UPDATE table SET " when every column is a key or the
// value count is wrong.
GeneratedStatement BuildUpdate(const CRowValues& values, const CColumnInfoArray& columns, const std::string& table,
                               const KeyColumnList& keyColumns, const SqlLiteralFacts& facts);

// DELETE FROM table WHERE [a]=... AND [b]=...; incomplete, ending in " WHERE ",
// without key columns or with a wrong value count.
GeneratedStatement BuildDelete(const CRowValues& values, const CColumnInfoArray& columns, const std::string& table,
                               const KeyColumnList& keyColumns, const SqlLiteralFacts& facts);
