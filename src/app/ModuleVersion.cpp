#include "app/ModuleVersion.h"

#include <QList>
#include <QString>

#include <array>
#include <cstdio>
#include <optional>

#include "app/ResourceModule.h"

namespace {

// The four 16-bit parts of "a.b.c.d" (or "a,b,c,d").
std::optional<std::array<unsigned, 4>> ParseFileVersion(const QString& text)
{
    QString normalised = text.trimmed();
    normalised.replace(QLatin1Char(','), QLatin1Char('.'));
    const QStringList parts = normalised.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return std::nullopt;
    std::array<unsigned, 4> version{};
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        const unsigned value = parts[i].trimmed().toUInt(&ok);
        if (!ok || value > 0xFFFF)
            return std::nullopt;
        version[static_cast<std::size_t>(i)] = value;
    }
    return version;
}

// The value of the "FileVersion" entry of a version block.
std::optional<QString> FileVersionEntry(const QByteArray& block)
{
    for (const QByteArray& rawLine : block.split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        const auto equals = line.indexOf(QLatin1Char('='));
        if (equals > 0 && line.left(equals).trimmed() == QLatin1String("FileVersion"))
            return line.mid(equals + 1);
    }
    return std::nullopt;
}

} // namespace

bool GetModuleVersionString(const ResourceModule& module, std::string& text)
{
    const auto block = module.Read(QStringLiteral("version.txt"));
    if (!block)
        return false;
    const auto entry = FileVersionEntry(*block);
    if (!entry)
        return true;
    const auto version = ParseFileVersion(*entry);
    if (!version)
        return true;
    char formatted[64];
    std::snprintf(formatted, sizeof formatted, "%u.%u.%u.%u", (*version)[0], (*version)[1], (*version)[2],
                  (*version)[3]);
    text = formatted;
    return true;
}
