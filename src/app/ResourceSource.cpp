#include "app/ResourceSource.h"

#include <QDebug>
#include <QImage>
#include <QPixmap>

#include "app/FormatConversions.h"
#include "app/ResourceModule.h"
#include "app/StringTable.h"
#include "common/ResourceStrings.h"

namespace {

QString TemplatePath(int templateId)
{
    return QStringLiteral("dialogs/%1.json").arg(templateId);
}

QString IconPath(int iconId)
{
    return QStringLiteral("icons/%1.png").arg(iconId);
}

QString MenuPath(int menuId)
{
    return QStringLiteral("menus/%1.json").arg(menuId);
}

QString CursorPath(int cursorId)
{
    return QStringLiteral("cursors/%1.png").arg(cursorId);
}

} // namespace

ResourceSource::ResourceSource(const ResourceModule& own) : m_own(own)
{
}

void ResourceSource::UseModule(const ResourceModule* module)
{
    if (m_module)
        m_strings.erase(m_module);
    m_module = module;
}

const ResourceModule& ResourceSource::Current() const
{
    return m_module ? *m_module : m_own;
}

const std::map<int, std::string>& ResourceSource::StringsOf(const ResourceModule& module) const
{
    auto found = m_strings.find(&module);
    if (found == m_strings.end()) {
        const auto bytes = module.Read(QStringLiteral("strings.txt"));
        auto strings = bytes ? ParseStringTable(*bytes) : std::map<int, std::string>{};
        if (&module != &m_own)
            KeepOwnFormats(module, strings);
        found = m_strings.emplace(&module, std::move(strings)).first;
    }
    return found->second;
}

void ResourceSource::KeepOwnFormats(const ResourceModule& module, std::map<int, std::string>& strings) const
{
    // The program formats its texts with the arguments its own texts ask for; a
    // translation that reads other arguments would make vsnprintf read garbage
    // or write through an argument. Such a text is not used.
    const auto& own = StringsOf(m_own);
    for (auto& [id, text] : strings) {
        const auto ownText = own.find(id);
        if (ownText == own.end() || SameFormatConversions(text, ownText->second))
            continue;
        qDebug().noquote() << QStringLiteral("%1: string %2 \"%3\" does not take the arguments of \"%4\"; "
                                             "the program's own text is used")
                                  .arg(QString::fromStdString(module.FileName()))
                                  .arg(id)
                                  .arg(QString::fromStdString(text), QString::fromStdString(ownText->second));
        text = ownText->second;
    }
}

std::optional<std::string> ResourceSource::LoadString(int id) const
{
    for (const ResourceModule* module : {m_module, &m_own}) {
        if (!module)
            continue;
        const auto& strings = StringsOf(*module);
        const auto found = strings.find(id);
        if (found != strings.end())
            return found->second;
    }
    return std::nullopt;
}

std::optional<DialogTemplate> ResourceSource::LoadDialogTemplate(int templateId) const
{
    for (const ResourceModule* module : {m_module, &m_own}) {
        if (!module)
            continue;
        if (const auto json = module->Read(TemplatePath(templateId)))
            if (auto parsed = ParseDialogTemplate(*json))
                return parsed;
    }
    return std::nullopt;
}

std::optional<MenuTemplate> ResourceSource::LoadMenuTemplate(int menuId) const
{
    for (const ResourceModule* module : {m_module, &m_own}) {
        if (!module)
            continue;
        if (const auto json = module->Read(MenuPath(menuId)))
            if (auto parsed = ParseMenuTemplate(*json))
                return parsed;
    }
    return std::nullopt;
}

QIcon ResourceSource::LoadIcon(int iconId) const
{
    for (const ResourceModule* module : {m_module, &m_own}) {
        if (module && module->Contains(IconPath(iconId)))
            return QIcon(module->ResourcePath(IconPath(iconId)));
    }
    return QIcon();
}

std::optional<QCursor> ResourceSource::LoadCursor(int cursorId) const
{
    for (const ResourceModule* module : {m_module, &m_own}) {
        if (!module)
            continue;
        const QImage image(module->ResourcePath(CursorPath(cursorId)));
        if (image.isNull())
            continue;
        // A PNG has no hot spot of its own: the picture carries it as the text
        // "HotSpot" ("x,y"); without it the hot spot is the top-left corner.
        const QStringList hotSpot = image.text(QStringLiteral("HotSpot")).split(QLatin1Char(','));
        const int x = hotSpot.size() == 2 ? hotSpot[0].trimmed().toInt() : 0;
        const int y = hotSpot.size() == 2 ? hotSpot[1].trimmed().toInt() : 0;
        return QCursor(QPixmap::fromImage(image), x, y);
    }
    return std::nullopt;
}

void ResourceSource::InstallAsStringLoader() const
{
    SetStringLoader([this](int id) { return LoadString(id); });
}
