#include "merge/StatementBuilder.h"

#include <algorithm>

#include "datasource/IdentifierQuoting.h"
#include "merge/SqlLiterals.h"

namespace {

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
    facts.Names().RewriteBrackets(statement);
}

// Why one of the values of the listed columns (all without a list) cannot be
// written, or nothing.
std::string ValueProblem(const CRowValues& values, const CColumnInfoArray& columns, const KeyColumnList* includeList,
                         const SqlLiteralFacts& facts)
{
    for (std::size_t i = 0; i < columns.size() && i < values.size(); ++i) {
        if (includeList &&
            std::find(includeList->begin(), includeList->end(), static_cast<std::int32_t>(i)) == includeList->end())
            continue;
        std::string problem = LiteralProblem(values[i], columns[i], facts);
        if (!problem.empty())
            return problem;
    }
    return {};
}

// What the user reads about a statement that cannot run.
constexpr const char* kNoKeyColumns = "The table has no key columns, so the row to update cannot be found.";
constexpr const char* kOnlyKeyColumns = "Every column of the table is a key column, so there is nothing to update.";

std::string CountProblem(const CRowValues& values, const CColumnInfoArray& columns)
{
    return "The row has " + std::to_string(values.size()) + " values, but the table has " +
           std::to_string(columns.size()) + " columns.";
}

// Every column index, for the condition of a table without key columns.
KeyColumnList AllColumns(std::size_t columnCount)
{
    KeyColumnList list(columnCount);
    for (std::size_t i = 0; i < columnCount; ++i)
        list[i] = static_cast<std::int32_t>(i);
    return list;
}

// A [name]=literal term per listed column joined by " AND ", or [name] IS NULL
// for SQL NULL, which "=" never finds. Empty when the value and column counts
// differ or no column is listed.
std::string Condition(const CRowValues& values, const CColumnInfoArray& columns, const KeyColumnList& include,
                      const SqlLiteralFacts& facts)
{
    std::string text;
    if (values.size() != columns.size())
        return text;
    std::size_t j = 0;
    for (std::size_t i = 0; i < columns.size() && j < include.size(); ++i) {
        if (include[j] != static_cast<std::int32_t>(i))
            continue;
        ++j;
        if (!text.empty())
            text += " AND ";
        IdentifierQuoting::AppendBracketed(text, columns[i].name);
        if (!values.IsQuoted(i) && values[i] == "NULL") {
            text += " IS NULL";
        } else {
            text += '=';
            AppendConditionLiteral(text, values[i], values.IsQuoted(i), columns[i], facts);
        }
    }
    return text;
}

// " WHERE " and the condition. Without a condition the statement stays
// incomplete, ending in " WHERE "; only a complete statement gets its brackets
// rewritten.
void AppendKeyCondition(GeneratedStatement& statement, const std::string& condition, const CRowValues& values,
                        const CColumnInfoArray& columns, const SqlLiteralFacts& facts)
{
    statement.text += " WHERE ";
    if (condition.empty()) {
        statement.problem = values.size() != columns.size() ? CountProblem(values, columns) : kNoKeyColumns;
        return;
    }
    statement.text += condition;
    FinishStatement(statement.text, facts);
}

// DELETE of one of the rows that `condition` finds, for a table without key
// columns: equal rows are one row each, and only one of them may go.
std::string DeleteOneRow(const std::string& table, const std::string& condition, const SqlLiteralFacts& facts)
{
    switch (facts.dbms) {
    case DbmsKind::Sqlite:
        return "DELETE FROM " + table + " WHERE rowid IN (SELECT rowid FROM " + table + " WHERE " + condition +
               " LIMIT 1)";
    case DbmsKind::PostgreSql:
        return "DELETE FROM " + table + " WHERE ctid IN (SELECT ctid FROM " + table + " WHERE " + condition +
               " LIMIT 1)";
    case DbmsKind::MySql:
        return "DELETE FROM " + table + " WHERE " + condition + " LIMIT 1";
    case DbmsKind::Other:
        break;
    }
    return "DELETE FROM " + table + " WHERE " + condition;
}

} // namespace

void FormatValueList(const CRowValues& values, const CColumnInfoArray& columns, std::string& text,
                     const std::string& separator, bool withNames, const KeyColumnList* includeList,
                     const SqlLiteralFacts& facts)
{
    if (values.size() != columns.size())
        return;
    text.clear();
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
            IdentifierQuoting::AppendBracketed(text, columns[i].name);
            text += '=';
        }
        AppendSqlLiteral(text, values[i], values.IsQuoted(i), columns[i], facts);
    }
}

GeneratedStatement BuildInsert(const CRowValues& values, const CColumnInfoArray& columns, const std::string& table,
                               const KeyColumnList& keyColumns, const SqlLiteralFacts& facts)
{
    GeneratedStatement statement{"INSERT INTO " + table + " (", {}, StatementKind::Insert, {}};
    KeyColumnList includeList;
    bool leaveOutFirst = false;
    if (facts.insertLeavesOutCounter && keyColumns.size() == 1 && keyColumns[0] == 0) {
        includeList = NonKeyColumns(columns.size(), keyColumns);
        leaveOutFirst = !includeList.empty();
    }
    bool first = true;
    for (std::size_t i = leaveOutFirst ? 1 : 0; i < columns.size(); ++i) {
        if (!first)
            statement.text += ',';
        IdentifierQuoting::AppendBracketed(statement.text, columns[i].name);
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
    statement.problem = ValueProblem(values, columns, leaveOutFirst ? &includeList : nullptr, facts);
    return statement;
}

GeneratedStatement BuildUpdate(const CRowValues& values, const CColumnInfoArray& columns, const std::string& table,
                               const KeyColumnList& keyColumns, const SqlLiteralFacts& facts)
{
    GeneratedStatement statement;
    statement.kind = StatementKind::Update;
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
    const std::string condition = Condition(values, columns, keyColumns, facts);
    AppendKeyCondition(statement, condition, values, columns, facts);
    if (statement.Complete())
        statement.problem = ValueProblem(values, columns, nullptr, facts);
    if (statement.Complete() && facts.dbms == DbmsKind::MySql) {
        statement.countQuery = "SELECT COUNT(*) FROM " + table + " WHERE " + condition;
        FinishStatement(statement.countQuery, facts);
    }
    return statement;
}

GeneratedStatement BuildDelete(const CRowValues& values, const CColumnInfoArray& columns, const std::string& table,
                               const KeyColumnList& keyColumns, const SqlLiteralFacts& facts)
{
    GeneratedStatement statement{"DELETE FROM " + table, {}, StatementKind::Delete, {}};
    if (!keyColumns.empty()) {
        AppendKeyCondition(statement, Condition(values, columns, keyColumns, facts), values, columns, facts);
        if (statement.Complete())
            statement.problem = ValueProblem(values, columns, &keyColumns, facts);
        return statement;
    }
    const std::string condition = Condition(values, columns, AllColumns(columns.size()), facts);
    if (condition.empty()) {
        statement.text += " WHERE ";
        statement.problem = CountProblem(values, columns);
        return statement;
    }
    statement.text = DeleteOneRow(table, condition, facts);
    FinishStatement(statement.text, facts);
    statement.problem = ValueProblem(values, columns, nullptr, facts);
    return statement;
}
