#include "common/MergeFileLayout.h"

#include <cstdlib>

namespace MergeFileLayout {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr char kQuote = '"';

std::int32_t ToInteger(std::string_view text)
{
    const std::string copy(text);
    return static_cast<std::int32_t>(std::strtol(copy.c_str(), nullptr, 10));
}

} // namespace

std::string SectionHead(std::string_view table, std::string_view keyColumnList)
{
    std::string head;
    head.reserve(table.size() + keyColumnList.size() + 16);
    head += kLineEnd;
    head += kHeadStart;
    for (const char c : table) {
        head += c;
        if (c == ']')
            head += c;
    }
    head += ']';
    head += keyColumnList;
    head += kLineEnd;
    head += kLineEnd;
    return head;
}

std::string SectionHead(std::string_view table, std::string_view keyColumnList,
                        const std::vector<std::string>& columnNames)
{
    std::string head = SectionHead(table, keyColumnList);
    // Before the blank line that ends the head.
    head.insert(head.size() - kLineEnd.size(), ColumnsLine(columnNames) + std::string(kLineEnd));
    return head;
}

std::string ColumnsLine(const std::vector<std::string>& columnNames)
{
    std::string line(kColumnsStart);
    for (std::size_t i = 0; i < columnNames.size(); ++i) {
        if (i > 0)
            line += ',';
        AppendQuotedField(line, columnNames[i]);
    }
    return line;
}

bool ParseColumnsLine(std::string_view line, std::vector<std::string>& columnNames)
{
    columnNames.clear();
    if (!line.starts_with(kColumnsStart))
        return false;
    std::string_view rest = line.substr(kColumnsStart.size());
    std::string name;
    while (!rest.empty()) {
        if (rest.front() != kQuote)
            return false;
        const std::size_t used = ReadQuotedField(rest, ",", name);
        if (used == npos)
            return false;
        columnNames.push_back(name);
        rest.remove_prefix(used);
        if (rest.empty())
            break;
        rest.remove_prefix(1);  // the separator
        if (rest.empty())
            return false;  // a separator must be followed by a name
    }
    return true;
}

std::string EndMark(std::size_t sections)
{
    return std::string(kLineEnd) + std::string(kEndStart) + std::to_string(sections) + "]" + std::string(kLineEnd);
}

bool ParseEndMark(std::string_view line, std::size_t& sections)
{
    if (!line.starts_with(kEndStart) || line.size() < kEndStart.size() + 2 || line.back() != ']')
        return false;
    const std::string_view digits = line.substr(kEndStart.size(), line.size() - kEndStart.size() - 1);
    if (digits.size() > 18)
        return false;
    std::size_t value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + static_cast<std::size_t>(c - '0');
    }
    sections = value;
    return true;
}

bool IsSectionHead(std::string_view line)
{
    return line.starts_with(kHeadStart);
}

SectionHeadFields ParseSectionHead(std::string_view line)
{
    SectionHeadFields fields;
    // From the "[" on; a line shorter than the head start gives what it has.
    const std::string_view rest = line.size() > kHeadStart.size() - 1 ? line.substr(kHeadStart.size() - 1)
                                                                       : std::string_view();
    std::size_t close = std::string_view::npos;
    for (std::size_t i = 1; i < rest.size(); ++i) {
        if (rest[i] != ']')
            continue;
        if (i + 1 < rest.size() && rest[i + 1] == ']') {
            ++i;
            continue;
        }
        close = i;
        break;
    }
    if (close == std::string_view::npos) {
        fields.spelledName = fields.name = std::string(rest);
        return fields;
    }
    if (rest.find(']', close + 1) != std::string_view::npos) {
        // Written before "]" was doubled: the last bracket closes the name.
        close = rest.rfind(']');
        fields.spelledName = std::string(rest.substr(0, close + 1));
        fields.name = std::string(rest.substr(1, close - 1));
    } else {
        fields.spelledName = std::string(rest.substr(0, close + 1));
        for (std::size_t i = 1; i < close; ++i) {
            fields.name += rest[i];
            if (rest[i] == ']')
                ++i;
        }
    }
    fields.keyColumns = ParseKeyColumnList(rest.substr(close + 1));
    return fields;
}

std::string KeyColumnListText(const std::vector<std::int32_t>& keyColumns)
{
    std::string text;
    for (const std::int32_t column : keyColumns) {
        if (!text.empty())
            text += ',';
        text += std::to_string(column);
    }
    return text;
}

std::vector<std::int32_t> ParseKeyColumnList(std::string_view text)
{
    std::vector<std::int32_t> columns;
    if (text.empty())
        return columns;
    for (;;) {
        const std::size_t comma = text.find(',');
        columns.push_back(ToInteger(text.substr(0, comma)));
        if (comma == std::string_view::npos)
            break;
        text.remove_prefix(comma + 1);
    }
    return columns;
}

void AppendQuotedField(std::string& out, std::string_view value)
{
    out += kQuote;
    std::size_t start = 0;
    for (;;) {
        const std::size_t quote = value.find(kQuote, start);
        if (quote == std::string_view::npos) {
            out.append(value.substr(start));
            break;
        }
        out.append(value.substr(start, quote + 1 - start));
        out += kQuote;
        start = quote + 1;
    }
    out += kQuote;
}

bool NeedsQuotes(std::string_view value, std::string_view separator)
{
    if (value.empty() || value == kNullField)
        return true;
    if (separator.size() > 1 && value.find(separator) != std::string_view::npos)
        return true;
    // One pass over the bytes: this runs for every value of every dump, and
    // find_first_of would search the set once per byte.
    const char separatorByte = separator.size() == 1 ? separator[0] : kQuote;
    for (const char c : value) {
        if (c == kQuote || c == '\r' || c == '\n' || c == separatorByte)
            return true;
    }
    return false;
}

std::size_t ReadQuotedField(std::string_view text, std::string_view separator, std::string& value)
{
    value.clear();
    std::size_t from = 1;
    for (;;) {
        const std::size_t quote = text.find(kQuote, from);
        if (quote == std::string_view::npos)
            return npos;
        value.append(text.substr(from, quote - from));
        const std::size_t after = quote + 1;
        if (after < text.size() && text[after] == kQuote) {
            value += kQuote;
            from = after + 1;
            continue;
        }
        if (after == text.size() || text.substr(after).starts_with(separator))
            return after;
        return npos;
    }
}

} // namespace MergeFileLayout
