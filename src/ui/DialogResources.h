#pragma once
// Where dialogs find their templates, menus and icons: the current resource source.
#include <optional>

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
};
