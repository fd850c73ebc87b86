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
    if (!facts.jetDriver)
        ReplaceBrackets(statement, facts.identifierQuote);
}

// " WHERE " and a [key]=literal term per key column joined by " AND ". Without
// a condition the statement stays incomplete, ending in " WHERE "; only a
// complete statement gets its brackets rewritten.
void AppendKeyCondition(std::string& statement, const CRowValues& values, const CColumnInfoArray& columns,
                        const KeyColumnList& keyColumns, const SqlLiteralFacts& facts)
{
    statement += " WHERE ";
    std::string condition;
    FormatValueList(values, columns, condition, " AND ", true, &keyColumns, facts);
    if (condition.empty())
        return;
    statement += condition;
    FinishStatement(statement, facts);
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

void BuildInsert(std::string& statement, const CRowValues& values, const CColumnInfoArray& columns,
                 const std::string& table, const KeyColumnList& keyColumns, const SqlLiteralFacts& facts)
{
    statement = "INSERT INTO " + table + " (";
    KeyColumnList includeList;
    bool leaveOutFirst = false;
    if (facts.jetDriver && keyColumns.size() == 1 && keyColumns[0] == 0) {
        includeList = NonKeyColumns(columns.size(), keyColumns);
        leaveOutFirst = !includeList.empty();
    }
    bool first = true;
    for (std::size_t i = leaveOutFirst ? 1 : 0; i < columns.size(); ++i) {
        if (!first)
            statement += ',';
        AppendName(statement, columns[i].name);
        first = false;
    }
    statement += ") VALUES (";
    std::string valueList;
    FormatValueList(values, columns, valueList, ",", false, leaveOutFirst ? &includeList : nullptr, facts);
    if (valueList.empty())
        return;
    statement += valueList;
    statement += ')';
    FinishStatement(statement, facts);
}

void BuildUpdate(std::string& statement, const CRowValues& values, const CColumnInfoArray& columns,
                 const std::string& table, const KeyColumnList& keyColumns, const SqlLiteralFacts& facts)
{
    statement.clear();
    if (keyColumns.empty())
        return;
    statement = "UPDATE " + table + " SET ";
    const KeyColumnList nonKeys = NonKeyColumns(columns.size(), keyColumns);
    std::string setList;
    FormatValueList(values, columns, setList, ",", true, &nonKeys, facts);
    if (setList.empty())
        return;
    statement += setList;
    AppendKeyCondition(statement, values, columns, keyColumns, facts);
}

void BuildDelete(std::string& statement, const CRowValues& values, const CColumnInfoArray& columns,
                 const std::string& table, const KeyColumnList& keyColumns, const SqlLiteralFacts& facts)
{
    statement = "DELETE FROM " + table;
    AppendKeyCondition(statement, values, columns, keyColumns, facts);
}

bool IsIncompleteStatement(const std::string& statement)
{
    return statement.empty() || statement.ends_with(") VALUES (") || statement.ends_with(" SET ") ||
           statement.ends_with(" WHERE ");
}
