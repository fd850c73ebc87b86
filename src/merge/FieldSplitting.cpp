#include "merge/FieldSplitting.h"

#include <utility>

#include "common/MergeFileLayout.h"

int SplitFields(std::string& line, CRowValues& fields, std::string_view separator)
{
    fields.RemoveAll();
    const std::size_t size = line.size();
    std::size_t pos = 0;
    std::string quoted;
    while (pos < size) {
        if (line[pos] == '"') {
            const std::size_t length =
                MergeFileLayout::ReadQuotedField(std::string_view(line).substr(pos), separator, quoted);
            if (length != MergeFileLayout::npos) {
                const std::size_t after = pos + length;
                fields.Add(std::move(quoted), true);
                quoted = std::string();
                pos = after == size ? size : after + separator.size();
                continue;
            }
        }
        // An empty separator would be found everywhere: the rest is then one field.
        const std::size_t next = separator.empty() ? std::string::npos : line.find(separator, pos);
        if (next == std::string::npos) {
            fields.Add(line.substr(pos));
            break;
        }
        fields.Add(line.substr(pos, next - pos));
        pos = next + separator.size();
    }
    line.clear();
    return static_cast<int>(fields.size());
}
