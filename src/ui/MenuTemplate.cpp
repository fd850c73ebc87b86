#include "ui/MenuTemplate.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

const MenuItemTemplate* MenuTemplate::FindItem(int commandId) const
{
    for (const auto& item : items)
        if (item.id == commandId)
            return &item;
    return nullptr;
}

std::optional<MenuTemplate> ParseMenuTemplate(const QByteArray& json, std::string* error)
{
    auto fail = [error](const std::string& why) -> std::optional<MenuTemplate> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (document.isNull() || !document.isObject())
        return fail("not a JSON object: " + parseError.errorString().toStdString());
    const QJsonObject root = document.object();
    MenuTemplate menu;
    menu.id = root.value("id").toInt();
    menu.name = root.value("name").toString().toStdString();
    const QJsonValue items = root.value("items");
    if (!items.isArray())
        return fail("items must be an array");
    for (const QJsonValue& value : items.toArray()) {
        const QJsonObject object = value.toObject();
        if (!object.value("id").isDouble())
            return fail("an item has no command id");
        menu.items.push_back({object.value("id").toInt(), object.value("text").toString().toStdString()});
    }
    return menu;
}
