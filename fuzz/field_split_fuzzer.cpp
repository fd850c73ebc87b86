// Field splitting, alone and behind the dump's field quoting.
//
// Input: values separated by '|'. A value that begins with '#' belongs to a
// column whose values the dump writes unquoted (a number), the '#' left out;
// "#NULL" is SQL NULL. Every other value is text.
//
// Invariants:
// - splitting the input itself as a row never fails: the line is consumed and
//   no more fields come out than the separators allow;
// - a row written with the dump's quoting (MergeFileLayout) is one row for the
//   row scanner and splits back into the values written: the same texts, text
//   values quoted, SQL NULL unquoted.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "common/MergeFileLayout.h"
#include "merge/CRowValues.h"
#include "merge/FieldSplitting.h"

namespace {

struct Value {
    std::string text;
    bool unquotedType = false;
};

std::vector<Value> Values(std::string_view bytes)
{
    std::vector<Value> values;
    for (;;) {
        const std::size_t bar = bytes.find('|');
        std::string_view text = bytes.substr(0, bar);
        Value value;
        if (text.starts_with('#')) {
            value.unquotedType = true;
            text.remove_prefix(1);
        }
        value.text = std::string(text);
        values.push_back(std::move(value));
        if (bar == std::string_view::npos)
            return values;
        bytes.remove_prefix(bar + 1);
    }
}

// One field as the dump writer writes it.
void AppendDumpField(std::string& line, const Value& value)
{
    if (!value.unquotedType)
        MergeFileLayout::AppendQuotedField(line, value.text);
    else if (value.text == MergeFileLayout::kNullField || !MergeFileLayout::NeedsQuotes(value.text, ","))
        line += value.text;
    else
        MergeFileLayout::AppendQuotedField(line, value.text);
}

void CheckRawSplit(std::string_view bytes)
{
    std::string line(bytes);
    CRowValues fields;
    const int count = SplitFields(line, fields, ",");
    fuzz::Check(line.empty(), "splitting consumes the line");
    fuzz::Check(count >= 0 && static_cast<std::size_t>(count) == fields.size(), "the field count is returned");
    const auto separators = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), ','));
    fuzz::Check(fields.size() <= separators + 1, "no more fields than the separators allow");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes = fuzz::Bytes(data, size);
    CheckRawSplit(bytes);

    const std::vector<Value> values = Values(bytes);
    std::string line;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            line += ',';
        AppendDumpField(line, values[i]);
    }
    const std::vector<std::string_view> rows = fuzz::SplitRows(line + "\n");
    fuzz::Check(rows.size() == 1, "a written row is one row for the row scanner");

    CRowValues fields;
    SplitFields(line, fields, ",");
    fuzz::Check(fields.size() == values.size(), "a written row splits into as many fields as it has values");
    for (std::size_t i = 0; i < values.size(); ++i) {
        fuzz::Check(fields[i] == values[i].text, "a written value reads back the same");
        if (!values[i].unquotedType)
            fuzz::Check(fields.IsQuoted(i), "a text value reads back quoted");
        if (values[i].unquotedType && values[i].text == "NULL")
            fuzz::Check(!fields.IsQuoted(i), "SQL NULL reads back unquoted");
    }
    return 0;
}
