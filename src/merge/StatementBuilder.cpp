#include "merge/StatementBuilder.h"

#include <algorithm>

#include "datasource/ReplaceBrackets.h"
#include "merge/SqlLiterals.h"

namespace {

// [name], a "]" of the name written twice so that the bracket rewrite keeps it.
void AppendName(std::string& out, const std::string& name)
{
    out += '[';
    for (const char c : name) {
        out += c;
        if (c == ']')
            out += c;
    }
    out += ']';
}

// Every column index not in the key list, ascending.
KeyColumnList NonKeyColumns(std::size_t columnCount, const KeyColumnList& keyColumns)
{
    KeyColumnList list;
    for (std::size_t i = 0; i < columnCount; ++i) {
        const auto index = static_cast<std::int32_t>(i);
        if (std::find(keyColumns.begin(), keyColumns.end(), index) == keyColumns.end())
            list.push_back(index);
    }
    return list;
}

void FinishStatement(std::string& statement, const SqlLiteralFacts& facts)
{
    // No Jet driver (ODBCJT32.DLL) on Linux: kept, as stored files and language modules may rely on it.
    if (!facts.jetDriver)
        ReplaceBrackets(statement, facts.identifierQuote);
}

// What the user reads about a statement that cannot run.
constexpr const char* kNoKeyColumns =
    "The table has no key columns (its first column allows NULL), so the row cannot be found.";
constexpr const char* kOnlyKeyColumns = "Every column of the table is a key column, so there is nothing to update.";

std::string CountProblem(const CRowValues& values, const CColumnInfoArray& columns)
{
    return "The row has " + std::to_string(values.size()) + " values, but the table has " +
           std::to_string(columns.size()) + " columns.";
}

// " WHERE " and a [key]=literal term per key column joined by " AND ". Without
// a condition the statement stays incomplete, ending in " WHERE "; only a
// complete statement gets its brackets rewritten.
void AppendKeyCondition(GeneratedStatement& statement, const CRowValues& values, const CColumnInfoArray& columns,
                        const KeyColumnList& keyColumns, const SqlLiteralFacts& facts)
{
    statement.text += " WHERE ";
    std::string condition;
    FormatValueList(values, columns, condition, " AND ", true, &keyColumns, facts);
    if (condition.empty()) {
        statement.problem = values.size() != columns.size() ? CountProblem(values, columns) : kNoKeyColumns;
        return;
    }
    statement.text += condition;
    FinishStatement(statement.text, facts);
}

} // namespace

void FormatValueList(const CRowValues& values, const CColumnInfoArray& columns, std::string& text,
                     const std::string& separator, bool withNames, const KeyColumnList* includeList,
                     const SqlLiteralFacts& facts)
{
    if (values.size() != columns.size())
        return;
    text.clear();
    const LiteralDialect dialect = LiteralDialect::For(facts.dbmsName);
    std::size_t j = 0;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (includeList) {
            if (j >= includeList->size() || (*includeList)[j] != static_cast<std::int32_t>(i))
                continue;
            ++j;
        }
        if (!text.empty())
            text += separator;
        if (withNames) {
            AppendName(text, columns[i].name);
            text += '=';
        }
        AppendSqlLiteral(text, values[i], values.IsQuoted(i), columns[i], facts, dialect);
    }
}

GeneratedStatement BuildInsert(const CRowValues& values, const CColumnInfoArray& columns, const std::string& table,
                               const KeyColumnList& keyColumns, const SqlLiteralFacts& facts)
{
    GeneratedStatement statement{"INSERT INTO " + table + " (", {}};
    KeyColumnList includeList;
    bool leaveOutFirst = false;
    // No Jet driver (ODBCJT32.DLL) on Linux: kept, as stored files and language modules may rely on it.
    if (facts.jetDriver && keyColumns.size() == 1 && keyColumns[0] == 0) {
        includeList = NonKeyColumns(columns.size(), keyColumns);
        leaveOutFirst = !includeList.empty();
    }
    bool first = true;
    for (std::size_t i = leaveOutFirst ? 1 : 0; i < columns.size(); ++i) {
        if (!first)
            statement.text += ',';
        AppendName(statement.text, columns[i].name);
        first = false;
    }
    statement.text += ") VALUES (";
    std::string valueList;
    FormatValueList(values, columns, valueList, ",", false, leaveOutFirst ? &includeList : nullptr, facts);
    if (valueList.empty()) {
        statement.problem = CountProblem(values, columns);
        return statement;
    }
    statement.text += valueList;
    statement.text += ')';
    FinishStatement(statement.text, facts);
    return statement;
}

GeneratedStatement BuildUpdate(const CRowValues& values, const CColumnInfoArray& columns, const std::string& table,
                               const KeyColumnList& keyColumns, const SqlLiteralFacts& facts)
{
    GeneratedStatement statement;
    if (keyColumns.empty()) {
        statement.problem = kNoKeyColumns;
        return statement;
    }
    statement.text = "UPDATE " + table + " SET ";
    const KeyColumnList nonKeys = NonKeyColumns(columns.size(), keyColumns);
    std::string setList;
    FormatValueList(values, columns, setList, ",", true, &nonKeys, facts);
    if (setList.empty()) {
        statement.problem = values.size() != columns.size() ? CountProblem(values, columns) : kOnlyKeyColumns;
        return statement;
    }
    statement.text += setList;
    AppendKeyCondition(statement, values, columns, keyColumns, facts);
    return statement;
}

GeneratedStatement BuildDelete(const CRowValues& values, const CColumnInfoArray& columns, const std::string& table,
                               const KeyColumnList& keyColumns, const SqlLiteralFacts& facts)
{
    GeneratedStatement statement{"DELETE FROM " + table, {}};
    AppendKeyCondition(statement, values, columns, keyColumns, facts);
    return statement;
}
