#pragma once
// The text forms that the table dumps and the merge file share, written and read
// back by the same rules: the section head of a table, its key column list, and
// the quoting of a dump field.
//
// Section head: CR LF, "Table=[", the table name with every "]" written "]]",
// "]", the key column list, CR LF CR LF. The doubled bracket is what the bracket
// rewrite of the statements reads as one bracket, so the name can go into SQL as
// the head spells it.
//
// Key column list: the zero-based indexes of the key columns in decimal, joined
// by ",".
//
// Dump field: SQL NULL is the four letters NULL unquoted. A value in double
// quotes has each of its own double quotes written twice. Text values are always
// quoted; any other value is quoted when it would otherwise be misread: when it
// holds a double quote, the separator or a line break, is empty, or is the text
// NULL.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace MergeFileLayout {

inline constexpr std::string_view kHeadStart = "Table=[";
inline constexpr std::string_view kNullField = "NULL";

// The whole head of a table section.
std::string SectionHead(std::string_view table, std::string_view keyColumnList);

// Whether a line of the merge file (its line end removed) is a section head.
bool IsSectionHead(std::string_view line);

struct SectionHeadFields {
    // The name as the head spells it, from "[" to its closing "]", a "]" inside
    // still doubled ("[we]]ird]"): the form the statement builders take.
    std::string spelledName;
    // The name itself ("we]ird").
    std::string name;
    std::vector<std::int32_t> keyColumns;
};

// Reads a head line (its line end removed). A name whose brackets do not close
// keeps everything from the "[" on and has no key columns. A head from a file
// whose names were written with a single "]" (the text after the closing bracket
// holds another "]") takes the last "]" as the closing one, as such files were
// read before.
SectionHeadFields ParseSectionHead(std::string_view line);

std::string KeyColumnListText(const std::vector<std::int32_t>& keyColumns);

// Numbers by the C library's decimal rule (leading blanks, a sign, digits up to
// the first non-digit; no digits give 0). An empty text is no key column; a
// trailing comma gives a last 0, as it always has.
std::vector<std::int32_t> ParseKeyColumnList(std::string_view text);

// Appends `value` as a quoted dump field.
void AppendQuotedField(std::string& out, std::string_view value);

// Whether a value of a type that is written unquoted must be quoted after all.
bool NeedsQuotes(std::string_view value, std::string_view separator);

// Reads the quoted field at the start of `text` (which begins with a double
// quote) into `value`. Returns the bytes it takes up, both quotes included, or
// npos when the text is no quoted field: no closing quote that is followed by
// the separator or the end of the text.
inline constexpr std::size_t npos = static_cast<std::size_t>(-1);
std::size_t ReadQuotedField(std::string_view text, std::string_view separator, std::string& value);

} // namespace MergeFileLayout
