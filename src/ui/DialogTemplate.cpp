#include "ui/DialogTemplate.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace {

std::vector<std::string> ReadStyles(const QJsonValue& value)
{
    std::vector<std::string> styles;
    for (const QJsonValue& style : value.toArray())
        styles.push_back(style.toString().toStdString());
    return styles;
}

// [x, y, cx, cy] in dialog units.
bool ReadRect(const QJsonValue& value, int& x, int& y, int& cx, int& cy)
{
    const QJsonArray rect = value.toArray();
    if (rect.size() != 4)
        return false;
    for (const QJsonValue& v : rect)
        if (!v.isDouble())
            return false;
    x = rect[0].toInt();
    y = rect[1].toInt();
    cx = rect[2].toInt();
    cy = rect[3].toInt();
    return true;
}

bool HasIn(const std::vector<std::string>& styles, const std::string& style)
{
    return std::find(styles.begin(), styles.end(), style) != styles.end();
}

} // namespace

bool DialogControlTemplate::HasStyle(const std::string& style) const
{
    return HasIn(styles, style);
}

bool DialogTemplate::HasStyle(const std::string& style) const
{
    return HasIn(styles, style);
}

const DialogControlTemplate* DialogTemplate::FindControl(int controlId) const
{
    for (const auto& control : controls)
        if (control.id == controlId)
            return &control;
    return nullptr;
}

std::optional<DialogTemplate> ParseDialogTemplate(const QByteArray& json, std::string* error)
{
    auto fail = [error](const std::string& why) -> std::optional<DialogTemplate> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (document.isNull())
        return fail("not JSON: " + parseError.errorString().toStdString());
    const QJsonObject root = document.object();

    DialogTemplate dialog;
    dialog.id = root.value("id").toInt();
    dialog.caption = root.value("caption").toString().toStdString();
    const QJsonArray size = root.value("size").toArray();
    if (size.size() != 2)
        return fail("size must be [cx, cy]");
    dialog.cx = size[0].toInt();
    dialog.cy = size[1].toInt();
    const QJsonObject font = root.value("font").toObject();
    if (!font.isEmpty()) {
        dialog.fontFamily = font.value("family").toString(QString::fromStdString(dialog.fontFamily)).toStdString();
        dialog.fontPointSize = font.value("pointSize").toInt(dialog.fontPointSize);
    }
    dialog.styles = ReadStyles(root.value("styles"));

    for (const QJsonValue& value : root.value("controls").toArray()) {
        const QJsonObject object = value.toObject();
        DialogControlTemplate control;
        control.id = object.value("id").toInt(-1);
        control.kind = object.value("kind").toString().toStdString();
        control.text = object.value("text").toString().toStdString();
        if (!ReadRect(object.value("rect"), control.x, control.y, control.cx, control.cy))
            return fail("control " + std::to_string(control.id) + ": rect must be [x, y, cx, cy]");
        if (control.kind.empty())
            return fail("control " + std::to_string(control.id) + ": no kind");
        control.styles = ReadStyles(object.value("styles"));
        dialog.controls.push_back(std::move(control));
    }
    return dialog;
}
