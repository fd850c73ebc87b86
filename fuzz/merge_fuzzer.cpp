// The merge reader, the change set the merge works on (pairing into updates)
// and the statements of every dialect, on an arbitrary merge file.
//
// Input: a first line of settings, then the merge file. The settings line is a
// flag byte (1: section headers "<old>"/"<new>" and footer "<end>"; 2: column
// names with quotes, brackets, backquotes and apostrophes) followed by one
// letter per column giving its SQL type (see kTypes; the letters repeat for
// wider rows). Each table gets as many columns as its first row has fields.
//
// Invariants:
// - a file is read whole or refused with a message naming it and no table;
// - pairing loses and duplicates no row: rows read = rows to delete + rows to
//   add + rows in updates, each pair's rows have equal keys, and no row left to
//   add has a key that a row left to delete shows;
// - one statement per row read (a pair gives one UPDATE for its two rows);
// - every statement that can run is balanced: its character literals and its
//   quoted names are closed, however the session reads a backslash in a
//   literal (PostgreSQL's standard_conforming_strings, MariaDB's
//   NO_BACKSLASH_ESCAPES), and the condition of an UPDATE or DELETE has one
//   term per key column;
// - no literal of a statement that can run holds a byte a client could change
//   or stop at: a control character other than the line feed, or a NUL.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "datasource/SqlLiteralFacts.h"
#include "merge/ChangeSet.h"
#include "merge/MergeFileReader.h"
#include "merge/TableStatements.h"
#include "common/CompareSettings.h"

namespace {

constexpr std::uint8_t kMarkers = 1;
constexpr std::uint8_t kAwkwardNames = 2;

struct TypeLetter {
    char letter;
    std::int16_t sqlType;
};

// ODBC type codes, ODBC 2 and 3, as the drivers report them.
constexpr TypeLetter kTypes[] = {
    {'c', 1},   {'v', 12},  {'l', -1},  {'w', -9},  {'W', -10}, {'g', -11}, {'b', -3},
    {'B', -2},  {'L', -4},  {'d', 91},  {'D', 9},   {'t', 92},  {'T', 10},  {'s', 93},
    {'S', 11},  {'i', 4},   {'I', -5},  {'h', 5},   {'n', 2},   {'m', 3},   {'f', 8},
    {'F', 6},   {'r', 7},   {'x', -7},  {'y', -6},  {'u', 0},   {'p', -97},
};

std::int16_t TypeOf(char letter)
{
    for (const TypeLetter& t : kTypes) {
        if (t.letter == letter)
            return t.sqlType;
    }
    return 12;
}

const char* const kAwkwardColumnNames[] = {
    "id", "we]ird", "br[ack]et", "q\"uote", "back`tick", "it's", "]]", "[", "a b",
};

CColumnInfoArray Columns(std::size_t count, std::string_view typeLetters, bool awkwardNames)
{
    CColumnInfoArray columns(count);
    for (std::size_t i = 0; i < count; ++i) {
        ColumnInfo& column = columns[i];
        column.name = awkwardNames ? std::string(kAwkwardColumnNames[i % std::size(kAwkwardColumnNames)]) +
                                         std::to_string(i)
                                   : "c" + std::to_string(i);
        column.sqlType = typeLetters.empty() ? (i == 0 ? 4 : 12) : TypeOf(typeLetters[i % typeLetters.size()]);
        column.precision = 255;
        column.nullability = i == 0 ? 0 : 1;
    }
    return columns;
}

// Where a backslash in a literal escapes the next byte.
enum class Backslashes {
    Never,      // SQLite; MariaDB with NO_BACKSLASH_ESCAPES
    InEString,  // PostgreSQL: only in E'...' (standard_conforming_strings on)
    Always,     // MariaDB by default; PostgreSQL with standard_conforming_strings off
};

struct Dialect {
    const char* name;
    SqlLiteralFacts facts;
    char nameQuote;  // what a name stands between in the finished statement
    std::vector<Backslashes> readings;  // every way a session of the DBMS may read literals
};

std::vector<Dialect> Dialects()
{
    return {
        {"SQLite", SqlLiteralFacts::ForDriver("sqlite3odbc.so", "\"", "SQLite"), '"', {Backslashes::Never}},
        {"PostgreSQL", SqlLiteralFacts::ForDriver("psqlodbcw.so", "\"", "PostgreSQL"), '"',
         {Backslashes::InEString, Backslashes::Always}},
        // The connector reports the double quote under ANSI_QUOTES; names still get backquotes.
        {"MariaDB", SqlLiteralFacts::ForDriver("libmaodbc.so", "\"", "MariaDB"), '`',
         {Backslashes::Always, Backslashes::Never}},
    };
}

// Like fuzz::Check, naming the statement and the dialect.
void CheckStatement(bool ok, const char* what, const std::string& statement, const Dialect& dialect)
{
    if (!ok)
        std::fprintf(stderr, "\n%s statement: %s\n", dialect.name, statement.c_str());
    fuzz::Check(ok, what);
}

struct Scan {
    bool balanced = true;
    bool clientSafe = true;  // no literal holds a control character but the line feed
    int wheres = 0;  // " WHERE " outside literals and names
    int ands = 0;    // " AND " after the first of them, outside literals and names
};

bool IsControl(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return (byte < 0x20 && c != '\n') || byte == 0x7F;
}

// Walks the statement as the data source's parser would: apostrophe literals
// (two apostrophes are one; a backslash escapes the next byte where the session
// reads it so) and quoted names (the closing character twice is one).
Scan ScanStatement(const std::string& s, const Dialect& dialect, Backslashes backslashes)
{
    enum class State { Plain, Literal, Name };
    State state = State::Plain;
    bool escapes = false;  // in the current literal
    Scan scan;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        const bool hasNext = i + 1 < s.size();
        switch (state) {
        case State::Plain:
            if (c == '\'') {
                state = State::Literal;
                escapes = backslashes == Backslashes::Always ||
                          (backslashes == Backslashes::InEString && i > 0 && (s[i - 1] == 'E' || s[i - 1] == 'e'));
            } else if (c == dialect.nameQuote) {
                state = State::Name;
            } else if (s.compare(i, 7, " WHERE ") == 0) {
                ++scan.wheres;
            } else if (scan.wheres > 0 && s.compare(i, 5, " AND ") == 0) {
                ++scan.ands;
            }
            break;
        case State::Literal:
            if (IsControl(c))
                scan.clientSafe = false;
            if (c == '\\' && escapes) {
                if (!hasNext)
                    scan.balanced = false;
                ++i;
            } else if (c == '\'') {
                if (hasNext && s[i + 1] == '\'')
                    ++i;
                else
                    state = State::Plain;
            }
            break;
        case State::Name:
            if (c == dialect.nameQuote) {
                if (hasNext && s[i + 1] == dialect.nameQuote)
                    ++i;
                else
                    state = State::Plain;
            }
            break;
        }
    }
    if (state != State::Plain)
        scan.balanced = false;
    return scan;
}

std::size_t TotalRows(const TableChangesArray& tables)
{
    std::size_t rows = 0;
    for (const TableChanges& table : tables)
        rows += table.deletes.size() + table.adds.size() + 2 * table.updates.size();
    return rows;
}

// The reference: whether two rows agree, byte for byte, on every key column.
bool KeysMatch(const CRowValues& oldRow, const std::vector<std::int32_t>& keyColumns, const CRowValues& newRow)
{
    if (keyColumns.empty())
        return false;
    for (const std::int32_t x : keyColumns) {
        const auto i = static_cast<std::size_t>(x);
        if (x < 0 || i >= oldRow.size() || i >= newRow.size() || oldRow[i] != newRow[i])
            return false;
    }
    return true;
}

void CheckPairing(const TableChangesArray& before, const TableChangesArray& after)
{
    fuzz::Check(before.size() == after.size(), "pairing keeps every table");
    for (std::size_t t = 0; t < after.size(); ++t) {
        const TableChanges& table = after[t];
        fuzz::Check(table.deletes.size() + table.updates.size() == before[t].deletes.size(),
                    "every old row is deleted or in one update");
        fuzz::Check(table.adds.size() + table.updates.size() == before[t].adds.size(),
                    "every new row is added or in one update");
        for (const RowPair& pair : table.updates)
            fuzz::Check(KeysMatch(pair.oldRow, table.keyColumns, pair.newRow), "the rows of a pair have equal keys");
        if (table.deletes.size() * table.adds.size() > 10000)
            continue;  // the quadratic check is for small tables only
        for (const CRowValues& added : table.adds) {
            for (const CRowValues& deleted : table.deletes)
                fuzz::Check(!KeysMatch(deleted, table.keyColumns, added),
                            "no unpaired new row matches an unpaired old row");
        }
    }
}

std::size_t DistinctKeys(const std::vector<std::int32_t>& keys)
{
    return std::set<std::int32_t>(keys.begin(), keys.end()).size();
}

// An UPDATE or DELETE that can run: balanced, and a condition of one term per key column.
void CheckWhere(const Scan& scan, const GeneratedStatement& statement, const TableChanges& table,
                const CRowValues* sample, const Dialect& dialect)
{
    CheckStatement(scan.balanced, "a statement that can run closes its literals and names", statement.text,
                   dialect);
    CheckStatement(scan.clientSafe, "no literal holds a byte a client could change", statement.text, dialect);
    // A keyless DELETE finds its row in a subquery on some DBMSs: two conditions then.
    const bool keyless = table.keyColumns.empty();
    CheckStatement(keyless ? scan.wheres >= 1 : scan.wheres == 1,
                   "an UPDATE or DELETE that can run has its condition", statement.text, dialect);
    const std::size_t terms = keyless ? (sample ? sample->size() : 0) : DistinctKeys(table.keyColumns);
    CheckStatement(static_cast<std::size_t>(scan.ands) + 1 == terms, "the condition has one term per key column",
                   statement.text, dialect);
}

// One statement per row read, each one that can run balanced, for one dialect.
void CheckStatements(const TableChangesArray& tables, std::string_view typeLetters, bool awkwardNames,
                     const Dialect& dialect)
{
    for (const TableChanges& table : tables) {
        const CRowValues* sample = !table.adds.empty()      ? &table.adds[0]
                                   : !table.updates.empty() ? &table.updates[0].newRow
                                   : !table.deletes.empty() ? &table.deletes[0]
                                                            : nullptr;
        const CColumnInfoArray columns = Columns(sample ? sample->size() : 0, typeLetters, awkwardNames);
        const TableStatementSet set = MakeTableStatements(columns, dialect.facts, table);
        fuzz::Check(set.inserts.size() == table.adds.size() && set.updates.size() == table.updates.size() &&
                        set.deletes.size() == table.deletes.size(),
                    "one statement per row read, one per pair");
        for (const GeneratedStatement& statement : set.inserts) {
            if (!statement.Complete())
                continue;
            for (const Backslashes reading : dialect.readings) {
                const Scan scan = ScanStatement(statement.text, dialect, reading);
                CheckStatement(scan.balanced, "a statement that can run closes its literals and names",
                               statement.text, dialect);
                CheckStatement(scan.clientSafe, "no literal holds a byte a client could change", statement.text,
                               dialect);
                CheckStatement(scan.wheres == 0, "an INSERT has no condition", statement.text, dialect);
            }
        }
        for (const auto* list : {&set.updates, &set.deletes}) {
            for (const GeneratedStatement& statement : *list) {
                if (!statement.Complete())
                    continue;
                for (const Backslashes reading : dialect.readings) {
                    const Scan scan = ScanStatement(statement.text, dialect, reading);
                    CheckWhere(scan, statement, table, sample, dialect);
                }
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view bytes = fuzz::Bytes(data, size);
    const std::size_t lf = bytes.find('\n');
    if (bytes.empty() || lf == std::string_view::npos)
        return 0;
    const auto flags = static_cast<std::uint8_t>(bytes[0]);
    const std::string_view typeLetters = bytes.substr(1, lf - 1);
    bytes.remove_prefix(lf + 1);

    CompareSettings markers;
    if (flags & kMarkers) {
        markers.m_strFile1SectionHeader = "<old>";
        markers.m_strFile2SectionHeader = "<new>";
        markers.m_strFile1SectionFooter = "<end>";
        markers.m_strFile2SectionFooter = "<end>";
    }
    // The rows as read, before pairing, and the change set the merge works on.
    const std::string path = fuzz::WriteScratchFile("merge", bytes);
    TableChangesArray tables;
    MergeFileProblem problem;
    if (!ReadMergeFile(path, markers, tables, problem)) {
        fuzz::Check(tables.empty() && problem.text.find(path) != std::string::npos,
                    "a refused merge file leaves no table and names the file");
        return 0;
    }
    const TableChangesArray before = tables;
    BuildUpdates(tables);
    for (std::size_t t = 0; t < tables.size(); ++t) {
        fuzz::Check(tables[t].spelledName == before[t].spelledName, "pairing keeps the tables' names");
        fuzz::Check(tables[t].HasChanges() == before[t].HasChanges(), "a table has changes exactly when it has rows");
    }
    fuzz::Check(TotalRows(tables) == TotalRows(before), "pairing loses and duplicates no row");
    CheckPairing(before, tables);

    for (const Dialect& dialect : Dialects())
        CheckStatements(tables, typeLetters, (flags & kAwkwardNames) != 0, dialect);
    return 0;
}
