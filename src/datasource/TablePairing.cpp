#include "datasource/TablePairing.h"

#include <algorithm>
#include <cstddef>

#include "common/AsciiNoCase.h"

namespace {

bool Unpaired(const TablePairRow& row)
{
    return !row.oldName.empty() && row.newName.empty();
}

// The first row not yet paired whose old name is exactly `name`, or -1.
int ExactOldRow(const std::vector<TablePairRow>& rows, const std::string& name)
{
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (Unpaired(rows[i]) && rows[i].oldName == name)
            return static_cast<int>(i);
    return -1;
}

std::size_t CountNoCase(const std::vector<std::string>& names, const std::string& name)
{
    return static_cast<std::size_t>(
        std::count_if(names.begin(), names.end(), [&](const std::string& n) { return EqualsNoCase(n, name); }));
}

// "a and b", "a, b and c".
std::string Enumerated(const std::vector<std::string>& names)
{
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0)
            text += i + 1 == names.size() ? " and " : ", ";
        text += names[i];
    }
    return text;
}

// The note of an unpaired `name`: the spellings of both sides that differ from
// it only in case, each once, in byte order (so that every row of the group and
// every catalog order give the same text), or nothing when it has no such rival.
std::string CaseNote(const std::string& name, const std::vector<std::string>& oldNames,
                     const std::vector<std::string>& newNames)
{
    std::vector<std::string> spellings;
    for (const std::vector<std::string>* side : {&oldNames, &newNames})
        for (const std::string& n : *side)
            if (EqualsNoCase(n, name))
                spellings.push_back(n);
    std::sort(spellings.begin(), spellings.end());
    spellings.erase(std::unique(spellings.begin(), spellings.end()), spellings.end());
    if (spellings.size() < 2)
        return {};
    return "not paired: the names " + Enumerated(spellings) + " differ only in case";
}

void Pair(TablePairRow& row, const std::string& newName)
{
    row.newName = newName;
    row.selected = true;
}

} // namespace

int FindOldTableRow(const std::vector<TablePairRow>& rows, const std::string& name)
{
    // Of two candidates in other cases, neither is meant more than the other.
    const NamedCandidate found = FindNamedCandidate(rows.size(), [&](std::size_t i, bool ignoringCase) {
        return Unpaired(rows[i]) && SameName(rows[i].oldName, name, ignoringCase);
    });
    return found.index ? static_cast<int>(*found.index) : -1;
}

std::vector<TablePairRow> PairTables(const std::vector<std::string>& oldNames,
                                     const std::vector<std::string>& newNames)
{
    std::vector<TablePairRow> rows;
    rows.reserve(oldNames.size() + newNames.size());
    for (const auto& name : oldNames)
        rows.push_back({name, std::string(), false, std::string()});

    // Exact names first, so that "users" finds "users" even where "Users"
    // stands before it in the old catalog.
    std::vector<const std::string*> rest;
    for (const auto& name : newNames) {
        const int row = ExactOldRow(rows, name);
        if (row >= 0)
            Pair(rows[static_cast<std::size_t>(row)], name);
        else
            rest.push_back(&name);
    }
    // A side that holds two names differing only in case tells them apart on
    // purpose: only a name alone in its spelling on both sides pairs across case.
    for (const std::string* name : rest) {
        int row = -1;
        if (CountNoCase(oldNames, *name) == 1 && CountNoCase(newNames, *name) == 1)
            row = FindOldTableRow(rows, *name);
        if (row >= 0)
            Pair(rows[static_cast<std::size_t>(row)], *name);
        else
            rows.push_back({std::string(), *name, false, std::string()});
    }

    for (TablePairRow& row : rows)
        if (row.oldName.empty() || row.newName.empty())
            row.note = CaseNote(row.Name(), oldNames, newNames);
    return rows;
}
