#include "ui/LinkShortcut.h"

#include <QSaveFile>
#include <QString>

namespace {

// A value of a desktop entry: backslashes and control characters escaped, so
// that a text with a line break stays one key.
std::string EntryValue(const std::string& text)
{
    std::string value;
    for (char c : text) {
        switch (c) {
        case '\\': value += "\\\\"; break;
        case '\n': value += "\\n"; break;
        case '\r': value += "\\r"; break;
        case '\t': value += "\\t"; break;
        default: value += c; break;
        }
    }
    return value;
}

} // namespace

std::string ShortcutName(const std::string& text)
{
    std::string trimmed = text;
    while (!trimmed.empty() && (trimmed.back() == '/' || trimmed.back() == ':' || trimmed.back() == '\\'))
        trimmed.pop_back();
    for (char separator : {'/', ':', '\\'}) {
        const auto at = trimmed.rfind(separator);
        if (at != std::string::npos)
            return trimmed.substr(at + 1);
    }
    return trimmed;
}

std::string LinkEntryText(const std::string& name, const std::string& target)
{
    return "[Desktop Entry]\nVersion=1.0\nType=Link\nName=" + EntryValue(name) + "\nURL=" + EntryValue(target) +
           "\n";
}

std::string SaveLinkShortcut(const std::string& folder, const std::string& text, const std::string& target)
{
    const std::string name = ShortcutName(text);
    if (name.empty())
        return {};
    const std::string path = folder + (folder.empty() || folder.back() != '/' ? "/" : "") + name + ".desktop";
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly))
        return {};
    const std::string content = LinkEntryText(name, target);
    if (file.write(content.data(), static_cast<qint64>(content.size())) != static_cast<qint64>(content.size()))
        return {};
    return file.commit() ? path : std::string();
}
