// The table dump and the key column list of a recordset.
#include <algorithm>
#include <cstring>

#include "common/MergeFileLayout.h"
#include "common/OutputFile.h"
#include "common/UiHooks.h"
#include "datasource/CDatabase.h"
#include "datasource/CRecordsetEx.h"
#include "datasource/TableCatalog.h"
#include "datasource/WholeTableQuery.h"

void CRecordsetEx::OpenTable(const std::string& table)
{
    const std::string& quote = LiteralFacts().identifierQuote;
    OpenQuery(forwardOnly, SelectAllText(table, quote), blockFetch);
    if (FloatsAsText()) {
        // SQLite renders a real with 15 digits, which loses the last ones. Its
        // printf with the "!" flag gives 17, which read back to the same double
        // below 1e100; above, its digits drift, and 21 of them are needed.
        // Other values in such a column (any text, integers) come as they are.
        std::string columns;
        bool wrapped = false;
        for (const ColumnInfo& column : m_columns) {
            const std::string name = QuotedIdentifier(column.name, quote);
            if (!columns.empty())
                columns += ", ";
            // A name cut to 64 characters by the column description cannot be selected.
            if (IsFloatType(column.sqlType) && column.name.size() < kMaxColumnName) {
                columns += "CASE WHEN typeof(" + name + ") <> 'real' THEN " + name + " WHEN abs(" + name +
                           ") < 1e100 THEN printf('%!.17g', " + name + ") ELSE printf('%!.20e', " + name +
                           ") END AS " + name;
                wrapped = true;
            } else {
                columns += name;
            }
        }
        if (wrapped) {
            const std::vector<ColumnInfo> described = m_columns;
            OpenQuery(forwardOnly, "Select " + columns + " from " + QuotedIdentifier(table, quote), blockFetch);
            // The expressions describe as text; the dump goes by the table's own types.
            m_columns = described;
        }
    }
    m_strTable = table;
}

bool CRecordsetEx::WriteRows(OutputFile& file, const std::string& separator)
{
    WaitCursor wait;
    std::string line;
    for (int i = 0; i < m_nColumns; ++i) {
        line += m_columns[static_cast<std::size_t>(i)].name;
        if (i + 1 < m_nColumns)
            line += separator;
    }
    file.WriteUntranslated(line);
    file.Write("\n", 1);

    if (!m_bBOF) {
        std::vector<bool> quoted(static_cast<std::size_t>(std::max(m_nColumns, 0)));
        for (int i = 0; i < m_nColumns; ++i)
            quoted[static_cast<std::size_t>(i)] = IsQuotedInDump(m_columns[static_cast<std::size_t>(i)].sqlType);
        std::string value;
        while (!m_bEOF) {
            line.clear();
            for (int i = 0; i < m_nColumns; ++i) {
                GetFieldText(i, value);
                if (m_bValueIsNull)
                    line += MergeFileLayout::kNullField;
                else if (quoted[static_cast<std::size_t>(i)] || MergeFileLayout::NeedsQuotes(value, separator))
                    MergeFileLayout::AppendQuotedField(line, value);
                else
                    line += value;
                if (i + 1 < m_nColumns)
                    line += separator;
            }
            // Values go out byte for byte; only the record end becomes CR LF.
            file.WriteUntranslated(line);
            file.Write("\n", 1);
            MoveNext();
        }
    }
    // The statement goes with its last row: drivers that hold a whole result
    // (the MariaDB connector) would keep it through the comparison that follows.
    Close();
    file.Close();
    return true;
}

void CRecordsetEx::GetKeyColumnList(std::string& text)
{
    text = MergeFileLayout::KeyColumnListText(FindTableKey(m_database, m_strTable, m_columns).columns);
}
