#pragma once
// Where dialogs find their templates, menus, icons and cursors: the current resource source.
#include <optional>

#include <QCursor>
#include <QIcon>

#include "ui/DialogTemplate.h"
#include "ui/MenuTemplate.h"

class DialogResources {
public:
    virtual ~DialogResources() = default;
    virtual std::optional<DialogTemplate> LoadDialogTemplate(int templateId) const = 0;
    virtual QIcon LoadIcon(int iconId) const = 0;
    // A context menu by its id; none where the source has no such menu.
    virtual std::optional<MenuTemplate> LoadMenuTemplate(int /*menuId*/) const { return std::nullopt; }
    // A cursor by its id; none where the source has no such cursor.
    virtual std::optional<QCursor> LoadCursor(int /*cursorId*/) const { return std::nullopt; }
};
