#pragma once
// The text forms that the table dumps and the merge file share, written and read
// back by the same rules: the section head of a table, its key column list, and
// the quoting of a dump field.
//
// Section head: CR LF, "Table=[", the table name with every "]" written "]]",
// "]", the key column list, CR LF CR LF. The doubled bracket is the file's own
// rule, which lets the key column list follow the name; statements take the
// name itself and quote it their own way.
//
// Section head with column names (written since merge files end with an end
// mark): the same head, but between the head line and its blank line a line
// "Columns=" followed by every column name of the dumps as a quoted dump field,
// joined by ",". A reader that drops the line after a head, as older ones did,
// still reads such a file.
//
// Key column list: the zero-based indexes of the key columns in decimal, joined
// by ",".
//
// End mark: after the last section, CR LF "End=[" the number of sections "]"
// CR LF. The blank line before it ends any run of rows, so that an older reader
// takes the mark for no row. A file whose sections name their columns is whole
// only with its end mark.
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
inline constexpr std::string_view kColumnsStart = "Columns=";
inline constexpr std::string_view kEndStart = "End=[";

// The whole head of a table section.
std::string SectionHead(std::string_view table, std::string_view keyColumnList);

// The head with the column line: head line, "Columns=..." line, blank line.
std::string SectionHead(std::string_view table, std::string_view keyColumnList,
                        const std::vector<std::string>& columnNames);

// The column line of a head, without its line end.
std::string ColumnsLine(const std::vector<std::string>& columnNames);
// Reads a column line (its line end removed) into `columnNames`. False when the
// line is no column line or a name in it is not a whole quoted field.
bool ParseColumnsLine(std::string_view line, std::vector<std::string>& columnNames);

// The end mark of a file of `sections` sections, its blank line before it included.
std::string EndMark(std::size_t sections);
// Whether a line (its line end removed) is an end mark; its number of sections
// goes to `sections`. A mark cut short or with anything after "]" is none.
bool ParseEndMark(std::string_view line, std::size_t& sections);

// Whether a line of the merge file (its line end removed) is a section head.
bool IsSectionHead(std::string_view line);

struct SectionHeadFields {
    // The name as the head spells it, from "[" to its closing "]", a "]" inside
    // still doubled ("[we]]ird]"), for showing the head as it is.
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
