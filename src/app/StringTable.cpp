#include "app/StringTable.h"

#include <QByteArray>
#include <QList>

namespace {

std::string Unescape(const QByteArray& text)
{
    std::string result;
    result.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
            result += '\n';
            ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}

} // namespace

std::map<int, std::string> ParseStringTable(const QByteArray& bytes)
{
    std::map<int, std::string> table;
    for (QByteArray line : bytes.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const qsizetype tab = line.indexOf('\t');
        if (tab <= 0)
            continue;
        bool ok = false;
        const int id = line.left(tab).toInt(&ok);
        if (!ok)
            continue;
        table[id] = Unescape(line.mid(tab + 1));
    }
    return table;
}
