#include "merge/FieldSplitting.h"

#include <utility>

namespace {

constexpr std::string_view kDumpedQuote = "''";
constexpr std::string_view kQuote = "\"";

std::string FieldText(const std::string& line, std::size_t begin, std::size_t end)
{
    std::string text(line, begin, end - begin);
    ReplaceAll(text, kDumpedQuote, kQuote);
    return text;
}

} // namespace

int ReplaceAll(std::string& text, std::string_view find, std::string_view replacement)
{
    if (find.empty())
        return 0;
    std::size_t hit = text.find(find);
    if (hit == std::string::npos)
        return 0;
    std::string result;
    result.reserve(text.size());
    std::size_t from = 0;
    int count = 0;
    while (hit != std::string::npos) {
        result.append(text, from, hit - from);
        result.append(replacement);
        from = hit + find.size();
        ++count;
        hit = text.find(find, from);
    }
    result.append(text, from, std::string::npos);
    text = std::move(result);
    return count;
}

int SplitFields(std::string& line, CRowValues& fields, std::string_view separator)
{
    fields.RemoveAll();
    const std::size_t size = line.size();
    std::size_t pos = 0;
    while (pos < size) {
        if (line[pos] == '"') {
            const std::size_t close = line.find('"', pos + 1);
            if (close != std::string::npos) {
                const std::size_t after = close + 1;
                const bool closes = after == size || std::string_view(line).substr(after).starts_with(separator);
                if (closes) {
                    fields.Add(FieldText(line, pos + 1, close), true);
                    pos = after == size ? size : after + separator.size();
                    continue;
                }
            }
        }
        // An empty separator would be found everywhere: the rest is then one field.
        const std::size_t next = separator.empty() ? std::string::npos : line.find(separator, pos);
        if (next == std::string::npos) {
            fields.Add(FieldText(line, pos, size));
            break;
        }
        fields.Add(FieldText(line, pos, next));
        pos = next + separator.size();
    }
    line.clear();
    return static_cast<int>(fields.size());
}
