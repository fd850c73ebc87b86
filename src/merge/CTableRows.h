#pragma once
// The containers of the change set. All are plain values: copying one copies
// everything in it.
#include <cstdint>
#include <string>
#include <vector>

#include "datasource/ColumnInfo.h"
#include "merge/CRowValues.h"

// Rows in order; erasing one moves the later ones down.
using CRowArray = std::vector<CRowValues>;

// The rows of one table section of the merge file.
class CTableRows : public CRowArray {
public:
    // The name as the section head spells it, square brackets included ("[Orders]").
    std::string m_strTable;
    // Zero-based indexes of the key columns, in the order of the head.
    std::vector<std::int32_t> m_keyColumns;
};

using CTableRowsArray = std::vector<CTableRows>;

// The column descriptions of one table of the merge data source.
using CColumnInfoArray = std::vector<ColumnInfo>;
