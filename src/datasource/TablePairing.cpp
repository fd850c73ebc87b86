#include "datasource/TablePairing.h"

#include <strings.h>

namespace {

// Equality without regard to ASCII case; other bytes compare exactly.
bool EqualFoldingAscii(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'a' && x <= 'z')
            x = static_cast<unsigned char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z')
            y = static_cast<unsigned char>(y - 'a' + 'A');
        if (x != y)
            return false;
    }
    return true;
}

} // namespace

int FindOldTableRow(const std::vector<TablePairRow>& rows, const std::string& name)
{
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (EqualFoldingAscii(rows[i].oldName, name))
            return static_cast<int>(i);
    return -1;
}

std::vector<TablePairRow> PairTables(const std::vector<std::string>& oldNames,
                                     const std::vector<std::string>& newNames)
{
    std::vector<TablePairRow> rows;
    rows.reserve(oldNames.size() + newNames.size());
    for (const auto& name : oldNames)
        rows.push_back({name, std::string(), false});
    for (const auto& name : newNames) {
        const int row = FindOldTableRow(rows, name);
        if (row >= 0) {
            rows[static_cast<std::size_t>(row)].newName = name;
            rows[static_cast<std::size_t>(row)].selected = true;
        } else {
            rows.push_back({std::string(), name, false});
        }
    }
    return rows;
}
