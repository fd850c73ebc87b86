#pragma once
// The statements of one table of the change set, as the Merge command makes
// them for a selected table: its inserts, then its updates, then its deletes.
#include <string>
#include <vector>

#include "merge/CTableRows.h"
#include "merge/StatementBuilder.h"

class CRecordsetEx;

// Reads the target table's columns through `recordset` (on the merge data
// source) and appends one INSERT per row of `addTable`, one UPDATE per pair of
// `updateTable` (from the pair's new row) and one DELETE per row of
// `deleteTable`. Inserts take the name and key columns of `addTable`, updates
// and deletes those of `deleteTable`. Raises the recordset's DatabaseError when
// the columns cannot be read.
void AppendTableStatements(CRecordsetEx& recordset, const CTableRows& deleteTable, const CTableRows& addTable,
                           const CTableRows& updateTable, std::vector<GeneratedStatement>& statements);

// The same for columns already read and the target's literal facts.
void AppendTableStatements(const CColumnInfoArray& columns, const SqlLiteralFacts& facts,
                           const CTableRows& deleteTable, const CTableRows& addTable, const CTableRows& updateTable,
                           std::vector<GeneratedStatement>& statements);
