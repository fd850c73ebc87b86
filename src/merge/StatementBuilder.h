#pragma once
// INSERT, UPDATE and DELETE text for one row of the change set. Names are
// written as [name] and then rewritten to the data source's identifier quote
// (IdentifierQuoting). A value that cannot be written (SqlLiterals'
// LiteralProblem) makes the statement one that cannot run. `table` is the
// table's name in the bracket form (IdentifierQuoting::Bracketed).
//
// A row is found by its key columns; a table without key columns finds it by
// all of them, NULL-safe ([c] IS NULL), and deletes only one of several equal
// rows where the DBMS allows a limit.
#include <cstdint>
#include <string>
#include <vector>

#include "datasource/SqlLiteralFacts.h"
#include "merge/TableChanges.h"

using KeyColumnList = std::vector<std::int32_t>;

enum class StatementKind {
    Insert,
    Update,
    Delete,
    Setting,  // changes how the session runs the rest (deferring constraints): no row count to check
    Note,     // an SQL comment for the reader of the statements: never sent
};

// One generated statement. An incomplete one (a wrong value count, no key
// columns for its condition) keeps the part that could be formed, for the user
// to see, and says why it cannot run; it is never sent to the data source.
struct GeneratedStatement {
    std::string text;     // the statement; for an incomplete one the part that could be formed
    std::string problem;  // empty when the statement can run; else why not, for the user
    StatementKind kind = StatementKind::Insert;
    // Where the DBMS counts the rows an UPDATE changed rather than those it
    // found (MySQL, MariaDB), a query that counts the rows its condition finds,
    // asked only when the UPDATE reports none: a row that already held the new
    // values is no failure.
    std::string countQuery;

    bool Complete() const { return problem.empty(); }
    // Whether running it must change exactly one row.
    bool ChangesOneRow() const
    {
        return kind == StatementKind::Insert || kind == StatementKind::Update || kind == StatementKind::Delete;
    }
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

// DELETE FROM table WHERE [a]=... AND [b]=...; without key columns every
// column is in the condition and at most one row goes. Incomplete, ending in
// " WHERE ", with a wrong value count.
GeneratedStatement BuildDelete(const CRowValues& values, const CColumnInfoArray& columns, const std::string& table,
                               const KeyColumnList& keyColumns, const SqlLiteralFacts& facts);
